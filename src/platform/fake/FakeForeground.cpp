#include "platform/fake/FakeForeground.h"

#include <algorithm>

namespace norva::platform::fake {

namespace {

int64_t Overlap(const RECT& a, const RECT& b) {
  const int64_t w = std::min(a.right, b.right) - std::max(a.left, b.left);
  const int64_t h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

bool FakeForeground::QueryUserNotificationState(int* state) {
  if (!shellAnswers) return false;
  *state = notificationState;
  return true;
}

std::string FakeForeground::GetClassNameA(HWND window) {
  const auto it = windows.find(window);
  return it == windows.end() ? std::string() : it->second.className;
}

BOOL FakeForeground::GetWindowRect(HWND window, RECT* rect) {
  const auto it = windows.find(window);
  if (it == windows.end()) return 0;
  *rect = it->second.rect;
  return 1;
}

BOOL FakeForeground::IsZoomed(HWND window) {
  const auto it = windows.find(window);
  return it != windows.end() && it->second.zoomed ? 1 : 0;
}

BOOL FakeForeground::WindowMonitorRect(HWND window, RECT* monitor) {
  const auto it = windows.find(window);
  if (it == windows.end() || monitors.empty()) return 0;
  // The monitor the window overlaps most; the first when it overlaps none.
  const RECT* best = &monitors.front();
  int64_t most = 0;
  for (const RECT& m : monitors)
    if (const int64_t area = Overlap(m, it->second.rect); area > most) {
      most = area;
      best = &m;
    }
  *monitor = *best;
  return 1;
}

}  // namespace norva::platform::fake
