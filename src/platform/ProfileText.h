// The text of an INI file and the rules by which the Windows private-profile
// functions find and change its lines: shared by the fake profile and by the
// settings save, which applies a whole save to a copy of the file in memory
// and writes the result in one piece. The table in tests/conformance holds
// the behaviour these rules share with the real calls.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace norva::platform {

class ProfileText {
 public:
  // nullopt: there is no file yet.
  explicit ProfileText(std::optional<std::string> text);

  // The value of a key as written in the file (blanks around it removed),
  // or nullopt when the section or the key is missing.
  std::optional<std::string> Lookup(const char* section, const char* key) const;
  // GetPrivateProfileInt and GetPrivateProfileString on this text.
  int ReadInt(const char* section, const char* key, int defaultValue) const;
  std::string ReadString(const char* section, const char* key, const char* defaultValue) const;
  // One WritePrivateProfileString call: a null key deletes the section, a
  // null value deletes the key; anything else sets the key, adding it and its
  // section as needed. A section of null changes nothing.
  void Write(const char* section, const char* key, const char* value);

  bool Exists() const { return FText.has_value(); }
  // The file as Windows writes it: untouched until a write changes a line,
  // then every line ended by "\r\n". "" while there is no file.
  std::string Text() const { return FText.value_or(std::string()); }
  // Whether a write changed the text (or created the file).
  bool Changed() const { return FChanged; }

  std::vector<std::string> SectionsInOrder() const;
  std::vector<std::string> KeysInOrder(const std::string& section) const;

 private:
  std::optional<std::string> FText;
  bool FChanged = false;
};

}  // namespace norva::platform
