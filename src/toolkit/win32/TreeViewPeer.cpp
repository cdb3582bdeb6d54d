// The system tree view behind TTreeView. Each node is an item whose text the
// window asks for when it draws it; the item's lParam is the node.
#include "toolkit/win32/TreeViewPeer.h"

#include <string>

#include "platform/win32/WinText.h"
#include "toolkit/win32/ComCtrlPeers.h"
#include "toolkit/win32/Dpi.h"
#include "toolkit/win32/Gdi.h"

namespace norva::tk::win32 {

using platform::win32::Wide;

namespace {

HTREEITEM ItemOf(const TTreeNode* node) {
  return node != nullptr ? static_cast<HTREEITEM>(node->PeerData) : nullptr;
}

class TreeViewWinPeer final : public WinPeer, public TreeViewPeer {
 public:
  explicit TreeViewWinPeer(TTreeView& tree) : WinPeer(tree), FTree(tree) {
    DWORD style = ChildStyle() | WS_TABSTOP;
    if (tree.ShowLines) style |= TVS_HASLINES;
    if (tree.ShowButtons) style |= TVS_HASBUTTONS;
    if (tree.ShowRoot) style |= TVS_LINESATROOT;
    if (!tree.HideSelection) style |= TVS_SHOWSELALWAYS;
    CreateSystemWindow(WC_TREEVIEWW, WS_EX_CLIENTEDGE, style);
    if (FHandle == nullptr) return;
    ::SendMessageW(FHandle, CCM_SETUNICODEFORMAT, TRUE, 0);
    IndentChanged();
    if (tree.Updating()) SuspendRedraw();
    // Also replaces the items of an earlier window of this control.
    ShowAll();
    SelectionChanged();
    ApplyColors();
  }

  void Update(TChange what) override {
    WinPeer::Update(what);
    if (what == TChange::Color || what == TChange::Font) ApplyColors();
    if (what == TChange::Dpi) IndentChanged();
  }

  // --- TreeViewPeer

  void SuspendRedraw() override {
    if (FHandle != nullptr) ::SendMessageW(FHandle, WM_SETREDRAW, FALSE, 0);
  }

  void ResumeRedraw(bool changed) override {
    if (FHandle == nullptr) return;
    if (changed) ShowAll();
    ::SendMessageW(FHandle, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(FHandle, nullptr, TRUE);
  }

  void NodeAdded(TTreeNode& node) override {
    if (FHandle == nullptr) return;
    if (node.Parent() != nullptr && ItemOf(node.Parent()) == nullptr) {
      ShowAll();
      return;
    }
    Insert(node);
  }

  void NodeChanged(TTreeNode& node) override {
    if (FHandle == nullptr || ItemOf(&node) == nullptr) return;
    // Setting the callback again makes the window ask for the new text.
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = ItemOf(&node);
    item.pszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(FHandle, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }

  void NodeExpandedChanged(TTreeNode& node) override {
    if (FHandle == nullptr || ItemOf(&node) == nullptr) return;
    Syncing syncing(FSyncing);
    ::SendMessageW(FHandle, TVM_EXPAND, node.Expanded() ? TVE_EXPAND : TVE_COLLAPSE,
                   reinterpret_cast<LPARAM>(ItemOf(&node)));
  }

  void NodesCleared() override {
    if (FHandle == nullptr) return;
    Syncing syncing(FSyncing);
    ::SendMessageW(FHandle, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    for (TTreeNode* n = FTree.GetFirstNode(); n != nullptr; n = n->GetNext()) n->PeerData = nullptr;
  }

  void SelectionChanged() override {
    if (FHandle == nullptr) return;
    const HTREEITEM wanted = ItemOf(FTree.Selected());
    if (FTree.Selected() != nullptr && wanted == nullptr) return;
    const auto shown =
        reinterpret_cast<HTREEITEM>(::SendMessageW(FHandle, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (shown == wanted) return;
    Syncing syncing(FSyncing);
    ::SendMessageW(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(wanted));
  }

  void IndentChanged() override {
    if (FHandle != nullptr)
      ::SendMessageW(FHandle, TVM_SETINDENT, static_cast<WPARAM>(ToDevice(FTree.Indent())), 0);
  }

  // --- WinPeer

  bool Reflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) override {
    if (msg != WM_NOTIFY) return false;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    result = 0;
    switch (header->code) {
      case TVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(lParam);
        const auto* node = reinterpret_cast<const TTreeNode*>(info->item.lParam);
        if ((info->item.mask & TVIF_TEXT) != 0 && info->item.pszText != nullptr)
          CopyToSystemBuffer(node != nullptr ? Wide(node->Text()) : L"", info->item.pszText,
                             info->item.cchTextMax);
        return true;
      }
      case TVN_SELCHANGEDW:
      case TVN_SELCHANGEDA: {
        // The A and W records differ only in the text pointer.
        if (FSyncing) return true;
        const auto* change = reinterpret_cast<const NMTREEVIEWW*>(lParam);
        FTree.SelectionFromWindow(change->itemNew.hItem != nullptr
                                      ? reinterpret_cast<TTreeNode*>(change->itemNew.lParam)
                                      : nullptr);
        return true;
      }
      case TVN_ITEMEXPANDEDW:
      case TVN_ITEMEXPANDEDA: {
        // Also while the program selects a node of a closed branch: the
        // window opens the branch itself.
        const auto* change = reinterpret_cast<const NMTREEVIEWW*>(lParam);
        if (change->itemNew.hItem != nullptr)
          FTree.ExpandedFromWindow(reinterpret_cast<TTreeNode*>(change->itemNew.lParam),
                                   (change->action & TVE_EXPAND) != 0);
        return true;
      }
      case NM_CLICK:
        FTree.Click();
        return true;
      case NM_RCLICK:
        // Opened here, not from the WM_CONTEXTMENU the window may send
        // after it: under Wine that one never arrives for a right click.
        result = PopupAtMessagePos(FTree) ? 1 : 0;
        return result != 0;
      default:
        return false;
    }
  }

 protected:
  bool ToolkitDefault(TMessage& message) override { return WinPeer::ToolkitDefault(message); }

 private:
  void Insert(TTreeNode& node) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = node.Parent() != nullptr ? ItemOf(node.Parent()) : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
    insert.item.state = node.Expanded() ? TVIS_EXPANDED : 0;
    insert.item.stateMask = TVIS_EXPANDED;
    insert.item.pszText = LPSTR_TEXTCALLBACKW;
    insert.item.lParam = reinterpret_cast<LPARAM>(&node);
    node.PeerData = reinterpret_cast<void*>(
        ::SendMessageW(FHandle, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  }

  // Shows the whole tree anew: every item made again, each with the open
  // or closed state of its node. One TVM_EXPAND per changed branch would
  // cost the window a walk over all its items each time; inserting the items
  // with their state costs it one pass.
  void ShowAll() {
    Syncing syncing(FSyncing);
    ::SendMessageW(FHandle, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    for (TTreeNode* n = FTree.GetFirstNode(); n != nullptr; n = n->GetNext()) Insert(*n);
  }

  // Colours other than the window's defaults; the defaults stay the
  // system's (and its visual style's) until changed once.
  void ApplyColors() {
    if (FHandle == nullptr) return;
    const TColor back = FTree.Color(), text = FTree.Font().Color;
    if (back == clWindow && text == clWindowText && !FColored) return;
    FColored = true;
    const COLORREF background = ColorRef(back);
    ::SendMessageW(FHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
    ::SendMessageW(FHandle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorRef(text)));
    ::InvalidateRect(FHandle, nullptr, TRUE);
  }

  TTreeView& FTree;
  bool FColored = false;
  bool FSyncing = false;
};

}  // namespace

std::unique_ptr<ControlPeer> CreateTreeViewPeer(TTreeView& tree) {
  return std::make_unique<TreeViewWinPeer>(tree);
}

}  // namespace norva::tk::win32
