// The Win32 side of the foreground queries: the shell's answer bound late
// from shell32, the monitor calls looked up in user32.
#pragma once

#include "platform/Foreground.h"

namespace norva::platform::win32 {

class Win32Foreground final : public IForeground {
 public:
  bool QueryUserNotificationState(int* state) override;
  HWND GetForegroundWindow() override;
  HWND GetShellWindow() override;
  std::string GetClassNameA(HWND window) override;
  BOOL GetWindowRect(HWND window, RECT* rect) override;
  BOOL IsZoomed(HWND window) override;
  BOOL WindowMonitorRect(HWND window, RECT* monitor) override;
};

}  // namespace norva::platform::win32
