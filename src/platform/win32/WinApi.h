// <windows.h> for the Win32 side of the program. The platform's own
// declarations are read first: the Windows headers define many of the same
// names (MB_OK, WM_CLOSE, HWND_TOPMOST, ...) as macros, which would break
// those declarations if they came later. Include this instead of <windows.h>.
#pragma once

#include "platform/Accessibility.h"
#include "platform/Desktop.h"
#include "platform/Files.h"
#include "platform/Foreground.h"
#include "platform/Platform.h"
#include "platform/Toolhelp.h"

// Kept out of the include sorting, which would put it first.
// clang-format off
#include <windows.h>
// clang-format on
