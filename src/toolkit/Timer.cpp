#include "toolkit/Timer.h"

#include "toolkit/Backend.h"

namespace norva::tk {

TTimer::~TTimer() {
  if (FEnabled) CurrentBackend().StopTimer(*this);
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == FInterval) return;
  FInterval = ms;
  Restart();
}

void TTimer::SetEnabled(bool on) {
  if (on == FEnabled) return;
  FEnabled = on;
  Restart();
}

void TTimer::Restart() {
  CurrentBackend().StopTimer(*this);
  if (FEnabled && FInterval > 0) CurrentBackend().StartTimer(*this);
}

void TTimer::Tick() {
  if (FEnabled && OnTimer) OnTimer(this);
}

}  // namespace norva::tk
