#include "settings/ColorText.h"

#include <array>
#include <cerrno>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/Text.h"

namespace norva {

namespace {

struct NamedColor {
  const char* name;
  tk::TColor value;
};

constexpr std::array<NamedColor, 42> kColorNames{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clScrollBar", 0x80000000},
    {"clBackground", 0x80000001},
    {"clActiveCaption", 0x80000002},
    {"clInactiveCaption", 0x80000003},
    {"clMenu", 0x80000004},
    {"clWindow", 0x80000005},
    {"clWindowFrame", 0x80000006},
    {"clMenuText", 0x80000007},
    {"clWindowText", 0x80000008},
    {"clCaptionText", 0x80000009},
    {"clActiveBorder", 0x8000000A},
    {"clInactiveBorder", 0x8000000B},
    {"clAppWorkSpace", 0x8000000C},
    {"clHighlight", 0x8000000D},
    {"clHighlightText", 0x8000000E},
    {"clBtnFace", 0x8000000F},
    {"clBtnShadow", 0x80000010},
    {"clGrayText", 0x80000011},
    {"clBtnText", 0x80000012},
    {"clInactiveCaptionText", 0x80000013},
    {"clBtnHighlight", 0x80000014},
    {"cl3DDkShadow", 0x80000015},
    {"cl3DLight", 0x80000016},
    {"clInfoText", 0x80000017},
    {"clInfoBk", 0x80000018},
    {"clNone", 0x1FFFFFFF},
}};

}  // namespace

std::string ColorToString(tk::TColor color) {
  for (const auto& c : kColorNames)
    if (c.value == color) return c.name;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<unsigned>(color));
  return buffer;
}

std::optional<tk::TColor> StringToColor(const std::string& text) {
  const std::string trimmed = text::Trim(text);
  const std::string lower = text::ToLowerAscii(trimmed);
  for (const auto& c : kColorNames)
    if (text::ToLowerAscii(c.name) == lower) return c.value;

  std::string digits = trimmed;
  int base = 10;
  bool negative = false;
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
    negative = digits[0] == '-';
    digits.erase(0, 1);
  }
  if (!digits.empty() && digits[0] == '$') {
    base = 16;
    digits.erase(0, 1);
  } else if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.erase(0, 2);
  }
  if (digits.empty()) return std::nullopt;
  for (char ch : digits) {
    const bool ok = base == 16 ? std::isxdigit(static_cast<unsigned char>(ch)) != 0
                               : (ch >= '0' && ch <= '9');
    if (!ok) return std::nullopt;
  }
  errno = 0;
  const unsigned long long magnitude = std::strtoull(digits.c_str(), nullptr, base);
  if (errno == ERANGE || magnitude > 0xFFFFFFFFull) return std::nullopt;
  if (negative) {
    if (magnitude > 0x80000000ull) return std::nullopt;
    return static_cast<tk::TColor>(-static_cast<long long>(magnitude));
  }
  return static_cast<tk::TColor>(magnitude);
}

}  // namespace norva
