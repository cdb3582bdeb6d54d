// High DPI: the scaling of 96-per-inch sizes, and the main window's screen
// arithmetic (dragging strip, hiding under the mouse, magnet) on a screen
// of 144 pixels per inch, where the window is 300 × 120 screen pixels; a
// window moved to a monitor of another DPI (WM_DPICHANGED) is what a start
// there gives.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "NorvaFixture.h"
#include "app/HistoryForm.h"
#include "inspector/Heapchk.h"
#include "settings/Setting.h"
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

// Every size and font of the three windows as the screen shows them, the
// main window's screen size, the graph's picture, the tray icon and the
// progress display: what a monitor's DPI decides.
class DpiChangeTest : public NorvaTest {
 protected:
  static constexpr const char* kIni =
      "[SYSTEM]\r\nXPos=100\r\nYPos=200\r\n[DEFAULT]\r\nOverAction=1\r\nCpuPer=1\r\n"
      "[EXTRA]\r\nTrayLoadIcon=1\r\nCleanHistory=1\r\n";

  void StartAt(int dpi) {
    backend.pixelsPerInch = dpi;
    os.desktop.taskbarPixelsPerInch = dpi;
    WriteIni(kIni);
    Start();
    HeapChkFrm->Show();
    form->sbtnGetMemClick(&form->sbtnGetMem);
    form->pmHistory->Click();
    backend.AdvanceTime(1000);
  }

  // The system moves each window to a monitor of dpi (the taskbar too),
  // suggesting a place 40 pixels further right.
  void MoveTo(int dpi) {
    os.desktop.taskbarPixelsPerInch = dpi;
    for (tk::TForm* f : Forms()) {
      const int width = f->ToScreen(f->Width()), height = f->ToScreen(f->Height());
      win::RECT suggested{f->Left() + 40, f->Top(), f->Left() + 40 + width, f->Top() + height};
      f->Perform(win::WM_DPICHANGED, static_cast<win::WPARAM>(dpi | dpi << 16),
                 reinterpret_cast<win::LPARAM>(&suggested));
    }
    backend.AdvanceTime(1000);
  }

  std::vector<tk::TForm*> Forms() {
    std::vector<tk::TForm*> forms{form.get(), SettingFrm, HeapChkFrm};
    if (form->FHistoryFrm) forms.push_back(form->FHistoryFrm.get());
    return forms;
  }

  static void Describe(std::ostream& out, const tk::TControl& c, int depth) {
    const int dpi = c.PixelsPerInch();
    const auto device = [dpi](int v) { return tk::ScaleBy(v, dpi); };
    out << std::string(depth, ' ') << c.Name << " " << dpi << ": " << device(c.Width()) << "x"
        << device(c.Height()) << " font " << device(c.Font().Height);
    // A form's place is the system's; a control's lies inside its parent.
    if (depth > 0) out << " at " << device(c.Left()) << "," << device(c.Top());
    out << "\n";
    if (const auto* w = dynamic_cast<const tk::TWinControl*>(&c))
      for (const tk::TControl* child : w->Controls()) Describe(out, *child, depth + 1);
  }

  std::string Shape() {
    std::ostringstream out;
    for (tk::TForm* f : Forms()) Describe(out, *f, 0);
    out << "main on screen " << form->ToScreen(form->Width()) << "x"
        << form->ToScreen(form->Height()) << "\n";
    for (const auto& column : static_cast<THistoryFrm&>(*form->FHistoryFrm).lvHistory.Columns())
      out << "history column " << tk::ScaleBy(column.Width, form->FHistoryFrm->PixelsPerInch())
          << "\n";
    auto& graph = HeapChkFrm->pgpMainGraph;
    out << "graph picture " << graph.Picture().PixelsPerInch() << "\n";
    const auto icon = os.desktop.liveIcons.find(os.shell.CurrentIcon(form->Handle())->hIcon);
    out << "tray icon "
        << (icon == os.desktop.liveIcons.end() ? -1 : std::lround(std::sqrt(icon->second.size())))
        << "\n";
    backend.screenCanvas.Clear();
    form->DrawCleanProgress(100);
    for (const auto& op : backend.screenCanvas.TextOps())
      out << "overlay " << op.font.Height << "\n";
    return out.str();
  }

  // The shape of a fresh start at dpi, then the program ended.
  std::string FreshShape(int dpi) {
    StartAt(dpi);
    const std::string shape = Shape();
    Stop();
    return shape;
  }
};

TEST_F(DpiChangeTest, AWindowMovedToAnotherDpiIsWhatAStartThereGivesAndComesBackWithoutDrift) {
  std::map<int, std::string> fresh;
  for (int dpi : {96, 120, 144, 192}) fresh[dpi] = FreshShape(dpi);
  ASSERT_NE(fresh[96], fresh[144]);  // the shape tells the scales apart
  StartAt(96);
  for (int dpi : {120, 144, 192, 96}) {
    const int left = form->Left();
    MoveTo(dpi);
    EXPECT_EQ(Shape(), fresh[dpi]) << dpi;
    EXPECT_EQ(form->Left(), left + 40) << "the place the system suggests, at " << dpi;
  }
  for (int trip = 0; trip < 10; ++trip) {
    MoveTo(144);
    MoveTo(96);
  }
  EXPECT_EQ(Shape(), fresh[96]) << "after ten round trips";
}

TEST_F(DpiChangeTest, TheProgramsOwnTrayIconsTakeTheTaskbarsSmallIconSize) {
  WriteIni("[SYSTEM]\r\nXPos=100\r\nYPos=200\r\n");
  Start();
  backend.AdvanceTime(1000);
  const auto shown = [&] { return os.shell.CurrentIcon(form->Handle())->hIcon; };
  // The shared 16-pixel icons at 96; loaded on their own at any other size.
  const auto size = [&] {
    const auto own = os.desktop.resourceIcons.find(shown());
    return own == os.desktop.resourceIcons.end() ? 16 : own->second;
  };
  for (int dpi : {144, 192, 120, 96, 144}) {
    MoveTo(dpi);
    EXPECT_EQ(os.user.IconName(shown()), "TASKTRAY00") << dpi;
    EXPECT_EQ(size(), 16 * dpi / 96) << dpi;
    EXPECT_EQ(os.desktop.resourceIcons.size(), dpi == 96 ? 0u : 2u) << "the old ones freed, at " << dpi;
  }
  // A larger icon that cannot be loaded: the tray shows the application's
  // icon, never the freed one.
  os.user.knownIcons.clear();
  MoveTo(192);
  EXPECT_EQ(shown(), os.user.applicationIcon);
  EXPECT_TRUE(os.desktop.resourceIcons.empty());
  Stop();
  EXPECT_TRUE(os.desktop.resourceIcons.empty());
}

}  // namespace
}  // namespace norva::testing
