// System functions Norva needs only now and then (the file and colour
// dialogs, the warning sounds), bound at their first call instead of at
// start: their libraries, and the many they pull in (printing, audio, COM),
// are then loaded only by a program that opens a dialog or plays a sound.
// A library that is loaded stays loaded to the end, as a linked one would.
#pragma once

#include "platform/win32/WinApi.h"

#include <commdlg.h>
#include <mmsystem.h>

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

// The dialogs and the sound, each bound once; a missing function acts as a
// dialog the user cancelled, or a sound that could not be played.
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

}  // namespace norva::platform::win32
