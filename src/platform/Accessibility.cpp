// The stand-in for the accessibility calls where no platform provides them.
#include "platform/Accessibility.h"

namespace norva::platform {

namespace {

class NoAccessibilityCalls final : public IAccessibility {
 public:
  bool AnswerClientObject(HWND, WPARAM, LPARAM, IAccessibleSource&, LRESULT*) override {
    return false;
  }
  void Disconnect(IAccessibleSource&) override {}
  void NotifyWinEvent(DWORD, HWND, LONG, LONG) override {}
};

}  // namespace

IAccessibility& NoAccessibility() {
  static NoAccessibilityCalls none;
  return none;
}

}  // namespace norva::platform
