// An in-memory INI store with the behaviour of the Windows private-profile
// functions, so the settings code can be tested without a disk. The table in
// tests/conformance holds the behaviour it shares with the real calls.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

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
  // An unreadable file reads as missing and cannot be written; a read-only
  // file reads normally but every write fails and changes nothing. Marking a
  // missing file creates it empty.
  void SetUnreadable(const std::string& path, bool unreadable);
  void SetReadOnly(const std::string& path, bool readOnly);

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
  std::optional<std::string> Lookup(const char* section, const char* key,
                                    const std::string& path) const;
  BOOL Write(const char* section, const char* key, const char* value, const std::string& path);

  std::map<std::string, File> FFiles;  // by lower-case path
};

}  // namespace norva::platform::fake
