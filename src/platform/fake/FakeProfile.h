// An in-memory INI store with the behaviour of the Windows private-profile
// functions, so the settings code can be tested without a disk. The table in
// tests/conformance holds the behaviour it shares with the real calls.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Platform.h"
#include "platform/ProfileText.h"

namespace norva::platform::fake {

// One call of WritePrivateProfileStringA, as made (null arguments as nullopt).
struct ProfileWrite {
  std::optional<std::string> section;
  std::optional<std::string> key;
  std::optional<std::string> value;
  std::string path;
  BOOL result = 0;
};

class FakeProfile : public IProfile {
 public:
  int GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                            const std::string& path) override;
  std::string GetPrivateProfileStringA(const char* section, const char* key,
                                       const char* defaultValue, const std::string& path) override;
  BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                  const std::string& path) override;

  // Files are matched by path without regard to letter case.
  bool Exists(const std::string& path) const;
  // The file as Windows writes it ("\r\n" line ends); "" when it is missing.
  std::string FileText(const std::string& path) const;
  // Creates or replaces the file with exactly this text.
  void SetFileText(const std::string& path, const std::string& text);
  void RemoveFile(const std::string& path);
  // Every file there is, by its lower-case path, in order.
  std::vector<std::string> Paths() const;
  // An unreadable file reads as missing and cannot be written; a read-only
  // file reads normally but every write fails and changes nothing. Marking a
  // missing file creates it empty.
  void SetUnreadable(const std::string& path, bool unreadable);
  void SetReadOnly(const std::string& path, bool readOnly);
  bool IsReadOnly(const std::string& path) const;
  bool IsUnreadable(const std::string& path) const;

  // Section names in file order (as spelled in the file), and the key names
  // of the first section of that name in line order.
  std::vector<std::string> SectionsInOrder(const std::string& path) const;
  std::vector<std::string> KeysInOrder(const std::string& path, const std::string& section) const;

  // Every write call, in order, whatever it returned.
  std::vector<ProfileWrite> Writes;
  // Number of read calls (integer and text).
  int ReadCount = 0;

 private:
  struct File {
    std::string text;
    bool unreadable = false;
    bool readOnly = false;
  };
  const File* Find(const std::string& path) const;
  File* Find(const std::string& path);
  // The file as the read calls see it (no file when it is unreadable).
  ProfileText Readable(const std::string& path) const;
  BOOL Write(const char* section, const char* key, const char* value, const std::string& path);

  std::map<std::string, File> FFiles;  // by lower-case path
};

// The file calls on the fake profile's files, so that a file written whole
// reads back through the profile calls. A call can be made to fail, and the
// disk can be made to hold only so many more bytes.
class FakeFiles : public IFiles {
 public:
  explicit FakeFiles(FakeProfile& store) : FStore(store) {}

  // The next call of this name ("CreateFileW", "ReadFile", "WriteFile",
  // "FlushFileBuffers", "CloseHandle", "MoveFileExW") fails with this error;
  // the call still closes its handle where a real one would.
  std::string failCall;
  DWORD failError = ERROR_ACCESS_DENIED;
  // Calls of that name to let through before the one that fails.
  int failSkip = 0;
  // Bytes that still fit on the disk (a write beyond it writes what fits
  // and fails with ERROR_DISK_FULL); unlimited when unset.
  std::optional<size_t> diskRoom;
  // The error texts the system gives; an unknown error has none.
  std::map<DWORD, std::string> errorTexts{
      {ERROR_ACCESS_DENIED, "Access is denied."},
      {ERROR_DISK_FULL, "There is not enough space on the disk."}};
  // Every call by name, in order; handles still open.
  std::vector<std::string> calls;
  size_t OpenHandles() const { return FOpen.size(); }

  HANDLE CreateFileW(const std::string& path, DWORD access, DWORD disposition) override;
  BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) override;
  BOOL WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written) override;
  BOOL FlushFileBuffers(HANDLE file) override;
  BOOL CloseHandle(HANDLE file) override;
  BOOL MoveFileExW(const std::string& from, const std::string& to, DWORD flags) override;
  BOOL DeleteFileW(const std::string& path) override;
  DWORD GetFileAttributesW(const std::string& path) override;
  DWORD GetLastError() override { return FLastError; }
  std::string ErrorText(DWORD error) override;
  std::string ToAnsi(const std::string& utf8) override { return utf8; }

 private:
  struct Open {
    std::string path;
    bool write = false;
    size_t position = 0;
  };
  // Whether the named call is to fail now (it then sets the error).
  bool Fails(const char* call);
  BOOL Fail(DWORD error);

  FakeProfile& FStore;
  std::map<HANDLE, Open> FOpen;
  uintptr_t FNextHandle = 0x7000;
  DWORD FLastError = 0;
};

}  // namespace norva::platform::fake
