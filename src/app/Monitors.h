// Where the main window may lie and which screen edges it snaps to when the
// desktop has several monitors. With one monitor every answer is the one the
// primary screen alone gives.
#pragma once

#include <vector>

#include "platform/Platform.h"

namespace norva {

using MonitorList = std::vector<win::MONITORINFO>;

// The desktop's monitors, never none (the primary screen alone where the
// system cannot list them).
MonitorList DesktopMonitors();

// Whether a stored window position is kept: its top-left corner lies on a
// monitor with at least two pixels of that monitor right of and below it
// (on the primary screen alone: 0 ≤ x ≤ width − 2 and 0 ≤ y ≤ height − 2).
bool PositionOnAMonitor(const MonitorList& monitors, int x, int y);

// The monitor that holds a window: the one sharing the largest part of its
// area; for a window on none, the nearest one (as MonitorFromRect with
// MONITOR_DEFAULTTONEAREST). The first of equals wins.
const win::MONITORINFO& MonitorOf(const MonitorList& monitors, const win::RECT& window);

}  // namespace norva
