// What the user has in front of them: the shell's own answer on whether a
// full-screen program runs (SHQueryUserNotificationState), and the
// foreground window with the monitor it lies on, for systems where that
// answer is missing or says nothing useful.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace norva::win {
// SHQueryUserNotificationState's answers.
constexpr int QUNS_NOT_PRESENT = 1;
constexpr int QUNS_BUSY = 2;
constexpr int QUNS_RUNNING_D3D_FULL_SCREEN = 3;
constexpr int QUNS_PRESENTATION_MODE = 4;
constexpr int QUNS_ACCEPTS_NOTIFICATIONS = 5;
constexpr int QUNS_QUIET_TIME = 6;
constexpr int QUNS_APP = 7;
}  // namespace norva::win

namespace norva::platform {

class IForeground {
 public:
  virtual ~IForeground() = default;
  // False when the function is missing (before Windows Vista) or fails.
  virtual bool QueryUserNotificationState(int* state) = 0;
  virtual HWND GetForegroundWindow() = 0;
  // The shell's desktop window (GetShellWindow), null without a shell.
  virtual HWND GetShellWindow() = 0;
  virtual std::string GetClassNameA(HWND window) = 0;
  virtual BOOL GetWindowRect(HWND window, RECT* rect) = 0;
  virtual BOOL IsZoomed(HWND window) = 0;
  // The rectangle of the monitor the window lies most on
  // (MonitorFromWindow, then GetMonitorInfo); false when unknown.
  virtual BOOL WindowMonitorRect(HWND window, RECT* monitor) = 0;
};

// Where none is installed: no answer from the shell, no foreground window.
IForeground& NoForeground();

}  // namespace norva::platform
