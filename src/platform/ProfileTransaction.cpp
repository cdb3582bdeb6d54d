#include "platform/ProfileTransaction.h"

#include "platform/Text.h"
#include "platform/WholeFile.h"

namespace norva::platform {

namespace {

// The byte-order mark of a UTF-16 file (little-endian, as Windows writes it).
const std::string kUtf16Mark = "\xFF\xFE";

std::string FromUtf16Le(const std::string& bytes) {
  std::u16string wide;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         static_cast<unsigned char>(bytes[i + 1]) << 8));
  return text::Utf16ToUtf8(wide);
}

std::string ToUtf16Le(const std::string& utf8) {
  std::string bytes;
  for (const char16_t c : text::Utf8ToUtf16(utf8)) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

}  // namespace

ProfileTransaction::ProfileTransaction(IFiles& files, std::string path)
    : FFiles(files), FPath(std::move(path)) {
  FileRead read = ReadWholeFile(FFiles, FPath);
  FReadError = read.error;
  if (!read.bytes) return;
  if (read.bytes->compare(0, kUtf16Mark.size(), kUtf16Mark) == 0) {
    FUtf16 = true;
    FText = ProfileText(FromUtf16Le(read.bytes->substr(kUtf16Mark.size())));
  } else {
    FText = ProfileText(std::move(read.bytes));
  }
}

bool ProfileTransaction::Mine(const std::string& path) const {
  return text::ToLowerAscii(path) == text::ToLowerAscii(FPath);
}

std::string ProfileTransaction::Encoded(const char* text) const {
  return FUtf16 ? std::string(text) : FFiles.ToAnsi(text);
}

int ProfileTransaction::GetPrivateProfileIntA(const char* section, const char* key,
                                              int defaultValue, const std::string& path) {
  if (!Mine(path) || section == nullptr || key == nullptr) return defaultValue;
  return FText.ReadInt(Encoded(section).c_str(), Encoded(key).c_str(), defaultValue);
}

std::string ProfileTransaction::GetPrivateProfileStringA(const char* section, const char* key,
                                                         const char* defaultValue,
                                                         const std::string& path) {
  if (!Mine(path) || section == nullptr || key == nullptr)
    return ProfileText(std::nullopt).ReadString(nullptr, nullptr, defaultValue);
  return FText.ReadString(Encoded(section).c_str(), Encoded(key).c_str(), defaultValue);
}

BOOL ProfileTransaction::WritePrivateProfileStringA(const char* section, const char* key,
                                                    const char* value, const std::string& path) {
  // A flush has nothing to do before the commit; an unreadable file is
  // never rewritten from nothing.
  if (section == nullptr || !Mine(path) || FReadError != 0) return 0;
  const std::string s = Encoded(section);
  const std::string k = key != nullptr ? Encoded(key) : std::string();
  const std::string v = value != nullptr ? Encoded(value) : std::string();
  FText.Write(s.c_str(), key != nullptr ? k.c_str() : nullptr,
              value != nullptr ? v.c_str() : nullptr);
  return 1;
}

DWORD ProfileTransaction::Commit() {
  if (FReadError != 0) return FReadError;
  if (!FText.Changed()) return 0;
  const std::string bytes = FUtf16 ? kUtf16Mark + ToUtf16Le(FText.Text()) : FText.Text();
  return ReplaceWholeFile(FFiles, FPath, bytes);
}

}  // namespace norva::platform
