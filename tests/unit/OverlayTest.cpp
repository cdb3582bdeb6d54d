// The full-screen progress display of a cleaning: where its label line and
// bar land for each screen, their fonts, colours and filled squares, the
// erase, the values that draw nothing, and the sequence a cleaning draws.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NorvaFixture.h"

namespace norva::testing {
namespace {

const std::string kLabel = " ﾒﾓﾘﾃﾞﾌﾗｸﾞ:";
const std::string kEmptyBar = "□□□□□□□□□□";

// Filled squares of a bar text, or -1 when it is no bar of ten squares.
int FilledSquares(const std::string& bar) {
  int filled = 0, squares = 0;
  for (size_t i = 0; i < bar.size();) {
    const std::string glyph = bar.substr(i, 3);
    if (glyph == "■")
      ++filled;
    else if (glyph != "□")
      return -1;
    ++squares;
    i += 3;
  }
  return squares == 10 ? filled : -1;
}

class OverlayTest : public NorvaTest {
 protected:
  void StartWithOverlay(bool on = true) {
    if (on) WriteIni("[DEFAULT]\r\nOverAction=1\r\n");
    Start();
    ASSERT_EQ(Settings().ckbOverAction.Checked(), on);
  }
  std::vector<tk::CanvasOp> Drawn() const { return backend.screenCanvas.TextOps(); }
  void Forget() {
    backend.screenCanvas.Clear();
    backend.invalidatedScreenAreas.clear();
  }
};

TEST_F(OverlayTest, TheLabelLineAndTheBarFillTheLowerFifthOfEachScreen) {
  StartWithOverlay();
  struct Case {
    int width, height;
    int barPixels, labelPixels;
    tk::TRect label, bar;
  };
  for (Case c : {Case{1024, 768, 85, 56, {0, 556, 1024, 612}, {0, 612, 1024, 768}},
                 Case{1280, 1024, 107, 71, {0, 745, 1280, 816}, {0, 816, 1280, 1024}},
                 Case{800, 600, 67, 44, {0, 436, 800, 480}, {0, 480, 800, 600}}}) {
    os.user.screenWidth = c.width;
    os.user.screenHeight = c.height;
    Forget();
    form->DrawCleanProgress(50);
    const auto ops = Drawn();
    ASSERT_EQ(ops.size(), 3u) << c.width;
    EXPECT_EQ(ops[0].text, kLabel);
    EXPECT_EQ(ops[0].rect, c.label) << c.width;
    EXPECT_EQ(ops[0].font.Height, c.labelPixels) << c.width;
    EXPECT_EQ(ops[1].text, kEmptyBar);
    EXPECT_EQ(ops[2].text, "■■■■■□□□□□");
    for (size_t i : {1u, 2u}) {
      EXPECT_EQ(ops[i].rect, c.bar) << c.width;
      EXPECT_EQ(ops[i].font.Height, c.barPixels) << c.width;
    }
    for (const auto& op : ops) {
      EXPECT_EQ(op.color, 0x00FF00u);
      // Drawn from the rectangle's top-left corner, unclipped.
      EXPECT_EQ(op.flags, tk::DT_LEFT | tk::DT_NOCLIP);
      EXPECT_EQ(op.font.Charset, tk::SHIFTJIS_CHARSET);
    }
  }
}

TEST_F(OverlayTest, FontSizesFollowTheScreensPixelsPerInchRounded) {
  StartWithOverlay();
  os.user.screenWidth = 1024;
  os.user.screenHeight = 768;
  backend.pixelsPerInch = 120;
  form->DrawCleanProgress(100);
  const auto ops = Drawn();
  ASSERT_EQ(ops.size(), 3u);
  EXPECT_EQ(ops[0].font.Height, 70);   // 42 pt
  EXPECT_EQ(ops[1].font.Height, 107);  // 64 pt: 106.67
  EXPECT_EQ(ops[0].rect, (tk::TRect{0, 612 - 70, 1024, 612}));
}

TEST_F(OverlayTest, ZeroIsTheBlackShadowOnePixelLowerAndFurtherRight) {
  StartWithOverlay();
  os.user.screenWidth = 1024;
  os.user.screenHeight = 768;
  form->DrawCleanProgress(0);
  const auto ops = Drawn();
  ASSERT_EQ(ops.size(), 3u);
  EXPECT_EQ(ops[0].text, kLabel);
  EXPECT_EQ(ops[0].rect, (tk::TRect{1, 557, 1025, 613}));
  EXPECT_EQ(ops[1].rect, (tk::TRect{1, 613, 1025, 769}));
  EXPECT_EQ(ops[2].rect, (tk::TRect{1, 613, 1025, 769}));
  EXPECT_EQ(ops[1].text, kEmptyBar);
  EXPECT_EQ(ops[2].text, kEmptyBar);
  for (const auto& op : ops) EXPECT_EQ(op.color, tk::clBlack);
}

TEST_F(OverlayTest, EveryTenPercentFillsOneMoreSquare) {
  StartWithOverlay();
  struct Case {
    int percent, filled;
  };
  for (Case c : {Case{1, 0}, Case{9, 0}, Case{10, 1}, Case{11, 1}, Case{55, 5}, Case{99, 9},
                 Case{100, 10}}) {
    Forget();
    form->DrawCleanProgress(c.percent);
    const auto ops = Drawn();
    ASSERT_EQ(ops.size(), 3u) << c.percent;
    EXPECT_EQ(FilledSquares(ops[1].text), 0) << c.percent;
    EXPECT_EQ(FilledSquares(ops[2].text), c.filled) << c.percent;
    EXPECT_EQ(ops[2].color, tk::clLime) << c.percent;
    EXPECT_EQ(ops[2].rect.Left, 0) << c.percent;
    EXPECT_TRUE(backend.invalidatedScreenAreas.empty());
  }
}

TEST_F(OverlayTest, TheBarLiesOnTheMonitorThatHoldsTheMainWindow) {
  os.user.AddMonitor({0, 0, 1280, 1024}, true);
  os.user.AddMonitor({-1024, -200, 0, 568});
  StartWithOverlay();
  struct Case {
    int left, top;
    tk::TRect bar;  // the lower fifth of that monitor, its fonts from its width
    int barFont;
  };
  for (const Case c : {Case{-600, 100, {-1024, 412, 0, 568}, 85},     // on the left monitor
                       Case{-50, 100, {0, 816, 1280, 1024}, 107},     // more on the primary
                       Case{-3000, 100, {-1024, 412, 0, 568}, 85}}) {  // off both: the nearest
    form->SetBounds(c.left, c.top, 200, 80);
    Forget();
    form->DrawCleanProgress(100);
    const auto ops = Drawn();
    ASSERT_EQ(ops.size(), 3u) << c.left;
    EXPECT_EQ(ops[1].rect, c.bar) << c.left;
    EXPECT_EQ(ops[1].font.Height, c.barFont) << c.left;
    EXPECT_EQ(ops[0].rect.Bottom, c.bar.Top) << c.left;
    EXPECT_EQ(ops[0].rect.Left, c.bar.Left) << c.left;
    form->DrawCleanProgress(-1);
    ASSERT_FALSE(backend.invalidatedScreenAreas.empty());
    EXPECT_EQ(backend.invalidatedScreenAreas.back(), c.bar) << c.left;
  }
}

TEST_F(OverlayTest, MinusOneRepaintsOnlyTheBarBand) {
  StartWithOverlay();
  os.user.screenWidth = 800;
  os.user.screenHeight = 600;
  form->DrawCleanProgress(-1);
  EXPECT_TRUE(backend.screenCanvas.Ops.empty());
  EXPECT_EQ(backend.screenCanvasOpens, 0);
  EXPECT_EQ(backend.invalidatedScreenAreas, (std::vector<tk::TRect>{{0, 480, 800, 600}}));
}

TEST_F(OverlayTest, ValuesOutOfRangeAndASwitchedOffOverlayDrawNothing) {
  StartWithOverlay();
  for (int percent : {101, -2, 1000, -100}) form->DrawCleanProgress(percent);
  EXPECT_TRUE(backend.screenCanvas.Ops.empty());
  EXPECT_TRUE(backend.invalidatedScreenAreas.empty());
  EXPECT_EQ(backend.screenCanvasOpens, 0);

  Settings().ckbOverAction.SetChecked(false);
  for (int percent : {0, 1, 50, 100, -1}) form->DrawCleanProgress(percent);
  EXPECT_TRUE(backend.screenCanvas.Ops.empty());
  EXPECT_TRUE(backend.invalidatedScreenAreas.empty());
  EXPECT_EQ(backend.screenCanvasOpens, 0);
}

// What a cleaning drew: one entry per drawing, its filled squares, or -1
// for the black shadow.
std::vector<int> DrawSequence(const tk::RecordingCanvas& canvas) {
  std::vector<int> seq;
  const auto ops = canvas.TextOps();
  for (size_t i = 0; i + 2 < ops.size(); i += 3) {
    EXPECT_EQ(ops[i].text, kLabel);
    seq.push_back(ops[i].color == tk::clBlack ? -1 : FilledSquares(ops[i + 2].text));
  }
  return seq;
}

TEST_F(OverlayTest, ACleaningDrawsTheShadowThenAGrowingBarThenTheFullBarAndErasesIt) {
  StartWithOverlay();
  backend.AdvanceTime(100);
  os.user.screenWidth = 1024;
  os.user.screenHeight = 768;
  for (int speed : {1, 0}) {
    Forget();
    size_t drawsAtHold = 0, erasesAtHold = 9;
    os.kernel.onSleep = [&](win::DWORD ms) {
      if (ms != 100) return;
      drawsAtHold = Drawn().size() / 3;
      erasesAtHold = backend.invalidatedScreenAreas.size();
    };
    Settings().cmbClSpeed.SetItemIndex(speed);
    form->FCleanSize = 1000;
    form->sbtnGetMem.Click();

    std::vector<int> want{-1, 0};
    if (speed == 1) {
      // 1, 11, 22, ... 99
      for (int k = 0; k < 10; ++k) want.push_back(k == 0 ? 0 : (k * 11) / 10);
    } else {
      for (int k = 0; k < 100; ++k) want.push_back(k == 0 ? 0 : k / 10);
    }
    want.push_back(10);
    EXPECT_EQ(DrawSequence(backend.screenCanvas), want) << speed;
    EXPECT_EQ(drawsAtHold, want.size()) << speed;
    EXPECT_EQ(erasesAtHold, 0u) << speed;
    EXPECT_EQ(backend.invalidatedScreenAreas, (std::vector<tk::TRect>{{0, 612, 1024, 768}}));
  }
}

TEST_F(OverlayTest, AOnePassCleaningDrawsShadowEmptyBarFullBarAndErases) {
  StartWithOverlay();
  backend.AdvanceTime(100);
  Settings().cmbClSpeed.SetItemIndex(2);
  form->FCleanSize = 1000;
  form->sbtnGetMem.Click();
  EXPECT_EQ(DrawSequence(backend.screenCanvas), (std::vector<int>{-1, 0, 10}));
  EXPECT_EQ(backend.invalidatedScreenAreas.size(), 1u);
}

TEST_F(OverlayTest, ACleaningWithTheOverlayOffTouchesNoScreen) {
  StartWithOverlay(false);
  backend.AdvanceTime(100);
  form->FCleanSize = 1000;
  form->sbtnGetMem.Click();
  EXPECT_TRUE(backend.screenCanvas.Ops.empty());
  EXPECT_TRUE(backend.invalidatedScreenAreas.empty());
  EXPECT_EQ(backend.screenCanvasOpens, 0);
}

}  // namespace
}  // namespace norva::testing
