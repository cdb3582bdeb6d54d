// A message-driven timer: OnTimer runs on the GUI thread, between messages.
#pragma once

#include "toolkit/Types.h"

namespace norva::tk {

class TTimer : public TObject {
 public:
  TTimer() = default;
  ~TTimer() override;
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  std::string Name;
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned ms);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool on);
  TNotifyEvent OnTimer;

  // Called by the backend when the interval has passed.
  void Tick();
  // Backend bookkeeping (the native timer id).
  uintptr_t BackendId = 0;

 private:
  void Restart();
  unsigned FInterval = 1000;
  bool FEnabled = false;
};

}  // namespace norva::tk
