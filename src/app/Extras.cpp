#include "app/Extras.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "lang/Lang.h"
#include "platform/Desktop.h"

namespace norva {

using platform::Os;

namespace {

// Names of the keys a hotkey is usually made of; letters and digits name
// themselves.
const char* KeyName(int vk) {
  switch (vk) {
    case 0x08:
      return "Backspace";
    case 0x09:
      return "Tab";
    case 0x0D:
      return "Enter";
    case 0x13:
      return "Pause";
    case 0x1B:
      return "Esc";
    case 0x20:
      return "Space";
    case 0x21:
      return "PageUp";
    case 0x22:
      return "PageDown";
    case 0x23:
      return "End";
    case 0x24:
      return "Home";
    case 0x25:
      return "Left";
    case 0x26:
      return "Up";
    case 0x27:
      return "Right";
    case 0x28:
      return "Down";
    case 0x2C:
      return "PrintScreen";
    case 0x2D:
      return "Insert";
    case 0x2E:
      return "Delete";
    case 0x6A:
      return "Num *";
    case 0x6B:
      return "Num +";
    case 0x6D:
      return "Num -";
    case 0x6E:
      return "Num .";
    case 0x6F:
      return "Num /";
    case 0x90:
      return "NumLock";
    case 0x91:
      return "ScrollLock";
    default:
      return nullptr;
  }
}

std::string Thousands(uint64_t value) {
  std::string digits = std::to_string(value);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
    digits.insert(static_cast<size_t>(i), ",");
  return digits;
}

uint64_t RoundedMB(uint64_t bytes) { return (bytes + 524288) / 1048576; }

// Digits 0 to 9 in a 3 × 5 grid, one row per 3 bits, the top row first.
constexpr uint16_t kGlyphs[10] = {
    0b111'101'101'101'111, 0b010'110'010'010'111, 0b111'001'111'100'111, 0b111'001'111'001'111,
    0b101'101'111'001'001, 0b111'100'111'001'111, 0b111'100'111'101'111, 0b111'001'001'001'001,
    0b111'101'111'101'111, 0b111'101'111'001'111};

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kNormalFill = 0xFF1E8C3C, kNormalEdge = 0xFF0B4A1E;
constexpr uint32_t kCleaningFill = 0xFFE07010, kCleaningEdge = 0xFF803800;

}  // namespace

std::string HotKeyText(int value) {
  const int vk = value & 0xFF;
  if (vk == 0) return {};
  const int mods = (value >> 8) & 0xFF;
  std::string text;
  if (mods & win::HOTKEYF_CONTROL) text += "Ctrl+";
  if (mods & win::HOTKEYF_SHIFT) text += "Shift+";
  if (mods & win::HOTKEYF_ALT) text += "Alt+";
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return text + static_cast<char>(vk);
  if (vk >= 0x60 && vk <= 0x69) return text + "Num " + static_cast<char>('0' + vk - 0x60);
  if (vk >= 0x70 && vk <= 0x87) return text + "F" + std::to_string(vk - 0x70 + 1);
  if (const char* name = KeyName(vk)) return text + name;
  char code[16];
  std::snprintf(code, sizeof code, "0x%02X", vk);
  return text + code;
}

win::UINT HotKeyModifiers(int value) {
  const int mods = (value >> 8) & 0xFF;
  win::UINT result = 0;
  if (mods & win::HOTKEYF_SHIFT) result |= win::MOD_SHIFT;
  if (mods & win::HOTKEYF_CONTROL) result |= win::MOD_CONTROL;
  if (mods & win::HOTKEYF_ALT) result |= win::MOD_ALT;
  return result;
}

win::UINT HotKeyVirtualKey(int value) { return static_cast<win::UINT>(value & 0xFF); }

uint64_t FreedBytes(uint64_t freeBefore, uint64_t freeAfter) {
  return freeAfter > freeBefore ? freeAfter - freeBefore : 0;
}

std::string FreedText(uint64_t freedBytes, uint64_t freeBytes) {
  return lang::Format(lang::TextId::FreedBalloon, {{"freed", Thousands(RoundedMB(freedBytes))},
                                                   {"free", Thousands(RoundedMB(freeBytes))}});
}

std::string MegabytesText(uint64_t bytes) { return Thousands(RoundedMB(bytes)) + " MB"; }

uint64_t WholeMegabytes(uint64_t bytes) { return RoundedMB(bytes); }

std::string LoadIconDigits(int load) {
  if (load >= 100) return {};
  return std::to_string(std::max(load, 0));
}

std::vector<uint32_t> LoadIconPixels(int load, int size, bool cleaning) {
  const uint32_t fill = cleaning ? kCleaningFill : kNormalFill;
  const uint32_t edge = cleaning ? kCleaningEdge : kNormalEdge;
  std::vector<uint32_t> pixels(static_cast<size_t>(size) * static_cast<size_t>(size), fill);
  const auto set = [&](int x, int y, uint32_t c) {
    if (x >= 0 && y >= 0 && x < size && y < size) pixels[static_cast<size_t>(y * size + x)] = c;
  };
  for (int i = 0; i < size; ++i) {
    set(i, 0, edge);
    set(i, size - 1, edge);
    set(0, i, edge);
    set(size - 1, i, edge);
  }
  const std::string digits = LoadIconDigits(load);
  if (digits.empty()) {
    // 100: the chip is one full white bar inside its edge.
    for (int y = 2; y < size - 2; ++y)
      for (int x = 2; x < size - 2; ++x) set(x, y, kWhite);
    return pixels;
  }
  // Two digit cells of 3 × 5 grid squares, sx wide and sy tall, one square
  // apart, centred inside the edge (which stays whole at every size); a
  // single digit takes the right-hand cell.
  const int sx = std::max(1, (size - 2) / 7);
  const int sy = std::max(1, (size - 2) / 5);
  const int width = 7 * sx, height = 5 * sy;
  const int left = (size - width) / 2, top = (size - height) / 2;
  for (size_t d = 0; d < digits.size(); ++d) {
    const int cell = digits.size() == 1 ? 1 : static_cast<int>(d);
    const uint16_t glyph = kGlyphs[digits[d] - '0'];
    for (int row = 0; row < 5; ++row)
      for (int col = 0; col < 3; ++col) {
        if (((glyph >> ((4 - row) * 3 + (2 - col))) & 1) == 0) continue;
        for (int y = 0; y < sy; ++y)
          for (int x = 0; x < sx; ++x)
            set(left + cell * 4 * sx + col * sx + x, top + row * sy + y, kWhite);
      }
  }
  return pixels;
}

win::HICON TrayLoadIcon::Icon(int load, bool cleaning) {
  auto& desktop = Os().desktop;
  const int size = desktop.SmallIconSize(FPixelsPerInch);
  const std::string digits = LoadIconDigits(load);
  if (FIcon != nullptr && digits == FDigits && cleaning == FCleaning && size == FSize) return FIcon;
  const win::HICON made = desktop.CreateIconFromPixels(size, LoadIconPixels(load, size, cleaning));
  if (made == nullptr) return FIcon;
  ReleaseReplaced();
  FReplaced = FIcon;
  FIcon = made;
  FDigits = digits;
  FCleaning = cleaning;
  FSize = size;
  return FIcon;
}

void TrayLoadIcon::ReleaseReplaced() {
  if (FReplaced != nullptr) Os().desktop.DestroyIcon(FReplaced);
  FReplaced = nullptr;
}

void TrayLoadIcon::Clear() {
  ReleaseReplaced();
  if (FIcon != nullptr) Os().desktop.DestroyIcon(FIcon);
  FIcon = nullptr;
  FDigits.clear();
}

}  // namespace norva
