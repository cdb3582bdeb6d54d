// When automatic cleaning waits: backing off after cleanings that could not
// help, and holding while a full-screen program is in front. Plain rules on
// the tick count and the foreground queries, apart from any window.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace norva {

// How an automatic cleaning was started, as the back-off tells its
// condition apart.
enum class AutoOrigin { FreeMemoryRule, LoadRule, Interval };

// Backing off automatic cleaning. A cleaning that did not help (the free-
// memory rule's condition still holds afterwards, or it freed less than
// 1 % of physical memory) makes the next automatic cleaning wait 1 minute,
// then 2, 4, 8, ... up to 60 while each next one fails too. The wait and
// the doubling end when the condition is gone (free memory back at the
// threshold for the free-memory rule; for the others the memory load below
// where the failed cleaning left it) or the user cleans by hand. Tick
// counts wrap after 49.7 days; the unsigned differences stay right across.
class AutoBackoff {
 public:
  static constexpr int kLongestWaitMinutes = 60;

  // An automatic cleaning ended. stillHolds: the free-memory rule's
  // condition after it; load: the memory load it left.
  void Finished(win::DWORD now, AutoOrigin origin, bool stillHolds, uint64_t freedBytes,
                uint64_t totalPhysBytes, int load);
  // Called on every tick: ends the wait when the condition is gone.
  void Watch(bool freeStillBelowThreshold, int load);
  // The user cleaned: no wait, the doubling starts over.
  void Reset();

  bool Waiting(win::DWORD now) const;
  // Whole minutes until the wait ends, rounded up; 0 when not waiting.
  int MinutesLeft(win::DWORD now) const;
  // Failed cleanings in a row (0: none).
  int Failures() const { return FFailures; }
  int WaitMinutes() const;

 private:
  int FFailures = 0;
  win::DWORD FSince = 0;
  AutoOrigin FOrigin = AutoOrigin::FreeMemoryRule;
  int FLoadAtFailure = 0;
};

// Whether a cleaning helped: the condition gone and at least 1 % of
// physical memory freed.
bool CleaningHelped(bool stillHolds, uint64_t freedBytes, uint64_t totalPhysBytes);

// The tray tip's line while automatic cleaning waits:
// "自動掃除は 8 分後まで控えます".
std::string BackoffTipLine(int minutesLeft);

// A full-screen program in front: the shell says so (busy, full-screen
// Direct3D, presentation mode); otherwise the foreground window covers its
// whole monitor, is not maximised and is neither the desktop nor the shell.
// desktopWindow is the system's desktop window (GetDesktopWindow).
bool FullScreenInFront(win::HWND desktopWindow);

}  // namespace norva
