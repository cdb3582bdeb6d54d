// The file-open dialog of a picture: the system's explorer-style dialog with
// a preview pane on its right that shows the bitmap under the selection,
// scaled to fit, and its size in pixels.
#pragma once

#include "toolkit/win32/Win32Api.h"

// After the Windows headers, which it needs.
#include <commdlg.h>

namespace norva::tk::win32 {

// GetOpenFileNameW with the preview pane added to ofn (its template and
// hook are set here; everything else is the caller's).
BOOL GetOpenPictureFileName(OPENFILENAMEW& ofn);

}  // namespace norva::tk::win32
