// The shadowed label: drawing order and colours, flags, automatic sizing,
// vertical layout, repaint rules and the accelerator key.
#include <gtest/gtest.h>

#include "components/Novellbl.h"
#include "platform/fake/FakePlatform.h"
#include "toolkit/Form.h"
#include "toolkit/headless/HeadlessBackend.h"

namespace norva {
namespace {

using components::TNovelLabel;
using namespace tk;

class NovelLabelTest : public ::testing::Test {
 protected:
  NovelLabelTest() { form.Handle(); }

  // A fixed-size label at (left, top), as the main window builds its figures.
  TNovelLabel& Fixed(int left, int top, int width, int height, const std::string& caption) {
    label.BeginLoad();
    label.SetAutoSize(false);
    label.SetBounds(left, top, width, height);
    label.SetCaption(caption);
    label.Loaded();
    return label;
  }

  RecordingCanvas PaintForm() {
    RecordingCanvas canvas;
    form.PaintControls(canvas);
    return canvas;
  }

  size_t Repaints() { return backend.PeerOf(form).Invalidations.size(); }
  void ForgetRepaints() { backend.ForgetInvalidations(); }

  platform::fake::FakePlatform os;
  HeadlessBackend backend;
  TForm form{nullptr};
  TNovelLabel label{&form};
};

// --- Drawing -------------------------------------------------------------

TEST_F(NovelLabelTest, ShadowIsDrawnInColorOnePixelRightAndDownBeforeTheText) {
  Fixed(10, 20, 60, 12, "12.3");
  label.SetTransparent(true);
  label.TextShadow = true;
  label.SetColor(clRed);
  label.SetFontColor(clWhite);

  const RecordingCanvas canvas = PaintForm();

  ASSERT_EQ(canvas.Ops.size(), 2u);  // no background on a transparent label
  const auto texts = canvas.TextOps();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].color, clRed);
  EXPECT_EQ(texts[0].rect, (TRect{11, 21, 71, 33}));
  EXPECT_EQ(texts[1].color, clWhite);
  EXPECT_EQ(texts[1].rect, (TRect{10, 20, 70, 32}));
  EXPECT_EQ(texts[1].text, "12.3");
}

TEST_F(NovelLabelTest, WithoutShadowTheTextIsDrawnOnceInTheFontColour) {
  Fixed(0, 0, 60, 12, "abc");
  label.SetTransparent(true);
  label.SetColor(clRed);
  label.SetFontColor(clNavy);

  const auto texts = PaintForm().TextOps();

  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].color, clNavy);
  EXPECT_EQ(texts[0].rect, (TRect{0, 0, 60, 12}));
}

TEST_F(NovelLabelTest, DisabledLabelIsEmbossedInSystemColoursEvenWithShadowOn) {
  Fixed(5, 5, 40, 12, "CPU");
  label.SetTransparent(true);
  label.TextShadow = true;
  label.SetColor(clRed);
  label.SetFontColor(clWhite);
  label.SetEnabled(false);

  const auto texts = PaintForm().TextOps();

  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].color, clBtnHighlight);
  EXPECT_EQ(texts[0].rect, (TRect{6, 6, 46, 18}));
  EXPECT_EQ(texts[1].color, clBtnShadow);
  EXPECT_EQ(texts[1].rect, (TRect{5, 5, 45, 17}));
}

TEST_F(NovelLabelTest, OpaqueLabelFillsItsAreaWithColorBeforeTheText) {
  Fixed(30, 40, 50, 12, "x");
  label.TextShadow = true;
  label.SetColor(clRed);

  const RecordingCanvas canvas = PaintForm();

  ASSERT_EQ(canvas.Ops.size(), 3u);
  EXPECT_EQ(canvas.Ops[0].kind, CanvasOp::Fill);
  EXPECT_EQ(canvas.Ops[0].color, clRed);
  EXPECT_EQ(canvas.Ops[0].rect, (TRect{30, 40, 80, 52}));
  EXPECT_EQ(canvas.Ops[1].kind, CanvasOp::Text);
  EXPECT_EQ(canvas.Ops[2].kind, CanvasOp::Text);
}

TEST_F(NovelLabelTest, DrawingFlagsFollowAlignmentWordWrapAndAccelSetting) {
  struct Case {
    TAlignment alignment;
    bool wordWrap;
    bool showAccel;
    uint32_t flags;
  };
  const Case cases[] = {
      {TAlignment::taLeftJustify, false, true, DT_EXPANDTABS | DT_LEFT},
      {TAlignment::taRightJustify, false, true, DT_EXPANDTABS | DT_RIGHT},
      {TAlignment::taCenter, false, true, DT_EXPANDTABS | DT_CENTER},
      {TAlignment::taCenter, true, true, DT_EXPANDTABS | DT_CENTER | DT_WORDBREAK},
      {TAlignment::taRightJustify, false, false, DT_EXPANDTABS | DT_RIGHT | DT_NOPREFIX},
  };
  Fixed(0, 0, 60, 12, "a&b");
  for (const Case& c : cases) {
    label.SetAlignment(c.alignment);
    label.SetWordWrap(c.wordWrap);
    label.SetShowAccelChar(c.showAccel);
    const auto texts = PaintForm().TextOps();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].flags, c.flags)
        << static_cast<int>(c.alignment) << c.wordWrap << c.showAccel;
  }
}

// --- Vertical layout -----------------------------------------------------

TEST_F(NovelLabelTest, LayoutMovesTheTextDownByTheMeasuredFreeHeight) {
  // One line of the 12-pixel font in a 40-pixel-high label.
  Fixed(0, 0, 80, 40, "Total");
  label.SetTransparent(true);

  label.SetLayout(TTextLayout::tlBottom);
  auto texts = PaintForm().TextOps();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].rect.Top, 40 - 12);

  label.SetLayout(TTextLayout::tlCenter);
  texts = PaintForm().TextOps();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].rect.Top, (40 - 12) / 2);

  label.SetLayout(TTextLayout::tlTop);
  texts = PaintForm().TextOps();
  EXPECT_EQ(texts[0].rect.Top, 0);
}

TEST_F(NovelLabelTest, CentredLayoutTruncatesTowardZeroWhenTheTextIsTallerThanTheLabel) {
  Fixed(0, 0, 80, 5, "x");  // 5 - 12 = -7: centred at -3, not -4
  label.SetTransparent(true);
  label.SetLayout(TTextLayout::tlCenter);
  label.TextShadow = true;

  const auto texts = PaintForm().TextOps();

  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].rect.Top, -3 + 1);  // the shadow moves with the text
  EXPECT_EQ(texts[1].rect.Top, -3);
}

// --- Automatic sizing ----------------------------------------------------

TEST_F(NovelLabelTest, AutoSizeTakesTheExtentOfTheCaption) {
  label.SetCaption("abcd");  // 4 bytes of 6 pixels, one 12-pixel line
  EXPECT_EQ(label.Width(), 24);
  EXPECT_EQ(label.Height(), 12);

  label.SetCaption("物理");  // two characters of two bytes each
  EXPECT_EQ(label.Width(), 24);

  label.SetCaption("ab\nabcdef");
  EXPECT_EQ(label.Width(), 36);
  EXPECT_EQ(label.Height(), 24);
}

TEST_F(NovelLabelTest, EmptyCaptionKeepsTheHeightOfOneLine) {
  label.SetCaption("abc");
  label.SetCaption("");
  EXPECT_EQ(label.Height(), 12);
  EXPECT_EQ(label.Width(), 6);  // one space

  // A lone "&" would draw nothing at all; it measures as a space too.
  label.SetCaption("&");
  EXPECT_EQ(label.Height(), 12);
  EXPECT_EQ(label.Width(), 6);
}

TEST_F(NovelLabelTest, AmpersandTakesNoRoomOnlyWhileAccelCharsAreShown) {
  label.SetCaption("&Free");
  EXPECT_EQ(label.Width(), 4 * 6);
  label.SetShowAccelChar(false);
  label.SetCaption("&Free ");
  label.SetCaption("&Free");
  EXPECT_EQ(label.Width(), 5 * 6);
}

TEST_F(NovelLabelTest, RightJustifiedAutoSizeKeepsTheRightEdge) {
  label.BeginLoad();
  label.SetBounds(100, 7, 60, 17);
  label.SetAlignment(TAlignment::taRightJustify);
  TFont font = label.Font();
  font.Height = 10;  // 5 pixels a byte: eight bytes are 40 pixels
  label.SetFont(font);
  label.SetCaption("12345678");
  EXPECT_EQ(label.BoundsRect(), (TRect{100, 7, 160, 24}));  // not sized while loading

  label.Loaded();
  EXPECT_EQ(label.BoundsRect(), (TRect{120, 7, 160, 17}));

  label.SetCaption("1234");
  EXPECT_EQ(label.BoundsRect(), (TRect{140, 7, 160, 17}));
}

TEST_F(NovelLabelTest, LeftJustifiedAndCentredAutoSizeKeepTheLeftEdge) {
  for (TAlignment alignment : {TAlignment::taLeftJustify, TAlignment::taCenter}) {
    label.SetAutoSize(false);
    label.SetBounds(100, 7, 60, 17);
    label.SetAlignment(alignment);
    label.SetCaption("1234");
    label.SetAutoSize(true);
    EXPECT_EQ(label.BoundsRect(), (TRect{100, 7, 124, 19}));
  }
}

TEST_F(NovelLabelTest, FixedSizeLabelKeepsItsBounds) {
  Fixed(22, 33, 44, 12, "1");
  label.SetCaption("123456789012345");
  label.SetWordWrap(true);
  TFont font = label.Font();
  font.Height = 20;
  label.SetFont(font);
  EXPECT_EQ(label.BoundsRect(), (TRect{22, 33, 66, 45}));
}

// --- Repaint rules -------------------------------------------------------

TEST_F(NovelLabelTest, CaptionChangeRepaintsOnlyWithDrawRefresh) {
  Fixed(10, 10, 50, 12, "1.0");
  ForgetRepaints();

  label.SetCaption("2.0");
  EXPECT_EQ(Repaints(), 0u);

  label.DrawRefresh = true;
  label.SetCaption("3.0");
  ASSERT_EQ(Repaints(), 1u);
  EXPECT_EQ(backend.PeerOf(form).Invalidations[0], std::optional<TRect>(TRect{10, 10, 60, 22}));

  ForgetRepaints();
  label.SetCaption("3.0");  // unchanged text
  EXPECT_EQ(Repaints(), 0u);
}

TEST_F(NovelLabelTest, AutoSizedCaptionChangeOfTheSameWidthDoesNotRepaintWithoutDrawRefresh) {
  label.SetCaption("12");
  ForgetRepaints();
  label.SetCaption("34");
  EXPECT_EQ(Repaints(), 0u);
  label.SetCaption("345");  // resizing repaints old and new place
  EXPECT_GT(Repaints(), 0u);
}

TEST_F(NovelLabelTest, FontChangeAdjustsBoundsButDoesNotRepaintByItself) {
  label.SetCaption("abc");
  ForgetRepaints();

  label.SetFontColor(clRed);
  EXPECT_EQ(Repaints(), 0u);
  EXPECT_EQ(label.Font().Color, clRed);

  TFont font = label.Font();
  font.Height = 20;
  label.SetFont(font);
  EXPECT_EQ(label.Width(), 30);
  EXPECT_EQ(label.Height(), 20);
}

TEST_F(NovelLabelTest, OtherPropertyChangesRepaint) {
  Fixed(0, 0, 50, 12, "x");
  const auto repaintsAfter = [&](auto change) {
    ForgetRepaints();
    change();
    return Repaints();
  };
  EXPECT_EQ(repaintsAfter([&] { label.SetColor(clRed); }), 1u);
  EXPECT_EQ(repaintsAfter([&] { label.SetTransparent(true); }), 1u);
  EXPECT_EQ(repaintsAfter([&] { label.SetAlignment(TAlignment::taCenter); }), 1u);
  EXPECT_EQ(repaintsAfter([&] { label.SetLayout(TTextLayout::tlBottom); }), 1u);
  EXPECT_EQ(repaintsAfter([&] { label.SetShowAccelChar(false); }), 1u);
  EXPECT_EQ(repaintsAfter([&] { label.SetEnabled(false); }), 1u);
  EXPECT_EQ(repaintsAfter([&] { label.SetTransparent(true); }), 0u);  // no change
}

TEST_F(NovelLabelTest, DefaultsOfANewLabel) {
  EXPECT_EQ(label.Width(), 65);
  EXPECT_EQ(label.Height(), 17);
  EXPECT_TRUE(label.AutoSize());
  EXPECT_TRUE(label.ShowAccelChar());
  EXPECT_FALSE(label.Transparent());
  EXPECT_FALSE(label.DrawRefresh);
  EXPECT_FALSE(label.TextShadow);
  EXPECT_EQ(label.Alignment(), TAlignment::taLeftJustify);
  EXPECT_EQ(label.Layout(), TTextLayout::tlTop);
  EXPECT_FALSE(label.WordWrap());
}

// --- Accelerator key -----------------------------------------------------

TEST_F(NovelLabelTest, AcceleratorGivesTheFocusControlTheFocus) {
  TWinControl edit(&form);
  TWinControl* focused = nullptr;
  label.GiveFocus = [&](TWinControl& c) { focused = &c; };
  label.SetCaption("File &name");

  EXPECT_FALSE(label.DialogChar('n'));  // no focus control yet

  label.SetFocusControl(&edit);
  EXPECT_FALSE(label.DialogChar('f'));
  EXPECT_EQ(focused, nullptr);
  EXPECT_TRUE(label.DialogChar('N'));
  EXPECT_EQ(focused, &edit);
}

TEST_F(NovelLabelTest, AcceleratorIsIgnoredWhenLabelOrControlCannotTakeIt) {
  TWinControl edit(&form);
  int focusCalls = 0;
  label.GiveFocus = [&](TWinControl&) { ++focusCalls; };
  label.SetFocusControl(&edit);
  label.SetCaption("&Size");

  label.SetEnabled(false);
  EXPECT_FALSE(label.DialogChar('s'));
  label.SetEnabled(true);

  label.SetShowAccelChar(false);
  EXPECT_FALSE(label.DialogChar('s'));
  label.SetShowAccelChar(true);

  edit.SetEnabled(false);
  EXPECT_FALSE(label.DialogChar('s'));
  edit.SetEnabled(true);
  edit.Hide();
  EXPECT_FALSE(label.DialogChar('s'));
  edit.Show();

  label.SetCaption("&&Size");  // a literal ampersand marks nothing
  EXPECT_FALSE(label.DialogChar('s'));
  label.SetCaption("Size&&&x");
  EXPECT_FALSE(label.DialogChar('s'));
  EXPECT_EQ(focusCalls, 0);
  EXPECT_TRUE(label.DialogChar('x'));
  EXPECT_EQ(focusCalls, 1);
}

TEST_F(NovelLabelTest, FocusControlBeingDestroyedBecomesNone) {
  TWinControl other(&form);
  auto edit = std::make_unique<TWinControl>(&form);
  label.SetFocusControl(edit.get());

  label.Notification(other);
  EXPECT_EQ(label.FocusControl(), edit.get());

  label.Notification(*edit);
  edit.reset();
  EXPECT_EQ(label.FocusControl(), nullptr);
  label.SetCaption("&a");
  EXPECT_FALSE(label.DialogChar('a'));
}

}  // namespace
}  // namespace norva
