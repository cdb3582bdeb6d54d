// The Win32 side of the accessibility calls: the client area's MSAA object
// (a COM IAccessible made from the window's source), handed out through
// oleacc's LresultFromObject, and NotifyWinEvent. oleacc, oleaut32 (the
// texts' BSTRs) and ole32 (COM for the handing out) are bound at the first
// question a reader asks, so a start without a reader loads none of them.
#pragma once

#include <map>

#include "platform/Accessibility.h"

namespace norva::platform::win32 {

class ClientAccessible;

class Win32Accessibility final : public IAccessibility {
 public:
  ~Win32Accessibility() override;
  bool AnswerClientObject(HWND window, WPARAM wParam, LPARAM lParam, IAccessibleSource& source,
                          LRESULT* result) override;
  void Disconnect(IAccessibleSource& source) override;
  void NotifyWinEvent(DWORD event, HWND window, LONG object, LONG child) override;

 private:
  // One object per source, held until the source goes.
  std::map<IAccessibleSource*, ClientAccessible*> FObjects;
};

}  // namespace norva::platform::win32
