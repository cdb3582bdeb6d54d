// The simulated foreground for tests: the shell's answer, the windows with
// their class, place and zoom, and the monitors.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/Foreground.h"

namespace norva::platform::fake {

struct FakeWindow {
  std::string className;
  RECT rect{};
  bool zoomed = false;
};

class FakeForeground : public IForeground {
 public:
  // Whether SHQueryUserNotificationState exists and answers, and what.
  bool shellAnswers = true;
  int notificationState = win::QUNS_ACCEPTS_NOTIFICATIONS;
  HWND foreground = nullptr;
  HWND shellWindow = reinterpret_cast<HWND>(0x5E11);
  std::map<HWND, FakeWindow> windows;
  std::vector<RECT> monitors{{0, 0, 1024, 768}};

  bool QueryUserNotificationState(int* state) override;
  HWND GetForegroundWindow() override { return foreground; }
  HWND GetShellWindow() override { return shellWindow; }
  std::string GetClassNameA(HWND window) override;
  BOOL GetWindowRect(HWND window, RECT* rect) override;
  BOOL IsZoomed(HWND window) override;
  BOOL WindowMonitorRect(HWND window, RECT* monitor) override;
};

}  // namespace norva::platform::fake
