#include "platform/Files.h"

#include <algorithm>

#include "platform/WholeFile.h"

namespace norva::platform {

namespace {

class NoFileCalls final : public IFiles {
 public:
  HANDLE CreateFileW(const std::string&, DWORD, DWORD) override { return INVALID_HANDLE_VALUE; }
  BOOL ReadFile(HANDLE, void*, DWORD, DWORD*) override { return 0; }
  BOOL WriteFile(HANDLE, const void*, DWORD, DWORD*) override { return 0; }
  BOOL FlushFileBuffers(HANDLE) override { return 0; }
  BOOL CloseHandle(HANDLE) override { return 0; }
  BOOL MoveFileExW(const std::string&, const std::string&, DWORD) override { return 0; }
  BOOL DeleteFileW(const std::string&) override { return 0; }
  DWORD GetFileAttributesW(const std::string&) override { return INVALID_FILE_ATTRIBUTES; }
  DWORD GetLastError() override { return ERROR_ACCESS_DENIED; }
  std::string ErrorText(DWORD) override { return {}; }
  std::string ToAnsi(const std::string& utf8) override { return utf8; }
};

// Closes a handle once; a close that fails is the caller's to see when it asks.
class FileHandle {
 public:
  FileHandle(IFiles& files, HANDLE handle) : FFiles(files), FHandle(handle) {}
  ~FileHandle() {
    if (Valid()) FFiles.CloseHandle(FHandle);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return FHandle; }
  // Closes now; false when the system reports that the close failed (the
  // last buffered bytes may not have reached the disk).
  bool Close() {
    const HANDLE h = FHandle;
    FHandle = INVALID_HANDLE_VALUE;
    return FFiles.CloseHandle(h) != 0;
  }

 private:
  IFiles& FFiles;
  HANDLE FHandle;
};

}  // namespace

IFiles& NoFiles() {
  static NoFileCalls none;
  return none;
}

FileRead ReadWholeFile(IFiles& files, const std::string& path) {
  FileRead result;
  FileHandle file(files, files.CreateFileW(path, GENERIC_READ, OPEN_EXISTING));
  if (!file.Valid()) {
    const DWORD error = files.GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) result.error = error != 0 ? error : ERROR_ACCESS_DENIED;
    return result;
  }
  std::string bytes;
  char buffer[4096];
  for (;;) {
    DWORD read = 0;
    if (files.ReadFile(file.Get(), buffer, sizeof buffer, &read) == 0) {
      const DWORD error = files.GetLastError();
      result.error = error != 0 ? error : ERROR_ACCESS_DENIED;
      return result;
    }
    if (read == 0) break;
    bytes.append(buffer, read);
  }
  result.bytes = std::move(bytes);
  return result;
}

std::string ReplacementPath(const std::string& path) { return path + ".new"; }

DWORD ReplaceWholeFile(IFiles& files, const std::string& path, const std::string& bytes) {
  // A file the user has made read-only keeps its content, as the profile
  // functions leave it; replacing it by a rename would bypass that mark.
  const DWORD attributes = files.GetFileAttributesW(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    return ERROR_ACCESS_DENIED;

  const std::string fresh = ReplacementPath(path);
  const auto failed = [&](DWORD error) {
    if (error == 0) error = ERROR_WRITE_FAULT;
    files.DeleteFileW(fresh);
    return error;
  };
  FileHandle file(files, files.CreateFileW(fresh, GENERIC_WRITE, CREATE_ALWAYS));
  if (!file.Valid()) return failed(files.GetLastError());
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (files.WriteFile(file.Get(), bytes.data() + done, chunk, &written) == 0) {
      const DWORD error = files.GetLastError();
      file.Close();
      return failed(error);
    }
    // A write that stops short without an error still has not put the file
    // on the disk: the disk is full.
    if (written == 0) {
      file.Close();
      return failed(ERROR_DISK_FULL);
    }
    done += written;
  }
  if (files.FlushFileBuffers(file.Get()) == 0) {
    const DWORD error = files.GetLastError();
    file.Close();
    return failed(error);
  }
  if (!file.Close()) return failed(files.GetLastError());
  if (files.MoveFileExW(fresh, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0)
    return failed(files.GetLastError());
  return 0;
}

}  // namespace norva::platform
