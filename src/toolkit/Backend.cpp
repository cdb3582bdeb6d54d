#include "toolkit/Backend.h"

#include <stdexcept>

namespace norva::tk {

namespace {
Backend* installed = nullptr;
}

Backend& CurrentBackend() {
  if (installed == nullptr) throw std::logic_error("no toolkit backend installed");
  return *installed;
}

void InstallBackend(Backend* backend) { installed = backend; }

}  // namespace norva::tk
