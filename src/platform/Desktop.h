// The optional desktop services: system-wide hotkeys, icons drawn by the
// program itself, and the current user's start-up entries in the registry.
// Shaped after RegisterHotKey/UnregisterHotKey, CreateIconIndirect/DestroyIcon
// and the HKEY_CURRENT_USER string-value calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace norva::win {
constexpr UINT WM_HOTKEY = 0x0312;
constexpr UINT MOD_ALT = 0x1;
constexpr UINT MOD_CONTROL = 0x2;
constexpr UINT MOD_SHIFT = 0x4;
constexpr UINT MOD_NOREPEAT = 0x4000;
// The hotkey control's modifier bits (the high byte of its value).
constexpr UINT HOTKEYF_SHIFT = 0x1;
constexpr UINT HOTKEYF_CONTROL = 0x2;
constexpr UINT HOTKEYF_ALT = 0x4;
constexpr UINT HOTKEYF_EXT = 0x8;
constexpr UINT NIF_INFO = 0x10;
constexpr DWORD NIIF_INFO = 0x1;
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
}  // namespace norva::win

namespace norva::platform {

class IDesktop {
 public:
  virtual ~IDesktop() = default;
  // False when the system refuses the combination (another program holds it).
  virtual BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) = 0;
  virtual BOOL UnregisterHotKey(HWND window, int id) = 0;
  // The system's small-icon size in pixels (SM_CXSMICON), the tray's size,
  // at that many pixels per inch (0: the screen's).
  virtual int SmallIconSize(int pixelsPerInch) = 0;
  // The pixels per inch of the monitor the taskbar (and its tray) is on; 0
  // when the system cannot tell.
  virtual int TaskbarPixelsPerInch() = 0;
  // An icon of size × size pixels from 0xAARRGGBB values, row by row from
  // the top; alpha 0 is transparent. Null on failure.
  virtual HICON CreateIconFromPixels(int size, const std::vector<uint32_t>& argb) = 0;
  virtual BOOL DestroyIcon(HICON icon) = 0;
  // Puts the text on the clipboard as Unicode text; false when the
  // clipboard cannot be had.
  virtual BOOL SetClipboardText(HWND /*owner*/, const std::string& /*text*/) { return 0; }
};

// String values under HKEY_CURRENT_USER. Results are Win32 error codes.
class IUserRegistry {
 public:
  virtual ~IUserRegistry() = default;
  // ERROR_FILE_NOT_FOUND when the key or the value is missing.
  virtual LONG GetStringValue(const std::string& subKey, const std::string& name,
                              std::string& value) = 0;
  // Creates the key when needed; the value is written as REG_SZ.
  virtual LONG SetStringValue(const std::string& subKey, const std::string& name,
                              const std::string& value) = 0;
  virtual LONG DeleteValue(const std::string& subKey, const std::string& name) = 0;
};

// Where none is installed: nothing registers, no icon is made, no value exists.
IDesktop& NoDesktop();
IUserRegistry& NoUserRegistry();

}  // namespace norva::platform
