// Text helpers shared by every layer: UTF-8 <-> UTF-16 and the byte length of
// a text in code page 932, which is what the program's byte-counting rules count.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace norva::text {

std::u16string Utf8ToUtf16(const std::string& utf8);
std::string Utf16ToUtf8(const std::u16string& utf16);
// Bytes the text takes in code page 932: one for ASCII and half-width
// katakana, two for every other character.
size_t Cp932Length(const std::string& utf8);
std::string ToLowerAscii(std::string text);
std::string Trim(const std::string& text);

// A short text from a printf format and its numbers (captions, row texts).
template <class... Values>
std::string Format(const char* format, Values... values) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, format, values...);
  return buffer;
}

}  // namespace norva::text
