// The toolkit's windowless controls: the flat speed button's press and
// release, the bevel's two colours, the labels' background and alignment,
// the image's picture and its handle; the recording canvas they are tested on.
#include <gtest/gtest.h>

#include "platform/fake/FakePlatform.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/headless/HeadlessBackend.h"

namespace norva {
namespace {

using namespace tk;

class GraphicControlsTest : public ::testing::Test {
 protected:
  GraphicControlsTest() { form.Handle(); }

  RecordingCanvas PaintForm() {
    RecordingCanvas canvas;
    form.PaintControls(canvas);
    return canvas;
  }

  std::vector<CanvasOp> Lines(const RecordingCanvas& canvas) {
    std::vector<CanvasOp> lines;
    for (const CanvasOp& op : canvas.Ops)
      if (op.kind == CanvasOp::Line) lines.push_back(op);
    return lines;
  }

  platform::fake::FakePlatform os;
  HeadlessBackend backend;
  TForm form{nullptr};
};

// --- Speed button --------------------------------------------------------

class SpeedButtonTest : public GraphicControlsTest {
 protected:
  SpeedButtonTest() {
    button.SetBounds(38, 1, 38, 16);
    button.SetCaption("[掃除]");
    button.OnClick = [this](TObject* sender) {
      EXPECT_EQ(sender, &button);
      EXPECT_FALSE(button.Down());  // released before the handler runs
      ++clicks;
    };
  }
  TSpeedButton button{&form};
  int clicks = 0;
};

TEST_F(SpeedButtonTest, PressAndReleaseInsideClicksOnce) {
  button.MouseDown(TMouseButton::mbLeft, ssLeft, 5, 5);
  EXPECT_TRUE(button.Down());
  EXPECT_EQ(clicks, 0);
  button.MouseUp(TMouseButton::mbLeft, 0, 30, 10);
  EXPECT_FALSE(button.Down());
  EXPECT_EQ(clicks, 1);
}

TEST_F(SpeedButtonTest, ReleaseOutsideDoesNotClick) {
  // The parent captures the mouse, so the release arrives even off the button.
  for (TPoint outside : {TPoint{38, 5}, TPoint{-1, 5}, TPoint{5, 16}, TPoint{5, -3}}) {
    button.MouseDown(TMouseButton::mbLeft, ssLeft, 5, 5);
    button.MouseUp(TMouseButton::mbLeft, 0, outside.X, outside.Y);
    EXPECT_FALSE(button.Down());
  }
  EXPECT_EQ(clicks, 0);
}

TEST_F(SpeedButtonTest, OnlyALeftPressOnAnEnabledButtonCounts) {
  button.MouseDown(TMouseButton::mbRight, 0, 5, 5);
  button.MouseUp(TMouseButton::mbRight, 0, 5, 5);
  EXPECT_EQ(clicks, 0);

  button.MouseUp(TMouseButton::mbLeft, 0, 5, 5);  // release without a press
  EXPECT_EQ(clicks, 0);

  button.SetEnabled(false);
  button.MouseDown(TMouseButton::mbLeft, ssLeft, 5, 5);
  button.MouseUp(TMouseButton::mbLeft, 0, 5, 5);
  EXPECT_EQ(clicks, 0);
}

TEST_F(SpeedButtonTest, PressAndReleaseRepaintTheButton) {
  backend.ForgetInvalidations();
  button.MouseDown(TMouseButton::mbLeft, ssLeft, 5, 5);
  ASSERT_EQ(backend.PeerOf(form).Invalidations.size(), 1u);
  EXPECT_EQ(backend.PeerOf(form).Invalidations[0], std::optional<TRect>(button.BoundsRect()));
  button.MouseUp(TMouseButton::mbLeft, 0, 50, 5);
  EXPECT_EQ(backend.PeerOf(form).Invalidations.size(), 2u);
}

TEST_F(SpeedButtonTest, UpButtonDrawsOnlyItsCentredCaption) {
  button.SetFontColor(clGreen);
  const RecordingCanvas canvas = PaintForm();
  ASSERT_EQ(canvas.Ops.size(), 1u);  // transparent: no background, no frame
  const CanvasOp& text = canvas.Ops[0];
  EXPECT_EQ(text.kind, CanvasOp::Text);
  EXPECT_EQ(text.text, "[掃除]");
  EXPECT_EQ(text.color, clGreen);
  EXPECT_EQ(text.rect, button.BoundsRect());
  EXPECT_EQ(text.flags & (DT_CENTER | DT_VCENTER | DT_SINGLELINE),
            DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

TEST_F(SpeedButtonTest, DownButtonIsSunkenWithItsCaptionMovedByOnePixel) {
  button.MouseDown(TMouseButton::mbLeft, ssLeft, 5, 5);
  const RecordingCanvas canvas = PaintForm();

  const auto texts = canvas.TextOps();
  ASSERT_EQ(texts.size(), 1u);
  TRect shifted = button.BoundsRect();
  shifted.Offset(1, 1);
  EXPECT_EQ(texts[0].rect, shifted);

  // Every frame line lies on the button's edge: shadow on the top and left,
  // highlight on the bottom and right.
  const TRect b = button.BoundsRect();
  const auto lines = Lines(canvas);
  ASSERT_FALSE(lines.empty());
  bool top = false, left = false, bottom = false, right = false;
  for (const CanvasOp& l : lines) {
    const TRect& r = l.rect;
    bool* edge = nullptr;
    TColor expected = clBtnShadow;
    if (r.Top == b.Top && r.Bottom == b.Top) {
      edge = &top;
    } else if (r.Left == b.Left && r.Right == b.Left) {
      edge = &left;
    } else if (r.Top == b.Bottom - 1 && r.Bottom == b.Bottom - 1) {
      edge = &bottom;
      expected = clBtnHighlight;
    } else if (r.Left == b.Right - 1 && r.Right == b.Right - 1) {
      edge = &right;
      expected = clBtnHighlight;
    }
    ASSERT_NE(edge, nullptr) << "line off the edge: " << r.Left << "," << r.Top << "-" << r.Right
                             << "," << r.Bottom;
    *edge = true;
    EXPECT_EQ(l.color, expected);
  }
  EXPECT_TRUE(top && left && bottom && right);

  button.MouseUp(TMouseButton::mbLeft, 0, 5, 5);
  EXPECT_TRUE(Lines(PaintForm()).empty());
}

TEST_F(SpeedButtonTest, DisabledCaptionIsGrey) {
  button.SetFontColor(clNavy);
  button.SetEnabled(false);
  const auto texts = PaintForm().TextOps();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].color, clGrayText);
}

// --- Bevel ---------------------------------------------------------------

// Colours of the lines along each edge of the control's client area.
struct EdgeColours {
  std::vector<TColor> topLeft, bottomRight;
};

EdgeColours EdgesOf(const std::vector<CanvasOp>& lines, const TRect& box) {
  EdgeColours e;
  for (const CanvasOp& l : lines) {
    const TRect& r = l.rect;
    const bool horizontal = r.Top == r.Bottom, vertical = r.Left == r.Right;
    if ((horizontal && r.Top == box.Top) || (vertical && r.Left == box.Left))
      e.topLeft.push_back(l.color);
    else if ((horizontal && r.Top == box.Bottom - 1) || (vertical && r.Left == box.Right - 1))
      e.bottomRight.push_back(l.color);
    else
      ADD_FAILURE() << "line inside the box";
  }
  return e;
}

TEST_F(GraphicControlsTest, BevelBoxIsLoweredOrRaisedByItsTwoColours) {
  TBevel bevel(&form);
  bevel.SetBounds(2, 30, 27, 48);

  for (auto [style, first, second] :
       {std::tuple{TBevelStyle::bsLowered, clBtnShadow, clBtnHighlight},
        std::tuple{TBevelStyle::bsRaised, clBtnHighlight, clBtnShadow}}) {
    bevel.Style = style;
    const EdgeColours e = EdgesOf(Lines(PaintForm()), bevel.BoundsRect());
    EXPECT_EQ(e.topLeft, (std::vector<TColor>{first, first}));
    EXPECT_EQ(e.bottomRight, (std::vector<TColor>{second, second}));
  }
}

TEST_F(GraphicControlsTest, BevelLinesAndFrame) {
  TBevel bevel(&form);
  bevel.SetBounds(10, 10, 20, 30);

  bevel.Shape = TBevelShape::bsLeftLine;
  auto lines = Lines(PaintForm());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rect, (TRect{10, 10, 10, 40}));
  EXPECT_EQ(lines[0].color, clBtnShadow);
  EXPECT_EQ(lines[1].rect, (TRect{11, 10, 11, 40}));
  EXPECT_EQ(lines[1].color, clBtnHighlight);

  bevel.Shape = TBevelShape::bsTopLine;
  bevel.Style = TBevelStyle::bsRaised;
  lines = Lines(PaintForm());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rect, (TRect{10, 10, 30, 10}));
  EXPECT_EQ(lines[0].color, clBtnHighlight);
  EXPECT_EQ(lines[1].rect, (TRect{10, 11, 30, 11}));
  EXPECT_EQ(lines[1].color, clBtnShadow);

  // Etched frame: every line of the outer outline in the first colour, the
  // inner one (one pixel down and right) in the second.
  bevel.Shape = TBevelShape::bsFrame;
  bevel.Style = TBevelStyle::bsLowered;
  lines = Lines(PaintForm());
  ASSERT_EQ(lines.size(), 8u);
  for (const CanvasOp& l : lines) {
    const bool inner =
        std::min(l.rect.Left, l.rect.Right) == 11 || std::min(l.rect.Top, l.rect.Bottom) == 11;
    const bool outer =
        std::max(l.rect.Left, l.rect.Right) == 28 || std::max(l.rect.Top, l.rect.Bottom) == 38;
    EXPECT_NE(inner, outer);
    EXPECT_EQ(l.color, inner ? clBtnHighlight : clBtnShadow);
  }
}

// --- Label and static text -----------------------------------------------

TEST_F(GraphicControlsTest, LabelFillsUnlessTransparentAndAlignsItsText) {
  TLabel label(&form);
  label.SetBounds(5, 6, 100, 12);
  label.SetCaption("BMP");
  label.SetColor(clYellow);
  label.SetFontColor(clMaroon);
  label.Alignment = TAlignment::taRightJustify;

  RecordingCanvas canvas = PaintForm();
  ASSERT_EQ(canvas.Ops.size(), 2u);
  EXPECT_EQ(canvas.Ops[0].kind, CanvasOp::Fill);
  EXPECT_EQ(canvas.Ops[0].color, clYellow);
  EXPECT_EQ(canvas.Ops[0].rect, label.BoundsRect());
  EXPECT_EQ(canvas.Ops[1].color, clMaroon);
  EXPECT_EQ(canvas.Ops[1].flags & (DT_CENTER | DT_RIGHT), DT_RIGHT);

  label.Transparent = true;
  canvas = PaintForm();
  ASSERT_EQ(canvas.Ops.size(), 1u);
  EXPECT_EQ(canvas.Ops[0].kind, CanvasOp::Text);
}

TEST_F(GraphicControlsTest, StaticTextIsCentredInItsColour) {
  TStaticText info(&form);
  info.SetBounds(32, 88, 169, 16);
  info.SetCaption("～掃除中～");
  info.SetColor(clYellow);
  info.Alignment = TAlignment::taCenter;

  const RecordingCanvas canvas = PaintForm();
  ASSERT_EQ(canvas.Ops.size(), 2u);
  EXPECT_EQ(canvas.Ops[0].color, clYellow);
  EXPECT_EQ(canvas.Ops[1].text, "～掃除中～");
  EXPECT_EQ(canvas.Ops[1].flags & (DT_CENTER | DT_RIGHT), DT_CENTER);
}

// --- Image ---------------------------------------------------------------

TEST_F(GraphicControlsTest, ImageDrawsItsPictureStretchedOrUnscaledAndNothingWithoutOne) {
  os.kernel.AddBitmap("C:\\wall.bmp", 320, 240);
  TImage image(&form);
  image.SetBounds(0, 0, 200, 80);

  EXPECT_TRUE(PaintForm().Ops.empty());

  ASSERT_TRUE(image.LoadFromFile("C:\\wall.bmp"));
  RecordingCanvas canvas = PaintForm();
  ASSERT_EQ(canvas.Ops.size(), 1u);
  EXPECT_EQ(canvas.Ops[0].kind, CanvasOp::Bitmap);
  EXPECT_EQ(canvas.Ops[0].flags, 0u);
  EXPECT_EQ(canvas.Ops[0].rect, (TRect{0, 0, 320, 240}));  // its own size, clipped by the canvas

  backend.ForgetInvalidations();
  image.SetStretch(true);
  EXPECT_TRUE(backend.WasInvalidated(image));
  canvas = PaintForm();
  ASSERT_EQ(canvas.Ops.size(), 1u);
  EXPECT_EQ(canvas.Ops[0].flags, 1u);
  EXPECT_EQ(canvas.Ops[0].rect, (TRect{0, 0, 200, 80}));

  EXPECT_FALSE(image.LoadFromFile("C:\\missing.bmp"));
  EXPECT_FALSE(image.HasPicture());
  EXPECT_TRUE(PaintForm().Ops.empty());
}

TEST_F(GraphicControlsTest, ImageFreesEveryPictureItDropsExactlyOnce) {
  os.kernel.AddBitmap("C:\\a.bmp", 10, 10);
  os.kernel.AddBitmap("C:\\b.bmp", 20, 20);
  {
    TImage image(&form);
    ASSERT_TRUE(image.LoadFromFile("C:\\a.bmp"));
    const win::HBITMAP first = image.Picture().handle;
    ASSERT_TRUE(image.LoadFromFile("C:\\b.bmp"));
    EXPECT_EQ(os.user.deletedBitmaps, std::vector<win::HBITMAP>{first});
    EXPECT_EQ(image.Picture().width, 20);

    image.Clear();
    image.Clear();
    EXPECT_EQ(os.user.deletedBitmaps.size(), 2u);
    EXPECT_TRUE(os.user.liveBitmaps.empty());

    ASSERT_TRUE(image.LoadFromFile("C:\\a.bmp"));
    EXPECT_EQ(os.user.liveBitmaps.size(), 1u);
  }
  EXPECT_TRUE(os.user.liveBitmaps.empty());  // the destructor freed the last one
  EXPECT_EQ(os.user.deletedBitmaps.size(), 3u);
}

// --- Recording canvas ----------------------------------------------------

TEST(RecordingCanvasTest, MeasuresLikeDrawTextWithTheFixedModel) {
  RecordingCanvas canvas;
  canvas.SetClip({50, 60, 150, 160});  // measuring ignores the origin
  TFont font;
  font.Height = 12;
  const auto measure = [&](const std::string& text, uint32_t flags) {
    TRect r{3, 4, 3, 4};
    canvas.DrawText(text, r, flags | DT_CALCRECT, font, clBlack);
    return r;
  };
  EXPECT_EQ(measure("abc", 0), (TRect{3, 4, 21, 16}));
  EXPECT_EQ(measure("空き", 0), (TRect{3, 4, 27, 16}));           // two bytes a character
  EXPECT_EQ(measure("ab\r\nabcd\nx", 0), (TRect{3, 4, 27, 40}));  // widest of three lines
  EXPECT_EQ(measure("", 0), (TRect{3, 4, 3, 4}));
  EXPECT_EQ(measure("", DT_SINGLELINE), (TRect{3, 4, 3, 16}));
  EXPECT_EQ(measure("a&&b&c", 0), (TRect{3, 4, 27, 16}));  // "a&bc"
  EXPECT_EQ(measure("a&&b&c", DT_NOPREFIX), (TRect{3, 4, 39, 16}));
  EXPECT_TRUE(canvas.Ops.empty());
}

TEST(RecordingCanvasTest, RecordsDrawingInSurfaceCoordinatesWithTheClip) {
  RecordingCanvas canvas({0, 0, 200, 80});
  canvas.SetClip({10, 20, 60, 40});
  TRect r{1, 2, 30, 14};
  canvas.DrawText("x", r, DT_RIGHT, TFont{}, clRed);
  canvas.FillRect({0, 0, 5, 5}, clBlue);
  canvas.Line(0, 0, 4, 0, clGreen);
  ASSERT_EQ(canvas.Ops.size(), 3u);
  EXPECT_EQ(r, (TRect{1, 2, 30, 14}));  // drawing leaves the rectangle alone
  EXPECT_EQ(canvas.Ops[0].rect, (TRect{11, 22, 40, 34}));
  EXPECT_EQ(canvas.Ops[0].flags, DT_RIGHT);
  EXPECT_EQ(canvas.Ops[1].rect, (TRect{10, 20, 15, 25}));
  EXPECT_EQ(canvas.Ops[2].rect, (TRect{10, 20, 14, 20}));
  for (const CanvasOp& op : canvas.Ops) EXPECT_EQ(op.clip, (TRect{10, 20, 60, 40}));
  EXPECT_EQ(canvas.TextOps().size(), 1u);
}

// --- Painting a part of the window ---------------------------------------

TEST_F(GraphicControlsTest, ARepaintDrawsOnlyTheControlsThatMeetItsArea) {
  TLabel inside{&form}, touching{&form}, outside{&form};
  inside.SetBounds(10, 10, 20, 12);
  touching.SetBounds(45, 15, 20, 12);  // overlaps the area's corner by 5 x 5
  outside.SetBounds(50, 0, 20, 12);    // begins where the area ends
  for (TLabel* l : {&inside, &touching, &outside}) l->SetCaption("x");
  RecordingCanvas canvas({0, 0, 50, 20});
  canvas.SetClip({0, 0, 200, 100});
  form.PaintControls(canvas);
  std::vector<TRect> drawn;
  for (const CanvasOp& op : canvas.TextOps()) drawn.push_back(op.clip);
  EXPECT_EQ(drawn, (std::vector<TRect>{{10, 10, 30, 22}, {45, 15, 65, 27}}));
}

}  // namespace
}  // namespace norva
