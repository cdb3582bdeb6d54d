#include "platform/Desktop.h"

namespace norva::platform {

namespace {

class NoDesktopCalls final : public IDesktop {
 public:
  BOOL RegisterHotKey(HWND, int, UINT, UINT) override { return 0; }
  BOOL UnregisterHotKey(HWND, int) override { return 0; }
  int SmallIconSize(int) override { return 16; }
  int TaskbarPixelsPerInch() override { return 0; }
  HICON CreateIconFromPixels(int, const std::vector<uint32_t>&) override { return nullptr; }
  BOOL DestroyIcon(HICON) override { return 0; }
};

class NoUserRegistryCalls final : public IUserRegistry {
 public:
  LONG GetStringValue(const std::string&, const std::string&, std::string&) override {
    return win::ERROR_FILE_NOT_FOUND;
  }
  LONG SetStringValue(const std::string&, const std::string&, const std::string&) override {
    return win::ERROR_FILE_NOT_FOUND;
  }
  LONG DeleteValue(const std::string&, const std::string&) override {
    return win::ERROR_FILE_NOT_FOUND;
  }
};

}  // namespace

IDesktop& NoDesktop() {
  static NoDesktopCalls none;
  return none;
}

IUserRegistry& NoUserRegistry() {
  static NoUserRegistryCalls none;
  return none;
}

}  // namespace norva::platform
