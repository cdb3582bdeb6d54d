#include "platform/Platform.h"

#include <stdexcept>

namespace norva::platform {

namespace {
Platform* installed = nullptr;
}

Platform& Os() {
  if (installed == nullptr) throw std::logic_error("no platform installed");
  return *installed;
}

void InstallPlatform(Platform* platform) { installed = platform; }

}  // namespace norva::platform
