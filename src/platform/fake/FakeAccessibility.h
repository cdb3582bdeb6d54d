// The simulated accessibility calls for tests: the source a window answered
// WM_GETOBJECT with (what a reader would then read) and every event raised,
// with the tick it was raised at.
#pragma once

#include <vector>

#include "platform/Accessibility.h"
#include "platform/fake/FakeKernel.h"

namespace norva::platform::fake {

class FakeAccessibility : public IAccessibility {
 public:
  explicit FakeAccessibility(FakeKernel& kernel) : FKernel(kernel) {}

  struct Event {
    DWORD event;
    HWND window;
    LONG object;
    LONG child;
    DWORD tick;
  };
  std::vector<Event> events;
  // The source of the last client object handed out, until disconnected.
  IAccessibleSource* source = nullptr;
  HWND sourceWindow = nullptr;

  bool AnswerClientObject(HWND window, WPARAM, LPARAM lParam, IAccessibleSource& given,
                          LRESULT* result) override {
    if (static_cast<LONG>(lParam) != win::OBJID_CLIENT) return false;
    source = &given;
    sourceWindow = window;
    *result = 1;
    return true;
  }
  void Disconnect(IAccessibleSource& gone) override {
    if (&gone == source) source = nullptr;
  }
  void NotifyWinEvent(DWORD event, HWND window, LONG object, LONG child) override {
    events.push_back({event, window, object, child, FKernel.GetTickCount()});
  }

 private:
  FakeKernel& FKernel;
};

}  // namespace norva::platform::fake
