#include "platform/win32/Win32Foreground.h"

#include <type_traits>

#include "platform/win32/LateBound.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"

namespace norva::platform::win32 {

namespace {

// Declared by the headers only for Windows Vista and later; the values
// match QUERY_USER_NOTIFICATION_STATE.
using QueryUserNotificationStateProc = ::HRESULT(WINAPI*)(int* state);
using MonitorFromWindowProc = ::HMONITOR(WINAPI*)(::HWND, ::DWORD);
using GetMonitorInfoProc = ::BOOL(WINAPI*)(::HMONITOR, ::MONITORINFO*);
constexpr ::DWORD kMonitorDefaultToNearest = 2;

RECT FromWin(const ::RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

bool Win32Foreground::QueryUserNotificationState(int* state) {
  static const auto bound = LateBound<std::remove_pointer_t<QueryUserNotificationStateProc>>(
      "shell32.dll", "SHQueryUserNotificationState");
  if (bound == nullptr) return false;
  int answer = 0;
  if (FAILED(bound(&answer))) return false;
  *state = answer;
  return true;
}

HWND Win32Foreground::GetForegroundWindow() { return ::GetForegroundWindow(); }

HWND Win32Foreground::GetShellWindow() { return ::GetShellWindow(); }

std::string Win32Foreground::GetClassNameA(HWND window) {
  wchar_t name[256];
  const int length = ::GetClassNameW(static_cast<::HWND>(window), name, 256);
  return length > 0 ? Utf8(name, static_cast<size_t>(length)) : std::string();
}

BOOL Win32Foreground::GetWindowRect(HWND window, RECT* rect) {
  ::RECT r{};
  if (!::GetWindowRect(static_cast<::HWND>(window), &r)) return FALSE;
  *rect = FromWin(r);
  return TRUE;
}

BOOL Win32Foreground::IsZoomed(HWND window) { return ::IsZoomed(static_cast<::HWND>(window)); }

BOOL Win32Foreground::WindowMonitorRect(HWND window, RECT* monitor) {
  // Looked up: the first systems of both families lack the monitor calls;
  // there the screen is the one monitor.
  static const auto fromWindow =
      LateBound<std::remove_pointer_t<MonitorFromWindowProc>>("user32.dll", "MonitorFromWindow");
  static const auto getInfo =
      LateBound<std::remove_pointer_t<GetMonitorInfoProc>>("user32.dll", "GetMonitorInfoW");
  if (fromWindow != nullptr && getInfo != nullptr) {
    const ::HMONITOR m = fromWindow(static_cast<::HWND>(window), kMonitorDefaultToNearest);
    ::MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (m == nullptr || !getInfo(m, &info)) return FALSE;
    *monitor = FromWin(info.rcMonitor);
    return TRUE;
  }
  const ::RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  *monitor = FromWin(screen);
  return TRUE;
}

}  // namespace norva::platform::win32
