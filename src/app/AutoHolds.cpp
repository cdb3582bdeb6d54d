#include "app/AutoHolds.h"

#include <algorithm>

#include "lang/Lang.h"
#include "platform/Foreground.h"

namespace norva {

using platform::Os;

void AutoBackoff::Finished(win::DWORD now, AutoOrigin origin, bool stillHolds, uint64_t freedBytes,
                           uint64_t totalPhysBytes, int load) {
  if (CleaningHelped(stillHolds, freedBytes, totalPhysBytes)) {
    Reset();
    return;
  }
  // Counted only as far as the longest wait needs.
  FFailures = std::min(FFailures + 1, 7);
  FSince = now;
  FOrigin = origin;
  FLoadAtFailure = load;
}

void AutoBackoff::Watch(bool freeStillBelowThreshold, int load) {
  if (FFailures == 0) return;
  const bool gone =
      FOrigin == AutoOrigin::FreeMemoryRule ? !freeStillBelowThreshold : load < FLoadAtFailure;
  if (gone) Reset();
}

void AutoBackoff::Reset() { FFailures = 0; }

int AutoBackoff::WaitMinutes() const {
  if (FFailures == 0) return 0;
  return std::min(1 << (FFailures - 1), kLongestWaitMinutes);
}

bool AutoBackoff::Waiting(win::DWORD now) const {
  return FFailures > 0 &&
         static_cast<win::DWORD>(now - FSince) < static_cast<win::DWORD>(WaitMinutes()) * 60000u;
}

int AutoBackoff::MinutesLeft(win::DWORD now) const {
  if (!Waiting(now)) return 0;
  const win::DWORD left =
      static_cast<win::DWORD>(WaitMinutes()) * 60000u - static_cast<win::DWORD>(now - FSince);
  return static_cast<int>((left + 59999u) / 60000u);
}

bool CleaningHelped(bool stillHolds, uint64_t freedBytes, uint64_t totalPhysBytes) {
  return !stillHolds && freedBytes >= totalPhysBytes / 100;
}

std::string BackoffTipLine(int minutesLeft) {
  return lang::Format(lang::TextId::BackoffTipLine, {{"minutes", std::to_string(minutesLeft)}});
}

bool FullScreenInFront(win::HWND desktopWindow) {
  auto& fg = Os().foreground;
  int state = 0;
  if (fg.QueryUserNotificationState(&state) &&
      (state == win::QUNS_BUSY || state == win::QUNS_RUNNING_D3D_FULL_SCREEN ||
       state == win::QUNS_PRESENTATION_MODE))
    return true;
  const win::HWND window = fg.GetForegroundWindow();
  if (window == nullptr || window == desktopWindow || window == fg.GetShellWindow()) return false;
  // The desktop's own windows (its icons' layer) cover the screen too.
  const std::string cls = fg.GetClassNameA(window);
  if (cls == "Progman" || cls == "WorkerW") return false;
  // A maximised window fills the screen only where the taskbar hides itself.
  if (fg.IsZoomed(window)) return false;
  win::RECT r{}, m{};
  if (!fg.GetWindowRect(window, &r) || !fg.WindowMonitorRect(window, &m)) return false;
  return r.left <= m.left && r.top <= m.top && r.right >= m.right && r.bottom >= m.bottom;
}

}  // namespace norva
