// System functions Norva needs only now and then (the file and colour
// dialogs, the warning sounds) or only after its window shows (the tray
// icon), bound at their first call instead of at start: their libraries, and
// the many they pull in (printing, audio, COM, the shell's helpers), are then
// loaded only when needed.
// A library that is loaded stays loaded to the end, as a linked one would.
#pragma once

#include "platform/win32/WinApi.h"

#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>

namespace norva::platform::win32 {

// The function `name` of the system library `library`, loading it if need
// be; null when either cannot be found.
template <class Function>
Function* LateBound(const char* library, const char* name) {
  ::HMODULE module = ::GetModuleHandleA(library);
  if (module == nullptr) module = ::LoadLibraryA(library);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// The dialogs, the sound and the tray, each bound once; a missing function
// acts as a dialog the user cancelled, a sound that could not be played, or a
// tray call the shell refused.
inline BOOL LateGetOpenFileNameW(OPENFILENAMEW* ofn) {
  static const auto bound = LateBound<decltype(::GetOpenFileNameW)>("comdlg32.dll", "GetOpenFileNameW");
  return bound != nullptr ? bound(ofn) : FALSE;
}

inline BOOL LateChooseColorW(CHOOSECOLORW* choose) {
  static const auto bound = LateBound<decltype(::ChooseColorW)>("comdlg32.dll", "ChooseColorW");
  return bound != nullptr ? bound(choose) : FALSE;
}

inline BOOL LateSndPlaySoundW(const wchar_t* sound, UINT flags) {
  static const auto bound = LateBound<decltype(::sndPlaySoundW)>("winmm.dll", "sndPlaySoundW");
  return bound != nullptr ? bound(sound, flags) : FALSE;
}

inline BOOL LateShellNotifyIconW(DWORD message, NOTIFYICONDATAW* data) {
  static const auto bound = LateBound<decltype(::Shell_NotifyIconW)>("shell32.dll", "Shell_NotifyIconW");
  return bound != nullptr ? bound(message, data) : FALSE;
}

// The per-monitor DPI functions of Windows 10 (1607 on), in user32, which is
// loaded anyway; each is null where the system lacks it (Windows before 10,
// Wine versions without it), and the caller falls back to the system-wide
// call. The SDK declares them only for Windows 10 and later.
typedef ::UINT(WINAPI GetDpiForWindowFunction)(::HWND);
typedef int(WINAPI GetSystemMetricsForDpiFunction)(int, ::UINT);
typedef ::BOOL(WINAPI AdjustWindowRectExForDpiFunction)(::RECT*, ::DWORD, ::BOOL, ::DWORD, ::UINT);
typedef ::BOOL(WINAPI SystemParametersInfoForDpiFunction)(::UINT, ::UINT, void*, ::UINT, ::UINT);

inline GetDpiForWindowFunction* LateGetDpiForWindow() {
  static const auto bound = LateBound<GetDpiForWindowFunction>("user32.dll", "GetDpiForWindow");
  return bound;
}

inline GetSystemMetricsForDpiFunction* LateGetSystemMetricsForDpi() {
  static const auto bound =
      LateBound<GetSystemMetricsForDpiFunction>("user32.dll", "GetSystemMetricsForDpi");
  return bound;
}

inline AdjustWindowRectExForDpiFunction* LateAdjustWindowRectExForDpi() {
  static const auto bound =
      LateBound<AdjustWindowRectExForDpiFunction>("user32.dll", "AdjustWindowRectExForDpi");
  return bound;
}

inline SystemParametersInfoForDpiFunction* LateSystemParametersInfoForDpi() {
  static const auto bound =
      LateBound<SystemParametersInfoForDpiFunction>("user32.dll", "SystemParametersInfoForDpi");
  return bound;
}

}  // namespace norva::platform::win32
