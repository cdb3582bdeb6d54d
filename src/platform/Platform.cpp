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

std::vector<MONITORINFO> IUser::DisplayMonitors() {
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return {MONITORINFO{sizeof(MONITORINFO), screen, screen, MONITORINFOF_PRIMARY}};
}

}  // namespace norva::platform
