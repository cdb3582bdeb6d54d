// The Win32 side of the desktop services: hotkeys, icons from pixels and
// the current user's registry values.
#pragma once

#include "platform/Desktop.h"

namespace norva::platform::win32 {

class Win32Desktop final : public IDesktop {
 public:
  BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) override;
  BOOL UnregisterHotKey(HWND window, int id) override;
  int SmallIconSize(int pixelsPerInch) override;
  int TaskbarPixelsPerInch() override;
  HICON CreateIconFromPixels(int size, const std::vector<uint32_t>& argb) override;
  BOOL DestroyIcon(HICON icon) override;
  BOOL SetClipboardText(HWND owner, const std::string& text) override;
};

class Win32UserRegistry final : public IUserRegistry {
 public:
  LONG GetStringValue(const std::string& subKey, const std::string& name,
                      std::string& value) override;
  LONG SetStringValue(const std::string& subKey, const std::string& name,
                      const std::string& value) override;
  LONG DeleteValue(const std::string& subKey, const std::string& name) override;
};

}  // namespace norva::platform::win32
