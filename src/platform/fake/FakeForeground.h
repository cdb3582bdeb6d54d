// The simulated foreground for tests: the shell's answer, the windows with
// their class, place and zoom, and the monitors; and the simulated whole
// files, with scripted failures of each step of a write.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "platform/Files.h"
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

class FakeFiles : public IFiles {
 public:
  // The files by path, as written.
  std::map<std::string, std::string> files;
  // Scripted failures: a read; a write that stops after so many bytes
  // (the part written stays, as on a full disk); a replace.
  DWORD readError = 0;
  size_t writeFailsAfter = static_cast<size_t>(-1);
  DWORD writeError = win::ERROR_DISK_FULL;
  DWORD replaceError = 0;
  int writes = 0;
  int replaces = 0;

  DWORD ReadWholeFile(const std::string& path, std::string& bytes) override;
  DWORD WriteNewFile(const std::string& path, const std::string& bytes) override;
  DWORD MoveFileReplacing(const std::string& from, const std::string& to) override;
  DWORD RemoveFile(const std::string& path) override;
};

}  // namespace norva::platform::fake
