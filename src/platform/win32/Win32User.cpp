#include <cstring>
#include <string>
#include <type_traits>

#include "platform/BitmapFile.h"
#include "platform/win32/LateBound.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/Win32Areas.h"
#include "platform/win32/Win32Fonts.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"

#include <mmsystem.h>
#include <shellapi.h>

namespace norva::platform::win32 {

namespace {

::HWND Hwnd(HWND window) { return static_cast<::HWND>(window); }

// Copies a text into a fixed field of the tray record, cut to fit and
// zero-terminated, never ending in half of a surrogate pair.
template <size_t N>
void CopyCut(wchar_t (&field)[N], std::wstring text) {
  if (text.size() > N - 1) {
    text.resize(N - 1);
    if (!text.empty() && text.back() >= 0xD800 && text.back() < 0xDC00) text.pop_back();
  }
  std::memcpy(field, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// The program icon's resource name; it sorts before the tray icons, so the
// shell, which shows the first icon group of a file, shows this one.
constexpr const char* kMainIcon = "MAINICON";

// Reads the start of a file and its size and checks them as a bitmap's, so
// that a truncated file or a huge picture never reaches LoadImage.
bool BitmapFileAcceptable(const std::string& path) {
  const ScopedHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  ::DWORD high = 0;
  const ::DWORD low = ::GetFileSize(file.Get(), &high);
  if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) return false;
  const uint64_t size = static_cast<uint64_t>(high) << 32 | low;
  unsigned char header[kBitmapHeaderBytes] = {};
  ::DWORD read = 0;
  if (!::ReadFile(file.Get(), header, sizeof(header), &read, nullptr)) return false;
  return CheckBitmapHeader(header, read, size).has_value();
}

}  // namespace

int Win32User::MessageBoxA(HWND owner, const std::string& text, const std::string& caption,
                           UINT type) {
  // Wide, so the Japanese texts show on every locale.
  return MessageBoxWithStandIn(Hwnd(owner), Wide(text), Wide(caption), type);
}

BOOL Win32User::MessageBeep(UINT type) { return ::MessageBeep(type); }

bool Win32User::FontFamilyInstalled(const std::string& face) { return FamilyInstalled(face); }

std::string Win32User::MessageFontFace() { return MessageFontName(); }

unsigned short Win32User::UserDefaultUILanguage() {
  // Windows 2000 and later; the 9x family has only the locale's language.
  using Proc = ::LANGID(WINAPI*)();
  static const auto proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetUserDefaultUILanguage")));
  return proc != nullptr ? proc() : ::GetUserDefaultLangID();
}

namespace {

using EnumDisplayMonitorsProc = ::BOOL(WINAPI*)(::HDC, const ::RECT*, MONITORENUMPROC, ::LPARAM);
using GetMonitorInfoProc = ::BOOL(WINAPI*)(::HMONITOR, ::MONITORINFO*);

struct MonitorWalk {
  GetMonitorInfoProc getInfo;
  std::vector<MONITORINFO>* monitors;
};

::BOOL CALLBACK AddMonitor(::HMONITOR monitor, ::HDC, ::RECT*, ::LPARAM data) {
  const auto& walk = *reinterpret_cast<const MonitorWalk*>(data);
  ::MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (walk.getInfo(monitor, &info)) {
    const auto rect = [](const ::RECT& r) { return RECT{r.left, r.top, r.right, r.bottom}; };
    walk.monitors->push_back(
        {sizeof(MONITORINFO), rect(info.rcMonitor), rect(info.rcWork), info.dwFlags});
  }
  return TRUE;
}

}  // namespace

std::vector<MONITORINFO> Win32User::DisplayMonitors() {
  // Windows 95 and NT 4 have no monitor calls: looked up, not linked.
  const auto enumerate =
      LateBound<std::remove_pointer_t<EnumDisplayMonitorsProc>>("user32.dll", "EnumDisplayMonitors");
  const auto getInfo =
      LateBound<std::remove_pointer_t<GetMonitorInfoProc>>("user32.dll", "GetMonitorInfoW");
  std::vector<MONITORINFO> monitors;
  if (enumerate != nullptr && getInfo != nullptr) {
    MonitorWalk walk{getInfo, &monitors};
    enumerate(nullptr, nullptr, &AddMonitor, reinterpret_cast<::LPARAM>(&walk));
  }
  if (monitors.empty()) return IUser::DisplayMonitors();
  return monitors;
}

int Win32User::GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

BOOL Win32User::GetCursorPos(POINT* point) {
  ::POINT p{};
  const BOOL ok = ::GetCursorPos(&p);
  point->x = p.x;
  point->y = p.y;
  return ok;
}

BOOL Win32User::SetCursorPos(int x, int y) { return ::SetCursorPos(x, y); }

int16_t Win32User::GetKeyState(int virtualKey) { return ::GetKeyState(virtualKey); }

UINT Win32User::RegisterWindowMessageA(const char* name) { return ::RegisterWindowMessageA(name); }

BOOL Win32User::PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(Hwnd(window), message, wParam, lParam);
}

BOOL Win32User::ShowWindow(HWND window, int command) { return ::ShowWindow(Hwnd(window), command); }

BOOL Win32User::SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                             UINT flags) {
  return ::SetWindowPos(Hwnd(window), Hwnd(insertAfter), x, y, cx, cy, flags);
}

BOOL Win32User::SetForegroundWindow(HWND window) { return ::SetForegroundWindow(Hwnd(window)); }

HWND Win32User::GetDesktopWindow() { return ::GetDesktopWindow(); }

LRESULT Win32User::DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(Hwnd(window), message, wParam, lParam);
}

HICON Win32User::LoadIconResource(const char* name, int cx, int cy, UINT flags) {
  return ::LoadImageA(::GetModuleHandleW(nullptr), name, IMAGE_ICON, cx, cy, flags);
}

HICON Win32User::ApplicationIcon() {
  return ::LoadImageA(::GetModuleHandleW(nullptr), kMainIcon, IMAGE_ICON, 0, 0,
                      LR_DEFAULTSIZE | LR_SHARED);
}

LoadedBitmap Win32User::LoadBitmapFile(const std::string& path) {
  LoadedBitmap result;
  if (path.empty() || !BitmapFileAcceptable(path)) return result;
  // A folder, a missing file or a file that is no bitmap all give null here.
  auto* bitmap = static_cast<::HBITMAP>(
      ::LoadImageW(nullptr, Wide(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (bitmap == nullptr) return result;
  BITMAP info{};
  if (::GetObjectW(bitmap, sizeof(info), &info) == 0) {
    ::DeleteObject(bitmap);
    return result;
  }
  result.handle = bitmap;
  result.width = info.bmWidth;
  result.height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  return result;
}

void Win32User::DeleteBitmap(HBITMAP bitmap) {
  if (bitmap != nullptr) ::DeleteObject(static_cast<::HBITMAP>(bitmap));
}

void Win32User::PaintDesktopWallpaper(HWND window, HDC dc) {
  // The desktop's own procedure paints its wallpaper into any DC it is
  // given, aligned to the screen, so the window shows what lies behind it.
  if (dc != nullptr) {
    ::DefWindowProcA(::GetDesktopWindow(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    return;
  }
  const ScopedWindowDc own(Hwnd(window));
  if (own)
    ::DefWindowProcA(::GetDesktopWindow(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(own.Get()),
                     0);
}

BOOL Win32Shell::Shell_NotifyIconA(DWORD message, const NotifyIconData& data) {
  // The wide record of the version-5 shell layout, so the Japanese tooltips
  // show on every locale. Everything the program does not set stays zero.
  NOTIFYICONDATAW record;
  std::memset(&record, 0, sizeof(record));
  record.cbSize = NOTIFYICONDATAW_V2_SIZE;
  record.hWnd = Hwnd(data.hWnd);
  record.uID = 0;
  record.uFlags = data.uFlags;
  record.uCallbackMessage = data.uCallbackMessage;
  record.hIcon = static_cast<::HICON>(data.hIcon);
  std::wstring tip = Wide(data.szTip);
  constexpr size_t kTipChars = sizeof(record.szTip) / sizeof(record.szTip[0]) - 1;
  if (tip.size() > kTipChars) {
    tip.resize(kTipChars);
    // Never leave half of a surrogate pair at the end.
    if (!tip.empty() && tip.back() >= 0xD800 && tip.back() < 0xDC00) tip.pop_back();
  }
  std::memcpy(record.szTip, tip.c_str(), (tip.size() + 1) * sizeof(wchar_t));
  if ((data.uFlags & NIF_INFO) != 0) {
    CopyCut(record.szInfo, Wide(data.szInfo));
    CopyCut(record.szInfoTitle, Wide(data.szInfoTitle));
    record.dwInfoFlags = data.dwInfoFlags;
  }
  return LateShellNotifyIconW(message, &record);
}

BOOL Win32Sound::sndPlaySoundA(const std::string& path, UINT flags) {
  return LateSndPlaySoundW(Wide(path).c_str(), flags);
}

LONG Win32Registry::RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, DWORD access,
                                  HKEY* result) {
  ::HKEY opened = nullptr;
  const LONG status = ::RegOpenKeyExA(static_cast<::HKEY>(root), subKey, options, access, &opened);
  *result = opened;
  return status;
}

LONG Win32Registry::RegQueryValueExA(HKEY key, const char* valueName, DWORD* type, void* data,
                                     DWORD* size) {
  ::DWORD systemType = 0;
  ::DWORD systemSize = size != nullptr ? *size : 0;
  const LONG status = ::RegQueryValueExA(
      static_cast<::HKEY>(key), valueName, nullptr, type != nullptr ? &systemType : nullptr,
      static_cast<BYTE*>(data), size != nullptr ? &systemSize : nullptr);
  if (type != nullptr) *type = systemType;
  if (size != nullptr) *size = systemSize;
  return status;
}

LONG Win32Registry::RegCloseKey(HKEY key) { return ::RegCloseKey(static_cast<::HKEY>(key)); }

}  // namespace norva::platform::win32
