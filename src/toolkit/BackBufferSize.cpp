#include "toolkit/BackBufferSize.h"

#include <algorithm>

namespace norva::tk {

BackBufferSize::Size BackBufferSize::ForPaint(int width, int height, uint32_t now) {
  if (!FStarted) {
    FStarted = true;
    FSince = now;
  }
  FLargest = {std::max(FLargest.width, width), std::max(FLargest.height, height)};
  if (width > FHeld.width || height > FHeld.height) {
    FHeld = {std::max(FHeld.width, width), std::max(FHeld.height, height)};
  } else if (now - FSince >= kTrimAfterMs) {
    // A period has passed: keep what it needed, and start the next one.
    FHeld = FLargest;
    FLargest = {width, height};
    FSince = now;
  }
  return FHeld;
}

}  // namespace norva::tk
