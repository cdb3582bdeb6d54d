// The strip chart: its ring, resizing, scale rounding, the two kinds of
// drawing and the grid that scrolls with the picture.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <set>
#include <vector>

#include "components/Perfgrap.h"
#include "platform/fake/FakePlatform.h"
#include "toolkit/Dpi.h"
#include "toolkit/Errors.h"
#include "toolkit/headless/HeadlessBackend.h"

namespace norva::testing {
namespace {

using components::TGraphKind;
using components::TPerformanceGraph;
using tk::CanvasOp;
using tk::clRed;
using tk::clYellow;
using tk::RecordingCanvas;
using tk::TRect;

class PerformanceGraphTest : public ::testing::Test {
 protected:
  platform::fake::FakePlatform os;
  tk::HeadlessBackend backend;
  std::unique_ptr<TPerformanceGraph> graph = std::make_unique<TPerformanceGraph>(nullptr);

  RecordingCanvas& Picture() { return static_cast<RecordingCanvas&>(graph->Picture()); }

  // One time step with the given red values (0 = none), without drawing.
  void Steps(const std::vector<int32_t>& values) {
    for (int32_t v : values) {
      if (v != 0) graph->DataPoint(clRed, v);
      graph->ShiftY();
    }
  }

  // The first value of every slot, oldest to current (0 for an empty slot).
  std::vector<int32_t> Walk() const {
    std::vector<int32_t> values;
    const auto& h = graph->History();
    for (int i = graph->FirstY(); i != -1; i = graph->NextY(i))
      values.push_back(h.Slot(i).Count > 0 ? h.Slot(i).Values[0] : 0);
    return values;
  }
};

TEST_F(PerformanceGraphTest, TheRingWalksFromTheOldestToTheCurrentSlotAndShiftEmptiesTheNewOne) {
  graph->SetBounds(0, 0, 9, 20);  // 3 bands of 3 pixels: 5 slots
  graph->ReallocHistory();
  const auto& h = graph->History();
  ASSERT_EQ(h.Size(), 5);
  EXPECT_EQ(graph->FirstY(), 0);
  EXPECT_EQ(h.Current(), 4);
  EXPECT_EQ(graph->LastY(0), 4);
  EXPECT_EQ(graph->LastY(3), 2);

  Steps({1, 2, 3, 4});
  graph->DataPoint(clRed, 5);
  EXPECT_EQ(Walk(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  std::vector<int> order;
  for (int i = graph->FirstY(); i != -1; i = graph->NextY(i)) order.push_back(i);
  EXPECT_EQ(order, (std::vector<int>{4, 0, 1, 2, 3}));

  // The slot that becomes current is emptied even when it held the oldest step.
  graph->ShiftY();
  EXPECT_EQ(h.Current(), 4);
  EXPECT_EQ(h.Oldest(), 0);
  EXPECT_EQ(h.Slot(4).Count, 0);
  EXPECT_EQ(Walk(), (std::vector<int32_t>{2, 3, 4, 5, 0}));
}

TEST_F(PerformanceGraphTest, AResizeKeepsTheNewestStepsAtTheRightEdge) {
  struct Case {
    int width;
    std::vector<int32_t> walk;
  };
  // 30 pixels of 3: 12 slots holding steps 1..12 (12 being collected).
  const Case cases[] = {
      {39, {0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},  // three bands wider: all kept
      {21, {4, 5, 6, 7, 8, 9, 10, 11, 12}},                    // three narrower: three oldest gone
      {2, {11, 12}},                                           // below one band: two slots
  };
  for (const Case& c : cases) {
    graph = std::make_unique<TPerformanceGraph>(nullptr);
    graph->SetBounds(0, 0, 30, 20);
    graph->ReallocHistory();
    ASSERT_EQ(graph->History().Size(), 12);
    Steps({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    graph->DataPoint(clRed, 12);
    // A new width sizes the ring at once, the picture at the next paint.
    graph->SetBounds(0, 0, c.width, 20);
    EXPECT_EQ(Walk(), c.walk) << c.width;
    RecordingCanvas screen;
    graph->Paint(screen);
    EXPECT_EQ(Walk(), c.walk) << c.width;
    EXPECT_EQ(graph->History().Slot(graph->History().Current()).Values[0], 12) << c.width;
    ASSERT_EQ(screen.Ops.size(), 1u);
    EXPECT_EQ(screen.Ops[0].kind, CanvasOp::Copy);
    EXPECT_EQ(screen.Ops[0].rect, (TRect{0, 0, c.width, 20}));
    EXPECT_EQ(screen.Ops[0].picture, &graph->Picture());
    EXPECT_EQ(graph->Picture().Width(), c.width);
  }
}

TEST_F(PerformanceGraphTest, TheScaleIsTheLargestValueRoundedUpToTheGradient) {
  struct Rounding {
    int32_t value, unit, rounded;
  };
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  // Beyond 32 bits a value is held at the largest multiple that fits.
  for (const Rounding r :
       {Rounding{1, 102, 102}, Rounding{408, 102, 408}, Rounding{401, 102, 408}, Rounding{5, 0, 5},
        Rounding{0, 102, 0}, Rounding{kMax, 100, 2147483600}, Rounding{kMax - 1, kMax, kMax},
        Rounding{kMin + 5, -100, -2147483600}, Rounding{kMin, -1, kMin}})
    EXPECT_EQ(TPerformanceGraph::RoundUp(r.value, r.unit), r.rounded) << r.value << "/" << r.unit;

  graph->SetGradient(102);
  std::vector<int> scalesSeen;
  graph->OnScaleChange = [&](tk::TObject*) { scalesSeen.push_back(graph->Scale()); };
  graph->DataPoint(clRed, 401);
  graph->DataPoint(clYellow, 17);
  graph->Update();
  EXPECT_EQ(graph->Scale(), 408);
  EXPECT_EQ(scalesSeen, (std::vector<int>{408}));
  // The same largest value again: no change, no event.
  graph->DataPoint(clRed, 300);
  graph->Update();
  EXPECT_EQ(scalesSeen.size(), 1u);
  // A history of nothing but zeros scales to 0 and draws nothing.
  graph->SetBounds(0, 0, 3, 20);
  graph->ReallocHistory();
  graph->Update();
  graph->Update();
  EXPECT_EQ(graph->Scale(), 0);
  EXPECT_EQ(scalesSeen.back(), 0);
}

TEST_F(PerformanceGraphTest, AReplayDrawsTheStepsAfterTheOldestFromTheLeftoverPixelsOn) {
  struct Case {
    int width;
    std::vector<int> lefts;  // of the bands drawn, in order
  };
  // 25 pixels of 10: 4 slots, 5 leftover pixels; 30 pixels: 5 slots, none.
  for (const Case& c : {Case{25, {5, 15, 25}}, Case{30, {0, 10, 20, 30}}}) {
    graph = std::make_unique<TPerformanceGraph>(nullptr);
    graph->SetBounds(0, 0, c.width, 100);
    graph->SetStepSize(10);
    graph->SetGridlines(false);
    graph->SetKind(TGraphKind::pgBar);
    graph->SetScale(100);
    const int slots = graph->History().Size();
    // Values 10, 20, ... oldest to current; the oldest one is never drawn.
    for (int i = 1; i < slots; ++i) Steps({10 * i});
    graph->DataPoint(clRed, 10 * slots);
    Picture().Clear();
    graph->Replay();
    std::vector<int> lefts;
    int32_t value = 20;
    for (const CanvasOp& op : Picture().Ops) {
      if (op.kind != CanvasOp::Fill || op.color != clRed) continue;
      lefts.push_back(op.rect.Left);
      EXPECT_EQ(op.rect.Right, op.rect.Left + 10) << c.width;
      EXPECT_EQ(op.rect.Top, 100 - value - 1) << c.width;  // a bar of the slot's value
      value += 10;
    }
    EXPECT_EQ(lefts, c.lefts) << c.width;
  }
}

TEST_F(PerformanceGraphTest, ASeventeenthPointInOneStepIsARangeErrorAndStoresNothing) {
  for (int i = 0; i < 16; ++i) graph->DataPoint(clRed, i + 1);
  EXPECT_THROW(graph->DataPoint(clYellow, 99), tk::ERangeError);
  const auto& slot = graph->History().Slot(graph->History().Current());
  EXPECT_EQ(slot.Count, 16);
  EXPECT_EQ(slot.Values[15], 16);
}

TEST_F(PerformanceGraphTest, BarsStackEachPointOnTheOneBeforeAndLinesGoOnFromTheLastStep) {
  struct Case {
    TGraphKind kind;
    std::vector<CanvasOp> drawn;  // kind, rect, colour; Line also its width
  };
  // 100 x 100, scale 1000: a value v is v / 10 pixels high.
  const Case cases[] = {
      {TGraphKind::pgBar,
       {{CanvasOp::Fill, {90, 89, 100, 100}, clRed},
        {CanvasOp::Fill, {90, 74, 100, 90}, clYellow}}},
      {TGraphKind::pgLine,
       {{CanvasOp::Line, {90, 90, 100, 90}, clRed},
        {CanvasOp::Line, {90, 100, 100, 75}, clYellow}}},
  };
  for (const Case& c : cases) {
    TPerformanceGraph g(nullptr);
    g.SetBounds(0, 0, 100, 100);
    g.SetStepSize(10);
    g.SetGridlines(false);
    g.SetGradient(1000);
    g.SetPenWidth(3);
    g.SetKind(c.kind);
    g.DataPoint(clRed, 100);
    g.Update();
    g.DataPoint(clRed, 100);
    g.DataPoint(clYellow, 250);
    g.DataPoint(clYellow, 0);  // a zero draws nothing
    auto& picture = static_cast<RecordingCanvas&>(g.Picture());
    picture.Clear();
    g.Update();
    ASSERT_EQ(g.Scale(), 1000);
    // The scroll, the new band cleared, then the step's points.
    ASSERT_EQ(picture.Ops.size(), 2 + c.drawn.size()) << static_cast<int>(c.kind);
    EXPECT_EQ(picture.Ops[0].kind, CanvasOp::Copy);
    EXPECT_EQ(picture.Ops[0].rect, (TRect{0, 0, 90, 100}));
    EXPECT_EQ(picture.Ops[0].from, (TRect{10, 0, 100, 100}));
    EXPECT_EQ(picture.Ops[1].kind, CanvasOp::Fill);
    EXPECT_EQ(picture.Ops[1].rect, (TRect{90, 0, 100, 100}));
    for (size_t i = 0; i < c.drawn.size(); ++i) {
      const CanvasOp& op = picture.Ops[2 + i];
      EXPECT_EQ(op.kind, c.drawn[i].kind) << i;
      EXPECT_EQ(op.rect, c.drawn[i].rect) << i;
      EXPECT_EQ(op.color, c.drawn[i].color) << i;
      if (op.kind == CanvasOp::Line) {
        EXPECT_EQ(op.width, 3) << i;
      }
    }
  }
}

// The vertical grid lines the picture shows, followed through its ops: a
// full clear forgets them, a scroll moves them, a full-height line adds one.
class GridTracker {
 public:
  explicit GridTracker(int height) : FHeight(height) {}
  void Follow(const std::vector<CanvasOp>& ops, const TRect& whole) {
    for (const CanvasOp& op : ops) {
      if (op.kind == CanvasOp::Fill && op.rect == whole) {
        Lines.clear();
        ++FullRedraws;
      } else if (op.kind == CanvasOp::Copy) {
        std::set<int> moved;
        const int dx = op.rect.Left - op.from.Left;
        for (int x : Lines)
          if (x >= op.from.Left && x < op.from.Right) moved.insert(x + dx);
        for (int x : Lines)
          if (x < op.rect.Left || x >= op.rect.Right) moved.insert(x);
        Lines = moved;
      } else if (op.kind == CanvasOp::Fill) {
        std::erase_if(Lines, [&](int x) { return x >= op.rect.Left && x < op.rect.Right; });
      } else if (op.kind == CanvasOp::Line && op.rect.Left == op.rect.Right && op.rect.Top == 0 &&
                 op.rect.Bottom == FHeight) {
        Lines.insert(op.rect.Left);
      }
    }
  }
  std::set<int> Lines;
  int FullRedraws = 0;

 private:
  int FHeight;
};

TEST_F(PerformanceGraphTest, TheGridScrollsWithThePictureAndARedrawKeepsItsPhase) {
  struct Case {
    int grid, step;
  };
  // A band narrower than the grid, and one wider (two lines in one band).
  for (const Case c : {Case{15, 4}, Case{5, 12}}) {
    TPerformanceGraph g(nullptr);
    g.SetBounds(0, 0, 100, 50);
    g.SetGridSize(c.grid);
    g.SetStepSize(c.step);
    g.SetGradient(10);
    g.SetScale(10);
    auto& picture = static_cast<RecordingCanvas&>(g.Picture());
    GridTracker grid(50);
    picture.Clear();
    g.Replay();
    grid.Follow(picture.Ops, {0, 0, 100, 50});
    picture.Clear();
    grid.FullRedraws = 0;
    for (int step = 0; step < 23; ++step) {
      g.DataPoint(clRed, 5);  // the scale stays at 10: nothing is redrawn in full
      g.Update();
    }
    grid.Follow(picture.Ops, {0, 0, 100, 50});
    EXPECT_EQ(grid.FullRedraws, 0) << c.grid;
    const std::set<int> scrolled = grid.Lines;
    // Every grid spacing across the picture has its line.
    EXPECT_EQ(scrolled.size(), static_cast<size_t>((100 + c.grid - 1 - *scrolled.begin()) / c.grid))
        << c.grid;
    EXPECT_EQ(100 + g.GridPhase() - *scrolled.rbegin(), c.grid) << c.grid;

    picture.Clear();
    g.SetForeColor(tk::clLime);  // a property change replays the picture
    GridTracker replayed(50);
    replayed.Follow(picture.Ops, {0, 0, 100, 50});
    EXPECT_EQ(replayed.FullRedraws, 1);
    EXPECT_EQ(replayed.Lines, scrolled) << c.grid;
  }
}

TEST_F(PerformanceGraphTest, ScaledUpTheScrollMovesThePictureByTheBandsOwnPixels) {
  // The graph's copies and band fills played on a row of device pixels, as
  // the Win32 canvas scales them: each column remembers the step whose band
  // painted it. Every whole band must keep the width the newest one has, or
  // the picture would drift against its bands (a stale or a lost column).
  struct Case {
    int width, step, dpi;
  };
  for (const Case c : {Case{100, 1, 120}, Case{100, 3, 120}, Case{101, 5, 120}, Case{257, 7, 120},
                       Case{99, 2, 120}, Case{100, 3, 144}, Case{101, 5, 168}, Case{100, 4, 96}}) {
    TPerformanceGraph g(nullptr);
    g.SetBounds(0, 0, c.width, 20);
    g.SetStepSize(c.step);
    g.SetGridlines(false);
    g.SetGradient(10);
    g.SetScale(100);
    auto& picture = static_cast<RecordingCanvas&>(g.Picture());
    g.Replay();
    std::vector<int> columns(static_cast<size_t>(tk::ScaleBy(c.width, c.dpi)), 0);
    const TRect band{c.width - c.step, 0, c.width, 20};
    const int steps = 2 * c.width / c.step;
    for (int n = 1; n <= steps; ++n) {
      picture.Clear();
      g.DataPoint(clRed, 50);
      g.Update();
      for (const CanvasOp& op : picture.Ops) {
        if (op.kind == CanvasOp::Copy) {
          const tk::TScaledCopy copy = tk::ScaleCopy(op.rect, op.from, c.dpi);
          ASSERT_EQ(copy.to.Width(), copy.from.Width());
          const std::vector<int> before = columns;
          for (int x = 0; x < copy.to.Width(); ++x)
            columns[static_cast<size_t>(copy.to.Left + x)] =
                before[static_cast<size_t>(copy.from.Left + x)];
        } else if (op.kind == CanvasOp::Fill && op.rect == band) {
          for (int x = tk::ScaleBy(band.Left, c.dpi); x < tk::ScaleBy(band.Right, c.dpi); ++x)
            columns[static_cast<size_t>(x)] = n;
        }
      }
    }
    const int bandPixels = tk::ScaleBy(c.width, c.dpi) - tk::ScaleBy(c.width - c.step, c.dpi);
    // From the right: the newest band, then each older one, all equally wide;
    // the oldest may be cut by the left edge.
    int x = static_cast<int>(columns.size());
    for (int n = steps; x > 0; --n) {
      int run = 0;
      while (x > 0 && columns[static_cast<size_t>(x - 1)] == n) --x, ++run;
      if (x > 0) {
        EXPECT_EQ(run, bandPixels) << c.width << "/" << c.step << " at " << c.dpi << ", step " << n;
      } else {
        EXPECT_LE(run, bandPixels) << c.width << "/" << c.step << " at " << c.dpi;
      }
      if (run == 0) break;
    }
    EXPECT_EQ(x, 0) << c.width << "/" << c.step << " at " << c.dpi;
  }
}

}  // namespace
}  // namespace norva::testing
