// The rules of the opt-in features, apart from any window: the hotkey's
// name and system form, the amount a cleaning freed and its notice text,
// the interval clock, and the tray icon that shows the memory load.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace norva {

// "Ctrl+Alt+M" for the hotkey control's value; "" for none.
std::string HotKeyText(int value);
// RegisterHotKey's MOD_ bits and key for the hotkey control's value.
win::UINT HotKeyModifiers(int value);
win::UINT HotKeyVirtualKey(int value);

// Free physical memory after minus before, never below 0.
uint64_t FreedBytes(uint64_t freeBefore, uint64_t freeAfter);
// "1,234 MB 解放しました（空き 5,678 MB）": whole megabytes, rounded, with
// thousands separators.
std::string FreedText(uint64_t freedBytes, uint64_t freeBytes);
// "1,234 MB": whole megabytes, rounded, with thousands separators.
std::string MegabytesText(uint64_t bytes);
uint64_t WholeMegabytes(uint64_t bytes);

// When a cleaning on an interval is due: that many minutes after the last
// cleaning of any kind ended (or after the clock was started). Tick counts
// wrap after 49.7 days; the unsigned difference stays right across it.
class IntervalClock {
 public:
  void Restart(win::DWORD now) { FSince = now; }
  bool Due(win::DWORD now, int minutes) const {
    return minutes > 0 &&
           static_cast<win::DWORD>(now - FSince) >= static_cast<win::DWORD>(minutes) * 60000u;
  }

 private:
  win::DWORD FSince = 0;
};

// What the tray icon shows for a memory load: "0" to "99", or "" for a full
// bar at 100 and above.
std::string LoadIconDigits(int load);
// The icon's pixels (0xAARRGGBB, size × size, top row first): the number in
// white on the normal (green) or cleaning (orange) chip.
std::vector<uint32_t> LoadIconPixels(int load, int size, bool cleaning);

// The tray's load icon: a new icon only when the number or the colour
// changes; the one it replaced is destroyed once the tray shows the new one.
class TrayLoadIcon {
 public:
  TrayLoadIcon() = default;
  ~TrayLoadIcon() { Clear(); }
  TrayLoadIcon(const TrayLoadIcon&) = delete;
  TrayLoadIcon& operator=(const TrayLoadIcon&) = delete;

  // The icon for this load and state (null when the system makes none), at
  // the small-icon size of the taskbar's scale.
  win::HICON Icon(int load, bool cleaning);
  // The pixels per inch of the taskbar's monitor (0: the screen's).
  void SetPixelsPerInch(int pixelsPerInch) { FPixelsPerInch = pixelsPerInch; }
  // Destroys the icon the last change replaced.
  void ReleaseReplaced();
  // Destroys every icon made.
  void Clear();
  bool Active() const { return FIcon != nullptr; }

 private:
  win::HICON FIcon = nullptr;
  win::HICON FReplaced = nullptr;
  std::string FDigits;
  bool FCleaning = false;
  int FSize = 0;
  int FPixelsPerInch = 0;
};

}  // namespace norva
