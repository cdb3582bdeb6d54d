// The size of the off-screen picture the painted windows share: large enough
// for the largest window that painted lately, and no larger for long, so a
// window maximised once does not leave a full-screen bitmap behind.
#pragma once

#include <cstdint>

namespace norva::tk {

class BackBufferSize {
 public:
  struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
  };
  // A window held for this long without needing the larger size lets it go.
  static constexpr uint32_t kTrimAfterMs = 5000;

  // The size the buffer should have for a paint of a window's client area of
  // width x height at tick count now (milliseconds, may wrap): it grows at
  // once to what a paint needs, and shrinks, at most one period after, to the
  // largest paint of the last period.
  Size ForPaint(int width, int height, uint32_t now);

 private:
  Size FHeld;
  Size FLargest;  // the largest paint since FSince
  uint32_t FSince = 0;
  bool FStarted = false;
};

}  // namespace norva::tk
