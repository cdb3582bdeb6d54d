// The Win32 side of the foreground queries (the shell's answer bound late
// from shell32, the monitor calls looked up in user32) and of the whole-file
// calls (wide paths, every write checked and flushed).
#pragma once

#include "platform/Files.h"
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

class Win32Files final : public IFiles {
 public:
  DWORD ReadWholeFile(const std::string& path, std::string& bytes) override;
  DWORD WriteNewFile(const std::string& path, const std::string& bytes) override;
  DWORD MoveFileReplacing(const std::string& from, const std::string& to) override;
  DWORD RemoveFile(const std::string& path) override;
};

}  // namespace norva::platform::win32
