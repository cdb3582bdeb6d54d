// <windows.h> and the common controls for the toolkit's Win32 back end, read
// after every toolkit header: the Windows headers define names the toolkit
// also uses (DT_LEFT, DrawText, ...) as macros. Include this instead of
// <windows.h> in the back end's files.
#pragma once

#include "toolkit/Application.h"
#include "toolkit/Backend.h"
#include "toolkit/Canvas.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Control.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/HotKey.h"
#include "toolkit/Menus.h"
#include "toolkit/Splitter.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Timer.h"
#include "toolkit/Types.h"

#include "platform/win32/WinApi.h"

#include <commctrl.h>

// The toolkit's canvas has a DrawText member; the macro would rename it.
#undef DrawText
