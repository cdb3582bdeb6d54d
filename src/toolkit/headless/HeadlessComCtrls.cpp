#include "toolkit/headless/HeadlessComCtrls.h"

namespace norva::tk {

void HeadlessRedraws::Suspend() {
  suspended = true;
  ++suspensions;
}

void HeadlessRedraws::Resume(bool changed) {
  suspended = false;
  if (changed || FChangedWhileSuspended) ++redraws;
  FChangedWhileSuspended = false;
}

void HeadlessRedraws::Changed() {
  if (suspended)
    FChangedWhileSuspended = true;
  else
    ++redraws;
}

std::unique_ptr<ControlPeer> CreateHeadlessComCtrlPeer(TWinControl& control, win::HWND handle,
                                                       HeadlessBackend& backend) {
  if (dynamic_cast<TListView*>(&control) != nullptr)
    return std::make_unique<HeadlessListViewPeer>(control, handle, backend);
  if (dynamic_cast<TTreeView*>(&control) != nullptr)
    return std::make_unique<HeadlessTreeViewPeer>(control, handle, backend);
  return nullptr;
}

}  // namespace norva::tk
