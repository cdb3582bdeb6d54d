// Headless doubles of the list and tree views' windows: they record what the
// control tells its window and count the redraws a native window would make
// (a change while drawing is on, or the end of a suspension that saw changes).
#pragma once

#include <memory>

#include "toolkit/ComCtrls.h"
#include "toolkit/headless/HeadlessBackend.h"

namespace norva::tk {

// What both doubles count: the redraws, the suspensions of drawing and the
// selections shown.
class HeadlessRedraws {
 public:
  bool suspended = false;
  int redraws = 0;
  int suspensions = 0;
  int selectionShows = 0;

 protected:
  void Suspend();
  // The end of a suspension redraws when it saw changes or is told of some.
  void Resume(bool changed);
  void Changed();

 private:
  bool FChangedWhileSuspended = false;
};

class HeadlessListViewPeer final : public HeadlessPeer,
                                   public ListViewPeer,
                                   public HeadlessRedraws {
 public:
  using HeadlessPeer::HeadlessPeer;
  void SuspendRedraw() override { Suspend(); }
  void ResumeRedraw() override { Resume(false); }
  void RowsChanged() override { Changed(); }
  void RowChanged(int) override { Changed(); }
  void SelectionChanged() override { ++selectionShows; }
  void ColumnsChanged() override { Changed(); }
};

class HeadlessTreeViewPeer final : public HeadlessPeer,
                                   public TreeViewPeer,
                                   public HeadlessRedraws {
 public:
  using HeadlessPeer::HeadlessPeer;
  void SuspendRedraw() override { Suspend(); }
  void ResumeRedraw(bool changed) override { Resume(changed); }
  void NodeAdded(TTreeNode&) override { Changed(); }
  void NodeChanged(TTreeNode&) override { Changed(); }
  void NodeExpandedChanged(TTreeNode&) override { Changed(); }
  void NodesCleared() override { Changed(); }
  void SelectionChanged() override { ++selectionShows; }
  void IndentChanged() override { Changed(); }
};

// The double for a list or tree view, or null for other controls.
std::unique_ptr<ControlPeer> CreateHeadlessComCtrlPeer(TWinControl& control, win::HWND handle,
                                                       HeadlessBackend& backend);

}  // namespace norva::tk
