// High DPI: the scaling of 96-per-inch sizes, and the main window's screen
// arithmetic (dragging strip, hiding under the mouse, magnet) on a screen
// of 144 pixels per inch, where the window is 300 × 120 screen pixels.
#include <gtest/gtest.h>

#include "NorvaFixture.h"
#include "toolkit/Dpi.h"

namespace norva::testing {
namespace {

TEST(DpiScaleTest, SizesScaleRoundedAndComeBack) {
  struct Case {
    int value, dpi, scaled;
  };
  for (Case c : {Case{200, 96, 200}, Case{200, 144, 300}, Case{80, 144, 120}, Case{523, 144, 785},
                 Case{1, 144, 2}, Case{-1, 144, -1}, Case{-3, 144, -4}, Case{18, 120, 23},
                 Case{200, 192, 400}, Case{0, 144, 0}})
    EXPECT_EQ(tk::ScaleBy(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
  for (int dpi : {96, 120, 144, 168, 192})
    for (int v = -20; v <= 1200; ++v) ASSERT_EQ(tk::UnscaleBy(tk::ScaleBy(v, dpi), dpi), v) << dpi;
}

class HighDpiTest : public NorvaTest {
 protected:
  void StartAt(int left, int top, const std::string& defaults = "") {
    backend.pixelsPerInch = 144;
    WriteIni("[SYSTEM]\r\nXPos=" + std::to_string(left) + "\r\nYPos=" + std::to_string(top) +
             "\r\n[DEFAULT]\r\n" + defaults);
    Start();
    backend.AdvanceTime(100);
  }
  bool Caption(int x, int y) {
    os.user.cursor = {x, y};
    return form->Perform(win::WM_NCHITTEST, 0, 0) == win::HTCAPTION;
  }
};

TEST_F(HighDpiTest, TheDraggingStripAndTheButtonRowScaleWithTheWindow) {
  StartAt(100, 200);
  EXPECT_EQ(form->Width(), 200);  // the layout keeps its 96-per-inch sizes
  struct Case {
    int dx, dy;
    bool caption;
  };
  // Button row 27 pixels high, processor strip from 171 to 247.
  for (Case c : {Case{50, 27, false}, Case{50, 28, true}, Case{170, 5, false}, Case{171, 5, true},
                 Case{247, 5, true}, Case{248, 5, false}, Case{280, 119, true}})
    EXPECT_EQ(Caption(100 + c.dx, 200 + c.dy), c.caption) << c.dx << "," << c.dy;
}

TEST_F(HighDpiTest, TheWindowHidesUnderTheMouseOverItsWholeScreenArea) {
  StartAt(100, 200, "DontCatch=1\r\n");
  struct Case {
    int x, y;
    bool hides;
  };
  for (Case c : {Case{400, 320, true}, Case{401, 250, false}, Case{350, 321, false}}) {
    form->Show();
    Caption(c.x, c.y);
    EXPECT_EQ(!form->Visible(), c.hides) << c.x << "," << c.y;
  }
}

TEST_F(HighDpiTest, TheMagnetKeepsTheWholeWindowOnTheScreen) {
  StartAt(500, 500, "Magnet=1\r\n");
  form->FLastLeft = 500;
  form->FLastTop = 500;
  os.user.cursor = {700, 600};
  form->SetBounds(970, 890, form->Width(), form->Height());
  form->Perform(win::WM_MOVE, 0, 0);
  EXPECT_EQ(form->Left(), 1280 - 300);
  EXPECT_EQ(form->Top(), 1024 - 120);
}

}  // namespace
}  // namespace norva::testing
