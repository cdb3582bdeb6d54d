#include "app/Monitors.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace norva {

MonitorList DesktopMonitors() {
  MonitorList monitors = platform::Os().user.DisplayMonitors();
  if (monitors.empty()) monitors = platform::Os().user.IUser::DisplayMonitors();
  return monitors;
}

bool PositionOnAMonitor(const MonitorList& monitors, int x, int y) {
  return std::any_of(monitors.begin(), monitors.end(), [&](const win::MONITORINFO& m) {
    const win::RECT& r = m.rcMonitor;
    return x >= r.left && x <= r.right - 2 && y >= r.top && y <= r.bottom - 2;
  });
}

namespace {

// How far apart two ranges are along one axis: 0 when they overlap.
int64_t Gap(int64_t low1, int64_t high1, int64_t low2, int64_t high2) {
  return std::max<int64_t>({0, low2 - high1, low1 - high2});
}

}  // namespace

const win::MONITORINFO& MonitorOf(const MonitorList& monitors, const win::RECT& window) {
  const win::MONITORINFO* best = &monitors.front();
  int64_t bestShared = 0;
  int64_t bestDistance = std::numeric_limits<int64_t>::max();
  for (const win::MONITORINFO& m : monitors) {
    const win::RECT& r = m.rcMonitor;
    const int64_t width =
        std::min<int64_t>(r.right, window.right) - std::max<int64_t>(r.left, window.left);
    const int64_t height =
        std::min<int64_t>(r.bottom, window.bottom) - std::max<int64_t>(r.top, window.top);
    const int64_t shared = width > 0 && height > 0 ? width * height : 0;
    const int64_t dx = Gap(window.left, window.right, r.left, r.right);
    const int64_t dy = Gap(window.top, window.bottom, r.top, r.bottom);
    const int64_t distance = dx * dx + dy * dy;
    if (shared > bestShared || (bestShared == 0 && shared == 0 && distance < bestDistance)) {
      best = &m;
      bestShared = shared;
      bestDistance = distance;
    }
  }
  return *best;
}

}  // namespace norva
