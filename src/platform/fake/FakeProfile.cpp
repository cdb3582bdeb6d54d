#include "platform/fake/FakeProfile.h"

#include <algorithm>

#include "platform/Text.h"

namespace norva::platform::fake {

namespace {

using text::ToLowerAscii;

std::optional<std::string> Opt(const char* s) {
  return s != nullptr ? std::optional<std::string>(s) : std::nullopt;
}

}  // namespace

const FakeProfile::File* FakeProfile::Find(const std::string& path) const {
  auto it = FFiles.find(ToLowerAscii(path));
  return it != FFiles.end() ? &it->second : nullptr;
}

FakeProfile::File* FakeProfile::Find(const std::string& path) {
  auto it = FFiles.find(ToLowerAscii(path));
  return it != FFiles.end() ? &it->second : nullptr;
}

ProfileText FakeProfile::Readable(const std::string& path) const {
  const File* file = Find(path);
  if (file == nullptr || file->unreadable) return ProfileText(std::nullopt);
  return ProfileText(file->text);
}

int FakeProfile::GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                                       const std::string& path) {
  ++ReadCount;
  return Readable(path).ReadInt(section, key, defaultValue);
}

std::string FakeProfile::GetPrivateProfileStringA(const char* section, const char* key,
                                                  const char* defaultValue,
                                                  const std::string& path) {
  ++ReadCount;
  return Readable(path).ReadString(section, key, defaultValue);
}

BOOL FakeProfile::WritePrivateProfileStringA(const char* section, const char* key,
                                             const char* value, const std::string& path) {
  const BOOL result = Write(section, key, value, path);
  Writes.push_back(ProfileWrite{Opt(section), Opt(key), Opt(value), path, result});
  return result;
}

BOOL FakeProfile::Write(const char* section, const char* key, const char* value,
                        const std::string& path) {
  // All three null asks for a flush, which Windows answers with FALSE.
  if (section == nullptr) return 0;
  File* file = Find(path);
  if (file != nullptr && (file->readOnly || file->unreadable)) return 0;
  ProfileText text(file != nullptr ? std::optional<std::string>(file->text) : std::nullopt);
  text.Write(section, key, value);
  if (text.Changed()) FFiles[ToLowerAscii(path)].text = text.Text();
  return 1;
}

bool FakeProfile::Exists(const std::string& path) const { return Find(path) != nullptr; }

std::string FakeProfile::FileText(const std::string& path) const {
  const File* file = Find(path);
  return file != nullptr ? file->text : std::string();
}

void FakeProfile::SetFileText(const std::string& path, const std::string& text) {
  FFiles[ToLowerAscii(path)].text = text;
}

void FakeProfile::RemoveFile(const std::string& path) { FFiles.erase(ToLowerAscii(path)); }

std::vector<std::string> FakeProfile::Paths() const {
  std::vector<std::string> paths;
  for (const auto& [path, file] : FFiles) paths.push_back(path);
  return paths;
}

void FakeProfile::SetUnreadable(const std::string& path, bool unreadable) {
  FFiles[ToLowerAscii(path)].unreadable = unreadable;
}

void FakeProfile::SetReadOnly(const std::string& path, bool readOnly) {
  FFiles[ToLowerAscii(path)].readOnly = readOnly;
}

std::vector<std::string> FakeProfile::SectionsInOrder(const std::string& path) const {
  return Readable(path).SectionsInOrder();
}

std::vector<std::string> FakeProfile::KeysInOrder(const std::string& path,
                                                  const std::string& section) const {
  return Readable(path).KeysInOrder(section);
}

bool FakeProfile::IsReadOnly(const std::string& path) const {
  const File* file = Find(path);
  return file != nullptr && file->readOnly;
}

bool FakeProfile::IsUnreadable(const std::string& path) const {
  const File* file = Find(path);
  return file != nullptr && file->unreadable;
}

}  // namespace norva::platform::fake

namespace norva::platform::fake {

bool FakeFiles::Fails(const char* call) {
  calls.push_back(call);
  if (failCall != call) return false;
  if (failSkip > 0) {
    --failSkip;
    return false;
  }
  failCall.clear();
  FLastError = failError;
  return true;
}

BOOL FakeFiles::Fail(DWORD error) {
  FLastError = error;
  return 0;
}

HANDLE FakeFiles::CreateFileW(const std::string& path, DWORD access, DWORD disposition) {
  if (Fails("CreateFileW")) return INVALID_HANDLE_VALUE;
  const bool write = (access & GENERIC_WRITE) != 0;
  const bool exists = FStore.Exists(path);
  if (exists && (FStore.IsUnreadable(path) || (write && FStore.IsReadOnly(path)))) {
    FLastError = ERROR_ACCESS_DENIED;
    return INVALID_HANDLE_VALUE;
  }
  for (const auto& [handle, open] : FOpen)
    if (text::ToLowerAscii(open.path) == text::ToLowerAscii(path)) {
      FLastError = ERROR_SHARING_VIOLATION;
      return INVALID_HANDLE_VALUE;
    }
  if (disposition == OPEN_EXISTING && !exists) {
    FLastError = ERROR_FILE_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  if (disposition == CREATE_ALWAYS) FStore.SetFileText(path, "");
  const HANDLE handle = reinterpret_cast<HANDLE>(FNextHandle += 4);
  FOpen[handle] = Open{path, write, 0};
  return handle;
}

BOOL FakeFiles::ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) {
  *read = 0;
  if (Fails("ReadFile")) return 0;
  const auto it = FOpen.find(file);
  if (it == FOpen.end()) return Fail(6);  // ERROR_INVALID_HANDLE
  const std::string text = FStore.FileText(it->second.path);
  const size_t n = std::min<size_t>(size, text.size() - std::min(text.size(), it->second.position));
  text.copy(static_cast<char*>(buffer), n, it->second.position);
  it->second.position += n;
  *read = static_cast<DWORD>(n);
  return 1;
}

BOOL FakeFiles::WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written) {
  *written = 0;
  const auto it = FOpen.find(file);
  if (Fails("WriteFile")) return 0;
  if (it == FOpen.end() || !it->second.write) return Fail(ERROR_ACCESS_DENIED);
  size_t n = size;
  if (diskRoom) n = std::min(n, *diskRoom);
  std::string text = FStore.FileText(it->second.path);
  text.append(static_cast<const char*>(data), n);
  FStore.SetFileText(it->second.path, text);
  it->second.position += n;
  *written = static_cast<DWORD>(n);
  if (diskRoom) *diskRoom -= n;
  return n == size ? 1 : Fail(ERROR_DISK_FULL);
}

BOOL FakeFiles::FlushFileBuffers(HANDLE file) {
  if (Fails("FlushFileBuffers")) return 0;
  return FOpen.count(file) != 0 ? 1 : Fail(6);
}

BOOL FakeFiles::CloseHandle(HANDLE file) {
  const bool known = FOpen.erase(file) != 0;
  if (Fails("CloseHandle")) return 0;
  return known ? 1 : Fail(6);
}

BOOL FakeFiles::MoveFileExW(const std::string& from, const std::string& to, DWORD flags) {
  if (Fails("MoveFileExW")) return 0;
  if (!FStore.Exists(from)) return Fail(ERROR_FILE_NOT_FOUND);
  if (FStore.Exists(to)) {
    if ((flags & MOVEFILE_REPLACE_EXISTING) == 0) return Fail(ERROR_ALREADY_EXISTS);
    if (FStore.IsReadOnly(to) || FStore.IsUnreadable(to)) return Fail(ERROR_ACCESS_DENIED);
  }
  const std::string text = FStore.FileText(from);
  FStore.RemoveFile(from);
  FStore.RemoveFile(to);
  FStore.SetFileText(to, text);
  return 1;
}

BOOL FakeFiles::DeleteFileW(const std::string& path) {
  calls.push_back("DeleteFileW");
  if (!FStore.Exists(path)) return Fail(ERROR_FILE_NOT_FOUND);
  if (FStore.IsReadOnly(path)) return Fail(ERROR_ACCESS_DENIED);
  FStore.RemoveFile(path);
  return 1;
}

DWORD FakeFiles::GetFileAttributesW(const std::string& path) {
  if (!FStore.Exists(path)) {
    FLastError = ERROR_FILE_NOT_FOUND;
    return INVALID_FILE_ATTRIBUTES;
  }
  return FStore.IsReadOnly(path) ? FILE_ATTRIBUTE_READONLY : 0x80;
}

std::string FakeFiles::ErrorText(DWORD error) {
  const auto it = errorTexts.find(error);
  return it != errorTexts.end() ? it->second : std::string();
}

}  // namespace norva::platform::fake
