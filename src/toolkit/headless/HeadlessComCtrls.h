// Headless doubles of the list and tree views' windows: they record what the
// control tells its window and count the redraws a native window would make
// (a change while drawing is on, or the end of a suspension that saw changes).
#pragma once

#include <memory>

#include "toolkit/ComCtrls.h"
#include "toolkit/headless/HeadlessBackend.h"

namespace norva::tk {

class HeadlessListViewPeer final : public HeadlessPeer, public ListViewPeer {
 public:
  using HeadlessPeer::HeadlessPeer;
  void SuspendRedraw() override;
  void ResumeRedraw() override;
  void RowsChanged() override { Changed(); }
  void RowChanged(int) override { Changed(); }
  void SelectionChanged() override { ++selectionShows; }
  void ColumnsChanged() override { Changed(); }

  bool suspended = false;
  int redraws = 0;
  int suspensions = 0;
  int selectionShows = 0;

 private:
  void Changed();
  bool FChangedWhileSuspended = false;
};

class HeadlessTreeViewPeer final : public HeadlessPeer, public TreeViewPeer {
 public:
  using HeadlessPeer::HeadlessPeer;
  void SuspendRedraw() override;
  void ResumeRedraw(bool changed) override;
  void NodeAdded(TTreeNode&) override { Changed(); }
  void NodeChanged(TTreeNode&) override { Changed(); }
  void NodeExpandedChanged(TTreeNode&) override { Changed(); }
  void NodesCleared() override { Changed(); }
  void SelectionChanged() override { ++selectionShows; }
  void IndentChanged() override { Changed(); }

  bool suspended = false;
  int redraws = 0;
  int suspensions = 0;
  int selectionShows = 0;

 private:
  void Changed();
  bool FChangedWhileSuspended = false;
};

// The double for a list or tree view, or null for other controls.
std::unique_ptr<ControlPeer> CreateHeadlessComCtrlPeer(TWinControl& control, win::HWND handle,
                                                       HeadlessBackend& backend);

}  // namespace norva::tk
