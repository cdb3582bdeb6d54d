#include "inspector/Heapchk.h"

#include "inspector/ProcessRows.h"
#include "inspector/Toolhelp.h"
#include "probes/MemoryStatus.h"
#include "toolkit/Application.h"

namespace norva {

THeapChkFrm* HeapChkFrm = nullptr;

using namespace tk;
using lang::TextId;
using platform::Os;

namespace {

constexpr win::UINT kQuestionFlags = win::MB_YESNO | win::MB_ICONEXCLAMATION;
constexpr win::UINT kErrorFlags = win::MB_OK | win::MB_ICONERROR;

TFont Face(const char* name) {
  TFont f;
  f.Name = name;
  f.Height = 12;
  return f;
}

void AddRow(TListView& list, const std::vector<std::string>& texts) {
  TListItem* item = list.AddItem(texts[0]);
  for (size_t i = 1; i < texts.size(); ++i) item->AddSubItem(texts[i]);
}

}  // namespace

void THeapChkFrm::Place(TControl& c, int left, int top, int width, int height,
                        std::optional<TextId> caption, std::optional<TextId> hint) {
  c.SetBounds(left, top, width, height);
  if (caption) FTexts.Caption(c, *caption);
  if (hint) FTexts.Hint(c, *hint);
}

void THeapChkFrm::AddColumns(TListView& list, std::initializer_list<ColumnText> columns) {
  for (const ColumnText& c : columns) {
    const int index = list.AddColumn({.Caption = "", .Width = c.width, .Alignment = c.alignment});
    FTexts.Add([&list, index, id = c.caption] { list.SetColumnCaption(index, lang::Text(id)); });
  }
}

// A read-only report list with whole-row selection and no column sorting.
void THeapChkFrm::SetUpList(TListView& list, TextId hint) {
  list.RowSelect = true;
  list.ColumnClick = false;
  list.HideSelection = false;
  FTexts.Hint(list, hint);
}

THeapChkFrm::THeapChkFrm(TForm* owner) : TForm(owner) {
  BuildLayout();
  WireEvents();
}

void THeapChkFrm::BuildLayout() {
  Name = "HeapChkFrm";
  FTexts.Add([this] { SetCaption(lang::Text(TextId::InspectorTitle)); });
  BorderStyle = TBorderStyle::bsSizeable;
  BorderIcons = biSystemMenu | biMaximize;
  Position = TPosition::poScreenCenter;
  SetFont(Face("ＭＳ Ｐゴシック"));
  SetWindowSize(651, 487);
  FVisible = false;

  pnlBkTop.SetBounds(0, 0, Width(), 33);
  pnlBkTop.SetCaption("Ver 4.27  ");
  pnlBkTop.SetAlignment(TAlignment::taRightJustify);
  pnlBkTop.SetAlign(TAlign::alTop);
  Place(btnReset, 4, 4, 120, 25, TextId::InspectorRefresh, TextId::InspectorRefreshHint);
  pgcChkMain.SetAlign(TAlign::alClient);
  FTexts.Caption(tbsProcess, TextId::InspectorTabProcesses);
  FTexts.Caption(tbsHeap, TextId::InspectorTabHeaps);
  FTexts.Caption(tbsThread, TextId::InspectorTabThreads);
  FTexts.Caption(tbsGraph, TextId::InspectorTabGraph);
  FTexts.Caption(tbsThreadList, TextId::InspectorTabList);
  FTexts.Caption(tbsThreadTree, TextId::InspectorTabTree);

  // Process tab: the tool strip, then the list and the tree.
  pnlActPrcTopBk.SetBounds(0, 0, 640, 26);
  pnlActPrcTopBk.SetBevelOuter(TPanelBevel::bvNone);
  pnlActPrcTopBk.SetAlign(TAlign::alTop);
  Place(lblActPrcTopProc, 4, 7, 96, 12, TextId::InspectorPriorityLabel);
  Place(cmbActPrcPriority, 102, 2, 56, 20, {}, TextId::InspectorPriorityHint);
  // The words of the priority classes, in the order of their indexes; the
  // choice stays when the words change.
  FTexts.Add([this] {
    const int chosen = cmbActPrcPriority.ItemIndex();
    std::vector<std::string> words;
    for (int i = 0; i <= 4; ++i) words.push_back(inspector::PriorityWordOfIndex(i));
    cmbActPrcPriority.SetItems(std::move(words));
    cmbActPrcPriority.SetItemIndex(chosen);
  });
  Place(btnSetPriority, 160, 1, 60, 24, TextId::InspectorSetPriority,
        TextId::InspectorSetPriorityHint);
  btnSetPriority.SetEnabled(false);
  Place(ckbFullPath, 228, 4, 110, 18, TextId::InspectorFullPath, TextId::InspectorFullPathHint);
  ckbFullPath.Hide();
  Place(lblMinSize, 228, 7, 24, 12, TextId::InspectorMinimum);
  Place(edtMinSize, 254, 2, 74, 21, {}, TextId::InspectorMinimumHint);
  Place(lblMaxSize, 334, 7, 24, 12, TextId::InspectorMaximum);
  Place(edtMaxSize, 360, 2, 74, 21, {}, TextId::InspectorMaximumHint);
  Place(btnSetWorkingSize, 438, 1, 60, 24, TextId::InspectorSetWorkingSet,
        TextId::InspectorSetWorkingSetHint);
  btnSetWorkingSize.SetEnabled(false);
  Place(btnTerminate, 560, 1, 72, 24, TextId::InspectorTerminate, TextId::InspectorTerminateHint);
  btnTerminate.SetFontColor(clRed);
  btnTerminate.SetEnabled(false);
  tpgActiveProc.SetAlign(TAlign::alClient);

  SetUpList(lvActiveProcess, TextId::InspectorProcessListHint);
  AddColumns(lvActiveProcess, {{TextId::ColumnProcessId, 80},
                               {TextId::ColumnParentId, 80},
                               {TextId::ColumnThreadCount, 65, TAlignment::taRightJustify},
                               {TextId::ColumnFileName, 190},
                               {TextId::ColumnPriority, 50},
                               {TextId::ColumnMinimumSize, 70, TAlignment::taRightJustify},
                               {TextId::ColumnMaximumSize, 70, TAlignment::taRightJustify}});
  lvActiveProcess.SetAlign(TAlign::alClient);
  tvActiveProcess.SetIndent(19);
  tvActiveProcess.SetAlign(TAlign::alClient);
  popMenuProcTree.Name = "popMenuProcTree";
  pmnuTreeOpen = &popMenuProcTree.Add("pmnuTreeOpen", "");
  pmnuTreeClose = &popMenuProcTree.Add("pmnuTreeClose", "");
  FTexts.Add([this] {
    pmnuTreeOpen->Caption = lang::Text(TextId::InspectorExpandAll);
    pmnuTreeClose->Caption = lang::Text(TextId::InspectorCollapseAll);
  });
  tvActiveProcess.PopupMenu = &popMenuProcTree;

  // Heap tab: the tool strip; the heaps on the left, the blocks above the
  // modules on the right, each pair with a splitter between.
  pnlHpListTopBk.SetBounds(0, 0, 640, 26);
  pnlHpListTopBk.SetBevelOuter(TPanelBevel::bvNone);
  pnlHpListTopBk.SetAlign(TAlign::alTop);
  Place(lblHpLstTopProc, 4, 7, 100, 12, TextId::InspectorTargetLabel);
  Place(cmbTargetProc, 106, 2, 330, 20, {}, TextId::InspectorTargetHint);
  cmbTargetProc.SetFont(Face("ＭＳ ゴシック"));
  Place(btnReadStop, 440, 1, 64, 24, TextId::InspectorStopReading);
  btnReadStop.Hide();
  Place(lblReadCount, 508, 7, 225, 12);

  SetUpList(lvHeapList, TextId::InspectorHeapListHint);
  AddColumns(lvHeapList, {{TextId::ColumnHeapOwnerId, 70},
                          {TextId::ColumnHeapId, 70},
                          {TextId::ColumnFlags, 50, TAlignment::taCenter}});
  lvHeapList.SetBounds(0, 26, 194, 300);
  lvHeapList.SetAlign(TAlign::alLeft);
  splHeapList.SetBounds(194, 26, 3, 300);
  splHeapList.SetAlign(TAlign::alLeft);
  pnlHeapRight.SetBevelOuter(TPanelBevel::bvNone);
  pnlHeapRight.SetAlign(TAlign::alClient);
  SetUpList(lvModule, TextId::InspectorModuleListHint);
  AddColumns(lvModule, {{TextId::ColumnModuleId, 80},
                        {TextId::ColumnUseCount, 50},
                        {TextId::ColumnProcessUseCount, 92},
                        {TextId::ColumnModuleName, 120}});
  lvModule.SetBounds(0, 500, 400, 252);
  lvModule.SetAlign(TAlign::alBottom);
  splModule.SetAlign(TAlign::alBottom);
  splModule.SetHeight(3);
  SetUpList(lvHeapBlock, TextId::InspectorBlockListHint);
  AddColumns(lvHeapBlock, {{TextId::ColumnBlockHandle, 140},
                           {TextId::ColumnBlockSize, 100, TAlignment::taRightJustify},
                           {TextId::ColumnLockCount, 80, TAlignment::taRightJustify}});
  lvHeapBlock.SetAlign(TAlign::alClient);

  // Thread tab.
  SetUpList(lvThread, TextId::InspectorThreadListHint);
  lvThread.SetFont(Face("ＭＳ ゴシック"));
  AddColumns(lvThread, {{TextId::ColumnThreadId, 80},
                        {TextId::ColumnParentId, 90},
                        {TextId::ColumnParentName, 160},
                        {TextId::ColumnUsageCount, 60},
                        {TextId::ColumnPriority, 80}});
  lvThread.SetAlign(TAlign::alClient);

  // Graph tab: the range panel on the left; the sub timer writes its texts.
  pnlGrpRange.SetBounds(0, 0, 97, 400);
  pnlGrpRange.SetFont(Face("ＭＳ ゴシック"));
  pnlGrpRange.SetCaption(lang::Text(TextId::GraphRangeMiddleUnknown));
  pnlGrpRange.SetAlignment(TAlignment::taRightJustify);
  pnlGrpRange.SetAlign(TAlign::alLeft);
  lblGrpRangeMax.SetFont(Face("ＭＳ ゴシック"));
  Place(lblGrpRangeMax, 1, 1, 95, 12);
  lblGrpRangeMax.SetCaption(lang::Text(TextId::GraphRangeTopUnknown));
  lblGrpRangeMax.Alignment = TAlignment::taRightJustify;
  lblGrpRangeMax.SetAlign(TAlign::alTop);
  lblRecture.SetFont(Face("ＭＳ ゴシック"));
  // The legend's two lines: the panel is too narrow for both on one.
  Place(lblRecture, 0, 24, 97, 26, TextId::GraphLegend);
  lblGrpRangeMin.SetFont(Face("ＭＳ ゴシック"));
  Place(lblGrpRangeMin, 1, 386, 95, 12, TextId::GraphRangeBottom);
  lblGrpRangeMin.Alignment = TAlignment::taRightJustify;
  lblGrpRangeMin.SetAlign(TAlign::alBottom);
  // The graph's properties in the order the form lists them; each setter
  // redraws the picture.
  pgpMainGraph.SetGridSize(10);
  pgpMainGraph.SetStepSize(10);
  pgpMainGraph.SetScale(400);
  pgpMainGraph.SetGradient(102);
  pgpMainGraph.SetPenWidth(1);
  pgpMainGraph.SetAlign(TAlign::alClient);
  FTexts.Hint(pgpMainGraph, TextId::GraphHint);

  pgcChkMain.SetActivePageIndex(0);
  tpgActiveProc.SetActivePageIndex(0);
  FormResize(this);
}

void THeapChkFrm::WireEvents() {
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  pnlActPrcTopBk.OnResize = [this](TObject* s) { FormResize(s); };
  pgcChkMain.OnChange = [this](TObject* s) { pgcChkMainChange(s); };
  btnReset.OnClick = [this](TObject* s) { btnResetClick(s); };
  ckbFullPath.OnClick = [this](TObject* s) { ckbFullPathClick(s); };
  lvActiveProcess.OnSelectItem = [this](TObject* s, TListItem* i, bool on) {
    lvActiveProcessSelectItem(s, i, on);
  };
  lvActiveProcess.OnEnter = [this](TObject* s) { lvActiveProcessEnter(s); };
  lvActiveProcess.OnClick = [this](TObject* s) { ListViewClick(s); };
  lvThread.OnClick = [this](TObject* s) { ListViewClick(s); };
  tpgActiveProc.OnChange = [this](TObject* s) { tpgActiveProcChange(s); };
  btnSetPriority.OnClick = [this](TObject* s) { btnSetPriorityClick(s); };
  btnSetWorkingSize.OnClick = [this](TObject* s) { btnSetWorkingSizeClick(s); };
  btnTerminate.OnClick = [this](TObject* s) { btnTerminateClick(s); };
  edtMinSize.OnKeyPress = [this](TObject* s, char& k) { edtMinSizeKeyPress(s, k); };
  edtMaxSize.OnKeyPress = [this](TObject* s, char& k) { edtMinSizeKeyPress(s, k); };
  pmnuTreeOpen->OnClick = [this](TObject* s) { pmnuTreeOpenClick(s); };
  pmnuTreeClose->OnClick = [this](TObject* s) { pmnuTreeCloseClick(s); };
  cmbTargetProc.OnChange = [this](TObject* s) { cmbTargetProcChange(s); };
  lvHeapList.OnSelectItem = [this](TObject* s, TListItem* i, bool on) {
    lvHeapListSelectItem(s, i, on);
  };
  btnReadStop.OnClick = [this](TObject* s) { btnReadStopClick(s); };
}

// --- Shared helpers -------------------------------------------------------------------

void THeapChkFrm::ProcessMessages() {
  if (Application != nullptr) Application->ProcessMessages();
}

void THeapChkFrm::ShowReadCount(const std::string& text) {
  if (lblReadCount.Caption() != text) lblReadCount.SetCaption(text);
}

void THeapChkFrm::ShowReadStop(bool visible) { btnReadStop.SetVisible(visible); }

bool THeapChkFrm::Ask(const std::string& text, const char* caption) {
  return Os().user.MessageBoxA(Handle(), text, caption, kQuestionFlags) == win::IDYES;
}

void THeapChkFrm::ShowError(const char* text) {
  Os().user.MessageBoxA(Handle(), text, lang::Text(TextId::ErrorTitle), kErrorFlags);
}

bool THeapChkFrm::ProcessTabActive() const { return pgcChkMain.ActivePageIndex() == 0; }

bool THeapChkFrm::TargetRecycled(win::DWORD target) const {
  const int index = cmbTargetProc.ItemIndex();
  if (target == 0 || index < 0 || static_cast<size_t>(index) >= FTargetCreation.size())
    return false;
  return !inspector::SameProcessAsListed(target, FTargetCreation[static_cast<size_t>(index)]);
}

void THeapChkFrm::EnableActions(bool all) {
  const bool on = lvActiveProcess.Selected() != nullptr && tpgActiveProc.ActivePageIndex() == 0;
  btnTerminate.SetEnabled(on);
  if (all) {
    btnSetPriority.SetEnabled(on);
    btnSetWorkingSize.SetEnabled(on);
  }
}

// --- Lists ------------------------------------------------------------------------------

void THeapChkFrm::ReadProcessList() {
  lvActiveProcess.BeginUpdate();
  lvActiveProcess.Clear();
  cmbTargetProc.Clear();
  FTargetCreation.clear();
  const std::vector<inspector::ProcessRow> rows = inspector::ReadProcessRows(ckbFullPath.Checked());
  std::vector<TListItem*> items;
  items.reserve(rows.size());
  for (const inspector::ProcessRow& row : rows) {
    TListItem* item = lvActiveProcess.AddItem(row.texts[0]);
    for (int c = 1; c < 7; ++c) item->AddSubItem(row.texts[c]);
    items.push_back(item);
    cmbTargetProc.Add(row.targetEntry);
    FTargetCreation.push_back(row.creationTime);
  }
  // After the rebuild the first process is the target.
  if (cmbTargetProc.Count() > 0) cmbTargetProc.SetItemIndex(0);
  lvActiveProcess.EndUpdate();

  tvActiveProcess.BeginUpdate();
  tvActiveProcess.Clear();
  const std::vector<int> parents = inspector::BuildProcessTree(rows);
  std::vector<TTreeNode*> nodes(rows.size(), nullptr);
  for (size_t i = 0; i < rows.size(); ++i) {
    TTreeNode* parent = parents[i] < 0 ? nullptr : nodes[static_cast<size_t>(parents[i])];
    nodes[i] = tvActiveProcess.AddChild(parent, rows[i].texts[3], items[i]);
  }
  tvActiveProcess.EndUpdate();
}

win::DWORD THeapChkFrm::GetTargetProcessID() {
  if (cmbTargetProc.ItemIndex() < 0) return 0;
  const std::optional<win::DWORD> wanted = inspector::TargetEntryId(cmbTargetProc.Text());
  if (!wanted) return 0;
  // Only a process that still runs is a target.
  for (ProcessList list; list.Valid; list.Next())
    if (list.Entry.th32ProcessID == *wanted) return *wanted;
  return 0;
}

void THeapChkFrm::ReadHeapList() {
  ShowReadCount(lang::Text(TextId::ClearingList));
  for (TListView* list : {&lvHeapList, &lvHeapBlock, &lvModule}) list->BeginUpdate();
  ProcessMessages();
  for (TListView* list : {&lvHeapList, &lvHeapBlock, &lvModule}) {
    list->BeginUpdate();
    list->Clear();
    list->EndUpdate();
  }
  ShowReadCount("");
  // A target that has gone (or the idle process) gives 0, for which the
  // system lists the calling process: the inspector's own heaps.
  for (HeapList heaps(GetTargetProcessID()); heaps.Valid; heaps.Next())
    AddRow(lvHeapList, inspector::HeapRowTexts(heaps.Entry));
  for (TListView* list : {&lvHeapList, &lvHeapBlock, &lvModule}) list->EndUpdate();
  ProcessMessages();
}

void THeapChkFrm::ReadModuleList() {
  const unsigned token = Generation();
  ShowReadCount(lang::Text(TextId::ClearingList));
  ProcessMessages();
  if (!Current(token)) return;
  lvModule.BeginUpdate();
  lvModule.Clear();
  ShowReadCount("");
  ProcessMessages();
  ShowReadStop(true);
  {
    // Target 0: the inspector's own modules, as for the heaps.
    ModuleList modules(GetTargetProcessID());
    ReadRows(token, [&] {
      if (!modules.Valid) return false;
      AddRow(lvModule, inspector::ModuleRowTexts(modules.Entry));
      modules.Next();
      return true;
    });
  }
  ShowReadStop(false);
  ShowReadCount("");
  lvModule.EndUpdate();
}

void THeapChkFrm::ReadHeapBlocks(win::DWORD ProcessID, win::ULONG_PTR HeapID) {
  const unsigned token = Generation();
  ShowReadCount(lang::Text(TextId::ClearingList));
  ProcessMessages();
  if (!Current(token)) return;
  lvHeapBlock.BeginUpdate();
  lvHeapBlock.Clear();
  ShowReadCount("");
  ProcessMessages();
  {
    Heap32 blocks(ProcessID, HeapID);
    ShowReadStop(true);
    ReadRows(token, [&] {
      if (!blocks.Valid) return false;
      AddRow(lvHeapBlock, inspector::BlockRowTexts(blocks.Entry));
      blocks.Next();
      return true;
    });
  }
  ShowReadStop(false);
  ShowReadCount("");
  lvHeapBlock.EndUpdate();
}

void THeapChkFrm::ReadThreadList() {
  lvThread.SetEnabled(false);
  lvThread.DisableAlign();
  lvThread.BeginUpdate();
  lvThread.Clear();
  lvThread.EnableAlign();
  lvThread.SetEnabled(true);
  const inspector::OwnerNames owners(cmbTargetProc.Items);
  for (ThreadList threads(GetTargetProcessID()); threads.Valid; threads.Next())
    AddRow(lvThread,
           inspector::ThreadRowTexts(threads.Entry, owners.Of(threads.Entry.th32OwnerProcessID)));
  lvThread.EndUpdate();
}

// --- Window -----------------------------------------------------------------------------

void THeapChkFrm::FormCreate(TObject*) {
  // The lists are first read when the window is first shown (FormShow reads
  // them at every showing): a read here, while the main window starts, would
  // be replaced before anyone could see it.
  if (IsNtFamily()) return;
  // The 9x family: full paths in szExeFile, no working-set limits.
  for (TControl* c : std::initializer_list<TControl*>{&lblMinSize, &lblMaxSize, &edtMinSize,
                                                      &edtMaxSize, &btnSetWorkingSize})
    c->Hide();
  lvActiveProcess.SetColumnWidth(3, 330);
  lvActiveProcess.SetColumnWidth(5, 0);
  lvActiveProcess.SetColumnWidth(6, 0);
  ckbFullPath.Show();
}

void THeapChkFrm::FormShow(TObject*) {
  // A read left running while the application was minimised ends here, so
  // that it adds nothing to the lists rebuilt below.
  StopReading();
  ReadProcessList();
  ReadHeapList();
  ReadThreadList();
}

// Shows every text anew in the current language; the rows hold words too
// (priorities, an unknown count), so the lists shown are read again.
void THeapChkFrm::ApplyTexts() {
  FTexts.Apply();
  if (!Visible()) return;
  FormShow(this);
  EnableActions(false);
}

void THeapChkFrm::FormClose(TObject*, TCloseAction& Action) {
  StopReading();
  Action = TCloseAction::caHide;
}

void THeapChkFrm::FormResize(TObject*) {
  // The terminate button keeps to the right end of its strip.
  const int left = pnlActPrcTopBk.Width() - btnTerminate.Width() - 4;
  if (left > btnSetWorkingSize.Left() + btnSetWorkingSize.Width() && left != btnTerminate.Left())
    btnTerminate.SetLeft(left);
}

void THeapChkFrm::pgcChkMainChange(TObject*) {
  StopReading();
  switch (pgcChkMain.ActivePageIndex()) {
    case 0:
      ReadProcessList();
      EnableActions(false);
      break;
    case 1:
      ReadHeapList();
      break;
    case 2:
      ReadThreadList();
      break;
    default:
      break;
  }
}

void THeapChkFrm::btnResetClick(TObject*) { pgcChkMainChange(nullptr); }

void THeapChkFrm::ckbFullPathClick(TObject*) { pgcChkMainChange(nullptr); }

// --- Process tab ------------------------------------------------------------------------

void THeapChkFrm::lvActiveProcessSelectItem(TObject*, TListItem* Item, bool Selected) {
  if (!Selected || Item == nullptr) return;
  if (Item->Index() < cmbTargetProc.Count()) {
    cmbTargetProc.SetItemIndex(Item->Index());
    lvActiveProcessEnter(&lvActiveProcess);
  }
  tpgActiveProcChange(&tpgActiveProc);
}

void THeapChkFrm::lvActiveProcessEnter(TObject*) {
  const inspector::ProcessLimits limits = inspector::ReadProcessLimits(GetTargetProcessID(), 0);
  cmbActPrcPriority.SetItemIndex(inspector::PriorityIndex(limits.priorityClass));
  if (limits.workingSet) {
    edtMinSize.SetText(std::to_string(limits.workingSet->first));
    edtMaxSize.SetText(std::to_string(limits.workingSet->second));
  } else {
    edtMinSize.SetText("");
    edtMaxSize.SetText("");
  }
}

void THeapChkFrm::ListViewClick(TObject*) {
  if (ProcessTabActive()) btnTerminate.SetEnabled(lvActiveProcess.Selected() != nullptr);
}

void THeapChkFrm::tpgActiveProcChange(TObject*) { EnableActions(true); }

void THeapChkFrm::btnSetPriorityClick(TObject*) {
  if (!Ask(lang::Text(TextId::PriorityQuestion), lang::Text(TextId::ConfirmChangeTitle))) return;
  {
    const win::DWORD target = GetTargetProcessID();
    const inspector::OpenedProcess process(win::PROCESS_SET_INFORMATION, 0, target);
    const std::optional<win::DWORD> priorityClass =
        inspector::PriorityClassOfIndex(cmbActPrcPriority.ItemIndex());
    if (!priorityClass)
      ShowError(lang::Text(TextId::UnknownPriority));
    else if (process.Get() != nullptr && !TargetRecycled(target))
      // A refusal is not reported, nor a process that has gone (its ID taken
      // over or not): the refreshed list shows what holds.
      Os().process.SetPriorityClass(process.Get(), *priorityClass);
  }
  ProcessMessages();
  btnResetClick(nullptr);
  ProcessMessages();
}

void THeapChkFrm::edtMinSizeKeyPress(TObject*, char& Key) {
  if (inspector::IsSizeKey(Key)) return;
  Key = 0;
  Os().user.MessageBeep(0);
}

void THeapChkFrm::btnSetWorkingSizeClick(TObject*) {
  if (!Ask(lang::Text(TextId::WorkingSetQuestion), lang::Text(TextId::ConfirmChangeTitle))) return;
  const std::optional<win::SIZE_T> minimum = inspector::ParseSize(edtMinSize.Text());
  const std::optional<win::SIZE_T> maximum = inspector::ParseSize(edtMaxSize.Text());
  if (!minimum || !maximum) {
    ShowError(lang::Text(TextId::UnknownSize));
    return;
  }
  {
    const win::DWORD target = GetTargetProcessID();
    const inspector::OpenedProcess process(win::PROCESS_SET_QUOTA, 0, target);
    const auto [low, high] = inspector::WorkingSetLimits(*minimum, *maximum);
    if (process.Get() == nullptr || TargetRecycled(target) ||
        !Os().process.SetProcessWorkingSetSize(process.Get(), low, high))
      ShowError(lang::Text(TextId::SetFailed));
  }
  ProcessMessages();
  btnResetClick(nullptr);
  ProcessMessages();
}

void THeapChkFrm::btnTerminateClick(TObject*) {
  if (ProcessTabActive()) {
    if (!Ask(lang::Text(TextId::TerminateQuestion), lang::Text(TextId::ConfirmEndTitle))) return;
    const win::DWORD target = GetTargetProcessID();
    if (lvActiveProcess.Selected() != nullptr && target != 0 &&
        target == Os().process.GetCurrentProcessId()) {
      // Ending Norva itself goes the normal way, so that its settings are
      // written and its tray icon removed; a hard stop would lose both.
      if (Application != nullptr && Application->MainForm != nullptr)
        Os().user.PostMessageA(Application->MainForm->Handle(), win::WM_CLOSE, 0, 0);
      return;
    }
    const inspector::OpenedProcess process(win::PROCESS_TERMINATE, 0,
                                           lvActiveProcess.Selected() != nullptr ? target : 0);
    if (lvActiveProcess.Selected() == nullptr || process.Get() == nullptr) {
      ShowError(lang::Text(TextId::TerminateFailed));
      return;
    }
    // The ID now names a stranger: it fails as for an exited process, and
    // the refresh shows who holds the ID now.
    if (TargetRecycled(target) || !Os().process.TerminateProcess(process.Get(), 0))
      ShowError(lang::Text(TextId::TerminateFailed));
  }
  pgcChkMainChange(nullptr);
}

void THeapChkFrm::pmnuTreeOpenClick(TObject*) { tvActiveProcess.FullExpand(); }

void THeapChkFrm::pmnuTreeCloseClick(TObject*) { tvActiveProcess.FullCollapse(); }

// --- Heap tab ---------------------------------------------------------------------------

void THeapChkFrm::cmbTargetProcChange(TObject*) {
  if (pgcChkMain.ActivePageIndex() == 1) pgcChkMainChange(nullptr);
}

void THeapChkFrm::lvHeapListSelectItem(TObject*, TListItem* Item, bool Selected) {
  if (!Selected || Item == nullptr) return;
  StopReading();
  for (HeapList heaps(GetTargetProcessID()); heaps.Valid; heaps.Next()) {
    const win::HEAPLIST32& e = heaps.Entry;
    if (inspector::Hex8(e.th32ProcessID) != Item->Caption() ||
        inspector::Hex8(e.th32HeapID) != Item->Text(1))
      continue;
    const unsigned token = BeginReads();
    ReadModuleList();
    // A stop button ends only the module read; anything that stopped this
    // selection's reads for good ends the block read too.
    if (Current(token)) ReadHeapBlocks(e.th32ProcessID, e.th32HeapID);
    if (Current(token)) EndReads();
    return;
  }
}

void THeapChkFrm::btnReadStopClick(TObject*) {
  FReadStop = true;
  ProcessMessages();
}

}  // namespace norva
