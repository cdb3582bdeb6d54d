#include "toolkit/headless/HeadlessComCtrls.h"

namespace norva::tk {

void HeadlessListViewPeer::SuspendRedraw() {
  suspended = true;
  ++suspensions;
}

void HeadlessListViewPeer::ResumeRedraw() {
  suspended = false;
  if (FChangedWhileSuspended) ++redraws;
  FChangedWhileSuspended = false;
}

void HeadlessListViewPeer::Changed() {
  if (suspended)
    FChangedWhileSuspended = true;
  else
    ++redraws;
}

void HeadlessTreeViewPeer::SuspendRedraw() {
  suspended = true;
  ++suspensions;
}

void HeadlessTreeViewPeer::ResumeRedraw(bool changed) {
  suspended = false;
  if (changed || FChangedWhileSuspended) ++redraws;
  FChangedWhileSuspended = false;
}

void HeadlessTreeViewPeer::Changed() {
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
