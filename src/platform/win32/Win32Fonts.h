// Fonts on Win32: which families are installed, the system's message font,
// and message boxes drawn in the stand-in face when the program's own face is
// missing.
#pragma once

#include <string>

#include "platform/win32/WinApi.h"

namespace norva::platform::win32 {

bool FamilyInstalled(const std::string& face);
std::string MessageFontName();

// MessageBoxW; when the program's face is missing, the box's text and
// buttons are given the stand-in face at the message font's size, and the
// text and the box grow when the stand-in needs more room.
int MessageBoxWithStandIn(::HWND owner, const std::wstring& text, const std::wstring& caption,
                          ::UINT type);

}  // namespace norva::platform::win32
