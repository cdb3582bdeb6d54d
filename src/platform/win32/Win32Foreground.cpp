#include "platform/win32/Win32Foreground.h"

#include <type_traits>

#include "platform/win32/LateBound.h"
#include "platform/win32/ScopedWin.h"
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

// The file calls take wide paths; the older family has only the ANSI ones.
bool WideMissing() { return ::GetLastError() == ERROR_CALL_NOT_IMPLEMENTED; }

::HANDLE OpenFile(const std::string& path, ::DWORD access, ::DWORD share, ::DWORD disposition) {
  ::HANDLE h = ::CreateFileW(Wide(path).c_str(), access, share, nullptr, disposition,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE && WideMissing())
    h = ::CreateFileA(ToAnsi(path).c_str(), access, share, nullptr, disposition,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
  return h;
}

bool DeleteEither(const std::string& path) {
  if (::DeleteFileW(Wide(path).c_str())) return true;
  return WideMissing() && ::DeleteFileA(ToAnsi(path).c_str());
}

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

DWORD Win32Files::ReadWholeFile(const std::string& path, std::string& bytes) {
  ScopedHandle file(OpenFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
  if (!file) return ::GetLastError();
  ::LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size)) return ::GetLastError();
  // The history is kept small; a file far beyond that is not ours to load.
  if (size.QuadPart > (64 << 20)) return ERROR_FILE_TOO_LARGE;
  std::string data(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < data.size()) {
    ::DWORD got = 0;
    if (!::ReadFile(file.Get(), data.data() + done, static_cast<::DWORD>(data.size() - done), &got,
                    nullptr))
      return ::GetLastError();
    if (got == 0) break;
    done += got;
  }
  data.resize(done);
  bytes = std::move(data);
  return 0;
}

DWORD Win32Files::WriteNewFile(const std::string& path, const std::string& bytes) {
  ScopedHandle file(OpenFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS));
  if (!file) return ::GetLastError();
  size_t done = 0;
  while (done < bytes.size()) {
    ::DWORD wrote = 0;
    if (!::WriteFile(file.Get(), bytes.data() + done, static_cast<::DWORD>(bytes.size() - done),
                     &wrote, nullptr))
      return ::GetLastError();
    if (wrote == 0) return ERROR_DISK_FULL;
    done += wrote;
  }
  // On the disk before it takes the old file's place.
  if (!::FlushFileBuffers(file.Get())) return ::GetLastError();
  const ::HANDLE h = file.Release();
  if (!::CloseHandle(h)) return ::GetLastError();
  return 0;
}

DWORD Win32Files::MoveFileReplacing(const std::string& from, const std::string& to) {
  if (::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return 0;
  if (!WideMissing()) return ::GetLastError();
  // The older family has no MoveFileEx: there the old file goes first (a
  // crash in between leaves the new one under its temporary name).
  if (!DeleteEither(to) && ::GetLastError() != ERROR_FILE_NOT_FOUND) return ::GetLastError();
  return ::MoveFileA(ToAnsi(from).c_str(), ToAnsi(to).c_str()) ? 0 : ::GetLastError();
}

DWORD Win32Files::RemoveFile(const std::string& path) {
  return DeleteEither(path) ? 0 : ::GetLastError();
}

}  // namespace norva::platform::win32
