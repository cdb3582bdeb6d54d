// The toolkit's Win32 peers against the real system controls (under Wine or
// Windows): a window laid out like the inspector (aligned panels, tabs, a
// list of thousands of rows, a tree, splitters, a strip of small controls)
// is built, and each check compares what the native windows hold with the
// toolkit's objects. Prints one line per check, the rebuild figures, then
// "N passed, M failed"; exits non-zero on a failure.
//   toolkit_check.exe            run the checks and exit
//   toolkit_check.exe --show N   run them, show view N (0 list, 1 heap tab, 2 tree),
//                                say "ready" once it is painted and wait until closed
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/Win32Api.h"
#include "toolkit/win32/Win32Backend.h"
// After the toolkit: <windows.h> must not come before its declarations.
#include "platform/win32/LateBound.h"

namespace {

using namespace norva::tk;

int passed = 0, failed = 0;

void Check(bool ok, const std::string& what, const std::string& detail = {}) {
  (ok ? passed : failed)++;
  std::printf("%s %s%s%s\n", ok ? "PASS" : "FAIL", what.c_str(), detail.empty() ? "" : ": ",
              detail.c_str());
  std::fflush(stdout);
}

HWND H(TWinControl& c) { return static_cast<HWND>(c.Handle()); }

double NowMs() {
  LARGE_INTEGER f, t;
  ::QueryPerformanceFrequency(&f);
  ::QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

std::wstring ListText(HWND list, int row, int column) {
  wchar_t buffer[256] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 256;
  ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

RECT WindowRectIn(HWND window, HWND parent) {
  RECT r{};
  ::GetWindowRect(window, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Text(const RECT& r) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%ld,%ld-%ld,%ld", static_cast<long>(r.left),
                static_cast<long>(r.top), static_cast<long>(r.right), static_cast<long>(r.bottom));
  return buffer;
}

class TCheckForm : public TForm {
 public:
  explicit TCheckForm(TForm* owner) : TForm(owner) {
    SetCaption("Toolkit check システム情報");
    BorderStyle = TBorderStyle::bsSizeable;
    BorderIcons = biSystemMenu | biMaximize;
    Position = TPosition::poScreenCenter;
    SetWindowSize(651, 487);
    DisableAlign();
    pnlTop.SetAlign(TAlign::alTop);
    pnlTop.SetHeight(33);
    pnlTop.SetCaption("Ver 4.27  ");
    pnlTop.SetAlignment(TAlignment::taRightJustify);
    btnReset.SetBounds(4, 4, 120, 25);
    btnReset.SetCaption("最新の情報に更新");
    pages.SetAlign(TAlign::alClient);

    // Process tab: a strip of small controls over a list and a tree.
    strip.SetAlign(TAlign::alTop);
    strip.SetHeight(26);
    lbl.SetBounds(4, 7, 90, 14);
    lbl.SetCaption("プロセスの優先度");
    combo.SetBounds(96, 2, 70, 20);
    combo.SetItems({"最高", "高", "標準", "最低", "不明"});
    btnSet.SetBounds(170, 2, 60, 22);
    btnSet.SetCaption("強制設定");
    chk.SetBounds(234, 4, 100, 18);
    chk.SetCaption("フルパスを表示");
    edt.SetBounds(340, 2, 70, 21);
    edt.OnKeyPress = [](TObject*, char& key) {
      if (!((key >= '0' && key <= '9') || key == 8)) key = 0;
    };
    btnKill.SetBounds(540, 2, 80, 22);
    btnKill.SetCaption("●強制終了");
    btnKill.SetFontColor(clRed);
    inner.SetAlign(TAlign::alClient);
    list.SetAlign(TAlign::alClient);
    list.ColumnClick = false;
    list.AddColumn({.Caption = "プロセスID", .Width = 80});
    list.AddColumn({.Caption = "親プロセスID", .Width = 80});
    list.AddColumn({.Caption = "スレッド数", .Width = 65, .Alignment = TAlignment::taRightJustify});
    list.AddColumn({.Caption = "ファイル名", .Width = 190});
    list.AddColumn({.Caption = "優先度", .Width = 50});
    tree.SetAlign(TAlign::alClient);
    tree.PopupMenu = &treeMenu;
    treeMenu.Add("pmnuTreeOpen", "ツリーをすべて開く").OnClick = [this](TObject*) {
      tree.FullExpand();
    };
    treeMenu.Add("pmnuTreeClose", "ツリーをすべて閉じる").OnClick = [this](TObject*) {
      tree.FullCollapse();
    };

    // Heap tab: a list on the left, a splitter, and two lists on the right
    // with a splitter between them.
    heaps.SetAlign(TAlign::alLeft);
    heaps.SetWidth(194);
    heaps.AddColumn({.Caption = "ヒープID", .Width = 70});
    vsplit.SetAlign(TAlign::alLeft);
    right.SetAlign(TAlign::alClient);
    right.SetBevelOuter(TPanelBevel::bvNone);
    modules.SetAlign(TAlign::alBottom);
    modules.SetHeight(252);
    modules.AddColumn({.Caption = "モジュール名", .Width = 120});
    hsplit.SetAlign(TAlign::alBottom);
    blocks.SetAlign(TAlign::alClient);
    blocks.AddColumn({.Caption = "ブロックのサイズ", .Width = 100});
    EnableAlign();
  }

  TPanel pnlTop{this};
  TButton btnReset{&pnlTop};
  TPageControl pages{this};
  TTabSheet tabProcess{&pages, "アクティブなプロセス"};
  TTabSheet tabHeap{&pages, "ヒープリスト"};
  TPanel strip{&tabProcess};
  TLabel lbl{&strip};
  TComboBox combo{&strip};
  TButton btnSet{&strip};
  TCheckBox chk{&strip};
  TEdit edt{&strip};
  TButton btnKill{&strip};
  TPageControl inner{&tabProcess};
  TTabSheet tabList{&inner, "一覧表示"};
  TTabSheet tabTree{&inner, "ツリー表示"};
  TListView list{&tabList};
  TTreeView tree{&tabTree};
  TPopupMenu treeMenu;
  TListView heaps{&tabHeap};
  TSplitter vsplit{&tabHeap};
  TPanel right{&tabHeap};
  TListView modules{&right};
  TSplitter hsplit{&right};
  TListView blocks{&right};
};

void Fill(TListView& list, int rows) {
  list.BeginUpdate();
  list.Clear();
  for (int i = 0; i < rows; ++i) {
    char id[16];
    std::snprintf(id, sizeof id, "%08X", i * 4);
    TListItem* item = list.AddItem(id);
    item->AddSubItem("00000000");
    item->AddSubItem(std::to_string(i % 17));
    item->AddSubItem("process" + std::to_string(i) + ".exe");
    item->AddSubItem("標準");
  }
  list.EndUpdate();
}

void FillTree(TTreeView& tree, int nodes) {
  tree.BeginUpdate();
  tree.Clear();
  std::vector<TTreeNode*> made;
  for (int i = 0; i < nodes; ++i) {
    // Every node hangs under the node at half its index: a deep, wide tree.
    TTreeNode* parent = i == 0 ? nullptr : made[static_cast<size_t>((i - 1) / 2)];
    made.push_back(tree.AddChild(parent, "process" + std::to_string(i) + ".exe"));
  }
  tree.EndUpdate();
}

// Runs a check while a pop-up menu may be open: a timer closes any menu.
bool menuSeen = false;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  if (::FindWindowW(L"#32768", nullptr) != nullptr) {
    menuSeen = true;
    ::EndMenu();
  }
  ::KillTimer(nullptr, id);
}

void RunChecks(TApplication& app, TCheckForm& f) {
  // The file and colour dialogs' and the sounds' libraries wait for their
  // first use: a form built and shown has loaded neither.
  const bool unloaded =
      ::GetModuleHandleA("comdlg32.dll") == nullptr && ::GetModuleHandleA("winmm.dll") == nullptr;
  using norva::platform::win32::LateBound;
  Check(unloaded && LateBound<decltype(::GetOpenFileNameW)>("comdlg32.dll", "GetOpenFileNameW") &&
            LateBound<decltype(::ChooseColorW)>("comdlg32.dll", "ChooseColorW") &&
            LateBound<decltype(::sndPlaySoundW)>("winmm.dll", "sndPlaySoundW"),
        "comdlg32 and winmm loaded at the first call, not at start");
  const HWND form = H(f);
  RECT window{};
  ::GetWindowRect(form, &window);
  Check(window.right - window.left == 651 && window.bottom - window.top == 487,
        "window size is 651 x 487", Text(window));
  const LONG style = ::GetWindowLongW(form, GWL_STYLE);
  Check((style & WS_MAXIMIZEBOX) && (style & WS_SYSMENU) && !(style & WS_MINIMIZEBOX),
        "system menu and maximise box, no minimise box");
  RECT client{};
  ::GetClientRect(form, &client);
  Check(client.right == f.Width() && client.bottom == f.Height(), "client size as the form says",
        Text(client));

  // The list: row count, texts answered from the rows, one rebuild.
  f.pages.SetActivePageIndex(0);
  const double t0 = NowMs();
  Fill(f.list, 5000);
  ::UpdateWindow(H(f.list));
  const double t1 = NowMs();
  std::printf("figure: 5000-row rebuild with its paint %.1f ms\n", t1 - t0);
  const HWND list = H(f.list);
  Check(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 5000, "native row count follows the list");
  Check(ListText(list, 4999, 3) == L"process4999.exe" && ListText(list, 4999, 4) == L"標準",
        "native texts come from the rows");
  RECT listRect = WindowRectIn(list, H(f.tabList));
  Check(listRect.left == 0 && listRect.top == 0 && listRect.right == f.tabList.Width() &&
            listRect.bottom == f.tabList.Height(),
        "alClient list fills its tab sheet", Text(listRect));

  // Selection both ways, each change reported once.
  std::string events;
  f.list.OnSelectItem = [&](TObject*, TListItem* item, bool selected) {
    events += std::to_string(item->Index()) + (selected ? "+ " : "- ");
  };
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(list, LVM_SETITEMSTATE, 5, reinterpret_cast<LPARAM>(&state));
  Check(f.list.ItemIndex() == 5 && events == "5+ ", "a row selected in the window selects it",
        events);
  events.clear();
  f.list.SetItemIndex(7);
  const auto shown = ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  Check(shown == 7 && events == "5- 7+ ", "a row selected by the program shows in the window",
        std::to_string(shown) + " / " + events);
  events.clear();
  f.list.BeginUpdate();
  f.list.Clear();
  f.list.EndUpdate();
  Check(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 0 &&
            ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == -1 &&
            events.empty(),
        "a cleared list leaves the window empty, no event");
  f.list.SetColor(clYellow);
  f.list.SetFontColor(clNavy);
  Check(::SendMessageW(list, LVM_GETBKCOLOR, 0, 0) == RGB(255, 255, 0) &&
            ::SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0) == RGB(0, 0, 128),
        "list colours reach the window");
  f.list.SetColor(clWindow);
  f.list.SetFontColor(clWindowText);
  f.list.SetColumnWidth(3, 330);
  Check(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 3, 0) == 330, "column width reaches the window");
  Fill(f.list, 300);

  // Combo entries one by one.
  const HWND combo = H(f.combo);
  f.combo.Clear();
  for (const char* entry : {"a", "b", "プロセス"}) f.combo.Add(entry);
  f.combo.SetItemIndex(2);
  wchar_t entry[64] = {};
  ::SendMessageW(combo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(entry));
  Check(::SendMessageW(combo, CB_GETCOUNT, 0, 0) == 3 && std::wcscmp(entry, L"プロセス") == 0 &&
            ::SendMessageW(combo, CB_GETCURSEL, 0, 0) == 2,
        "combo entries reach the native list");
  f.combo.Clear();
  Check(::SendMessageW(combo, CB_GETCOUNT, 0, 0) == 0, "a cleared combo is empty");

  // Digits only in the edit.
  ::SendMessageW(H(f.edt), WM_CHAR, 'a', 0);
  ::SendMessageW(H(f.edt), WM_CHAR, '7', 0);
  Check(f.edt.Text() == "7", "a key filter keeps letters out", f.edt.Text());

  // The inner tabs: a click on the second tab runs OnChange.
  int changes = 0;
  f.inner.OnChange = [&](TObject*) { ++changes; };
  RECT tab{};
  ::SendMessageW(H(f.inner), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
  const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
  ::SendMessageW(H(f.inner), WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(H(f.inner), WM_LBUTTONUP, 0, at);
  Check(changes == 1 && f.inner.ActivePageIndex() == 1 && f.tabTree.Visible(),
        "a tab clicked in the window runs OnChange");

  // The tree: nodes, expansion, texts, selection from the window.
  const double t2 = NowMs();
  FillTree(f.tree, 5000);
  ::UpdateWindow(H(f.tree));
  const double t3 = NowMs();
  f.tree.FullExpand();
  ::UpdateWindow(H(f.tree));
  const double t4 = NowMs();
  std::printf("figure: 5000-node tree build %.1f ms, full expand %.1f ms\n", t3 - t2, t4 - t3);
  const HWND tree = H(f.tree);
  Check(::SendMessageW(tree, TVM_GETCOUNT, 0, 0) == 5000, "native node count follows the tree");
  TTreeNode* node = f.tree.Root(0)->Item(1)->Item(0);
  const auto item = static_cast<HTREEITEM>(node->PeerData);
  Check((::SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
         TVIS_EXPANDED) != 0,
        "full expand opens the native branches");
  wchar_t nodeText[64] = {};
  TVITEMW tvi{};
  tvi.mask = TVIF_TEXT;
  tvi.hItem = item;
  tvi.pszText = nodeText;
  tvi.cchTextMax = 64;
  ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
  Check(std::wcscmp(nodeText, L"process5.exe") == 0, "native node texts come from the nodes");
  TTreeNode* changed = nullptr;
  f.tree.OnChange = [&](TObject*, TTreeNode* n) { changed = n; };
  ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  Check(changed == node && f.tree.Selected() == node, "a node selected in the window selects it");
  f.tree.FullCollapse();
  Check((::SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
         TVIS_EXPANDED) == 0,
        "full collapse closes the native branches");

  // The tree's pop-up menu on a right click (closed again by a timer).
  ::SetTimer(nullptr, 0, 300, &CloseMenu);
  ::SendMessageW(tree, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree), MAKELPARAM(300, 300));
  Check(menuSeen, "WM_CONTEXTMENU opens the control's pop-up menu");
  // A right click as the mouse makes it: down, then up on the same spot.
  menuSeen = false;
  ::SetTimer(nullptr, 0, 300, &CloseMenu);
  ::PostMessageW(tree, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 8));
  ::PostMessageW(tree, WM_RBUTTONUP, 0, MAKELPARAM(40, 8));
  for (int i = 0; i < 50 && !menuSeen; ++i) {
    app.ProcessMessages();
    ::Sleep(20);
  }
  Check(menuSeen, "a right click opens the tree's pop-up menu");
  f.inner.SetActivePageIndex(0);

  // Splitters on the heap tab.
  f.pages.SetActivePageIndex(1);
  const HWND split = H(f.vsplit);

  ::SendMessageW(split, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 20));
  ::SendMessageW(split, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(41, 20));
  ::SendMessageW(split, WM_LBUTTONUP, 0, MAKELPARAM(1, 20));  // the bar has moved
  const RECT heaps = WindowRectIn(H(f.heaps), H(f.tabHeap));
  Check(f.heaps.Width() == 234 && heaps.right - heaps.left == 234 &&
            WindowRectIn(split, H(f.tabHeap)).left == 234,
        "dragging the splitter widens the list beside it", Text(heaps));
  const HWND hsplit = H(f.hsplit);
  ::SendMessageW(hsplit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 1));
  ::SendMessageW(hsplit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, -29));
  ::SendMessageW(hsplit, WM_LBUTTONUP, 0, MAKELPARAM(20, 1));
  Check(f.modules.Height() == 282 && f.hsplit.Top() + 3 == f.modules.Top(),
        "dragging the lower splitter up heightens the lower list",
        std::to_string(f.modules.Height()));

  // Resizing the window re-places everything.
  ::SetWindowPos(form, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
  ::GetClientRect(form, &client);
  const RECT pages = WindowRectIn(H(f.pages), form);
  Check(f.Width() == client.right && pages.right == client.right && pages.bottom == client.bottom &&
            pages.top == 33,
        "a resized window re-places its aligned controls", Text(pages));
  const RECT blocks = WindowRectIn(H(f.blocks), H(f.right));
  Check(blocks.right == f.right.Width() && blocks.bottom == f.hsplit.Top(),
        "nested aligned controls follow", Text(blocks));
  ::SetWindowPos(form, nullptr, 0, 0, 651, 487, SWP_NOMOVE | SWP_NOZORDER);
  f.pages.SetActivePageIndex(0);
}

}  // namespace

int main(int argc, char** argv) {
  norva::platform::InstallPlatform(&norva::platform::win32::Win32Platform());
  InstallBackend(&norva::tk::win32::Win32Backend());
  TApplication app({});
  Application = &app;
  app.Initialize("toolkit_check");
  int showTab = -1;
  if (argc > 2 && std::strcmp(argv[1], "--show") == 0) showTab = std::atoi(argv[2]);
  {
    auto form = CreateForm<TCheckForm>(nullptr);
    app.MainForm = form.get();
    form->Show();
    app.ProcessMessages();
    RunChecks(app, *form);
    std::printf("%d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
    if (showTab >= 0) {
      form->pages.SetActivePageIndex(showTab % 2);
      form->inner.SetActivePageIndex(showTab / 2);
      if (showTab / 2 == 1) form->tree.Root(0)->Expand(false);
      Fill(form->heaps, 40);
      Fill(form->modules, 40);
      Fill(form->blocks, 40);
      form->list.SetItemIndex(2);
      app.ProcessMessages();
      ::RedrawWindow(H(*form), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      std::printf("ready\n");
      std::fflush(stdout);
      app.Run();
    }
    app.MainForm = nullptr;
  }
  Application = nullptr;
  return failed == 0 ? 0 : 1;
}
