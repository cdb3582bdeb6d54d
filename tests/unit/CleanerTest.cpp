// The cleaning engine: the step arithmetic of each speed, the stop button,
// the processor pause, the shrinking reservation and its failure, the split
// reservation of the older family, the cleaning look, the automatic size,
// and the timers and the close that arrive inside a cleaning.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "NorvaFixture.h"
#include "app/Entry.h"
#include "cleaner/Reservation.h"
#include "platform/fake/ForwardingKernel.h"

namespace norva::testing {
namespace {

using platform::fake::FakeKernel;
using win::DWORD;
using win::HGLOBAL;

constexpr int64_t B = Reservation::kSplitBlock;

// ---------------------------------------------------------------------------
// A kernel between the program and the fake one. Everything goes on to the
// fake (which keeps its books: requests, live blocks, lock failures); on top
// of that it can fail chosen allocations, keeps the last bytes of every small
// block when it is freed, and can back large blocks with memory of its own:
// sparse, with an unmapped page before and after, so that a write outside a
// block faults at once and the pages each step wrote can be read back.
class WatchedKernel : public platform::fake::ForwardingKernel {
 public:
  explicit WatchedKernel(FakeKernel& inner) : ForwardingKernel(inner), Fake(inner) {}
  ~WatchedKernel() override {
    for (auto& [handle, own] : FOwn) munmap(own.base, own.total);
  }

  // Blocks of more bytes than this get memory of their own.
  size_t ownMemoryAbove = SIZE_MAX;
  // Own memory made of one window of real pages repeated (cheap, but which
  // pages were written cannot be told) rather than sparse memory.
  bool ownMemoryAliased = false;
  // GlobalAlloc calls (counted from 1) that fail.
  std::set<int> failAllocNumbers;
  std::vector<HGLOBAL> allocHandles;        // every GlobalAlloc's answer, in order
  std::vector<size_t> liveBlocksAtAlloc;    // the fake's live blocks before each
  std::vector<std::vector<uint8_t>> freed;  // a small block's bytes when freed

  struct OwnBlock {
    uint8_t* base = nullptr;  // the reservation, a guard page first
    size_t total = 0;
    uint8_t* interior = nullptr;  // the pages the block lies in
    size_t pages = 0;
    size_t lead = 0;  // bytes of the first page before the block: it ends on the
                      // back guard
  };
  bool Owns(HGLOBAL h) const { return FOwn.count(h) != 0; }
  const OwnBlock& Own(HGLOBAL h) const { return FOwn.at(h); }

  // Which pages of the block were written since the last call; gives them
  // back to the system so the next step starts from none.
  // One byte per page: 1 written, 0 not.
  std::vector<unsigned char> TakeWrittenPages(HGLOBAL h) {
    OwnBlock& own = FOwn.at(h);
    std::vector<unsigned char> written(own.pages);
    EXPECT_EQ(mincore(own.interior, own.pages * Page(), written.data()), 0);
    EXPECT_EQ(madvise(own.interior, own.pages * Page(), MADV_DONTNEED), 0);
    for (unsigned char& page : written) page &= 1;
    return written;
  }
  static size_t Page() { return static_cast<size_t>(sysconf(_SC_PAGESIZE)); }

  HGLOBAL GlobalAlloc(win::UINT flags, size_t bytes) override {
    liveBlocksAtAlloc.push_back(Fake.LiveBlocks());
    if (failAllocNumbers.count(static_cast<int>(allocHandles.size()) + 1) != 0)
      ++Fake.failNextAllocs;
    const HGLOBAL h = Fake.GlobalAlloc(flags, bytes);
    allocHandles.push_back(h);
    if (h != nullptr && bytes > ownMemoryAbove) FOwn[h] = MapOwn(bytes, ownMemoryAliased);
    return h;
  }
  void* GlobalLock(HGLOBAL h) override {
    void* p = Fake.GlobalLock(h);
    if (p != nullptr) FLocked.insert(h);
    if (p == nullptr || !Owns(h)) return p;
    const OwnBlock& own = FOwn.at(h);
    return own.interior + own.lead;
  }
  HGLOBAL GlobalFree(HGLOBAL h) override {
    if (const auto it = FOwn.find(h); it != FOwn.end()) {
      munmap(it->second.base, it->second.total);
      FOwn.erase(it);
    } else if (FLocked.count(h) != 0 && !Fake.IsSharedWindow(h)) {
      const auto [data, size] = Fake.BlockMemory(h);
      if (data != nullptr) freed.emplace_back(data, data + size);
    }
    FLocked.erase(h);
    return Fake.GlobalFree(h);
  }

 private:
  static OwnBlock MapOwn(size_t bytes, bool aliased) {
    OwnBlock own;
    const size_t page = Page();
    own.pages = (bytes + page - 1) / page;
    own.total = (own.pages + 2) * page;
    void* base =
        mmap(nullptr, own.total, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (base == MAP_FAILED) throw std::runtime_error("no address space for a watched block");
    own.base = static_cast<uint8_t*>(base);
    own.interior = own.base + page;
    if (aliased) {
      constexpr size_t kWindow = size_t{1} << 20;
      const int fd = memfd_create("norva-test-block", MFD_CLOEXEC);
      bool ok = fd >= 0 && ftruncate(fd, kWindow) == 0;
      for (size_t at = 0; ok && at < own.pages * page; at += kWindow)
        ok = mmap(own.interior + at, std::min(kWindow, own.pages * page - at),
                  PROT_READ | PROT_WRITE, MAP_SHARED | MAP_FIXED | MAP_POPULATE, fd,
                  0) != MAP_FAILED;
      if (fd >= 0) close(fd);
      if (!ok) throw std::runtime_error("cannot map a watched block");
    } else if (mprotect(own.interior, own.pages * page, PROT_READ | PROT_WRITE) != 0) {
      throw std::runtime_error("cannot open a watched block");
    }
    // Whole pages only, so each written page shows alone.
    madvise(own.interior, own.pages * page, MADV_NOHUGEPAGE);
    own.lead = own.pages * page - bytes;
    return own;
  }

  std::map<HGLOBAL, OwnBlock> FOwn;
  std::set<HGLOBAL> FLocked;
  FakeKernel& Fake;
};

// The user side of the fake with a look at the moment a message box is open.
class WatchedUser : public platform::IUser {
 public:
  explicit WatchedUser(platform::fake::FakeUser& inner) : U(inner) {}
  std::function<void()> whileMessageBox;

  int MessageBoxA(win::HWND owner, const std::string& text, const std::string& caption,
                  win::UINT type) override {
    if (whileMessageBox) whileMessageBox();
    return U.MessageBoxA(owner, text, caption, type);
  }
  int GetSystemMetrics(int index) override { return U.GetSystemMetrics(index); }
  win::BOOL GetCursorPos(win::POINT* p) override { return U.GetCursorPos(p); }
  win::BOOL SetCursorPos(int x, int y) override { return U.SetCursorPos(x, y); }
  int16_t GetKeyState(int key) override { return U.GetKeyState(key); }
  win::UINT RegisterWindowMessageA(const char* name) override {
    return U.RegisterWindowMessageA(name);
  }
  win::BOOL PostMessageA(win::HWND w, win::UINT m, win::WPARAM wp, win::LPARAM lp) override {
    return U.PostMessageA(w, m, wp, lp);
  }
  win::BOOL ShowWindow(win::HWND w, int command) override { return U.ShowWindow(w, command); }
  win::BOOL SetWindowPos(win::HWND w, win::HWND after, int x, int y, int cx, int cy,
                         win::UINT flags) override {
    return U.SetWindowPos(w, after, x, y, cx, cy, flags);
  }
  win::BOOL SetForegroundWindow(win::HWND w) override { return U.SetForegroundWindow(w); }
  win::HWND GetDesktopWindow() override { return U.GetDesktopWindow(); }
  win::LRESULT DefWindowProcA(win::HWND w, win::UINT m, win::WPARAM wp, win::LPARAM lp) override {
    return U.DefWindowProcA(w, m, wp, lp);
  }
  win::HICON LoadIconResource(const char* name, int cx, int cy, win::UINT flags) override {
    return U.LoadIconResource(name, cx, cy, flags);
  }
  win::HICON ApplicationIcon() override { return U.ApplicationIcon(); }
  platform::LoadedBitmap LoadBitmapFile(const std::string& path) override {
    return U.LoadBitmapFile(path);
  }
  void DeleteBitmap(win::HBITMAP b) override { U.DeleteBitmap(b); }
  void PaintDesktopWallpaper(win::HWND w, win::HDC dc) override { U.PaintDesktopWallpaper(w, dc); }

 private:
  platform::fake::FakeUser& U;
};

// One Sleep of the engine as seen from inside.
struct SleepSeen {
  DWORD ms;
  std::string status;
};

class CleanerTest : public NorvaTest {
 protected:
  WatchedKernel kernel{os.kernel};
  WatchedUser user{os.user};
  platform::Platform watched{kernel,
                             os.profile,
                             user,
                             os.shell,
                             os.sound,
                             os.registry,
                             platform::NoToolhelp(),
                             platform::NoProcessCalls(),
                             platform::NoDesktop(),
                             platform::NoUserRegistry(),
                             platform::NoForeground(),
                             os.files};
  std::vector<SleepSeen> sleepsSeen;
  // Runs at every Sleep after it is logged (the clock has moved already).
  std::function<void(const SleepSeen&)> atSleep;

  CleanerTest() {
    platform::InstallPlatform(&watched);
    os.kernel.onSleep = [this](DWORD ms) {
      sleepsSeen.push_back({ms, MainForm != nullptr ? MainForm->stcInfo.Caption() : std::string()});
      if (atSleep) atSleep(sleepsSeen.back());
    };
  }
  ~CleanerTest() override {
    form.reset();
    MainForm = nullptr;
    platform::InstallPlatform(&os.platform);
  }

  // Starts with these lines in section DEFAULT of the settings file and lets
  // the first tick pass, so that the window runs as after start-up.
  void StartReady(const std::string& defaults = "") {
    if (!defaults.empty()) WriteIni("[DEFAULT]\r\n" + defaults);
    Start();
    // The tests set the processor load themselves: no sub-timer tick measures it.
    form->timSub.SetEnabled(false);
    backend.AdvanceTime(100);
    sleepsSeen.clear();
  }

  void Clean(int64_t size, int speed) {
    Settings().cmbClSpeed.SetItemIndex(speed);
    ASSERT_EQ(Settings().cmbClSpeed.ItemIndex(), speed);
    form->FCleanSize = size;
    form->sbtnGetMem.Click();
  }

  // The one block of the fake that is live now.
  std::pair<unsigned char*, size_t> LiveBlock() {
    const auto handles = os.kernel.LiveHandles();
    EXPECT_EQ(handles.size(), 1u);
    if (handles.size() != 1) return {nullptr, 0};
    return os.kernel.BlockMemory(handles[0]);
  }

  // How many leading bytes are zero, or -1 when a byte after them is not
  // fresh (the block was written somewhere else than its start).
  static long ZeroPrefix(const unsigned char* data, size_t size) {
    size_t n = 0;
    while (n < size && data[n] == 0) ++n;
    for (size_t i = n; i < size; ++i)
      if (data[i] != FakeKernel::kFreshByte) return -1;
    return static_cast<long>(n);
  }
  long LiveZeroPrefix() {
    const auto [data, size] = LiveBlock();
    return data != nullptr ? ZeroPrefix(data, size) : -2;
  }
  long FreedZeroPrefix(size_t index = 0) {
    if (index >= kernel.freed.size()) return -2;
    return ZeroPrefix(kernel.freed[index].data(), kernel.freed[index].size());
  }

  std::vector<std::string> StepStatuses() const {
    std::vector<std::string> texts;
    for (const SleepSeen& s : sleepsSeen)
      if (s.ms == 10) texts.push_back(s.status);
    return texts;
  }
  std::vector<DWORD> SleepValues() const {
    std::vector<DWORD> v;
    for (const SleepSeen& s : sleepsSeen) v.push_back(s.ms);
    return v;
  }

  std::vector<std::string> TrayTips() const {
    std::vector<std::string> tips;
    for (const auto& c : os.shell.notifyIconCalls)
      if (c.message == win::NIM_MODIFY) tips.push_back(c.data.szTip);
    return tips;
  }
  int Cleanings() const {
    const auto tips = TrayTips();
    return static_cast<int>(std::count(tips.begin(), tips.end(), "掃除中..."));
  }

  std::vector<tk::TControl*> TopRow() {
    return {&form->sbtnConfig, &form->sbtnGetMem, &form->sbtnMemHeap, &form->sbtnMinimize,
            &form->sbtnClose};
  }
};

std::string Status(int number) { return "掃除中 " + std::to_string(number) + "% "; }

std::vector<DWORD> Sleeps(int tens, DWORD last) {
  std::vector<DWORD> v(static_cast<size_t>(tens), 10);
  v.push_back(last);
  return v;
}

// --- Steps and remainder ----------------------------------------------------

TEST_F(CleanerTest, AtSpeedZeroEveryStepWritesItsShareAndTheRemainderComesLast) {
  StartReady();
  std::vector<long> prefixAtStep;
  long prefixAtHold = -3;
  atSleep = [&](const SleepSeen& s) {
    if (s.ms == 10) prefixAtStep.push_back(LiveZeroPrefix());
    if (s.ms == 100) prefixAtHold = LiveZeroPrefix();
  };
  Clean(150, 0);  // s = 1, r = 50

  EXPECT_EQ(os.kernel.allocRequests, (std::vector<size_t>{150}));
  ASSERT_EQ(prefixAtStep.size(), 100u);
  for (size_t k = 0; k < 100; ++k) EXPECT_EQ(prefixAtStep[k], static_cast<long>(k)) << k;
  EXPECT_EQ(prefixAtHold,
            100);  // the fifty bytes after the steps are still fresh
  EXPECT_EQ(FreedZeroPrefix(), 150);
  std::vector<std::string> want;
  for (int n = 1; n <= 100; ++n) want.push_back(Status(n));
  EXPECT_EQ(StepStatuses(), want);
  EXPECT_EQ(SleepValues(), Sleeps(100, 100));
  EXPECT_EQ(form->FCleanSize, 150);
  EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
}

TEST_F(CleanerTest, BelowOneStepPerByteOnlyTheRemainderWrites) {
  StartReady();
  struct Case {
    int64_t size;
    int speed;
  };
  for (Case c : {Case{99, 0}, Case{1, 0}, Case{9, 1}}) {
    kernel.freed.clear();
    std::vector<long> seen;
    atSleep = [&](const SleepSeen&) { seen.push_back(LiveZeroPrefix()); };
    Clean(c.size, c.speed);
    ASSERT_FALSE(seen.empty());
    for (long p : seen) EXPECT_EQ(p, 0) << c.size;
    EXPECT_EQ(FreedZeroPrefix(), c.size) << c.size;
    EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
  }
}

TEST_F(CleanerTest, AtSpeedOneTenStepsCountInTensAndEndAtOneHundred) {
  StartReady();
  std::vector<long> prefixAtStep;
  long prefixAtHold = -3;
  atSleep = [&](const SleepSeen& s) {
    if (s.ms == 10) prefixAtStep.push_back(LiveZeroPrefix());
    if (s.ms == 100) prefixAtHold = LiveZeroPrefix();
  };
  Clean(157, 1);  // s = 15, r = 7

  ASSERT_EQ(prefixAtStep.size(), 10u);
  for (size_t k = 0; k < 10; ++k) EXPECT_EQ(prefixAtStep[k], static_cast<long>(15 * k)) << k;
  EXPECT_EQ(prefixAtHold, 150);
  EXPECT_EQ(FreedZeroPrefix(), 157);
  std::vector<std::string> want;
  for (int n = 0; n <= 90; n += 10) want.push_back(Status(n));
  EXPECT_EQ(StepStatuses(), want);
  EXPECT_EQ(form->stcInfo.Caption(), Status(100));
  EXPECT_EQ(SleepValues(), Sleeps(10, 100));
  EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
}

TEST_F(CleanerTest, SpeedTwoAndNoSpeedChosenWriteEverythingInOnePassThatStopCannotEnd) {
  StartReady();
  for (int speed : {2, -1}) {
    kernel.freed.clear();
    sleepsSeen.clear();
    long prefixAtHold = -3;
    atSleep = [&](const SleepSeen&) { prefixAtHold = LiveZeroPrefix(); };
    // The stop button is pressed in the pump before the pass.
    backend.QueueInput([this] { form->btnStop.Click(); });
    Clean(150, speed);
    EXPECT_EQ(SleepValues(), (std::vector<DWORD>{300})) << speed;
    EXPECT_EQ(prefixAtHold, 150) << speed;
    EXPECT_EQ(FreedZeroPrefix(), 150) << speed;
    EXPECT_EQ(form->stcInfo.Caption(), "掃除中(処理占有)");
    EXPECT_FALSE(form->FStopRequested);
    EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
  }
  EXPECT_EQ(os.kernel.allocRequests, (std::vector<size_t>{150, 150}));
}

// --- Stop and pause
// -----------------------------------------------------------

TEST_F(CleanerTest, StopAtStepFortyEndsAfterThatStepAndStillFillsTheBarBeforeErasing) {
  StartReady("OverAction=1\r\n");
  size_t screenOpsAtHold = 0;
  size_t erasesAtHold = 99;
  long prefixAtHold = -3;
  atSleep = [&](const SleepSeen& s) {
    if (s.ms == 10 && s.status == Status(41)) backend.QueueInput([this] { form->btnStop.Click(); });
    if (s.ms == 100) {
      prefixAtHold = LiveZeroPrefix();
      screenOpsAtHold = backend.screenCanvas.TextOps().size();
      erasesAtHold = backend.invalidatedScreenAreas.size();
    }
  };
  Clean(1050, 0);  // s = 10, r = 50

  const auto statuses = StepStatuses();
  ASSERT_EQ(statuses.size(), 41u);
  EXPECT_EQ(statuses.back(), Status(41));
  EXPECT_EQ(form->stcInfo.Caption(), Status(41));
  EXPECT_EQ(prefixAtHold, 410);  // steps 0 to 40
  // The remainder goes at the step counter where the loop ended.
  EXPECT_EQ(FreedZeroPrefix(), 450);
  EXPECT_FALSE(form->FStopRequested);
  EXPECT_FALSE(form->FCleaning);
  // Shadow, 1, 1, 1, 2, ... 39, then the full bar while holding, then the
  // erase.
  const auto ops = backend.screenCanvas.TextOps();
  ASSERT_EQ(ops.size(), screenOpsAtHold);
  ASSERT_EQ(ops.size(), 3u * (2 + 40 + 1));
  EXPECT_EQ(ops.back().text, "■■■■■■■■■■");
  EXPECT_EQ(ops[ops.size() - 4].text, "■■■□□□□□□□");  // step 39
  EXPECT_EQ(erasesAtHold, 0u);
  EXPECT_EQ(backend.invalidatedScreenAreas.size(), 1u);
  EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
}

TEST_F(CleanerTest, StopDuringSpeedOneStillEndsOnOneHundred) {
  StartReady();
  long prefixAtHold = -3;
  atSleep = [&](const SleepSeen& s) {
    if (s.ms == 10 && s.status == Status(30)) backend.QueueInput([this] { form->btnStop.Click(); });
    if (s.ms == 100) prefixAtHold = LiveZeroPrefix();
  };
  Clean(1000, 1);
  EXPECT_EQ(StepStatuses(),
            (std::vector<std::string>{Status(0), Status(10), Status(20), Status(30)}));
  EXPECT_EQ(form->stcInfo.Caption(), Status(100));
  EXPECT_EQ(prefixAtHold, 400);
  EXPECT_EQ(FreedZeroPrefix(), 400);
  EXPECT_FALSE(form->FStopRequested);
  EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
}

TEST_F(CleanerTest, WhileTheProcessorIsBusyTheStepWaitsWritesNothingAndStopStillEndsIt) {
  StartReady("StopCpuUsePer=1\r\nOverAction=1\r\n");
  int pausedSleeps = -1;
  long prefixInPause = -3;
  size_t screenOpsAtPause = 0, screenOpsInPause = 0;
  atSleep = [&](const SleepSeen& s) {
    if (s.ms != 10) return;
    if (pausedSleeps < 0 && s.status == Status(6)) {
      form->FCpuUsePer = 100;
      pausedSleeps = 0;
      screenOpsAtPause = backend.screenCanvas.Ops.size();
    } else if (pausedSleeps >= 0 && ++pausedSleeps == 20) {
      prefixInPause = LiveZeroPrefix();
      screenOpsInPause = backend.screenCanvas.Ops.size();
      backend.QueueInput([this] { form->btnStop.Click(); });
    }
  };
  Clean(1000, 0);

  const auto statuses = StepStatuses();
  ASSERT_EQ(statuses.size(), 26u);
  for (size_t i = 5; i < statuses.size(); ++i) EXPECT_EQ(statuses[i], Status(6)) << i;
  EXPECT_EQ(prefixInPause, 50);  // steps 0 to 4, nothing since
  EXPECT_EQ(screenOpsInPause, screenOpsAtPause);
  EXPECT_EQ(FreedZeroPrefix(), 50);
  EXPECT_FALSE(form->FCleaning);
  EXPECT_FALSE(form->FStopRequested);
  EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
}

TEST_F(CleanerTest, TheStepGoesOnOnceTheProcessorIsFreeAndOnlyWhenThePauseIsWanted) {
  StartReady("StopCpuUsePer=1\r\n");
  int paused = -1;
  atSleep = [&](const SleepSeen& s) {
    if (s.ms != 10) return;
    if (paused < 0 && s.status == Status(6)) {
      form->FCpuUsePer = 100;
      paused = 0;
    } else if (paused >= 0 && ++paused == 10) {
      form->FCpuUsePer = 99;
    }
  };
  Clean(1000, 0);
  auto statuses = StepStatuses();
  EXPECT_EQ(statuses.size(), 110u);
  EXPECT_EQ(std::count(statuses.begin(), statuses.end(), Status(6)), 11);
  EXPECT_EQ(statuses.back(), Status(100));
  EXPECT_EQ(FreedZeroPrefix(), 1000);

  // Without StopCpuUsePer a full processor holds nothing back.
  Settings().ckbStopCpuPer.SetChecked(false);
  form->FCpuUsePer = 100;
  atSleep = nullptr;
  sleepsSeen.clear();
  kernel.freed.clear();
  Clean(1000, 0);
  EXPECT_EQ(StepStatuses().size(), 100u);
  EXPECT_EQ(FreedZeroPrefix(), 1000);
}

TEST_F(CleanerTest, ASecondRequestDuringACleaningIsTurnedAway) {
  StartReady();
  atSleep = [&](const SleepSeen& s) {
    if (s.status == Status(10)) {
      backend.QueueInput([this] { form->sbtnWGetMem.Click(); });
      backend.QueueInput([this] { form->pmClean->Click(); });
      backend.QueueInput([this] { form->sbtnGetMemClick(nullptr); });
    }
  };
  Clean(1000, 0);
  EXPECT_EQ(os.kernel.allocRequests.size(), 1u);
  EXPECT_EQ(Cleanings(), 1);
  EXPECT_EQ(StepStatuses().size(), 100u);
  EXPECT_TRUE(os.user.messageBoxes.empty());
}

// --- Reservation
// ----------------------------------------------------------------

TEST_F(CleanerTest, ARequestTheSystemCannotMeetShrinksByFivePercentPerRetry) {
  StartReady();
  os.kernel.failAllocAbove = 949999;
  std::vector<long> prefixAtStep;
  atSleep = [&](const SleepSeen& s) {
    if (s.ms != 10) return;
    const size_t k = prefixAtStep.size();
    prefixAtStep.push_back(k == 1 || k == 99 ? LiveZeroPrefix() : -4);
  };
  Clean(1000000, 0);
  EXPECT_EQ(os.kernel.allocRequests, (std::vector<size_t>{1000000, 950000, 902500}));
  EXPECT_EQ(form->FCleanSize, 902500);
  // The steps are those of the size that worked.
  ASSERT_EQ(prefixAtStep.size(), 100u);
  EXPECT_EQ(prefixAtStep[1], 9025);
  EXPECT_EQ(prefixAtStep[99], 99 * 9025);
  ASSERT_EQ(kernel.freed.size(), 1u);
  EXPECT_EQ(kernel.freed[0].size(), 902500u);
  EXPECT_EQ(FreedZeroPrefix(), 902500);
  EXPECT_TRUE(os.user.messageBoxes.empty());
  EXPECT_EQ(os.kernel.LiveBlocks(), 0u);

  // The shrunk size stays for the next cleaning.
  os.kernel.failAllocAbove = SIZE_MAX;
  form->sbtnGetMem.Click();
  EXPECT_EQ(os.kernel.allocRequests.back(), 902500u);
}

TEST_F(CleanerTest, AHandleWhoseLockFailedIsFreedBeforeTheNextTry) {
  StartReady();
  os.kernel.failNextLocks = 2;
  Clean(1000000, 1);
  EXPECT_EQ(os.kernel.allocRequests, (std::vector<size_t>{1000000, 950000, 902500}));
  EXPECT_EQ(kernel.liveBlocksAtAlloc, (std::vector<size_t>{0, 0, 0}));
  EXPECT_EQ(os.kernel.badFrees, 0);
  EXPECT_EQ(form->FCleanSize, 902500);
  EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
}

TEST_F(CleanerTest, WhenNoMemoryCanBeHadTheUserIsToldAndNothingIsWritten) {
  StartReady("OverAction=1\r\n");
  SetMemory(512 * MiB, 256 * MiB, 44);
  os.kernel.failAllocAbove = 0;
  bool hiddenDuringBox = false, cleaningDuringBox = false;
  std::string tipDuringBox;
  user.whileMessageBox = [&] {
    hiddenDuringBox = true;
    for (tk::TControl* b : TopRow()) hiddenDuringBox &= !b->Visible();
    hiddenDuringBox &= form->stcInfo.Top() == 0 && form->btnStop.Top() == 0;
    cleaningDuringBox = form->FCleaning;
    tipDuringBox = os.shell.CurrentIcon(form->Handle())->szTip;
  };
  Clean(1000000, 0);

  std::vector<size_t> want{1000000};
  for (int i = 0; i < 100; ++i) want.push_back(want.back() / 100 * 95);
  EXPECT_EQ(os.kernel.allocRequests, want);
  EXPECT_EQ(form->FCleanSize, static_cast<int64_t>(want.back()));
  ASSERT_EQ(os.user.messageBoxes.size(), 1u);
  EXPECT_EQ(os.user.messageBoxes[0].text,
            std::string("メモリ不足です。確保量を調整してみてください。") + "\n\n" +
                "（空きスワップ量などを確認してみてください）");
  EXPECT_EQ(os.user.messageBoxes[0].caption, "Norva");
  EXPECT_EQ(os.user.messageBoxes[0].type, win::MB_OK);
  EXPECT_EQ(os.user.messageBoxes[0].owner, form->Handle());
  EXPECT_TRUE(hiddenDuringBox);
  EXPECT_TRUE(cleaningDuringBox);
  EXPECT_EQ(tipDuringBox, "掃除中...");
  for (tk::TControl* b : TopRow()) EXPECT_TRUE(b->Visible()) << b->Name;
  EXPECT_EQ(os.shell.CurrentIcon(form->Handle())->szTip, "掃除終了");
  // No step, no overlay; the status line keeps its text.
  EXPECT_TRUE(sleepsSeen.empty());
  EXPECT_TRUE(backend.screenCanvas.Ops.empty());
  EXPECT_TRUE(backend.invalidatedScreenAreas.empty());
  EXPECT_EQ(form->stcInfo.Caption(), "～掃除中～");
  EXPECT_EQ(form->FPeakLoad, 44);
  EXPECT_FALSE(form->FCleaning);
  EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
}

TEST_F(CleanerTest, WhenEveryLockFailsEveryHandleIsStillFreed) {
  StartReady();
  os.kernel.failNextLocks = 1000;
  Clean(1000000, 2);
  EXPECT_EQ(os.kernel.allocRequests.size(), 101u);
  EXPECT_EQ(os.user.messageBoxes.size(), 1u);
  EXPECT_EQ(os.kernel.badFrees, 0);
  EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
  EXPECT_EQ(*std::max_element(kernel.liveBlocksAtAlloc.begin(), kernel.liveBlocksAtAlloc.end()),
            0u);
}

// --- The split reservation of the older family
// ------------------------------------

class SplitCleanerTest : public CleanerTest {
 protected:
  SplitCleanerTest() { os.kernel.UseNineXFamily(); }
};

TEST_F(SplitCleanerTest, BlockSizesFollowTheSpeedAndTheLastBlockRule) {
  StartReady();
  ASSERT_FALSE(form->FNtFamily);
  struct Case {
    int64_t size;
    int speed;
    std::vector<size_t> blocks;
  };
  const int64_t s1 = 447392000 / 10;  // B is six of these steps
  const std::vector<Case> cases{
      {0x10000000, 0, {B, 2684354}},  // rest 256: one step of 2,684,354
      {0x10000000, 2, {B, 256}},
      {2 * B + B / 2, 1, {B, B, 3 * (B / 4)}},  // rest two steps: three
      {2 * B + B / 2, 2, {B, B, B / 2}},
      {2 * B + B / 2, -1, {B, B, 2 * B + B / 2}},
      {447392000, 1, {B, static_cast<size_t>(5 * s1)}},  // rest four whole steps: five
      {2 * B, 0, {B, 51 * (2 * B / 100)}},               // the last block may pass B
      {2 * B, 2, {B, B}},
      {5 * B, 0, {B, B, B, B}},  // never more than four
      {5 * B, 2, {B, B, B, B}},
  };
  for (const Case& c : cases) {
    os.kernel.allocRequests.clear();
    // Block 1 unlocked: the reservation fails after every block was asked
    // for, so nothing is written.
    os.kernel.failNextLocks = 1;
    Clean(c.size, c.speed);
    EXPECT_EQ(os.kernel.allocRequests, c.blocks) << c.size << " at speed " << c.speed;
    EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
  }
  EXPECT_EQ(os.user.messageBoxes.size(), cases.size());
}

// What step k writes on the split path: the step's bytes of block 1 until
// the step ends at B or later; from there the last s bytes of the block
// before and the next step-sized piece of the block the step ends in. Parts
// are cut to the blocks obtained (size 0: the block is missing).
struct Part {
  size_t block;
  int64_t offset;
  int64_t length;
};

class SplitModel {
 public:
  SplitModel(int64_t s, std::array<int64_t, 4> sizes) : FS(s), FSizes(sizes) {}
  std::vector<Part> Step(int k) {
    std::vector<Part> parts;
    const int64_t e = (k + 1) * FS;
    if (e < B) {
      Add(parts, 0, k * FS);
      return parts;
    }
    const size_t n = e < 2 * B ? 1 : (e < 3 * B ? 2 : 3);
    Add(parts, n - 1, FSizes[n - 1] - FS);
    Add(parts, n, FCount[n]++ * FS);
    return parts;
  }

 private:
  void Add(std::vector<Part>& parts, size_t block, int64_t offset) {
    const int64_t end = std::min(offset + FS, FSizes[block]);
    const int64_t begin = std::max<int64_t>(offset, 0);
    if (FSizes[block] > 0 && end > begin) parts.push_back({block, begin, end - begin});
  }
  int64_t FS;
  std::array<int64_t, 4> FSizes;
  std::array<int64_t, 4> FCount{};
};

class SplitWritesTest : public SplitCleanerTest {
 protected:
  // Runs a stepped cleaning with every block on watched memory. Exact: checks
  // after each step that exactly the pages of the step's parts were written.
  // Otherwise the blocks are cheap aliased memory whose guard pages still
  // stop any write outside them.
  void CleanAndCheckEveryStep(int64_t size, int speed, bool exact,
                              std::set<int> failingBlocks = {}) {
    StartReady();
    kernel.ownMemoryAbove = 0;
    kernel.ownMemoryAliased = !exact;
    kernel.allocHandles.clear();
    os.kernel.allocRequests.clear();
    kernel.failAllocNumbers = failingBlocks;
    const int steps = speed == 0 ? 100 : 10;
    const int64_t s = size / steps;
    std::optional<SplitModel> model;
    std::array<HGLOBAL, 4> handles{};
    int stepsChecked = 0;
    const auto checkStep = [&](int k) {
      if (!model) {
        // The reservation is complete once the first step waits.
        std::array<int64_t, 4> sizes{};
        for (size_t i = 0; i < kernel.allocHandles.size() && i < 4; ++i) {
          handles[i] = kernel.allocHandles[i];
          if (handles[i] != nullptr) sizes[i] = static_cast<int64_t>(os.kernel.allocRequests[i]);
        }
        model.emplace(s, sizes);
      }
      ++stepsChecked;
      if (!exact) return;
      std::array<std::vector<unsigned char>, 4> want;
      for (size_t i = 0; i < 4; ++i)
        if (handles[i] != nullptr) want[i].assign(kernel.Own(handles[i]).pages, 0);
      if (k >= 0) {
        for (const Part& p : model->Step(k)) {
          const auto& own = kernel.Own(handles[p.block]);
          const size_t page = WatchedKernel::Page();
          for (size_t i = (own.lead + p.offset) / page;
               i <= (own.lead + p.offset + p.length - 1) / page; ++i)
            want[p.block][i] = 1;
        }
      }
      for (size_t i = 0; i < 4; ++i) {
        if (handles[i] == nullptr) continue;
        const std::vector<unsigned char> got = kernel.TakeWrittenPages(handles[i]);
        if (got != want[i]) {
          size_t first = 0;
          while (first < got.size() && got[first] == want[i][first]) ++first;
          ADD_FAILURE() << "step " << k << ", block " << i + 1 << ": page " << first << " is "
                        << (got[first] ? "written" : "not written");
        }
      }
    };
    // A Sleep comes before each step's write: there the step before is seen.
    int sleeps = 0;
    atSleep = [&](const SleepSeen& seen) {
      if (seen.ms == 10 || seen.ms == 100) checkStep(sleeps++ - 1);
    };
    Clean(size, speed);
    EXPECT_EQ(stepsChecked, steps + 1);
    EXPECT_TRUE(os.user.messageBoxes.empty());
    EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
  }
};

TEST_F(SplitWritesTest, StepsAcrossTwoAndThreeBlocksWriteTheEndsOfTheBlocksBefore) {
  CleanAndCheckEveryStep(2 * B + B / 2, 0, true);
  EXPECT_EQ(os.kernel.allocRequests.size(), 3u);
}

TEST_F(SplitWritesTest, AtSpeedOneTheLastStepReachesIntoASmallSecondBlock) {
  CleanAndCheckEveryStep(0x10000000, 1, true);
  EXPECT_EQ(os.kernel.allocRequests, (std::vector<size_t>{B, 26843545}));
}

TEST_F(SplitWritesTest, MissingBlocksAndStepsBeyondTheFourthBlockWriteNothing) {
  // Block 3 cannot be had. Step 23 in block 4 reaches past its end and the
  // steps after lie wholly beyond it; every write outside a block faults.
  CleanAndCheckEveryStep(4 * B + B / 5, 0, false, {3});
  EXPECT_EQ(os.kernel.allocRequests.size(), 4u);
  ASSERT_EQ(kernel.allocHandles.size(), 4u);
  EXPECT_EQ(kernel.allocHandles[2], nullptr);
}

TEST_F(SplitCleanerTest, OnePassWritesEachBlockOverItsOwnLength) {
  StartReady();
  kernel.ownMemoryAbove = 0;
  std::vector<std::vector<unsigned char>> written;
  atSleep = [&](const SleepSeen& s) {
    if (s.ms != 300) return;
    for (HGLOBAL h : kernel.allocHandles) written.push_back(kernel.TakeWrittenPages(h));
  };
  Clean(0x10000000, 2);
  ASSERT_EQ(written.size(), 2u);
  for (const auto& pages : written)
    EXPECT_EQ(std::count(pages.begin(), pages.end(), 1), static_cast<long>(pages.size()));
  const size_t page = WatchedKernel::Page();
  EXPECT_EQ(written[0].size(), (static_cast<size_t>(B) + page - 1) / page);
  EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
}

// --- The cleaning look, tray and peak
// ------------------------------------------

TEST_F(CleanerTest, TheWindowAndTheTrayShowTheCleaningAndComeBackAfter) {
  WriteIni("[SYSTEM]\r\nXPos=40\r\nYPos=50\r\n");
  Start();
  backend.AdvanceTime(100);
  const size_t trayBefore = os.shell.notifyIconCalls.size();
  // The stop button, kept below the window, has no window of its own until
  // a cleaning brings it in.
  EXPECT_FALSE(form->btnStop.HandleAllocated());
  bool lookSeen = false;
  atSleep = [&](const SleepSeen& s) {
    if (s.status != Status(1)) return;
    lookSeen = true;
    EXPECT_TRUE(form->btnStop.HandleAllocated());
    for (tk::TControl* b : TopRow()) EXPECT_FALSE(b->Visible()) << b->Name;
    EXPECT_FALSE(form->sbtnWGetMem.Visible());
    EXPECT_EQ(form->stcInfo.Top(), 0);
    EXPECT_EQ(form->btnStop.Top(), 0);
    EXPECT_EQ(form->stcInfo.Left(), 32);
    EXPECT_EQ(form->btnStop.Left(), 0);
    EXPECT_EQ(form->stcInfo.Color(), tk::clYellow);
    EXPECT_TRUE(form->FCleaning);
  };
  Clean(1000, 0);
  EXPECT_TRUE(lookSeen);

  ASSERT_EQ(os.shell.notifyIconCalls.size(), trayBefore + 2);
  const auto& during = os.shell.notifyIconCalls[trayBefore];
  const auto& after = os.shell.notifyIconCalls[trayBefore + 1];
  for (const auto* c : {&during, &after}) {
    EXPECT_EQ(c->message, win::NIM_MODIFY);
    EXPECT_EQ(c->data.uFlags, win::NIF_ICON | win::NIF_TIP);
    EXPECT_EQ(c->data.hWnd, form->Handle());
  }
  EXPECT_EQ(os.user.IconName(during.data.hIcon), "TASKTRAY01");
  EXPECT_EQ(during.data.szTip, "掃除中...");
  EXPECT_EQ(os.user.IconName(after.data.hIcon), "TASKTRAY00");
  EXPECT_EQ(after.data.szTip, "掃除終了");

  for (tk::TControl* b : TopRow()) EXPECT_TRUE(b->Visible()) << b->Name;
  EXPECT_FALSE(form->sbtnWGetMem.Visible());
  EXPECT_EQ(form->stcInfo.Top(), 50 + form->Height() + 20);
  EXPECT_EQ(form->btnStop.Top(), 50 + form->Height() + 20);
  EXPECT_EQ(form->stcInfo.Caption(), Status(100));
}

TEST_F(CleanerTest, TicksDuringACleaningRefreshTheFiguresButNeitherRaiseThePeakNorCleanAgain) {
  os.kernel.AddFile("C:\\wav\\low.wav");
  SetMemory(512 * MiB, 200 * MiB, 50);
  StartReady(
      "AutoMemClear=1\r\nAutoMemMin=1\r\nAutoMemUsed=1\r\nAutoExeSize="
      "100\r\nAutoMemUsePer=1\r\n"
      "WavPlayStart=100\r\nWavFileName=C:\\wav\\low.wav\r\n");
  ASSERT_EQ(form->FPeakLoad, 50);
  ASSERT_EQ(Cleanings(), 0);
  // From now on rule A, rule B and the warning sound all want to act.
  SetMemory(512 * MiB, 40 * MiB, 50);
  const size_t soundsBefore = os.sound.plays.size();
  int highestPeak = 0;
  std::string freeShownLater;
  atSleep = [&](const SleepSeen& s) {
    highestPeak = std::max(highestPeak, form->FPeakLoad);
    if (s.status == Status(20)) SetMemory(512 * MiB, 30 * MiB, 90);
    if (s.status == Status(45)) freeShownLater = form->nlblPhysicalFree.Caption();
    if (s.ms == 100) SetMemory(512 * MiB, 300 * MiB, 63);
  };
  const int ticksBefore = backend.timerTicks;
  Clean(1000, 0);
  EXPECT_GE(backend.timerTicks - ticksBefore, 10);
  EXPECT_EQ(freeShownLater, "30.0");
  EXPECT_EQ(highestPeak, 50);
  EXPECT_EQ(Cleanings(), 1);
  EXPECT_EQ(os.kernel.allocRequests.size(), 1u);
  EXPECT_EQ(os.sound.plays.size(), soundsBefore);
  // The peak is the load measured at the end.
  EXPECT_EQ(form->FPeakLoad, 63);
}

// --- Automatic size
// ------------------------------------------------------------------

TEST_F(CleanerTest, TheAutomaticSizeIsAShareOfWhatIsFreeNowAndAtLeastTheLeastSize) {
  struct Case {
    uint64_t total;
    uint32_t load;
    std::string memoryKey;  // "" for no key
    int least;
    int64_t want;
  };
  const std::vector<Case> cases{
      {512 * MiB, 70, "Memory=50\r\n", 32, 161061270},  // p limited to 30
      {512 * MiB, 30, "Memory=50\r\n", 32, 268435450},  // p stays 50
      {512 * MiB, 40, "", 32, 268435450},               // no key: 50
      {512 * MiB, 95, "Memory=50\r\n", 32, 33554432},   // p 5: the least size
      {512 * MiB, 100, "Memory=50\r\n", 1, 1048576},    // nothing free: the least size
      {16 * GiB, 10, "Memory=50\r\n", 1, 8589934550},   // not cut to 32 bits
      // A hand-edited share is brought into 5..95 as the dialog shows it.
      {512 * MiB, 0, "Memory=400\r\n", 1, (512 * MiB / 100) * 95},
      {512 * MiB, 0, "Memory=0\r\n", 1, (512 * MiB / 100) * 5},
  };
  for (const Case& c : cases) {
    SetMemory(c.total, c.total / 4, 20);
    WriteIni("[DEFAULT]\r\nAutoMemSize=1\r\nAutoExeSize=" + std::to_string(c.least) + "\r\n" +
             c.memoryKey);
    Start();
    backend.AdvanceTime(100);
    // The share is read from the file, not from the dialog.
    Settings().trkberMemPer.SetPosition(10);
    SetMemory(c.total, c.total / 4, c.load);
    os.kernel.allocRequests.clear();
    os.kernel.failNextAllocs = 101;  // nothing to write: only the request matters
    form->sbtnGetMem.Click();
    ASSERT_FALSE(os.kernel.allocRequests.empty());
    EXPECT_EQ(os.kernel.allocRequests[0], static_cast<size_t>(c.want)) << c.total << " " << c.load;
    form.reset();
  }
}

TEST_F(CleanerTest, WithoutTheAutomaticSizeTheSizeFromTheSettingsIsUsed) {
  StartReady("Memory=40\r\n");
  SetMemory(512 * MiB, 100 * MiB, 90);
  os.kernel.failNextAllocs = 101;
  form->sbtnGetMem.Click();
  EXPECT_EQ(os.kernel.allocRequests[0], static_cast<size_t>((512 * MiB / 100) * 40));
}

TEST_F(CleanerTest, TheOlderFamilyFormsTheAutomaticSizeFromItsOwnRecord) {
  os.kernel.UseNineXFamily();
  SetMemory(512 * MiB, 100 * MiB, 70);
  StartReady("AutoMemSize=1\r\nMemory=50\r\nAutoExeSize=32\r\n");
  os.kernel.memoryEx.ullTotalPhys = 64 * GiB;  // not the record this family reads
  os.kernel.failNextAllocs = 101;
  form->sbtnGetMem.Click();
  EXPECT_EQ(os.kernel.allocRequests[0], 161061270u);
}

// --- Closing inside a cleaning
// -----------------------------------------------------

TEST_F(CleanerTest, ACloseDuringACleaningEndsItAtTheNextStepThenClosesWithTheSettingsSaved) {
  StartReady();
  atSleep = [&](const SleepSeen& s) {
    if (s.ms == 10 && s.status == Status(31))
      os.user.PostMessageA(form->Handle(), win::WM_CLOSE, 0, 0);
  };
  WriteIni("");
  Clean(1000, 0);
  const auto statuses = StepStatuses();
  EXPECT_EQ(statuses.back(), Status(31));
  EXPECT_EQ(statuses.size(), 31u);
  EXPECT_EQ(os.kernel.LiveBlocks(), 0u);
  // Refused while the cleaning ran; its own close is on its way.
  EXPECT_FALSE(app->Terminated());
  EXPECT_EQ(IniText(), "");
  EXPECT_FALSE(form->FCloseAfterCleaning);
  ASSERT_FALSE(os.user.messageQueue.empty());
  EXPECT_EQ(os.user.messageQueue.back().message, win::WM_CLOSE);
  backend.ProcessMessages();
  EXPECT_TRUE(app->Terminated());
  EXPECT_EQ(os.profile.KeysInOrder(Ini(), "DEFAULT").size(), 24u);
  EXPECT_EQ(Key("DEFAULT", "CleanSpeed"), "0");
  form.reset();
  EXPECT_EQ(os.shell.notifyIconCalls.back().message, win::NIM_DELETE);
}

// Log-off or shutdown: the system asks through WM_QUERYENDSESSION, which is
// never refused. During a cleaning the block goes back at once, the settings
// are saved, the cleaning stops at its next step and the program runs on
// (the shutdown may still be cancelled by another program).
TEST_F(CleanerTest, TheSessionEndIsNeverRefusedAndStopsACleaning) {
  StartReady("Magnet=1\r\n");
  win::LRESULT answer = 0;
  size_t liveAtAnswer = 99;
  atSleep = [&](const SleepSeen& s) {
    if (s.ms == 10 && s.status == Status(31))
      backend.QueueInput([&] {
        answer = form->Perform(win::WM_QUERYENDSESSION, 0, 0);
        liveAtAnswer = os.kernel.LiveBlocks();
      });
  };
  os.profile.SetFileText(Ini(), "");
  Clean(1000, 0);
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(liveAtAnswer, 0u);
  EXPECT_EQ(StepStatuses().size(), 31u);
  EXPECT_EQ(Key("DEFAULT", "Magnet"), "1");  // every key saved
  EXPECT_EQ(Key("DEFAULT", "CleanSpeed"), "0");
  EXPECT_FALSE(form->FCleaning);
  EXPECT_FALSE(form->FCloseAfterCleaning);
  backend.AdvanceTime(1000);
  EXPECT_FALSE(app->Terminated());

  // Outside a cleaning: allowed and saved the same way.
  os.profile.SetFileText(Ini(), "");
  EXPECT_EQ(form->Perform(win::WM_QUERYENDSESSION, 0, 0), 1);
  EXPECT_EQ(Key("DEFAULT", "Magnet"), "1");
  EXPECT_FALSE(app->Terminated());
}

TEST_F(CleanerTest, TheProgramClosedDuringACleaningEndsWithEveryBlockGivenBack) {
  for (int speed : {0, 1, 2}) {
    os.kernel.existingMutexes.clear();
    os.profile.SetFileText(Ini(), "[DEFAULT]\r\nCleanSpeed=" + std::to_string(speed) + "\r\n");
    os.shell.notifyIconCalls.clear();
    // The close waits in the queue when the cleaning starts and arrives at
    // its first message pump.
    backend.QueueInput([this] {
      MainForm->FCleanSize = 100000;
      os.user.PostMessageA(MainForm->Handle(), win::WM_CLOSE, 0, 0);
      MainForm->sbtnGetMem.Click();
    });
    EXPECT_EQ(RunNorva({}), 0);
    EXPECT_EQ(os.kernel.LiveBlocks(), 0u) << speed;
    EXPECT_EQ(Key("DEFAULT", "CleanSpeed"), std::to_string(speed));
    EXPECT_EQ(Key("DEFAULT", "Magnet"), "0");  // written by the close
    EXPECT_TRUE(os.user.messageBoxes.empty());
    ASSERT_GE(os.shell.notifyIconCalls.size(), 2u);
    EXPECT_EQ(os.shell.notifyIconCalls.back().message, win::NIM_DELETE);
    EXPECT_EQ(os.shell.notifyIconCalls[os.shell.notifyIconCalls.size() - 2].data.szTip, "掃除終了");
    EXPECT_EQ(MainForm, nullptr);
  }
  // Speeds 0 and 1 stopped after their first step; speed 2 ran its pass.
  EXPECT_EQ(StepStatuses(), (std::vector<std::string>{Status(1), Status(0)}));
}

}  // namespace
}  // namespace norva::testing
