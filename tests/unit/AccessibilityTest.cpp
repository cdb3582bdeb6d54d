// What a screen reader reads of the main window (its parts, named from the
// labels' own texts, with the figures as values), how often it is told of a
// change, and the keyboard's mark over the five buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NorvaFixture.h"
#include "app/Accessible.h"

namespace norva::testing {
namespace {

using platform::AccessibleChild;

TEST(AccessibleWords, NamesAreTakenFromTheShownTexts) {
  EXPECT_EQ(HintHead("物理メモリ（実際に搭載しているメモリ量）"), "物理メモリ");
  EXPECT_EQ(HintHead("Physical memory (installed)"), "Physical memory");
  EXPECT_EQ(HintHead("  no bracket "), "no bracket");
  EXPECT_EQ(TitleWords("空き  使用   合計   残RES"),
            (std::vector<std::string>{"空き", "使用", "合計", "残RES"}));
  EXPECT_EQ(TitleWords(" Free Used  Total "), (std::vector<std::string>{"Free", "Used", "Total"}));
  const struct {
    const char* caption;
    const char* word;
    const char* figure;
  } cpu[] = {{"CPU:100%", "CPU", "100%"},
             {"CPU:  8%", "CPU", "8%"},
             {"CPU8%", "CPU", "8%"},
             {"CPU:", "CPU", ""},
             {"42%", "", "42%"}};
  for (const auto& c : cpu) {
    const WordAndFigure split = SplitWordAndFigure(c.caption);
    EXPECT_EQ(split.word, c.word) << c.caption;
    EXPECT_EQ(split.figure, c.figure) << c.caption;
  }
}

class AccessibilityTest : public NorvaTest {
 protected:
  void StartReady() {
    Start();
    form->timSub.SetEnabled(false);
    form->FCleanSize = 1000;
    Tick();
  }
  void Tick() { backend.AdvanceTime(100); }

  // What a reader reads: the window answers WM_GETOBJECT for its client area.
  std::vector<AccessibleChild> Read() {
    EXPECT_EQ(form->Perform(win::WM_GETOBJECT, 0, win::OBJID_CLIENT), 1);
    EXPECT_NE(os.accessibility.source, nullptr);
    if (os.accessibility.source == nullptr) return {};
    EXPECT_EQ(os.accessibility.source->AccessibleName(), "Norva");
    return os.accessibility.source->AccessibleChildren();
  }
  static const AccessibleChild* Named(const std::vector<AccessibleChild>& parts,
                                      const std::string& name) {
    for (const AccessibleChild& p : parts)
      if (p.name == name) return &p;
    return nullptr;
  }
  std::vector<TSpeedButton*> Buttons() {
    return {&form->sbtnConfig, &form->sbtnGetMem, &form->sbtnMemHeap, &form->sbtnMinimize,
            &form->sbtnClose};
  }
  int Marked() {
    int marked = -1;
    for (int i = 0; i < 5; ++i)
      if (Buttons()[i]->Marked()) marked = i;
    return marked;
  }
  void Key(int key, bool shift = false) {
    os.user.SetKeyDown(win::VK_SHIFT, shift);
    form->Perform(win::WM_KEYDOWN, static_cast<win::WPARAM>(key));
    os.user.SetKeyDown(win::VK_SHIFT, false);
  }
  void Activate(bool on) { form->Perform(win::WM_ACTIVATE, on ? 1 : win::WA_INACTIVE); }
  int Cleanings() const {
    int n = 0;
    for (const auto& c : os.shell.notifyIconCalls) n += c.data.szTip == "掃除中...";
    return n;
  }
};

TEST_F(AccessibilityTest, EveryFigureAndButtonIsNamedInReadingOrderWithTheShownValue) {
  SetMemory(512 * MiB, 256 * MiB, 50);
  StartReady();
  form->SetLeft(100);
  form->SetTop(40);
  const struct {
    const char* name;
    TControl& control;
    bool button;
  } want[] = {{"メモリ使用率", form->nlblUsePer, false},
              {"物理メモリ 空き", form->nlblPhysicalFree, false},
              {"物理メモリ 使用", form->nlblPhysicalUse, false},
              {"物理メモリ 合計", form->nlblPhysicalTotal, false},
              {"ページメモリ 空き", form->nlblPageFree, false},
              {"ページメモリ 使用", form->nlblPageUse, false},
              {"ページメモリ 合計", form->nlblPageTotal, false},
              {"仮想メモリ 空き", form->nlblVirtualFree, false},
              {"仮想メモリ 使用", form->nlblVirtualUse, false},
              {"仮想メモリ 合計", form->nlblVirtualTotal, false},
              {"[設定]", form->sbtnConfig, true},
              {"[掃除]", form->sbtnGetMem, true},
              {"[情報]", form->sbtnMemHeap, true},
              {"▼", form->sbtnMinimize, true},
              {"×", form->sbtnClose, true}};
  const std::vector<AccessibleChild> parts = Read();
  ASSERT_EQ(parts.size(), std::size(want));
  for (size_t i = 0; i < parts.size(); ++i) {
    const AccessibleChild& p = parts[i];
    const auto& w = want[i];
    EXPECT_EQ(p.name, w.name) << i;
    EXPECT_EQ(p.role, w.button ? win::ROLE_SYSTEM_PUSHBUTTON : win::ROLE_SYSTEM_STATICTEXT) << i;
    EXPECT_EQ(p.value, w.button ? "" : Trimmed(w.control.Caption())) << w.name;
    EXPECT_EQ(p.defaultAction.empty(), !w.button) << w.name;
    EXPECT_EQ(p.description, w.button ? w.control.Hint() : "") << w.name;
    EXPECT_EQ(p.screen.left, 100 + w.control.Left()) << w.name;
    EXPECT_EQ(p.screen.bottom, 40 + w.control.Top() + w.control.Height()) << w.name;
  }
  // The figures as the window shows them.
  EXPECT_EQ(Named(parts, "メモリ使用率")->value, "50%");
  EXPECT_EQ(Named(parts, "物理メモリ 空き")->value, "256.0");
  EXPECT_EQ(Named(parts, "物理メモリ 合計")->value, "512.0 MB");

  // The values follow the figures; the processor load joins when shown.
  SetMemory(512 * MiB, 100 * MiB, 80);
  Settings().ckbCpuPer.SetChecked(true);
  Tick();
  const std::vector<AccessibleChild> later = Read();
  ASSERT_EQ(later.size(), std::size(want) + 1);
  EXPECT_EQ(later[0].value, "80%");
  EXPECT_EQ(later[1].name, "CPU");
  EXPECT_EQ(later[1].value, SplitWordAndFigure(form->nlblCpuUsePer.Caption()).figure);
  EXPECT_EQ(Named(later, "物理メモリ 空き")->value, "100.0");

  // Names follow the labels' own texts, in whatever language they are.
  form->nlblTitleInfo.SetCaption("Free Used Total");
  form->nlblTitlePhysical.SetHint("Physical memory (installed)");
  form->sbtnGetMem.SetCaption("[Clean]");
  const std::vector<AccessibleChild> renamed = Read();
  EXPECT_NE(Named(renamed, "Physical memory Free"), nullptr);
  EXPECT_NE(Named(renamed, "Physical memory Total"), nullptr);
  EXPECT_NE(Named(renamed, "[Clean]"), nullptr);
  EXPECT_NE(Named(renamed, "ページメモリ Used"), nullptr);

  // Another object than the client area is left to the system.
  EXPECT_EQ(form->Perform(win::WM_GETOBJECT, 0, -1 /* OBJID_WINDOW */), 0);
}

TEST_F(AccessibilityTest, AChangeIsToldAtMostOnceASecondAndAQuietWindowTellsNothing) {
  StartReady();
  const auto changes = [&] {
    std::vector<win::DWORD> ticks;
    for (const auto& e : os.accessibility.events)
      if (e.event == win::EVENT_OBJECT_VALUECHANGE) ticks.push_back(e.tick);
    return ticks;
  };
  os.accessibility.events.clear();
  for (int i = 0; i < 10; ++i) Tick();
  EXPECT_TRUE(changes().empty()) << "nothing changed";
  // Free memory changes at every tick for three seconds: 30 changes.
  for (int i = 0; i < 30; ++i) {
    SetMemory(512 * MiB, (200 + i) * MiB, 50);
    Tick();
  }
  const std::vector<win::DWORD> told = changes();
  ASSERT_GE(told.size(), 3u);
  ASSERT_LE(told.size(), 4u);
  for (size_t i = 1; i < told.size(); ++i) EXPECT_GE(told[i] - told[i - 1], 1000u);
  for (const auto& e : os.accessibility.events) {
    EXPECT_EQ(e.window, form->Handle());
    EXPECT_EQ(e.object, win::OBJID_CLIENT);
  }
  // One change after the last one told: told once the second has passed.
  for (int i = 0; i < 20; ++i) Tick();
  os.accessibility.events.clear();
  SetMemory(512 * MiB, 300 * MiB, 50);
  Tick();
  EXPECT_EQ(changes().size(), 1u);
}

TEST(ChangeTellerRule, AChangeWithinTheSecondWaitsForIt) {
  ChangeTeller teller;
  EXPECT_FALSE(teller.Tick(false, 0));
  EXPECT_TRUE(teller.Tick(true, 100));
  EXPECT_FALSE(teller.Tick(true, 200));
  EXPECT_FALSE(teller.Tick(false, 1099));
  EXPECT_TRUE(teller.Tick(false, 1100));  // the change at 200, told now
  EXPECT_FALSE(teller.Tick(false, 5000));
  // Across the tick count's wrap.
  EXPECT_TRUE(teller.Tick(true, 0xFFFFFF00u));
  EXPECT_FALSE(teller.Tick(true, 0x00000100u));
  EXPECT_TRUE(teller.Tick(false, 0x00000400u));
}

TEST_F(AccessibilityTest, TabAndShiftTabMoveTheMarkRoundTheButtons) {
  StartReady();
  Activate(true);
  EXPECT_EQ(Marked(), -1) << "no mark before the first Tab";
  const struct {
    int key;
    bool shift;
    int marked;
  } steps[] = {{win::VK_TAB, false, 0}, {win::VK_TAB, false, 1}, {win::VK_TAB, true, 0},
               {win::VK_TAB, true, 4},  {win::VK_TAB, false, 0}, {'A', false, 0},
               {win::VK_TAB, false, 1}};
  int n = 0;
  for (const auto& s : steps) {
    Key(s.key, s.shift);
    EXPECT_EQ(Marked(), s.marked) << "step " << n;
    ++n;
  }
  // Shift+Tab with none marked starts at the last button.
  ButtonMark fresh(5);
  fresh.KeyDown(win::VK_TAB, true);
  EXPECT_EQ(fresh.Marked(), 4);
  // The white twin drawn over a background picture is marked with its button.
  EXPECT_TRUE(form->sbtnWGetMem.Marked());
  // A reader is told the marked button, and reads it as focused.
  ASSERT_FALSE(os.accessibility.events.empty());
  const auto& focus = os.accessibility.events.back();
  EXPECT_EQ(focus.event, win::EVENT_OBJECT_FOCUS);
  const std::vector<AccessibleChild> parts = Read();
  ASSERT_GE(focus.child, 1);
  EXPECT_EQ(parts[static_cast<size_t>(focus.child - 1)].name, "[掃除]");
  EXPECT_NE(parts[static_cast<size_t>(focus.child - 1)].state & win::STATE_SYSTEM_FOCUSED, 0u);
  // Shown only while the window is active, and kept meanwhile.
  Activate(false);
  EXPECT_EQ(Marked(), -1);
  Activate(true);
  EXPECT_EQ(Marked(), 1);
}

TEST_F(AccessibilityTest, EnterOrSpacePressesTheMarkedButtonAndAReaderCanPressOne) {
  StartReady();
  Activate(true);
  Key(win::VK_RETURN);
  EXPECT_EQ(Cleanings(), 0) << "Enter without a mark presses nothing";
  Key(win::VK_TAB);
  Key(win::VK_TAB);
  Key(win::VK_RETURN);
  EXPECT_EQ(Cleanings(), 1);
  Key(win::VK_SPACE);
  EXPECT_EQ(Cleanings(), 2);
  Key(win::VK_TAB);
  Key(win::VK_SPACE);
  EXPECT_TRUE(HeapChkFrm->Visible());

  // A reader's default action runs after its call has returned.
  const std::vector<AccessibleChild> parts = Read();
  size_t clean = 0;
  while (clean < parts.size() && parts[clean].name != "[掃除]") ++clean;
  ASSERT_LT(clean, parts.size());
  EXPECT_FALSE(os.accessibility.source->DoAccessibleAction(0)) << "a figure has no action";
  EXPECT_TRUE(os.accessibility.source->DoAccessibleAction(clean));
  EXPECT_EQ(Cleanings(), 2);
  Tick();
  EXPECT_EQ(Cleanings(), 3);
  // Gone with the window: a reader holding the object is told so.
  form.reset();
  MainForm = nullptr;
  EXPECT_EQ(os.accessibility.source, nullptr);
}

TEST_F(AccessibilityTest, WhileACleaningRunsItsProgressAndStopButtonAreReadAndAReaderCanStopIt) {
  StartReady();
  Read();
  std::vector<AccessibleChild> during;
  bool pressed = false;
  os.kernel.onSleep = [&](win::DWORD) {
    if (!during.empty()) return;
    during = os.accessibility.source->AccessibleChildren();
    for (size_t i = 0; i < during.size(); ++i)
      if (during[i].name == form->btnStop.Caption())
        pressed = os.accessibility.source->DoAccessibleAction(i);
  };
  form->sbtnGetMemClick(&form->sbtnGetMem);
  const AccessibleChild* stop = Named(during, "中断");
  ASSERT_NE(stop, nullptr);
  EXPECT_EQ(stop->role, win::ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(during.size(), 17u) << "the progress and the stop button join the fifteen";
  EXPECT_EQ(during[10].name.rfind("掃除中", 0) == 0 || during[10].name == "～掃除中～", true)
      << during[10].name;
  EXPECT_TRUE(pressed);
  ASSERT_EQ(form->FHistory.Count(), 1u);
  EXPECT_TRUE(form->FHistory.Records().back().stopped) << "the reader's press stopped it";
  EXPECT_EQ(Read().size(), 15u);

  // A stop that arrives after the end (a reader's press posted late, a key
  // on the stop button that kept the focus) stops no later cleaning.
  os.kernel.onSleep = nullptr;
  form->btnStop.Click();
  form->sbtnGetMemClick(&form->sbtnGetMem);
  ASSERT_EQ(form->FHistory.Count(), 2u);
  EXPECT_FALSE(form->FHistory.Records().back().stopped);
}

}  // namespace
}  // namespace norva::testing
