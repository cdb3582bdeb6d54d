// The toolkit's Win32 back end: native windows, GDI painting, the real
// message loop, timers, menus and the system dialogs.
#pragma once

#include "toolkit/Backend.h"

namespace norva::tk::win32 {

// The one back end of the process, ready to install with InstallBackend.
Backend& Win32Backend();

}  // namespace norva::tk::win32
