// A hotkey box: the user presses a key combination and the box shows and
// keeps it. Its value is the system hotkey control's: the virtual-key code
// in the low byte, the HOTKEYF_ modifier bits in the next byte, 0 for none.
#pragma once

#include "toolkit/Control.h"

namespace norva::tk {

class THotKey : public TWinControl {
 public:
  explicit THotKey(TWinControl* parent) : TWinControl(parent) { FColor = clWindow; }
  int HotKey() const { return FHotKey; }
  // A change runs OnChange, whoever makes it.
  void SetHotKey(int v);
  TNotifyEvent OnChange;
  // What the user may type (read when the window is made): true turns a
  // bare key, or Shift and a key, into Ctrl+Alt and the key, so that every
  // combination has Ctrl or Alt.
  bool NeedsCtrlOrAlt = false;

 private:
  int FHotKey = 0;
};

}  // namespace norva::tk
