// The system list view and tree view behind TListView and TTreeView, and the
// splitter's bar. The list is a virtual one (the window asks for the texts of
// the rows it shows), so a rebuild of thousands of rows costs the window
// nothing but the new row count.
#pragma once

#include <memory>

#include "toolkit/win32/WinPeer.h"

namespace norva::tk::win32 {

// The peer for a list view, tree view or splitter, or null for other kinds.
std::unique_ptr<ControlPeer> CreateComCtrlPeer(TWinControl& control);

// Opens the control's pop-up menu where the last mouse message was; false
// when it has none.
bool PopupAtMessagePos(TWinControl& control);

// Sets a peer's flag for as long as it lives, then gives it back its value:
// the flag marks the window's own reports of what the program just did,
// which the control knows already.
class Syncing {
 public:
  explicit Syncing(bool& flag) : FFlag(flag), FWas(flag) { FFlag = true; }
  ~Syncing() { FFlag = FWas; }
  Syncing(const Syncing&) = delete;
  Syncing& operator=(const Syncing&) = delete;

 private:
  bool& FFlag;
  bool FWas;
};

// Copies text into a buffer the system gave for a notification's answer,
// cut to its size and always terminated.
void CopyToSystemBuffer(const std::wstring& text, wchar_t* buffer, int size);

}  // namespace norva::tk::win32
