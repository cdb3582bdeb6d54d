// What a screen reader asks a window: the accessible object of its client
// area (WM_GETOBJECT, answered with an MSAA IAccessible that UI Automation
// also reads through its proxy) and the events that tell it something
// changed (NotifyWinEvent). The window describes its parts through
// IAccessibleSource; the Win32 side makes the COM object from it.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace norva::win {
constexpr UINT WM_GETOBJECT = 0x003D;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr int WA_INACTIVE = 0;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SPACE = 0x20;
constexpr LONG OBJID_CLIENT = -4;
constexpr LONG CHILDID_SELF = 0;
constexpr DWORD EVENT_OBJECT_FOCUS = 0x8005;
constexpr DWORD EVENT_OBJECT_VALUECHANGE = 0x800E;
constexpr LONG ROLE_SYSTEM_CLIENT = 0x0A;
constexpr LONG ROLE_SYSTEM_STATICTEXT = 0x29;
constexpr LONG ROLE_SYSTEM_PUSHBUTTON = 0x2B;
constexpr DWORD STATE_SYSTEM_FOCUSED = 0x4;
constexpr DWORD STATE_SYSTEM_READONLY = 0x40;
constexpr DWORD STATE_SYSTEM_FOCUSABLE = 0x100000;
}  // namespace norva::win

namespace norva::platform {

// One part of the window as a reader is told it. The place is in screen
// pixels; an empty default action means the part has none.
struct AccessibleChild {
  std::string name;
  std::string value;
  std::string description;
  std::string defaultAction;
  LONG role = 0;
  DWORD state = 0;
  RECT screen{};
};

// The window's side: read afresh at every question, so the answers follow
// what the window shows.
class IAccessibleSource {
 public:
  virtual ~IAccessibleSource() = default;
  virtual std::string AccessibleName() = 0;
  virtual std::vector<AccessibleChild> AccessibleChildren() = 0;
  // The default action of child index (from 0); false when it has none.
  // Called inside a reader's call, which must not wait for the action
  // (a dialog, a whole cleaning): the source runs it later.
  virtual bool DoAccessibleAction(size_t index) = 0;
};

class IAccessibility {
 public:
  virtual ~IAccessibility() = default;
  // Answers WM_GETOBJECT for the client area of window: true with the
  // message's result, false when the request is for another object or no
  // object could be made (the message then takes the default path).
  virtual bool AnswerClientObject(HWND window, WPARAM wParam, LPARAM lParam,
                                  IAccessibleSource& source, LRESULT* result) = 0;
  // The source is going: an object a reader still holds answers that it
  // is gone.
  virtual void Disconnect(IAccessibleSource& source) = 0;
  // NotifyWinEvent; nothing where the system lacks it.
  virtual void NotifyWinEvent(DWORD event, HWND window, LONG object, LONG child) = 0;
};

// Where none is installed: no object, no events.
IAccessibility& NoAccessibility();

}  // namespace norva::platform
