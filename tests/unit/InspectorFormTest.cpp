// The inspector window on the fake processes: refresh and selection rules,
// the three actions with their questions and errors, the size edits, the
// stop protocol of the heap-row reads, opening and closing.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <map>
#include <string>

#include "NorvaFixture.h"
#include "inspector/Heapchk.h"
#include "inspector/ProcessRows.h"

namespace norva::testing {
namespace {

using platform::fake::FakeHeap;
using platform::fake::FakeHeapBlock;

// An inspector whose message step runs the test's script at a given pump.
class ScriptedHeapChk : public THeapChkFrm {
 public:
  using THeapChkFrm::THeapChkFrm;
  std::map<int, std::function<void()>> atPump;
  int pumps = 0;

 protected:
  void ProcessMessages() override {
    auto it = atPump.find(++pumps);
    if (it != atPump.end()) {
      auto action = std::move(it->second);
      atPump.erase(it);
      action();
    }
    THeapChkFrm::ProcessMessages();
  }
};

class InspectorForm : public ::testing::Test {
 public:
  platform::fake::FakePlatform os;
  tk::HeadlessBackend backend;
  std::unique_ptr<tk::TApplication> app;
  platform::fake::FakeProcesses& procs = os.processes;
  tk::FormPtr<ScriptedHeapChk> frm;

  InspectorForm() {
    app = std::make_unique<tk::TApplication>(std::vector<std::string>{});
    tk::Application = app.get();
    app->Initialize("Norva");
    procs.Add(0, 0, "[System Process]");
    procs.Add(4, 0, "System", 40);
    auto& shell = procs.Add(0x100, 4, "C:\\WINDOWS\\explorer.exe", 9);
    shell.priorityClass = win::HIGH_PRIORITY_CLASS;
    shell.modules = {{.moduleId = 1, .name = "explorer.exe"}, {.moduleId = 1, .name = "ntdll.dll"}};
    shell.heaps = {FakeHeap{.id = 0x150000, .flags = 1}, FakeHeap{.id = 0x250000}};
    for (uintptr_t i = 0; i < 1000; ++i) {
      shell.heaps[0].blocks.push_back({0x150000 + 16 * i, 16, 0});
      shell.heaps[1].blocks.push_back({0x250000 + 16 * i, 32, 0});
    }
    procs.Add(0x200, 0x100, "C:\\Program Files\\" + std::string(45, 'n') + ".exe");
    procs.Add(procs.currentProcessId, 0x100, "C:\\Norva\\norva.exe");
    procs.threads = {{0x10, 0x100, 0, 8}, {0x14, 0x999, 0, -15}};
    frm = tk::CreateForm<ScriptedHeapChk>(nullptr);
    HeapChkFrm = frm.get();
  }
  ~InspectorForm() override {
    frm.reset();
    HeapChkFrm = nullptr;
    tk::Application = nullptr;
  }

  int Row(win::DWORD id) {
    for (int i = 0; i < frm->lvActiveProcess.Count(); ++i)
      if (frm->lvActiveProcess.Item(i)->Caption() == inspector::Hex8(id)) return i;
    return -1;
  }
  void Select(win::DWORD id) { frm->lvActiveProcess.SetItemIndex(Row(id)); }
  // "caption:text" of every message box so far, texts whole.
  std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const auto& b : os.user.messageBoxes) texts.push_back(b.caption + ":" + b.text);
    os.user.messageBoxes.clear();
    return texts;
  }
};

TEST_F(InspectorForm, RefreshAndSelectionRules) {
  frm->Show();
  const auto& lv = frm->lvActiveProcess;
  ASSERT_EQ(lv.Count(), 5);
  EXPECT_EQ(frm->cmbTargetProc.Count(), 5);
  EXPECT_EQ(frm->tvActiveProcess.Count(), 5);
  EXPECT_EQ(frm->tvActiveProcess.RootCount(), 1);  // everything hangs under process 0
  EXPECT_EQ(lv.Item(2)->Text(3), "explorer.exe");
  EXPECT_EQ(lv.Item(2)->Text(4), "高");
  EXPECT_EQ(lv.ItemIndex(), -1);
  EXPECT_EQ(frm->cmbTargetProc.ItemIndex(), 0);
  EXPECT_FALSE(frm->btnTerminate.Enabled());
  EXPECT_EQ(procs.OpenHandles(), 0u);

  Select(0x100);
  EXPECT_EQ(frm->cmbTargetProc.ItemIndex(), 2);
  EXPECT_EQ(frm->cmbActPrcPriority.ItemIndex(), 1);
  EXPECT_EQ(frm->edtMinSize.Text(), "204800");
  EXPECT_EQ(frm->edtMaxSize.Text(), "1413120");
  EXPECT_TRUE(frm->btnTerminate.Enabled() && frm->btnSetPriority.Enabled() &&
              frm->btnSetWorkingSize.Enabled());
  // A name longer than 40 bytes is still a target.
  Select(0x200);
  EXPECT_EQ(frm->GetTargetProcessID(), 0x200u);
  // Process 0 cannot be opened: "不明" and empty sizes.
  Select(0);
  EXPECT_EQ(frm->cmbActPrcPriority.ItemIndex(), 4);
  EXPECT_EQ(frm->edtMinSize.Text(), "");
  // The tree tab takes the actions away; a refresh takes the selection.
  frm->tpgActiveProc.SetActivePageIndex(1);
  EXPECT_FALSE(frm->btnTerminate.Enabled() || frm->btnSetPriority.Enabled());
  frm->pmnuTreeOpen->Click();
  EXPECT_TRUE(frm->tvActiveProcess.Root(0)->Expanded());
  frm->tpgActiveProc.SetActivePageIndex(0);
  Select(4);
  // One redraw of the list and of the tree per rebuild, not one per row.
  const int rowRefreshes = lv.RowRefreshes(), nodeRefreshes = frm->tvActiveProcess.NodeRefreshes();
  frm->btnReset.Click();
  EXPECT_EQ(lv.RowRefreshes(), rowRefreshes + 1);
  EXPECT_EQ(frm->tvActiveProcess.NodeRefreshes(), nodeRefreshes + 1);
  EXPECT_EQ(lv.ItemIndex(), -1);
  EXPECT_FALSE(frm->btnTerminate.Enabled());
  // Target 0 (process 0, or a target that has gone) is the calling process
  // to the toolhelp snapshots: the heap tab shows the inspector's own heaps
  // and, on a heap row, its own modules and blocks.
  auto& self = *procs.Find(procs.currentProcessId);
  self.heaps = {FakeHeap{.id = 0x990000, .flags = 1, .blocks = {{0x990010, 24, 0}}}};
  self.modules = {{.moduleId = 1, .name = "norva.exe"}};
  const auto system = procs.processes;
  const auto threads = procs.threads;
  for (const int target : {0, 2}) {
    SCOPED_TRACE(target);
    frm->pgcChkMain.SetActivePageIndex(0);
    frm->pgcChkMain.SetActivePageIndex(1);
    if (target == 2) procs.Exit(0x100);  // explorer.exe, entry 2, goes
    frm->cmbTargetProc.SetItemIndex(target);
    frm->cmbTargetProc.OnChange(&frm->cmbTargetProc);
    ASSERT_EQ(frm->lvHeapList.Count(), 1);
    EXPECT_EQ(frm->lvHeapList.Item(0)->Caption(), inspector::Hex8(procs.currentProcessId));
    frm->lvHeapList.SetItemIndex(0);
    ASSERT_EQ(frm->lvModule.Count(), 1);
    EXPECT_EQ(frm->lvModule.Item(0)->Text(3), "norva.exe");
    ASSERT_EQ(frm->lvHeapBlock.Count(), 1);
    EXPECT_EQ(frm->lvHeapBlock.Item(0)->Caption(), "00990010");
  }
  procs.processes = system;
  procs.threads = threads;
  frm->pgcChkMain.SetActivePageIndex(0);
  frm->pgcChkMain.SetActivePageIndex(1);
  frm->cmbTargetProc.SetItemIndex(Row(procs.currentProcessId));
  frm->cmbTargetProc.OnChange(&frm->cmbTargetProc);
  EXPECT_EQ(frm->lvHeapList.Count(), 1);
  // Threads carry their owner's name from the combo, or none.
  frm->pgcChkMain.SetActivePageIndex(2);
  ASSERT_EQ(frm->lvThread.Count(), 2);
  EXPECT_EQ(frm->lvThread.Item(0)->Text(2), "explorer.exe    ");
  EXPECT_EQ(frm->lvThread.Item(1)->Text(2), "");
  EXPECT_EQ(frm->lvThread.Item(1)->Text(4), "待機(-15)");
}

// The three questions, line by line, each line ending in a line feed.
std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\n";
  return text;
}
const std::string kPriorityAsked =
    "強制設定確認:" +
    Lines(
        {"選択されたプロセスの優先度を変更します", "",
         "（システムに関わるプロセスの場合、優先度を変更すると全体的な動作に支障をきたす恐れがあり"
         "ます）",
         "", "強制設定を実行しますか？"});
const std::string kSizeAsked =
    "強制設定確認:" + Lines({"選択されたプロセスのワーキングセットサイズを変更します（バイト単位）",
                             "", "これはプロセスに見えている物理RAM内の常駐メモリページ集合です。",
                             "搭載メモリと設定順によりますので確実に確保される保証はありません。",
                             "設定を間違うとパフォーマンスに悪影響を及ぼす恐れがあります。", "",
                             "強制設定を実行しますか？"});
const std::string kTerminateAsked =
    "終了確認:" +
    Lines(
        {"選択されたプロセスを強制終了します", "",
         "どうしても使わざるを得ない場合以外は使わないでください",
         "DLLが管理しているグローバル データが危険な状態に陥る恐れがあります",
         "(プロセスの終了により そのプロセスオブジェクトが必ずしもシステムから除去されるとは限りま"
         "せん)",
         "", "強制終了しますか？"});

// The process 0x100 that a row showed exits and a stranger takes its ID.
void RecycleExplorer(InspectorForm& t) { t.procs.Recycle(0x100, "C:\\stranger.exe"); }

TEST_F(InspectorForm, ActionsAskThenActOrReport) {
  enum Action { Priority, WorkingSet, Terminate };
  const std::string unknownPriority = "エラー:不明な優先度です。設定できません";
  const std::string unknownSize = "エラー:不明なサイズです。設定できません";
  const std::string setFailed = "エラー:設定に失敗しました";
  const std::string terminateFailed = "エラー:強制終了に失敗しました";
  const struct {
    const char* name;
    Action action;
    win::DWORD target;  // 0: no row selected
    int answer;
    std::function<void(InspectorForm&)> setUp;
    std::vector<std::string> boxes;  // caption:text
    size_t priorityChanges, workingSetChanges, terminations;
    bool refreshed;
  } cases[] = {
      {"priority declined", Priority, 0x100, win::IDNO, nullptr, {kPriorityAsked}, 0, 0, 0, false},
      {"priority set",
       Priority,
       0x100,
       win::IDYES,
       [](InspectorForm& t) { t.frm->cmbActPrcPriority.SetItemIndex(3); },
       {kPriorityAsked},
       1,
       0,
       0,
       true},
      {"priority unknown",
       Priority,
       0x100,
       win::IDYES,
       [](InspectorForm& t) { t.frm->cmbActPrcPriority.SetItemIndex(4); },
       {kPriorityAsked, unknownPriority},
       0,
       0,
       0,
       true},
      {"priority refused: no message",
       Priority,
       0x100,
       win::IDYES,
       [](InspectorForm& t) { t.procs.Find(0x100)->deniedAccess = win::PROCESS_SET_INFORMATION; },
       {kPriorityAsked},
       0,
       0,
       0,
       true},
      {"size declined", WorkingSet, 0x100, win::IDNO, nullptr, {kSizeAsked}, 0, 0, 0, false},
      {"size empty",
       WorkingSet,
       0x100,
       win::IDYES,
       [](InspectorForm& t) { t.frm->edtMaxSize.SetText(""); },
       {kSizeAsked, unknownSize},
       0,
       0,
       0,
       false},
      {"size both zero trims",
       WorkingSet,
       0x100,
       win::IDYES,
       [](InspectorForm& t) {
         t.frm->edtMinSize.SetText("0");
         t.frm->edtMaxSize.SetText("0");
       },
       {kSizeAsked},
       0,
       1,
       0,
       true},
      {"size refused",
       WorkingSet,
       0x100,
       win::IDYES,
       [](InspectorForm& t) { t.procs.Find(0x100)->refuseWorkingSet = true; },
       {kSizeAsked, setFailed},
       0,
       0,
       0,
       true},
      {"terminate declined",
       Terminate,
       0x100,
       win::IDNO,
       nullptr,
       {kTerminateAsked},
       0,
       0,
       0,
       false},
      {"terminate", Terminate, 0x100, win::IDYES, nullptr, {kTerminateAsked}, 0, 0, 1, true},
      // No handle: the error, and the list stays as it was.
      {"terminate without a row",
       Terminate,
       0,
       win::IDYES,
       nullptr,
       {kTerminateAsked, terminateFailed},
       0,
       0,
       0,
       false},
      {"terminate an exited process",
       Terminate,
       0x100,
       win::IDYES,
       [](InspectorForm& t) { t.procs.Exit(0x100); },
       {kTerminateAsked, terminateFailed},
       0,
       0,
       0,
       false},
      {"terminate refused",
       Terminate,
       0x100,
       win::IDYES,
       [](InspectorForm& t) { t.procs.Find(0x100)->deniedAccess = win::PROCESS_TERMINATE; },
       {kTerminateAsked, terminateFailed},
       0,
       0,
       0,
       false},
      {"terminate the idle process",
       Terminate,
       0,
       win::IDYES,
       [](InspectorForm& t) { t.Select(0); },
       {kTerminateAsked, terminateFailed},
       0,
       0,
       0,
       false},
      // The row's process exited and a stranger holds its ID: nothing is
      // done to the stranger; the action fails as for an exited process and
      // the list is read again.
      {"priority on a recycled ID",
       Priority,
       0x100,
       win::IDYES,
       RecycleExplorer,
       {kPriorityAsked},
       0,
       0,
       0,
       true},
      {"size on a recycled ID",
       WorkingSet,
       0x100,
       win::IDYES,
       RecycleExplorer,
       {kSizeAsked, setFailed},
       0,
       0,
       0,
       true},
      {"terminate on a recycled ID",
       Terminate,
       0x100,
       win::IDYES,
       RecycleExplorer,
       {kTerminateAsked, terminateFailed},
       0,
       0,
       0,
       true},
  };
  frm->Show();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    procs.priorityChanges.clear();
    procs.workingSetChanges.clear();
    procs.terminations.clear();
    frm->btnReset.Click();
    if (c.target != 0) Select(c.target);
    if (c.setUp) c.setUp(*this);
    const int snapshots = procs.snapshotsTaken;
    const int rebuilds = frm->lvActiveProcess.RowRefreshes();
    os.user.messageBoxAnswers = {c.answer};
    switch (c.action) {
      case Priority:
        frm->btnSetPriority.Click();
        break;
      case WorkingSet:
        frm->btnSetWorkingSize.Click();
        break;
      case Terminate:
        frm->btnTerminate.Click();
        break;
    }
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(procs.priorityChanges.size(), c.priorityChanges);
    EXPECT_EQ(procs.workingSetChanges.size(), c.workingSetChanges);
    EXPECT_EQ(procs.terminations.size(), c.terminations);
    EXPECT_EQ(frm->lvActiveProcess.RowRefreshes() > rebuilds, c.refreshed);
    // A declined question does nothing more, not even a refresh.
    if (c.answer == win::IDNO) {
      EXPECT_EQ(procs.snapshotsTaken, snapshots);
    }
    EXPECT_EQ(procs.OpenHandles(), 0u);
    if (procs.Find(0x100) == nullptr)
      procs.processes.insert(procs.processes.begin() + 2,
                             {.id = 0x100, .parent = 4, .exeFile = "explorer.exe"});
    procs.Find(0x100)->deniedAccess = 0;
    procs.Find(0x100)->refuseWorkingSet = false;
  }
  // The stranger that took over the ID is still there, untouched.
  ASSERT_NE(procs.Find(0x100), nullptr);
  EXPECT_EQ(procs.Find(0x100)->exeFile, "C:\\stranger.exe");
  EXPECT_EQ(procs.Find(0x100)->priorityClass, win::NORMAL_PRIORITY_CLASS);
}

TEST_F(InspectorForm, SizesTheEditsShowAreTakenBackUnchanged) {
  // Limits of 2 GiB and more, up to the largest SIZE_T.
  const win::SIZE_T sizes[][2] = {{win::SIZE_T{2} << 30, win::SIZE_T{3} << 30},
                                  {4096, std::numeric_limits<win::SIZE_T>::max() - 1}};
  frm->Show();
  for (const auto& size : sizes) {
    procs.Find(0x100)->workingSetMin = size[0];
    procs.Find(0x100)->workingSetMax = size[1];
    procs.workingSetChanges.clear();
    frm->btnReset.Click();
    Select(0x100);
    EXPECT_EQ(frm->edtMaxSize.Text(), std::to_string(size[1]));
    frm->btnSetWorkingSize.Click();
    EXPECT_EQ(Boxes(), std::vector<std::string>{kSizeAsked});
    ASSERT_EQ(procs.workingSetChanges.size(), 1u);
    EXPECT_EQ(procs.workingSetChanges[0].first, size[0]);
    EXPECT_EQ(procs.workingSetChanges[0].second, size[1]);
  }
}

TEST_F(InspectorForm, ActionResultsShowInTheRefreshedList) {
  frm->Show();
  Select(0x100);
  frm->cmbActPrcPriority.SetItemIndex(3);
  frm->btnSetPriority.Click();
  EXPECT_EQ(frm->lvActiveProcess.Item(Row(0x100))->Text(4), "最低");
  Select(0x100);
  frm->edtMinSize.SetText("0");
  frm->edtMaxSize.SetText("0");
  frm->btnSetWorkingSize.Click();
  EXPECT_EQ(procs.workingSetChanges.at(0).first, static_cast<win::SIZE_T>(-1));
  EXPECT_EQ(procs.workingSetChanges.at(0).second, static_cast<win::SIZE_T>(-1));
  Select(0x100);
  frm->btnTerminate.Click();
  EXPECT_EQ(Row(0x100), -1);
  // The inspector's own process ends through the normal close of the main
  // window (settings written, tray icon removed), not by TerminateProcess.
  Select(procs.currentProcessId);
  os.user.messageBoxes.clear();
  frm->btnTerminate.Click();
  EXPECT_TRUE(procs.terminations.size() == 1);
  EXPECT_NE(Row(procs.currentProcessId), -1);
}

TEST_F(InspectorForm, SizeEditsTakeDigitsAndBackspaceOnly) {
  for (tk::TEdit* edit : {&frm->edtMinSize, &frm->edtMaxSize}) {
    for (char typed : std::string("07\b")) {
      char key = typed;
      edit->OnKeyPress(edit, key);
      EXPECT_EQ(key, typed);
    }
    for (char typed : std::string("a- \x16")) {
      char key = typed;
      edit->OnKeyPress(edit, key);
      EXPECT_EQ(key, 0);
    }
  }
  EXPECT_EQ(os.user.beeps, std::vector<win::UINT>(8, 0));
}

TEST_F(InspectorForm, HeapRowReadsStopAsTold) {
  frm->Show();
  Select(0x100);
  frm->pgcChkMain.SetActivePageIndex(1);
  ASSERT_EQ(frm->lvHeapList.Count(), 2);
  EXPECT_EQ(frm->lvHeapList.Item(0)->Text(1), "00150000");
  const int kBlockPump = 2 + 2 + 2 + 10;  // clear, modules, clear, then ten blocks
  const struct {
    const char* name;
    int pump;
    std::function<void(InspectorForm&)> act;
    int modules, blocks;
    const char* firstBlock;
  } cases[] = {
      {"to the end", 0, nullptr, 2, 1000, "00150000"},
      {"stop during modules: blocks still read", 3,
       [](InspectorForm& t) { t.frm->btnReadStop.Click(); }, 1, 1000, "00150000"},
      {"stop during blocks", kBlockPump, [](InspectorForm& t) { t.frm->btnReadStop.Click(); }, 2,
       10, "00150000"},
      {"another heap row", kBlockPump, [](InspectorForm& t) { t.frm->lvHeapList.SetItemIndex(1); },
       2, 1000, "00250000"},
      {"tab change", kBlockPump, [](InspectorForm& t) { t.frm->pgcChkMain.SetActivePageIndex(2); },
       0, 0, nullptr},
      {"close", kBlockPump, [](InspectorForm& t) { t.frm->Close(); }, 2, 10, "00150000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    frm->Show();
    frm->pgcChkMain.SetActivePageIndex(1);
    frm->cmbTargetProc.SetItemIndex(2);
    frm->cmbTargetProc.OnChange(&frm->cmbTargetProc);
    frm->pumps = 0;
    if (c.act) frm->atPump[c.pump] = [this, &c] { c.act(*this); };
    const int blockRefreshes = frm->lvHeapBlock.RowRefreshes();
    frm->lvHeapList.SetItemIndex(0);
    if (!c.act) {
      EXPECT_EQ(frm->lvHeapBlock.RowRefreshes(), blockRefreshes + 1);
    }
    if (frm->pgcChkMain.ActivePageIndex() == 1) {
      EXPECT_EQ(frm->lvModule.Count(), c.modules);
      EXPECT_EQ(frm->lvHeapBlock.Count(), c.blocks);
      if (c.firstBlock) {
        EXPECT_EQ(frm->lvHeapBlock.Item(0)->Caption(), c.firstBlock);
      }
    }
    EXPECT_FALSE(frm->FReading);
    EXPECT_FALSE(frm->FReadStop);
    EXPECT_FALSE(frm->btnReadStop.Visible());
    EXPECT_EQ(frm->lblReadCount.Caption(), "");
    EXPECT_FALSE(frm->lvHeapBlock.Updating() || frm->lvModule.Updating());
    EXPECT_EQ(procs.OpenHandles(), 0u);
  }
}

TEST_F(InspectorForm, NamesStayWholeInTheListTreeComboAndModules) {
  const auto repeat = [](const char* s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i) r += s;
    return r;
  };
  // 252 characters, 740 bytes of UTF-8; a module name of 255 characters.
  const std::string file = "長い名前.exe";
  const std::string path = "C:\\" + repeat("漢", 240) + "\\" + file;
  const std::string module = repeat("模", 255);
  auto& p = procs.Add(0x300, 0x100, path);
  p.heaps = {FakeHeap{.id = 0x10000}};
  p.modules = {{.moduleId = 1, .name = module}};
  frm->Show();
  const int row = Row(0x300);
  ASSERT_NE(row, -1);
  EXPECT_EQ(frm->lvActiveProcess.Item(row)->Text(3), file);
  // Under explorer.exe, after its two other children.
  EXPECT_EQ(frm->tvActiveProcess.Root(0)->Item(0)->Item(0)->Item(2)->Text(), file);
  EXPECT_EQ(frm->cmbTargetProc.Items[static_cast<size_t>(row)],
            inspector::TargetEntry(file, 0x300));
  Select(0x300);
  EXPECT_EQ(frm->GetTargetProcessID(), 0x300u);
  frm->pgcChkMain.SetActivePageIndex(1);
  frm->lvHeapList.SetItemIndex(0);
  ASSERT_EQ(frm->lvModule.Count(), 1);
  EXPECT_EQ(frm->lvModule.Item(0)->Text(3), module);
  // The full path, where the system gives one (the 9x family).
  os.kernel.UseNineXFamily();
  auto old = tk::CreateForm<THeapChkFrm>(nullptr);
  old->ckbFullPath.SetChecked(true);
  EXPECT_EQ(old->lvActiveProcess.Item(row)->Text(3), path);
  EXPECT_EQ(old->tvActiveProcess.Root(0)->Item(0)->Item(0)->Item(2)->Text(), path);
}

TEST_F(InspectorForm, HeapListReadLetsMessagesRunAroundTheEmptyingOnly) {
  auto& shell = *procs.Find(0x100);
  for (uintptr_t i = shell.heaps.size(); i < 50; ++i) shell.heaps.push_back({.id = 0x400000 + i});
  frm->Show();
  frm->pgcChkMain.SetActivePageIndex(1);
  frm->cmbTargetProc.SetItemIndex(2);
  const std::vector<tk::TListView*> lists = {&frm->lvHeapList, &frm->lvHeapBlock, &frm->lvModule};
  struct Seen {
    std::string label;
    int updating = 0;
    int heaps = 0;
  };
  const auto look = [&] {
    Seen s{frm->lblReadCount.Caption(), 0, frm->lvHeapList.Count()};
    for (const tk::TListView* l : lists) s.updating += l->Updating() ? 1 : 0;
    return s;
  };
  std::vector<Seen> seen;
  frm->pumps = 0;
  frm->atPump[1] = [&] { seen.push_back(look()); };
  frm->atPump[2] = [&] { seen.push_back(look()); };
  frm->ReadHeapList();
  // Two message steps and none while the heaps are read: the first with
  // "リスト消去中" shown and the three lists held from redrawing, the second
  // after the lists are redrawn with the new heaps.
  EXPECT_EQ(frm->pumps, 2);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].label, "リスト消去中");
  EXPECT_EQ(seen[0].updating, 3);
  EXPECT_EQ(seen[1].label, "");
  EXPECT_EQ(seen[1].updating, 0);
  EXPECT_EQ(seen[1].heaps, 50);
  // A refresh that runs inside either step leaves each heap listed once.
  for (int pump : {1, 2}) {
    frm->pumps = 0;
    frm->atPump[pump] = [&] { frm->btnReset.Click(); };
    frm->ReadHeapList();
    EXPECT_EQ(frm->lvHeapList.Count(), 50) << pump;
    EXPECT_EQ(frm->lblReadCount.Caption(), "") << pump;
    for (const tk::TListView* l : lists) EXPECT_FALSE(l->Updating()) << pump;
  }
}

TEST_F(InspectorForm, NineXFamilyLayout) {
  os.kernel.UseNineXFamily();
  auto old = tk::CreateForm<THeapChkFrm>(nullptr);
  EXPECT_TRUE(old->ckbFullPath.Visible());
  for (const tk::TControl* c : std::initializer_list<const tk::TControl*>{
           &old->lblMinSize, &old->edtMinSize, &old->lblMaxSize, &old->edtMaxSize,
           &old->btnSetWorkingSize})
    EXPECT_FALSE(c->Visible()) << c->Name;
  EXPECT_EQ(old->lvActiveProcess.Columns()[3].Width, 330);
  EXPECT_EQ(old->lvActiveProcess.Columns()[5].Width, 0);
  EXPECT_EQ(old->lvActiveProcess.Columns()[6].Width, 0);
  EXPECT_EQ(frm->lvActiveProcess.Columns()[6].Width, 70);
  old->ckbFullPath.SetChecked(true);
  EXPECT_EQ(old->lvActiveProcess.Item(2)->Text(3), "C:\\WINDOWS\\explorer.exe");
  EXPECT_EQ(old->tvActiveProcess.Root(0)->Item(0)->Item(0)->Text(), "C:\\WINDOWS\\explorer.exe");
  EXPECT_FALSE(frm->ckbFullPath.Visible());
  // The 9x family keeps no process times: the actions still act.
  old->lvActiveProcess.SetItemIndex(2);
  old->btnTerminate.Click();
  EXPECT_EQ(procs.terminations.size(), 1u);
}

class InspectorOpening : public NorvaTest {};

TEST_F(InspectorOpening, OpensOnceRebuildsWhenShownAndStopsAtClose) {
  Start();
  os.processes.Add(8, 0, "a.exe");
  ASSERT_NE(HeapChkFrm, nullptr);
  EXPECT_FALSE(HeapChkFrm->Visible());
  // Nothing is read before the lists can be seen.
  EXPECT_EQ(os.processes.snapshotsTaken, 0);
  form->sbtnMemHeap.Click();
  EXPECT_TRUE(HeapChkFrm->Visible());
  EXPECT_EQ(HeapChkFrm->lvActiveProcess.Count(), 1);
  const int snapshots = os.processes.snapshotsTaken;
  form->pmInfo->Click();
  EXPECT_EQ(os.processes.snapshotsTaken, snapshots);
  HeapChkFrm->Close();
  EXPECT_FALSE(HeapChkFrm->Visible());
  EXPECT_TRUE(form->Visible());
  form->pmInfo->Click();
  EXPECT_TRUE(HeapChkFrm->Visible());
  EXPECT_GT(os.processes.snapshotsTaken, snapshots);
  // Terminating Norva itself closes it the normal way (settings saved, tray
  // icon removed) instead of killing it.
  os.processes.Add(os.processes.currentProcessId, 0, "C:\\Norva\\norva.exe");
  HeapChkFrm->btnReset.Click();
  HeapChkFrm->lvActiveProcess.SetItemIndex(1);
  os.user.postedMessages.clear();
  HeapChkFrm->btnTerminate.Click();
  EXPECT_TRUE(os.processes.terminations.empty());
  ASSERT_EQ(os.user.postedMessages.size(), 1u);
  EXPECT_EQ(os.user.postedMessages[0].window, form->Handle());
  EXPECT_EQ(os.user.postedMessages[0].message, win::WM_CLOSE);
  // 651 x 487 is the window, frame and title bar included.
  const tk::TPoint frame = backend.FormFrameSize(*HeapChkFrm);
  EXPECT_EQ(HeapChkFrm->Width() + frame.X, 651);
  EXPECT_EQ(HeapChkFrm->Height() + frame.Y, 487);
}

}  // namespace
}  // namespace norva::testing
