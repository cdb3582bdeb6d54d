// Whole files through the wide kernel calls; the older family, which answers
// them with ERROR_CALL_NOT_IMPLEMENTED, takes the ANSI forms, and a rename
// over an existing file there (no MoveFileEx) removes the old one first.
#include <string>

#include "platform/win32/Win32Areas.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"

namespace norva::platform::win32 {

namespace {

bool WideCallMissing() { return ::GetLastError() == ERROR_CALL_NOT_IMPLEMENTED; }

}  // namespace

HANDLE Win32Files::CreateFileW(const std::string& path, DWORD access, DWORD disposition) {
  const DWORD attributes = FILE_ATTRIBUTE_NORMAL;
  HANDLE file =
      ::CreateFileW(Wide(path).c_str(), access, 0, nullptr, disposition, attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE && WideCallMissing())
    file =
        ::CreateFileA(ToAnsi(path).c_str(), access, 0, nullptr, disposition, attributes, nullptr);
  return file;
}

BOOL Win32Files::ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) {
  ::DWORD got = 0;
  const BOOL ok = ::ReadFile(file, buffer, size, &got, nullptr);
  *read = got;
  return ok;
}

BOOL Win32Files::WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written) {
  ::DWORD put = 0;
  const BOOL ok = ::WriteFile(file, data, size, &put, nullptr);
  *written = put;
  return ok;
}

BOOL Win32Files::FlushFileBuffers(HANDLE file) { return ::FlushFileBuffers(file); }

BOOL Win32Files::CloseHandle(HANDLE file) { return ::CloseHandle(file); }

BOOL Win32Files::MoveFileExW(const std::string& from, const std::string& to, DWORD flags) {
  if (::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), flags)) return TRUE;
  if (!WideCallMissing()) return FALSE;
  // The 9x family: the new file is complete before the old one goes.
  const std::string ansiFrom = ToAnsi(from), ansiTo = ToAnsi(to);
  if ((flags & MOVEFILE_REPLACE_EXISTING) != 0 &&
      ::GetFileAttributesA(ansiTo.c_str()) != INVALID_FILE_ATTRIBUTES &&
      !::DeleteFileA(ansiTo.c_str()))
    return FALSE;
  return ::MoveFileA(ansiFrom.c_str(), ansiTo.c_str());
}

BOOL Win32Files::DeleteFileW(const std::string& path) {
  if (::DeleteFileW(Wide(path).c_str())) return TRUE;
  if (!WideCallMissing()) return FALSE;
  return ::DeleteFileA(ToAnsi(path).c_str());
}

DWORD Win32Files::GetFileAttributesW(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES || !WideCallMissing()) return attributes;
  return ::GetFileAttributesA(ToAnsi(path).c_str());
}

DWORD Win32Files::GetLastError() { return ::GetLastError(); }

std::string Win32Files::ErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD flags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  const DWORD length =
      ::FormatMessageW(flags, nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  if (length > 0 && buffer != nullptr) text = Utf8(buffer, length);
  if (buffer != nullptr) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
    text.pop_back();
  return text;
}

std::string Win32Files::ToAnsi(const std::string& utf8) { return win32::ToAnsi(utf8); }

}  // namespace norva::platform::win32
