#include "platform/fake/FakePlatform.h"

#include <stdexcept>

namespace norva::platform::fake {

namespace {
FakePlatform* active = nullptr;
}

FakePlatform::FakePlatform() {
  user.makeOwnedIcon = [this](int size) { return desktop.AddResourceIcon(size); };
  active = this;
  InstallPlatform(&platform);
}

FakePlatform::~FakePlatform() {
  if (active == this) {
    active = nullptr;
    InstallPlatform(nullptr);
  }
}

FakePlatform& FakePlatform::Active() {
  if (active == nullptr) throw std::logic_error("no fake platform installed");
  return *active;
}

FakePlatform* FakePlatform::ActiveOrNull() { return active; }

std::string FakePlatform::IniPath() const {
  std::string path = kernel.moduleFileName;
  if (path.size() > 4) path.replace(path.size() - 3, 3, "ini");
  return path;
}

}  // namespace norva::platform::fake
