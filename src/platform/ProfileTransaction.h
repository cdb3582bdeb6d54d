// A settings file opened for one save: the profile calls of the save act on
// a copy in memory, by the same rules as the system's profile functions, and
// Commit writes the result whole or not at all. A file in UTF-16 (with its
// byte-order mark) stays UTF-16; any other file is text in the ANSI code
// page, whose lines the save does not touch stay byte for byte.
#pragma once

#include <string>

#include "platform/Files.h"
#include "platform/ProfileText.h"

namespace norva::platform {

class ProfileTransaction final : public IProfile {
 public:
  ProfileTransaction(IFiles& files, std::string path);

  // Reads and writes of this one file; any other path is refused.
  int GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                            const std::string& path) override;
  std::string GetPrivateProfileStringA(const char* section, const char* key,
                                       const char* defaultValue, const std::string& path) override;
  BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                  const std::string& path) override;

  // Writes the file when a write changed it. 0 on success (also when nothing
  // changed), else the system's error code; the file on disk is then as it
  // was before the save.
  DWORD Commit();
  const std::string& Path() const { return FPath; }

 private:
  bool Mine(const std::string& path) const;
  std::string Encoded(const char* text) const;

  IFiles& FFiles;
  std::string FPath;
  DWORD FReadError = 0;
  bool FUtf16 = false;
  ProfileText FText{std::nullopt};
};

}  // namespace norva::platform
