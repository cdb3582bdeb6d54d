// The list view (report style) and the tree view. Both keep their rows or
// nodes in the C++ object; the native window only shows them. Between
// BeginUpdate and EndUpdate (calls nest) nothing reaches the window and it is
// not redrawn: the last EndUpdate shows everything that changed at once, so
// a rebuild of thousands of rows is drawn once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Control.h"

namespace norva::tk {

class TListView;
class TTreeView;

// --- List view -----------------------------------------------------------------

// One column of a report list, e.g. {.Caption = "ID", .Width = 80}.
struct TListColumn {
  std::string Caption;
  int Width = 50;
  // The first column is always left-aligned (the system's rule).
  TAlignment Alignment = TAlignment::taLeftJustify;
};

// One row: the caption is column 0, the sub-items columns 1, 2, ...
class TListItem {
 public:
  TListView* ListView() const { return FOwner; }
  int Index() const { return FIndex; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& v);
  const std::vector<std::string>& SubItems() const { return FSubItems; }
  void AddSubItem(const std::string& v);
  // Index counts sub-items (0 is column 1); the list grows to reach it.
  void SetSubItem(int index, const std::string& v);
  // The text of a column: 0 the caption, beyond the sub-items "".
  const std::string& Text(int column) const;
  bool Selected() const;
  // Selects this row (or, with false, leaves the list without selection).
  void SetSelected(bool v);
  // The owner's own value for the row, untouched by the list.
  void* Data = nullptr;

 private:
  friend class TListView;
  TListItem(TListView* owner, int index) : FOwner(owner), FIndex(index) {}
  TListView* FOwner;
  int FIndex;
  std::string FCaption;
  std::vector<std::string> FSubItems;
};

using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* item, bool selected)>;

// A read-only report list with one selected row at most.
class TListView : public TWinControl {
 public:
  explicit TListView(TWinControl* parent);
  ~TListView() override;

  // Style, read when the window is made. The rows' texts are never edited
  // in place (ReadOnly stays true; false is not supported).
  bool ReadOnly = true;
  bool RowSelect = true;       // the whole row shows the selection
  bool ColumnClick = true;     // headers act as buttons (no sorting is done)
  bool HideSelection = false;  // the selection is hidden while unfocused
  bool GridLines = false;

  // --- Columns
  int AddColumn(const TListColumn& column);
  const std::vector<TListColumn>& Columns() const { return FColumns; }
  int ColumnCount() const { return static_cast<int>(FColumns.size()); }
  void SetColumnWidth(int index, int width);
  void SetColumnCaption(int index, const std::string& caption);

  // --- Rows
  TListItem* AddItem(const std::string& caption = {}, void* data = nullptr);
  // Removes every row; the selection goes without OnSelectItem.
  void Clear();
  // Removes one row (the rows after it move up); no OnSelectItem.
  void Delete(int index);
  int Count() const { return static_cast<int>(FItems.size()); }
  TListItem* Item(int index) const;

  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return FUpdateCount > 0; }

  // --- Selection
  TListItem* Selected() const { return ItemIndex() >= 0 ? FItems[FSelected].get() : nullptr; }
  int ItemIndex() const { return FSelected; }
  // Selects a row (-1 or an index outside the rows: none). A change runs
  // OnSelectItem for the row left (false), then the row chosen (true), as a
  // user's choice does.
  void SetItemIndex(int index);

  // A row becomes selected or stops being selected.
  TLVSelectItemEvent OnSelectItem;
  // The list receives the keyboard focus; leaves it.
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  // A double click, or Return on the selected row.
  TNotifyEvent OnItemActivate;
  // A double click anywhere in the list (OnClick, inherited: a click).
  TNotifyEvent OnDblClick;

  // Input from the windowing system (or a test).
  void DoEnter();
  void DoExit();
  void DblClick();
  void ItemActivate();

  // --- For the peers
  // How many times rows were shown anew (EndUpdate with changes, or a change
  // outside an update): what the native window redraws.
  int RowRefreshes() const { return FRowRefreshes; }
  // The user changed the selection in the window.
  void SelectionFromWindow(int index);

 private:
  friend class TListItem;
  void ItemChanged(TListItem& item);
  void RowsChanged();
  std::vector<TListColumn> FColumns;
  std::vector<std::unique_ptr<TListItem>> FItems;
  int FSelected = -1;
  int FUpdateCount = 0;
  bool FRowsDirty = false;
  int FRowRefreshes = 0;
};

// The native side of a list view, beyond TChange.
class ListViewPeer {
 public:
  virtual ~ListViewPeer() = default;
  // Stop redrawing (the first BeginUpdate); start again (the last EndUpdate).
  virtual void SuspendRedraw() = 0;
  virtual void ResumeRedraw() = 0;
  // The rows changed (count, texts, order): show them all anew.
  virtual void RowsChanged() = 0;
  // One row's texts changed.
  virtual void RowChanged(int index) = 0;
  // The selected row changed by the program.
  virtual void SelectionChanged() = 0;
  virtual void ColumnsChanged() = 0;
};

// --- Tree view -----------------------------------------------------------------

class TTreeNode {
 public:
  TTreeView* TreeView() const { return FOwner; }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& v);
  TTreeNode* Parent() const { return FParent; }
  // Children, in order.
  int Count() const { return static_cast<int>(FChildren.size()); }
  TTreeNode* Item(int index) const;
  bool HasChildren() const { return !FChildren.empty(); }
  // Position among its siblings; depth (0 for a root).
  int Index() const { return FIndex; }
  int Level() const;
  // The next node in absolute order (depth first, each node before its
  // children), or null after the last.
  TTreeNode* GetNext() const;
  TTreeNode* GetNextSibling() const;
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool v);
  // Expands or collapses this node, and with recurse all below it.
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void* Data = nullptr;
  // The native window's own handle of the node (the peer's business).
  void* PeerData = nullptr;

 private:
  friend class TTreeView;
  TTreeNode(TTreeView* owner, TTreeNode* parent, int index)
      : FOwner(owner), FParent(parent), FIndex(index) {}
  // The first node after this one's branch in absolute order, or null.
  const TTreeNode* BranchEnd() const;
  TTreeView* FOwner;
  TTreeNode* FParent;
  int FIndex;
  std::string FText;
  bool FExpanded = false;
  std::vector<std::unique_ptr<TTreeNode>> FChildren;
};

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* node)>;

// A read-only tree with one selected node at most.
class TTreeView : public TWinControl {
 public:
  explicit TTreeView(TWinControl* parent);
  ~TTreeView() override;

  // Style, read when the window is made. Node texts are never edited in
  // place (ReadOnly stays true; false is not supported).
  bool ReadOnly = true;
  bool ShowLines = true;
  bool ShowButtons = true;
  bool ShowRoot = true;
  bool HideSelection = false;

  // Horizontal step per level, in pixels.
  int Indent() const { return FIndent; }
  void SetIndent(int v);

  // Adds a node after the existing children of parent (a root after the
  // existing roots when parent is null).
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text, void* data = nullptr);
  // Adds a node after the last sibling of sibling (a root when null).
  TTreeNode* Add(TTreeNode* sibling, const std::string& text, void* data = nullptr);
  // Removes every node; the selection goes without OnChange.
  void Clear();
  // Every node; the roots.
  int Count() const { return FCount; }
  int RootCount() const { return static_cast<int>(FRoots.size()); }
  TTreeNode* Root(int index) const;
  // The first root (the start of the absolute order), or null.
  TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front().get(); }

  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return FUpdateCount > 0; }

  // Every root with all its descendants, expanded or collapsed.
  void FullExpand();
  void FullCollapse();

  TTreeNode* Selected() const { return FSelected; }
  // A change runs OnChange, as a user's choice does.
  void SetSelected(TTreeNode* node);
  // The selection moved to another node (null: none).
  TTVChangedEvent OnChange;

  // --- For the peers
  // How many times the nodes were shown anew (see TListView::RowRefreshes).
  int NodeRefreshes() const { return FNodeRefreshes; }
  void SelectionFromWindow(TTreeNode* node);
  void ExpandedFromWindow(TTreeNode* node, bool expanded);

 private:
  friend class TTreeNode;
  TTreeNode* Insert(TTreeNode* parent, const std::string& text, void* data);
  void NodeChanged(TTreeNode& node);
  void NodesChanged();
  std::vector<std::unique_ptr<TTreeNode>> FRoots;
  TTreeNode* FSelected = nullptr;
  int FCount = 0;
  int FIndent = 19;
  int FUpdateCount = 0;
  bool FNodesDirty = false;
  int FNodeRefreshes = 0;
};

// The native side of a tree view, beyond TChange. Nodes added while the
// tree is updating reach the window at ResumeRedraw.
class TreeViewPeer {
 public:
  virtual ~TreeViewPeer() = default;
  virtual void SuspendRedraw() = 0;
  // changed: nodes were added or expanded meanwhile.
  virtual void ResumeRedraw(bool changed) = 0;
  // Outside an update: one node added, its text or its expanded state changed.
  virtual void NodeAdded(TTreeNode& node) = 0;
  virtual void NodeChanged(TTreeNode& node) = 0;
  virtual void NodeExpandedChanged(TTreeNode& node) = 0;
  // Before the nodes are destroyed (also inside an update).
  virtual void NodesCleared() = 0;
  virtual void SelectionChanged() = 0;
  virtual void IndentChanged() = 0;
};

}  // namespace norva::tk
