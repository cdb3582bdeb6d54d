// The stand-in for the foreground queries where no platform provides them.
#include "platform/Foreground.h"

namespace norva::platform {

namespace {

class NoForegroundCalls final : public IForeground {
 public:
  bool QueryUserNotificationState(int*) override { return false; }
  HWND GetForegroundWindow() override { return nullptr; }
  HWND GetShellWindow() override { return nullptr; }
  std::string GetClassNameA(HWND) override { return {}; }
  BOOL GetWindowRect(HWND, RECT*) override { return 0; }
  BOOL IsZoomed(HWND) override { return 0; }
  BOOL WindowMonitorRect(HWND, RECT*) override { return 0; }
};

}  // namespace

IForeground& NoForeground() {
  static NoForegroundCalls none;
  return none;
}

}  // namespace norva::platform
