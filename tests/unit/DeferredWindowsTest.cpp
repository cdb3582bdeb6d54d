// Windows made when first needed: the settings dialog and the inspector exist
// as objects from the start but get their native windows (and those of every
// control on them) only when first shown, and keep them afterwards; the
// inspector's graph keeps its history without a picture until it first
// paints. And the labels a timer tick changes reach the system in one request.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "NorvaFixture.h"
#include "components/Perfgrap.h"
#include "toolkit/headless/RecordingCanvas.h"

namespace norva::testing {
namespace {

using tk::RecordingCanvas;
using tk::TWinControl;

// The windowed controls on a form (the form included), depth first.
void Collect(TWinControl& control, std::vector<TWinControl*>& out) {
  out.push_back(&control);
  for (tk::TControl* child : control.Controls())
    if (auto* windowed = dynamic_cast<TWinControl*>(child)) Collect(*windowed, out);
}

// Names of the controls of a form that have a native window.
std::vector<std::string> WithWindow(TWinControl& form) {
  std::vector<TWinControl*> all;
  Collect(form, all);
  std::vector<std::string> names;
  for (TWinControl* c : all)
    if (c->HandleAllocated()) names.push_back(c->Name.empty() ? "(unnamed)" : c->Name);
  return names;
}

size_t WindowedCount(TWinControl& form) {
  std::vector<TWinControl*> all;
  Collect(form, all);
  return all.size();
}

class DeferredWindowsTest : public NorvaTest {
 protected:
  // Starts Norva, runs both timers a while, then checks that the form f has
  // no window until open (the user's way of opening it, check running while
  // it shows) gives it and every control on it one, which it keeps.
  void ExpectWindowsMadeOnFirstShow(const char* name, const std::function<TWinControl&()>& get,
                                    const std::function<void(const std::function<void()>&)>& open) {
    Start();
    for (int i = 0; i < 5; ++i) {
      SetMemory(512 * MiB, (200 + 10 * i) * MiB, 50 + i);
      backend.AdvanceTime(1000);
    }
    TWinControl& f = get();
    const std::vector<std::string> early = WithWindow(f);
    EXPECT_TRUE(early.empty()) << name << ": " << early.front();
    EXPECT_TRUE(form->HandleAllocated());

    win::HWND shownHandle = nullptr;
    int checks = 0;
    open([&] {
      ++checks;
      EXPECT_TRUE(f.Visible()) << name;
      // Every control of the form has its window once the form shows.
      EXPECT_EQ(WithWindow(f).size(), WindowedCount(f)) << name;
      shownHandle = f.Handle();
    });
    EXPECT_EQ(checks, 1) << name;
    EXPECT_FALSE(f.Visible()) << name;
    // Closed, the form keeps its windows for the next opening.
    EXPECT_TRUE(f.HandleAllocated()) << name;
    EXPECT_EQ(f.Handle(), shownHandle) << name;
    open([&] { EXPECT_EQ(f.Handle(), shownHandle) << name; });
  }
};

TEST_F(DeferredWindowsTest, TheInspectorGetsItsWindowsWhenFirstShownAndKeepsThem) {
  ExpectWindowsMadeOnFirstShow(
      "inspector", []() -> TWinControl& { return *HeapChkFrm; },
      [this](const std::function<void()>& check) {
        form->sbtnMemHeap.Click();
        check();
        HeapChkFrm->Close();
      });
}

TEST_F(DeferredWindowsTest, TheSettingsDialogGetsItsWindowsWhenFirstShownAndKeepsThem) {
  ExpectWindowsMadeOnFirstShow(
      "settings dialog", []() -> TWinControl& { return *SettingFrm; },
      [this](const std::function<void()>& check) {
        backend.modalScript.push_back(check);
        backend.modalScript.push_back([] { SettingFrm->btnCancel.Click(); });
        form->sbtnConfigClick(&form->sbtnConfig);
      });
}

TEST_F(DeferredWindowsTest,
       TheInspectorsGraphIsFedWithoutAPictureAndDrawsItsHistoryWhenFirstShown) {
  Start();
  auto& graph = HeapChkFrm->pgpMainGraph;
  for (int i = 0; i < 8; ++i) {
    SetMemory(512 * MiB, (100 + 40 * i) * MiB, 50);
    backend.AdvanceTime(1000);
  }
  EXPECT_FALSE(graph.HasPicture());
  int steps = 0;
  for (int s = graph.FirstY(); s != -1; s = graph.NextY(s))
    if (graph.History().Slot(s).Count > 0) ++steps;
  EXPECT_GE(steps, 7);

  form->sbtnMemHeap.Click();
  auto& pages = HeapChkFrm->pgcChkMain;
  for (size_t i = 0; i < pages.Pages.size(); ++i)
    if (pages.Pages[i] == &HeapChkFrm->tbsGraph) pages.SetActivePageIndex(static_cast<int>(i));
  RecordingCanvas screen = tk::HeadlessBackend::PaintWindow(HeapChkFrm->tbsGraph);
  ASSERT_TRUE(graph.HasPicture());
  // The picture made at the first paint is the full drawing of the history:
  // what a rebuild of a picture kept all along draws.
  auto& picture = static_cast<RecordingCanvas&>(graph.Picture());
  const std::vector<tk::CanvasOp> first = picture.Ops;
  picture.Clear();
  graph.Replay();
  ASSERT_EQ(first.size(), picture.Ops.size());
  for (size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].kind, picture.Ops[i].kind) << i;
    EXPECT_EQ(first[i].rect, picture.Ops[i].rect) << i;
    EXPECT_EQ(first[i].color, picture.Ops[i].color) << i;
  }
  // And the screen got it.
  bool copied = false;
  for (const tk::CanvasOp& op : screen.Ops) copied |= op.picture == &graph.Picture();
  EXPECT_TRUE(copied);
}

TEST_F(DeferredWindowsTest, TheLabelsOneTickChangesAreInvalidatedInOneRequest) {
  Start();
  backend.AdvanceTime(100);
  auto& peer = backend.PeerOf(*form);
  struct Case {
    const char* what;
    uint64_t availPhys, availPage;
    uint32_t load;
    int requests;
    std::vector<TNovelLabel*> repainted;
  };
  const Case cases[] = {
      {"nothing changed", 256 * MiB, 768 * MiB, 50, 0, {}},
      {"one figure", 256 * MiB, 700 * MiB, 50, 1, {&form->nlblPageFree, &form->nlblPageUse}},
      {"several figures",
       300 * MiB,
       600 * MiB,
       60,
       1,
       {&form->nlblPhysicalFree, &form->nlblPhysicalUse, &form->nlblPageFree, &form->nlblPageUse,
        &form->nlblUsePer}},
  };
  for (const Case& c : cases) {
    SetMemory(512 * MiB, c.availPhys, c.load, 1 * GiB, c.availPage);
    backend.ForgetInvalidations();
    backend.AdvanceTime(100);
    EXPECT_EQ(peer.invalidateRequests, c.requests) << c.what;
    // Only the changed labels' own areas, not the area between them.
    std::vector<tk::TRect> expected;
    for (TNovelLabel* label : c.repainted) expected.push_back(label->BoundsRect());
    std::vector<tk::TRect> got;
    for (const tk::InvalidatedArea& a : peer.Invalidations) {
      ASSERT_TRUE(a.has_value()) << c.what;
      got.push_back(*a);
    }
    EXPECT_EQ(got.size(), expected.size()) << c.what;
    for (const tk::TRect& r : expected)
      EXPECT_NE(std::find(got.begin(), got.end(), r), got.end()) << c.what;
  }
}

}  // namespace
}  // namespace norva::testing
