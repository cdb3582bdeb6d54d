// The stand-ins for the foreground queries and the whole-file calls where
// no platform provides them.
#include "platform/Foreground.h"

#include "platform/Files.h"

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

class NoFileCalls final : public IFiles {
 public:
  DWORD ReadWholeFile(const std::string&, std::string&) override {
    return win::ERROR_FILE_NOT_FOUND;
  }
  DWORD WriteNewFile(const std::string&, const std::string&) override {
    return win::ERROR_ACCESS_DENIED;
  }
  DWORD MoveFileReplacing(const std::string&, const std::string&) override {
    return win::ERROR_ACCESS_DENIED;
  }
  DWORD RemoveFile(const std::string&) override { return win::ERROR_FILE_NOT_FOUND; }
};

}  // namespace

IForeground& NoForeground() {
  static NoForegroundCalls none;
  return none;
}

IFiles& NoFiles() {
  static NoFileCalls none;
  return none;
}

}  // namespace norva::platform
