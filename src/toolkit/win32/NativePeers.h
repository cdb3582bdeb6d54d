// The system controls behind the standard windowed controls: push button,
// check box, edit, up-down, track bar, combo box and the tab control of a
// page control. Each keeps its control's properties and the window in step
// both ways and turns the system's notifications into the control's events.
#pragma once

#include <memory>

#include "toolkit/win32/WinPeer.h"

namespace norva::tk::win32 {

// The peer for a control of one of these kinds, or null for other kinds.
std::unique_ptr<ControlPeer> CreateNativePeer(TWinControl& control);

// A tab sheet's caption changed: its page control's tab follows.
void TabCaptionChanged(TTabSheet& sheet);

}  // namespace norva::tk::win32
