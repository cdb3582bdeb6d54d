// Text at the Win32 boundary: the program's UTF-8 as UTF-16 for the wide
// calls and as the system's ANSI code page for the ANSI calls, and back.
#pragma once

#include "platform/win32/WinApi.h"

#include <string>

namespace norva::platform::win32 {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const wchar_t* text, size_t length);
inline std::string Utf8(const std::wstring& text) { return Utf8(text.data(), text.size()); }

// UTF-8 to the ANSI code page. lossless (when given) is cleared when a
// character has no form there and was replaced.
std::string ToAnsi(const std::string& utf8, bool* lossless = nullptr);
std::string FromAnsi(const char* text, size_t length);

}  // namespace norva::platform::win32
