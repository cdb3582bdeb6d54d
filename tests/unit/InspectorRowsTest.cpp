// The inspector's plain rules: toolhelp cursors over the fake tables, the
// texts of the rows, the process tree, the working-set edits and the stop
// rules of the row-by-row reads.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "inspector/ProcessRows.h"
#include "inspector/ReadProtocol.h"
#include "inspector/Toolhelp.h"
#include "platform/fake/FakePlatform.h"

namespace norva::testing {
namespace {

using namespace norva::inspector;
using platform::fake::FakeHeap;
using platform::fake::FakePlatform;

class InspectorRows : public ::testing::Test {
 protected:
  FakePlatform os;
  platform::fake::FakeProcesses& procs = os.processes;
};

// --- Cursors ----------------------------------------------------------------------------

TEST_F(InspectorRows, CursorsWalkTheirTablesAndReleaseWhatTheyTook) {
  procs.Add(0, 0, "[System Process]");
  auto& a = procs.Add(8, 0, "C:\\WINDOWS\\a.exe", 3);
  a.modules = {{.moduleId = 1, .name = "a.exe"}, {.moduleId = 1, .name = "ntdll.dll"}};
  a.heaps = {FakeHeap{.id = 0x1000, .flags = 1, .blocks = {{0x1010, 32, 0}, {0x1040, 64, 1}}}};
  procs.threads = {{1, 8, 0, 8}, {2, 0, 0, 0}, {3, 99, 0, 8}};

  std::vector<win::DWORD> ids;
  for (ProcessList l; l.Valid; l.Next()) ids.push_back(l.Entry.th32ProcessID);
  EXPECT_EQ(ids, (std::vector<win::DWORD>{0, 8}));
  int modules = 0, heaps = 0, blocks = 0, threads = 0;
  for (ModuleList l(8); l.Valid; l.Next()) ++modules;
  for (HeapList l(8); l.Valid; l.Next()) ++heaps;
  for (Heap32 l(8, 0x1000); l.Valid; l.Next()) ++blocks;
  // A thread snapshot yields every thread of the system, whatever the ID.
  for (ThreadList l(8); l.Valid; l.Next()) ++threads;
  EXPECT_EQ(modules, 2);
  EXPECT_EQ(heaps, 1);
  EXPECT_EQ(blocks, 2);
  EXPECT_EQ(threads, 3);
  EXPECT_EQ(procs.OpenHandles(), 0u);
  EXPECT_EQ(procs.badCloses, 0);
  EXPECT_EQ(os.kernel.LibraryReferences("kernel32"), 0);

  // An exited process, an unwalkable heap, a denied process: empty walks.
  for (ModuleList l(77); l.Valid; l.Next()) ADD_FAILURE();
  a.heaps[0].walkable = false;
  for (Heap32 l(8, 0x1000); l.Valid; l.Next()) ADD_FAILURE();
  a.deniedAccess = win::PROCESS_QUERY_INFORMATION;
  for (HeapList l(8); l.Valid; l.Next()) ADD_FAILURE();

  // ID 0 stands for the calling process in heap, block and module walks;
  // the records carry its own ID.
  auto& self = procs.Add(procs.currentProcessId, 0, "C:\\Norva\\norva.exe");
  self.heaps = {FakeHeap{.id = 0x2000, .blocks = {{0x2010, 8, 0}}}};
  self.modules = {{.moduleId = 1, .name = "norva.exe"}};
  {
    const HeapList own(0);
    ASSERT_TRUE(own.Valid);
    EXPECT_EQ(own.Entry.th32ProcessID, procs.currentProcessId);
    EXPECT_EQ(own.Entry.th32HeapID, 0x2000u);
    const ModuleList mine(0);
    ASSERT_TRUE(mine.Valid);
    EXPECT_STREQ(mine.Entry.szModule, "norva.exe");
    EXPECT_TRUE(Heap32(0, 0x2000).Valid);
  }
  EXPECT_EQ(procs.OpenHandles(), 0u);
  EXPECT_EQ(procs.badCloses, 0);
  EXPECT_EQ(os.kernel.unbalancedFrees, 0);
}

TEST_F(InspectorRows, AProcessIsToldApartFromOneThatTookOverItsId) {
  procs.Add(8, 0, "a.exe");
  const std::optional<uint64_t> listed = ReadProcessLimits(8, 0).creationTime;
  ASSERT_TRUE(listed);
  EXPECT_TRUE(SameProcessAsListed(8, listed));
  {
    // A handle keeps naming the process it opened, not whoever takes the ID.
    const OpenedProcess old(win::PROCESS_TERMINATE, 0, 8);
    procs.Recycle(8, "b.exe");
    EXPECT_FALSE(SameProcessAsListed(8, listed));
    EXPECT_FALSE(platform::Os().process.TerminateProcess(old.Get(), 0));
    EXPECT_EQ(procs.Find(8)->exeFile, "b.exe");
  }
  // Where no time can be read, only a row without one matches.
  procs.Find(8)->deniedAccess = win::PROCESS_QUERY_INFORMATION;
  EXPECT_FALSE(SameProcessAsListed(8, listed));
  EXPECT_TRUE(SameProcessAsListed(8, std::nullopt));
  procs.Find(8)->deniedAccess = 0;
  EXPECT_FALSE(SameProcessAsListed(8, std::nullopt));
  // The 9x family keeps no process times.
  os.kernel.UseNineXFamily();
  EXPECT_FALSE(ReadProcessLimits(8, 0).creationTime);
  EXPECT_TRUE(SameProcessAsListed(8, std::nullopt));
  EXPECT_EQ(procs.OpenHandles(), 0u);
}

TEST_F(InspectorRows, AMissingToolhelpFunctionEmptiesOnlyItsKindOfList) {
  procs.Add(4, 0, "a.exe").modules = {{.name = "a.exe"}};
  procs.threads = {{1, 4, 0, 8}};
  const struct {
    const char* missing;
    bool processes, modules, threads;
  } cases[] = {
      {"CreateToolhelp32Snapshot", false, false, false},
      {"Process32Next", false, true, true},
      {"Module32First", true, false, true},
      {"Thread32Next", true, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.missing);
    os.kernel.missingExports = {c.missing};
    EXPECT_EQ(ProcessList().Valid, c.processes);
    EXPECT_EQ(ModuleList(4).Valid, c.modules);
    EXPECT_EQ(ThreadList(0).Valid, c.threads);
  }
  os.kernel.missingExports.clear();
  os.kernel.missingLibraries = {"kernel32"};
  EXPECT_FALSE(ProcessList().Valid);
  EXPECT_EQ(procs.OpenHandles(), 0u);
  EXPECT_EQ(os.kernel.OutstandingLibraryReferences(), 0);
  EXPECT_EQ(os.kernel.unbalancedFrees, 0);
}

// --- Texts ------------------------------------------------------------------------------

TEST(InspectorTexts, ShortFileNameKeepsNameAndExtensionOnly) {
  // ソ, 表, 能 end in 0x5C in code page 932; they are no separators.
  const struct {
    const char* path;
    const char* name;
  } cases[] = {
      {"C:\\WINDOWS\\SYSTEM\\KERNEL32.DLL", "KERNEL32.DLL"},
      {"C:\\ソフト\\表示.exe", "表示.exe"},
      {"C:\\機能\\ソ.exe", "ソ.exe"},
      {"表能.exe", "表能.exe"},
      {"C:/unix/style.exe", "style.exe"},
      {"D:name.exe", "name.exe"},
      {"a.b.c", "a.b.c"},
      {"C:\\dir\\", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ShortFileName(c.path), c.name) << c.path;
}

TEST(InspectorTexts, PriorityTableServesBothDirections) {
  const struct {
    win::DWORD cls;
    int index;
    const char* word;
  } cases[] = {{0x100, 0, "最高"}, {0x80, 1, "高"}, {0x20, 2, "標準"},
               {0x40, 3, "最低"},  {0, 4, "不明"},  {0x4000, 4, "不明"}};
  for (const auto& c : cases) {
    EXPECT_EQ(PriorityIndex(c.cls), c.index);
    EXPECT_STREQ(PriorityWord(c.cls), c.word);
    if (c.index < 4) {
      EXPECT_EQ(PriorityClassOfIndex(c.index), c.cls);
    }
  }
  EXPECT_FALSE(PriorityClassOfIndex(4));
  EXPECT_FALSE(PriorityClassOfIndex(-1));
}

TEST(InspectorTexts, ThreadPriorityTexts) {
  const struct {
    int pri;
    const char* text;
  } cases[] = {{-16, "待機(-16)"}, {-15, "待機(-15)"}, {-14, "低　(-14)"},
               {-7, "低　(-7)"},   {-1, "低　(-1)"},   {0, "普通(0)"},
               {1, "普通(1)"},     {2, "高　(2)"},     {8, "高　(8)"},
               {14, "高　(14)"},   {15, "連動(15)"},   {24, "リアルタイム(24)"}};
  for (const auto& c : cases) EXPECT_EQ(ThreadPriorityText(c.pri), c.text) << c.pri;
}

TEST(InspectorTexts, TargetEntriesPadTo40BytesAndGiveTheirIdBack) {
  const std::string plain = TargetEntry("notepad.exe", 0x1A4);
  EXPECT_EQ(plain, "notepad.exe" + std::string(29, ' ') + "000001A4");
  // Two-byte characters count twice: 6 of them take 12 of the 40 bytes.
  const std::string wide = TargetEntry("表示表示表示", 0x20);
  EXPECT_EQ(wide.size(), std::string("表示表示表示").size() + 28 + 8);
  // A name longer than 40 bytes: the ID is still found (at the end).
  const std::string longName(45, 'x');
  EXPECT_EQ(TargetEntryId(TargetEntry(longName, 0xBEEF)), 0xBEEFu);
  EXPECT_EQ(TargetEntryId(plain), 0x1A4u);
  EXPECT_FALSE(TargetEntryId("short"));
  // Owner names: the first 16 bytes, blanks kept, never half a character.
  EXPECT_EQ(TargetEntryName(plain), "notepad.exe     ");
  EXPECT_EQ(TargetEntryName(TargetEntry("abcdefghijklmnopqrstu.exe", 1)), "abcdefghijklmnop");
  EXPECT_EQ(TargetEntryName(TargetEntry("abcdefghijklmno表.exe", 1)), "abcdefghijklmno");
  const OwnerNames owners(
      {TargetEntry("a.exe", 4), TargetEntry("b.exe", 4), TargetEntry("c.exe", 8)});
  EXPECT_EQ(owners.Of(4), "a.exe           ");
  EXPECT_EQ(owners.Of(8), "c.exe           ");
  EXPECT_EQ(owners.Of(9), "");
}

TEST(InspectorTexts, RowTextsOfHeapsBlocksModules) {
  win::HEAPENTRY32 block{};
  block.hHandle = reinterpret_cast<win::HANDLE>(uintptr_t{0xABC0});
  block.dwBlockSize = 7;
  block.dwLockCount = 2;
  EXPECT_EQ(BlockRowTexts(block), (std::vector<std::string>{"0000ABC0", "  7", "  2"}));
  win::MODULEENTRY32 module{};
  module.th32ModuleID = 1;
  module.ProccntUsage = 0xFFFF;
  module.GlblcntUsage = 3;
  std::strcpy(module.szModule, "KERNEL32.DLL");
  EXPECT_EQ(ModuleRowTexts(module),
            (std::vector<std::string>{"00000001", "(不明)", "3", "KERNEL32.DLL"}));
  EXPECT_EQ(KilobyteText(204800), "200.0 KB");
  EXPECT_EQ(KilobyteText(1536), "1.5 KB");
}

// --- Process rows and tree -------------------------------------------------------------------

TEST_F(InspectorRows, ProcessRowsOpenEveryProcessAndShowWhatTheyCould) {
  procs.Add(0, 0, "[System Process]");
  auto& a = procs.Add(0x10, 0, "C:\\WINDOWS\\explorer.exe", 12);
  a.priorityClass = win::HIGH_PRIORITY_CLASS;
  a.workingSetMin = 204800;
  a.workingSetMax = 1413120;
  procs.Add(0x20, 0x10, "C:\\app\\denied.exe").deniedAccess = win::PROCESS_QUERY_INFORMATION;
  procs.Add(0x30, 0x10, "C:\\app\\gone.exe");
  procs.exitAfterSnapshot = {0x30};

  const std::vector<ProcessRow> rows = ReadProcessRows(false);
  ASSERT_EQ(rows.size(), 4u);
  const std::string expected[7] = {"00000010", "00000000", "12",       "explorer.exe",
                                   "高",       "200.0 KB", "1380.0 KB"};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(rows[1].texts[c], expected[c]) << c;
  EXPECT_EQ(rows[1].targetEntry, TargetEntry("explorer.exe", 0x10));
  // Not opened: the idle process, a denied one, one that exited after the snapshot.
  for (int r : {0, 2, 3}) {
    EXPECT_EQ(rows[r].texts[4], "不明") << r;
    EXPECT_EQ(rows[r].texts[5], "") << r;
    EXPECT_EQ(rows[r].texts[6], "") << r;
  }
  EXPECT_EQ(ReadProcessRows(true)[1].texts[3], "C:\\WINDOWS\\explorer.exe");
  EXPECT_EQ(procs.OpenHandles(), 0u);
  for (const auto& [id, access] : procs.opens) EXPECT_EQ(access, win::PROCESS_QUERY_INFORMATION);
}

std::vector<ProcessRow> Rows(std::initializer_list<std::pair<win::DWORD, win::DWORD>> idParent) {
  std::vector<ProcessRow> rows;
  for (auto [id, parent] : idParent) {
    ProcessRow r;
    r.processId = id;
    r.parentId = parent;
    rows.push_back(r);
  }
  return rows;
}

TEST(InspectorTree, ParentsFollowTheOrderRules) {
  const struct {
    const char* name;
    std::vector<ProcessRow> rows;
    std::vector<int> parents;
  } cases[] = {
      {"chain and siblings", Rows({{0, 0}, {4, 0}, {8, 4}, {12, 4}, {16, 8}}), {-1, 0, 1, 1, 2}},
      {"parent later in the snapshot", Rows({{8, 4}, {4, 0}}), {-1, -1}},
      {"exited parent", Rows({{4, 0}, {8, 99}}), {-1, -1}},
      {"ID 0 is always a root", Rows({{4, 0}, {0, 4}, {0, 0}}), {-1, -1, -1}},
      {"a later ID 0 still adopts", Rows({{0, 0}, {0, 0}, {4, 0}}), {-1, -1, 0}},
      // Two nodes of ID 4: the one first in depth-first order wins. Row 3
      // (a child of row 1) comes before root row 2 in that order.
      {"duplicate IDs", Rows({{1, 0}, {2, 1}, {4, 0}, {4, 2}, {9, 4}}), {-1, 0, -1, 1, 3}},
      {"duplicate, earlier in the tree", Rows({{1, 0}, {4, 0}, {4, 1}, {9, 4}}), {-1, -1, 0, 2}},
      {"self parent", Rows({{5, 5}, {6, 5}}), {-1, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(BuildProcessTree(c.rows), c.parents) << c.name;
}

// --- Working-set edits -----------------------------------------------------------------------

TEST(InspectorWorkingSet, EditRulesAndTheBothZeroTrim) {
  for (char k : std::string("0123456789\b")) EXPECT_TRUE(IsSizeKey(k)) << int(k);
  for (char k : std::string("a- .\x16\x03+")) EXPECT_FALSE(IsSizeKey(k)) << int(k);
  // Every SIZE_T the edits can show comes back; one more is none.
  constexpr win::SIZE_T kMax = std::numeric_limits<win::SIZE_T>::max();
  std::string overMax = std::to_string(kMax);
  overMax.back() += 1;  // the largest SIZE_T ends in 5 (2^32 - 1, 2^64 - 1)
  const struct {
    std::string text;
    std::optional<win::SIZE_T> value;
  } cases[] = {{"", std::nullopt},
               {"0", 0},
               {"204800", 204800},
               {"2147483647", 2147483647},
               {"2147483648", win::SIZE_T{2147483648u}},
               {"4294967295", win::SIZE_T{4294967295u}},
               {std::to_string(kMax), kMax},
               {overMax, std::nullopt},
               {std::to_string(kMax) + "0", std::nullopt},
               {"-5", std::nullopt},
               {"12a", std::nullopt},
               {" 1", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(ParseSize(c.text), c.value) << c.text;
  const win::SIZE_T trim = static_cast<win::SIZE_T>(-1);
  EXPECT_EQ(WorkingSetLimits(0, 0), std::make_pair(trim, trim));
  EXPECT_EQ(WorkingSetLimits(0, 4096), std::make_pair(win::SIZE_T{0}, win::SIZE_T{4096}));
}

// --- Stoppable reads --------------------------------------------------------------------------

// A read protocol whose message step runs what the test scripted for it.
class ScriptedReads : public ReadProtocol {
 public:
  std::vector<std::function<void()>> atPump;  // by pump number
  std::vector<std::string> counts;
  int pumps = 0;
  bool stopShown = true;

 protected:
  void ProcessMessages() override {
    const size_t n = static_cast<size_t>(pumps++);
    if (n < atPump.size() && atPump[n]) atPump[n]();
  }
  void ShowReadCount(const std::string& text) override { counts.push_back(text); }
  void ShowReadStop(bool visible) override { stopShown = visible; }
};

TEST(InspectorReads, StopButtonStopRequestAndNestedReads) {
  const struct {
    const char* name;
    int stopAfterRow;  // the pump after this row (1-based) does the action
    int action;        // 0 none, 1 stop button, 2 StopReading, 3 StopReading then a new read
    int rowsRead;
    bool stillCurrent;
  } cases[] = {
      {"runs to the end", 0, 0, 5, true},
      {"stop button", 2, 1, 2, true},
      {"refresh or close", 3, 2, 3, false},
      {"new selection", 1, 3, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedReads r;
    int nestedRows = 0;
    r.atPump.resize(10);
    if (c.action != 0)
      r.atPump[static_cast<size_t>(c.stopAfterRow - 1)] = [&] {
        if (c.action == 1) r.FReadStop = true;
        if (c.action >= 2) r.StopReading();
        if (c.action == 3) {
          const unsigned t = r.BeginReads();
          int left = 2;
          nestedRows = r.ReadRows(t, [&] { return left-- > 0; });
          r.EndReads();
        }
      };
    const unsigned token = r.BeginReads();
    int left = 5;
    EXPECT_EQ(r.ReadRows(token, [&] { return left-- > 0; }), c.rowsRead);
    EXPECT_EQ(r.Current(token), c.stillCurrent);
    EXPECT_FALSE(r.FReadStop);
    EXPECT_FALSE(r.stopShown);
    EXPECT_EQ(r.counts.back(), "");
    if (c.action == 3) {
      EXPECT_EQ(nestedRows, 2);
    }
  }
}

TEST(InspectorReads, CountShowsRowsMinusOneInThreePlaces) {
  EXPECT_EQ(ReadProtocol::CountText(1), "  読込中：  0");
  EXPECT_EQ(ReadProtocol::CountText(1000), "  読込中：999");
  ScriptedReads idle;
  idle.StopReading();  // no read: nothing happens
  EXPECT_EQ(idle.pumps, 0);
  EXPECT_FALSE(idle.FReadStop);
}

}  // namespace
}  // namespace norva::testing
