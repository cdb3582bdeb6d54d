#include "platform/win32/WinText.h"

#include "platform/Text.h"

namespace norva::platform::win32 {

// wchar_t is UTF-16 on Windows, so the portable converters serve the wide
// calls directly and behave the same on every system, 95 included.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring Wide(const std::string& utf8) {
  const std::u16string u16 = text::Utf8ToUtf16(utf8);
  return std::wstring(reinterpret_cast<const wchar_t*>(u16.data()), u16.size());
}

std::string Utf8(const wchar_t* text, size_t length) {
  return text::Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(text), length));
}

std::string ToAnsi(const std::string& utf8, bool* lossless) {
  if (lossless != nullptr) *lossless = true;
  if (utf8.empty()) return {};
  const std::wstring wide = Wide(utf8);
  const int wideLength = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int bytes =
      ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0)
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, out.data(), bytes, nullptr,
                          &usedDefault);
  if (lossless != nullptr && (usedDefault || bytes <= 0)) *lossless = false;
  return out;
}

std::string FromAnsi(const char* text, size_t length) {
  if (length == 0) return {};
  const int bytes = static_cast<int>(length);
  const int chars = ::MultiByteToWideChar(CP_ACP, 0, text, bytes, nullptr, 0);
  if (chars <= 0) return {};
  std::wstring wide(static_cast<size_t>(chars), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text, bytes, wide.data(), chars);
  return Utf8(wide);
}

}  // namespace norva::platform::win32
