// The system list view (report style, virtual) behind TListView.
#include "toolkit/win32/ListViewPeer.h"

#include <string>

#include "platform/win32/WinText.h"
#include "toolkit/win32/ComCtrlPeers.h"
#include "toolkit/win32/Dpi.h"
#include "toolkit/win32/Gdi.h"

namespace norva::tk::win32 {

using platform::win32::Wide;

namespace {

int ColumnFormat(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify:
      return LVCFMT_RIGHT;
    case TAlignment::taCenter:
      return LVCFMT_CENTER;
    case TAlignment::taLeftJustify:
      break;
  }
  return LVCFMT_LEFT;
}

class ListViewWinPeer final : public WinPeer, public ListViewPeer {
 public:
  explicit ListViewWinPeer(TListView& list) : WinPeer(list), FList(list) {
    // Owner data: the window keeps only the row count and the selection and
    // asks for each text it draws (LVN_GETDISPINFO).
    DWORD style = ChildStyle() | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL;
    if (!list.HideSelection) style |= LVS_SHOWSELALWAYS;
    if (!list.ColumnClick) style |= LVS_NOSORTHEADER;
    CreateSystemWindow(WC_LISTVIEWW, WS_EX_CLIENTEDGE, style);
    if (FHandle == nullptr) return;
    // The texts are answered in UTF-16 whatever the parent window says.
    ::SendMessageW(FHandle, CCM_SETUNICODEFORMAT, TRUE, 0);
    DWORD extended = LVS_EX_DOUBLEBUFFER;
    if (list.RowSelect) extended |= LVS_EX_FULLROWSELECT;
    if (list.GridLines) extended |= LVS_EX_GRIDLINES;
    ::SendMessageW(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    ColumnsChanged();
    RowsChanged();
    SelectionChanged();
    ApplyColors();
    if (list.Updating()) SuspendRedraw();
  }

  void Update(TChange what) override {
    WinPeer::Update(what);
    if (what == TChange::Color || what == TChange::Font) ApplyColors();
    if (what == TChange::Dpi) RescaleColumns();
  }

  // --- ListViewPeer

  void SuspendRedraw() override {
    if (FHandle != nullptr) ::SendMessageW(FHandle, WM_SETREDRAW, FALSE, 0);
  }

  void ResumeRedraw() override {
    if (FHandle == nullptr) return;
    ::SendMessageW(FHandle, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(FHandle, nullptr, TRUE);
  }

  void RowsChanged() override {
    if (FHandle == nullptr) return;
    Syncing syncing(FSyncing);
    ::SendMessageW(FHandle, LVM_SETITEMCOUNT, static_cast<WPARAM>(FList.Count()), LVSICF_NOSCROLL);
    ::InvalidateRect(FHandle, nullptr, TRUE);
  }

  void RowChanged(int index) override {
    if (FHandle != nullptr) ::SendMessageW(FHandle, LVM_REDRAWITEMS, index, index);
  }

  void SelectionChanged() override {
    if (FHandle == nullptr) return;
    Syncing syncing(FSyncing);
    const int index = FList.ItemIndex();
    const int shown = static_cast<int>(::SendMessageW(FHandle, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    if (shown == index) return;
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = 0;
    ::SendMessageW(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&state));
    if (index < 0) return;
    // The chosen row also takes the focus mark, so the arrow keys go on from it.
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&state));
  }

  void ColumnsChanged() override {
    if (FHandle == nullptr) return;
    const auto& columns = FList.Columns();
    const int count = static_cast<int>(columns.size());
    if (count != FShownColumns) {
      // Columns were added: all of them anew.
      while (FShownColumns > 0) {
        ::SendMessageW(FHandle, LVM_DELETECOLUMN, 0, 0);
        --FShownColumns;
      }
      for (int i = 0; i < count; ++i) SetColumn(LVM_INSERTCOLUMNW, i, columns[i]);
      FShownColumns = count;
      return;
    }
    for (int i = 0; i < count; ++i) SetColumn(LVM_SETCOLUMNW, i, columns[i]);
  }

  // --- WinPeer

  bool Reflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) override {
    if (msg != WM_NOTIFY) return false;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    result = 0;
    switch (header->code) {
      case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        if ((info->item.mask & LVIF_TEXT) != 0 && info->item.pszText != nullptr) {
          const TListItem* item = FList.Item(info->item.iItem);
          CopyToSystemBuffer(item != nullptr ? Wide(item->Text(info->item.iSubItem)) : L"",
                             info->item.pszText, info->item.cchTextMax);
        }
        return true;
      }
      case LVN_ITEMCHANGED: {
        if (FSyncing) return true;
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change->uChanged & LVIF_STATE) == 0) return true;
        const bool was = (change->uOldState & LVIS_SELECTED) != 0;
        const bool is = (change->uNewState & LVIS_SELECTED) != 0;
        if (is && !was) {
          FList.SelectionFromWindow(change->iItem);
        } else if (was && !is && (change->iItem == -1 || change->iItem == FList.ItemIndex())) {
          // A virtual list reports "every row" (-1) when it drops the selection.
          FList.SelectionFromWindow(-1);
        }
        return true;
      }
      case NM_CLICK:
        FList.Click();
        return true;
      case NM_RCLICK:
        // Opened here, not from the WM_CONTEXTMENU the window may send
        // after it: under Wine that one never arrives for a right click.
        result = PopupAtMessagePos(FList) ? 1 : 0;
        return result != 0;
      case NM_DBLCLK:
        FList.DblClick();
        return true;
      case LVN_ITEMACTIVATE:
        FList.ItemActivate();
        return true;
      default:
        return false;
    }
  }

 protected:
  bool ToolkitDefault(TMessage& message) override {
    switch (message.Msg) {
      case WM_SETFOCUS:
        message.Result = CallNative(message.Msg, message.WParam, message.LParam);
        FList.DoEnter();
        return true;
      case WM_KILLFOCUS:
        message.Result = CallNative(message.Msg, message.WParam, message.LParam);
        FList.DoExit();
        return true;
      default:
        return WinPeer::ToolkitDefault(message);
    }
  }

 private:
  // The columns at the form's new scale, each as wide as it was in the
  // layout's pixels (a width the user dragged included).
  void RescaleColumns() {
    if (FHandle == nullptr || FColumnsDpi == Dpi()) return;
    for (int i = 0; i < FShownColumns; ++i) {
      const int shown = static_cast<int>(::SendMessageW(FHandle, LVM_GETCOLUMNWIDTH, i, 0));
      const int width = ToDevice(UnscaleBy(shown, FColumnsDpi));
      ::SendMessageW(FHandle, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(width, 0));
    }
    FColumnsDpi = Dpi();
  }

  void SetColumn(UINT message, int index, const TListColumn& column) {
    FColumnsDpi = Dpi();
    std::wstring caption = Wide(column.Caption);
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    lvc.fmt = index == 0 ? LVCFMT_LEFT : ColumnFormat(column.Alignment);
    lvc.cx = ToDevice(column.Width);
    lvc.pszText = caption.data();
    lvc.iSubItem = index;
    ::SendMessageW(FHandle, message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&lvc));
  }

  // Colours other than the window's defaults; the defaults stay the
  // system's (and its visual style's) until changed once.
  void ApplyColors() {
    if (FHandle == nullptr) return;
    const TColor back = FList.Color(), text = FList.Font().Color;
    if (back == clWindow && text == clWindowText && !FColored) return;
    FColored = true;
    const COLORREF background = ColorRef(back);
    ::SendMessageW(FHandle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
    ::SendMessageW(FHandle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(background));
    ::SendMessageW(FHandle, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorRef(text)));
    ::InvalidateRect(FHandle, nullptr, TRUE);
  }

  TListView& FList;
  bool FColored = false;
  int FShownColumns = 0;
  int FColumnsDpi = kDesignPixelsPerInch;  // the scale the columns were last sized at
  bool FSyncing = false;
};

}  // namespace

std::unique_ptr<ControlPeer> CreateListViewPeer(TListView& list) {
  return std::make_unique<ListViewWinPeer>(list);
}

}  // namespace norva::tk::win32
