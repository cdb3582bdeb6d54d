#include "toolkit/ComCtrls.h"

#include <stdexcept>
#include <utility>

namespace norva::tk {

namespace {

const std::string kEmpty;

}  // namespace

// --- List item -------------------------------------------------------------------

void TListItem::SetCaption(const std::string& v) {
  if (v == FCaption) return;
  FCaption = v;
  FOwner->ItemChanged(*this);
}

void TListItem::AddSubItem(const std::string& v) {
  FSubItems.push_back(v);
  FOwner->ItemChanged(*this);
}

void TListItem::SetSubItem(int index, const std::string& v) {
  if (index < 0) return;
  const auto at = static_cast<size_t>(index);
  if (at < FSubItems.size() && FSubItems[at] == v) return;
  if (at >= FSubItems.size()) FSubItems.resize(at + 1);
  FSubItems[at] = v;
  FOwner->ItemChanged(*this);
}

const std::string& TListItem::Text(int column) const {
  if (column == 0) return FCaption;
  if (column < 0 || static_cast<size_t>(column) > FSubItems.size()) return kEmpty;
  return FSubItems[static_cast<size_t>(column) - 1];
}

bool TListItem::Selected() const { return FOwner->ItemIndex() == FIndex; }

void TListItem::SetSelected(bool v) {
  if (v)
    FOwner->SetItemIndex(FIndex);
  else if (Selected())
    FOwner->SetItemIndex(-1);
}

// --- List view -------------------------------------------------------------------

TListView::TListView(TWinControl* parent) : TWinControl(parent) { FColor = clWindow; }

TListView::~TListView() {
  // The window goes first: it must not ask for the texts of rows being freed.
  DestroyHandle();
}

int TListView::AddColumn(const TListColumn& column) {
  FColumns.push_back(column);
  if (auto* peer = dynamic_cast<ListViewPeer*>(Peer())) peer->ColumnsChanged();
  return static_cast<int>(FColumns.size()) - 1;
}

void TListView::SetColumnWidth(int index, int width) {
  if (index < 0 || index >= ColumnCount() || FColumns[index].Width == width) return;
  FColumns[index].Width = width;
  if (auto* peer = dynamic_cast<ListViewPeer*>(Peer())) peer->ColumnsChanged();
}

void TListView::SetColumnCaption(int index, const std::string& caption) {
  if (index < 0 || index >= ColumnCount() || FColumns[index].Caption == caption) return;
  FColumns[index].Caption = caption;
  if (auto* peer = dynamic_cast<ListViewPeer*>(Peer())) peer->ColumnsChanged();
}

TListItem* TListView::AddItem(const std::string& caption, void* data) {
  auto item = std::unique_ptr<TListItem>(new TListItem(this, Count()));
  item->FCaption = caption;
  item->Data = data;
  FItems.push_back(std::move(item));
  RowsChanged();
  return FItems.back().get();
}

void TListView::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  const bool hadSelection = FSelected >= 0;
  FSelected = -1;
  RowsChanged();
  if (hadSelection && !Updating())
    if (auto* peer = dynamic_cast<ListViewPeer*>(Peer())) peer->SelectionChanged();
}

void TListView::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  FItems.erase(FItems.begin() + index);
  for (int i = index; i < Count(); ++i) FItems[i]->FIndex = i;
  const bool selectionMoved = FSelected >= index;
  if (FSelected == index)
    FSelected = -1;
  else if (FSelected > index)
    --FSelected;
  RowsChanged();
  if (selectionMoved && !Updating())
    if (auto* peer = dynamic_cast<ListViewPeer*>(Peer())) peer->SelectionChanged();
}

TListItem* TListView::Item(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FItems[index].get();
}

void TListView::BeginUpdate() {
  if (FUpdateCount++ > 0) return;
  if (auto* peer = dynamic_cast<ListViewPeer*>(Peer())) peer->SuspendRedraw();
}

void TListView::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount > 0) return;
  auto* peer = dynamic_cast<ListViewPeer*>(Peer());
  if (FRowsDirty) {
    FRowsDirty = false;
    ++FRowRefreshes;
    if (peer != nullptr) peer->RowsChanged();
  }
  if (peer != nullptr) {
    // The selection as it stands now, whatever the window kept meanwhile.
    peer->SelectionChanged();
    peer->ResumeRedraw();
  }
}

void TListView::RowsChanged() {
  if (Updating()) {
    FRowsDirty = true;
    return;
  }
  ++FRowRefreshes;
  if (auto* peer = dynamic_cast<ListViewPeer*>(Peer())) peer->RowsChanged();
}

void TListView::ItemChanged(TListItem& item) {
  if (Updating()) {
    FRowsDirty = true;
    return;
  }
  ++FRowRefreshes;
  if (auto* peer = dynamic_cast<ListViewPeer*>(Peer())) peer->RowChanged(item.Index());
}

void TListView::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) index = -1;
  if (index == FSelected) return;
  const int old = FSelected;
  FSelected = index;
  if (!Updating())
    if (auto* peer = dynamic_cast<ListViewPeer*>(Peer())) peer->SelectionChanged();
  // The row left first, then the row chosen, as the system reports a click.
  if (old >= 0 && OnSelectItem) OnSelectItem(this, FItems[old].get(), false);
  if (FSelected == index && index >= 0 && OnSelectItem)
    OnSelectItem(this, FItems[index].get(), true);
}

void TListView::SelectionFromWindow(int index) {
  if (index < 0 || index >= Count()) index = -1;
  if (index == FSelected) return;
  const int old = FSelected;
  FSelected = index;
  if (old >= 0 && OnSelectItem) OnSelectItem(this, FItems[old].get(), false);
  if (FSelected == index && index >= 0 && OnSelectItem)
    OnSelectItem(this, FItems[index].get(), true);
}

void TListView::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TListView::DoExit() {
  if (OnExit) OnExit(this);
}

void TListView::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TListView::ItemActivate() {
  if (OnItemActivate) OnItemActivate(this);
}

// --- Tree node -------------------------------------------------------------------

void TTreeNode::SetText(const std::string& v) {
  if (v == FText) return;
  FText = v;
  FOwner->NodeChanged(*this);
}

TTreeNode* TTreeNode::Item(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FChildren[index].get();
}

int TTreeNode::Level() const {
  int level = 0;
  for (const TTreeNode* p = FParent; p != nullptr; p = p->FParent) ++level;
  return level;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  const int next = FIndex + 1;
  if (FParent != nullptr) return FParent->Item(next);
  return FOwner->Root(next);
}

TTreeNode* TTreeNode::GetNext() const {
  if (!FChildren.empty()) return FChildren.front().get();
  for (const TTreeNode* n = this; n != nullptr; n = n->FParent)
    if (TTreeNode* sibling = n->GetNextSibling()) return sibling;
  return nullptr;
}

void TTreeNode::SetExpanded(bool v) {
  if (v == FExpanded) return;
  FExpanded = v;
  if (FOwner->Updating()) {
    FOwner->FNodesDirty = true;
    return;
  }
  if (auto* peer = dynamic_cast<TreeViewPeer*>(FOwner->Peer())) peer->NodeExpandedChanged(*this);
}

void TTreeNode::Expand(bool recurse) {
  if (!recurse) {
    SetExpanded(true);
    return;
  }
  // One redraw for the whole branch.
  FOwner->BeginUpdate();
  const TTreeNode* end = BranchEnd();
  for (TTreeNode* n = this; n != nullptr && n != end; n = n->GetNext()) n->SetExpanded(true);
  FOwner->EndUpdate();
}

void TTreeNode::Collapse(bool recurse) {
  if (!recurse) {
    SetExpanded(false);
    return;
  }
  FOwner->BeginUpdate();
  const TTreeNode* end = BranchEnd();
  for (TTreeNode* n = this; n != nullptr && n != end; n = n->GetNext()) n->SetExpanded(false);
  FOwner->EndUpdate();
}

const TTreeNode* TTreeNode::BranchEnd() const {
  for (const TTreeNode* n = this; n != nullptr; n = n->FParent)
    if (const TTreeNode* sibling = n->GetNextSibling()) return sibling;
  return nullptr;
}

bool TTreeNode::Selected() const { return FOwner->Selected() == this; }

// --- Tree view -------------------------------------------------------------------

TTreeView::TTreeView(TWinControl* parent) : TWinControl(parent) { FColor = clWindow; }

TTreeView::~TTreeView() {
  // The window goes first: its items point at the nodes.
  DestroyHandle();
}

void TTreeView::SetIndent(int v) {
  if (v == FIndent) return;
  FIndent = v;
  if (auto* peer = dynamic_cast<TreeViewPeer*>(Peer())) peer->IndentChanged();
}

TTreeNode* TTreeView::Root(int index) const {
  if (index < 0 || index >= RootCount()) return nullptr;
  return FRoots[index].get();
}

TTreeNode* TTreeView::Insert(TTreeNode* parent, const std::string& text, void* data) {
  if (parent != nullptr && parent->FOwner != this)
    throw std::logic_error("the parent node belongs to another tree");
  auto& siblings = parent != nullptr ? parent->FChildren : FRoots;
  auto node =
      std::unique_ptr<TTreeNode>(new TTreeNode(this, parent, static_cast<int>(siblings.size())));
  node->FText = text;
  node->Data = data;
  siblings.push_back(std::move(node));
  ++FCount;
  TTreeNode& added = *siblings.back();
  if (Updating()) {
    FNodesDirty = true;
  } else {
    ++FNodeRefreshes;
    if (auto* peer = dynamic_cast<TreeViewPeer*>(Peer())) peer->NodeAdded(added);
  }
  return &added;
}

TTreeNode* TTreeView::AddChild(TTreeNode* parent, const std::string& text, void* data) {
  return Insert(parent, text, data);
}

TTreeNode* TTreeView::Add(TTreeNode* sibling, const std::string& text, void* data) {
  return Insert(sibling != nullptr ? sibling->Parent() : nullptr, text, data);
}

void TTreeView::Clear() {
  if (FRoots.empty()) return;
  // The window lets go of the nodes before they are destroyed.
  if (auto* peer = dynamic_cast<TreeViewPeer*>(Peer())) peer->NodesCleared();
  FSelected = nullptr;
  FRoots.clear();
  FCount = 0;
  NodesChanged();
}

void TTreeView::BeginUpdate() {
  if (FUpdateCount++ > 0) return;
  if (auto* peer = dynamic_cast<TreeViewPeer*>(Peer())) peer->SuspendRedraw();
}

void TTreeView::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount > 0) return;
  const bool changed = std::exchange(FNodesDirty, false);
  if (changed) ++FNodeRefreshes;
  if (auto* peer = dynamic_cast<TreeViewPeer*>(Peer())) {
    peer->ResumeRedraw(changed);
    peer->SelectionChanged();
  }
}

void TTreeView::NodesChanged() {
  if (Updating()) {
    FNodesDirty = true;
    return;
  }
  ++FNodeRefreshes;
}

void TTreeView::NodeChanged(TTreeNode& node) {
  if (Updating()) {
    FNodesDirty = true;
    return;
  }
  ++FNodeRefreshes;
  if (auto* peer = dynamic_cast<TreeViewPeer*>(Peer())) peer->NodeChanged(node);
}

void TTreeView::FullExpand() {
  BeginUpdate();
  for (auto& root : FRoots) root->Expand(true);
  EndUpdate();
}

void TTreeView::FullCollapse() {
  BeginUpdate();
  for (auto& root : FRoots) root->Collapse(true);
  EndUpdate();
}

void TTreeView::SetSelected(TTreeNode* node) {
  if (node != nullptr && node->FOwner != this) return;
  if (node == FSelected) return;
  FSelected = node;
  if (!Updating())
    if (auto* peer = dynamic_cast<TreeViewPeer*>(Peer())) peer->SelectionChanged();
  if (OnChange) OnChange(this, node);
}

void TTreeView::SelectionFromWindow(TTreeNode* node) {
  if (node == FSelected) return;
  FSelected = node;
  if (OnChange) OnChange(this, node);
}

void TTreeView::ExpandedFromWindow(TTreeNode* node, bool expanded) {
  if (node != nullptr) node->FExpanded = expanded;
}

}  // namespace norva::tk
