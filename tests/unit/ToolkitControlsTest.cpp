// The toolkit's layout and list controls on the headless back end: alignment
// and its switch, the splitter's limits, one redraw per list or tree rebuild,
// the order of selection events, and the form's window size, show and close.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fake/FakePlatform.h"
#include "toolkit/BackBufferSize.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/Splitter.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/headless/HeadlessComCtrls.h"

namespace norva {
namespace {

using namespace tk;

class ToolkitControlsTest : public ::testing::Test {
 protected:
  platform::fake::FakePlatform os;
  HeadlessBackend backend;
  TForm form{nullptr};
};

TRect Bounds(const TControl& c) { return c.BoundsRect(); }

// --- Alignment ----------------------------------------------------------------------

TEST(BackBufferSizeRule, GrowsAtOnceAndShrinksToTheLargestPaintOfThePastPeriod) {
  // The main window (200 x 80) paints every tick; the inspector is
  // maximised once (1920 x 1080), restored (640 x 480), then hidden.
  using Size = BackBufferSize::Size;
  constexpr uint32_t P = BackBufferSize::kTrimAfterMs;
  struct Step {
    int width, height;
    uint32_t at;
    Size held;
  };
  const uint32_t start = 0xFFFFFFFFu - 1000;  // the tick count wraps on the way
  const Step steps[] = {
      {200, 80, start, {200, 80}},
      {1920, 1080, start + 100, {1920, 1080}},  // grows at once
      {640, 480, start + 200, {1920, 1080}},    // restored: not at once
      {200, 80, start + P, {1920, 1080}},       // the first period needed the full screen
      {640, 480, start + P + 100, {1920, 1080}},
      {200, 80, start + 2 * P, {640, 480}},  // the second one only the restored window
      {200, 80, start + 3 * P, {200, 80}},   // hidden: only the main window paints
      {300, 90, start + 3 * P + 1, {300, 90}},
      {90, 300, start + 3 * P + 2, {300, 300}},  // both sides grow alone
  };
  BackBufferSize size;
  for (const Step& s : steps)
    EXPECT_EQ(size.ForPaint(s.width, s.height, s.at), s.held)
        << s.width << "x" << s.height << " at " << s.at - start;
}

TEST_F(ToolkitControlsTest, AlignedControlsTakeTheirStripsEdgeByEdge) {
  form.SetClientSize(400, 300);
  TPanel top(&form), bottom(&form), left(&form), right(&form), client(&form), hidden(&form);
  TSplitter splitter(&form);  // alLeft, 3 wide, created last
  top.SetHeight(33);
  bottom.SetHeight(20);
  left.SetWidth(100);
  right.SetWidth(50);
  hidden.SetWidth(70);
  hidden.Hide();
  // Aligned in another order than created: only the creation order counts.
  client.SetAlign(TAlign::alClient);
  right.SetAlign(TAlign::alRight);
  hidden.SetAlign(TAlign::alLeft);
  left.SetAlign(TAlign::alLeft);
  splitter.SetAlign(TAlign::alLeft);
  bottom.SetAlign(TAlign::alBottom);
  top.SetAlign(TAlign::alTop);

  EXPECT_EQ(Bounds(top), (TRect{0, 0, 400, 33}));
  EXPECT_EQ(Bounds(bottom), (TRect{0, 280, 400, 300}));
  EXPECT_EQ(Bounds(left), (TRect{0, 33, 100, 280}));
  EXPECT_EQ(Bounds(splitter), (TRect{100, 33, 103, 280}));
  EXPECT_EQ(Bounds(right), (TRect{350, 33, 400, 280}));
  EXPECT_EQ(Bounds(client), (TRect{103, 33, 350, 280}));

  // Shown again, it takes its place by creation order: after left.
  hidden.Show();
  EXPECT_EQ(Bounds(hidden), (TRect{100, 33, 170, 280}));
  EXPECT_EQ(Bounds(splitter), (TRect{170, 33, 173, 280}));
  EXPECT_EQ(Bounds(client), (TRect{173, 33, 350, 280}));

  // A window too small: the strips keep their thickness and overlap, what
  // is left across them is never negative, and all comes back as it was.
  form.SetClientSize(120, 40);
  EXPECT_EQ(Bounds(bottom), (TRect{0, 20, 120, 40}));
  EXPECT_EQ(Bounds(left), (TRect{0, 33, 100, 33}));
  EXPECT_EQ(client.Width(), 0);
  EXPECT_EQ(client.Height(), 0);
  form.SetClientSize(400, 300);
  EXPECT_EQ(Bounds(client), (TRect{173, 33, 350, 280}));
}

TEST_F(ToolkitControlsTest, DisabledAlignmentPlacesOnceWhenEnabledAndResizeFollowsSize) {
  TPanel outer(&form);
  outer.SetBounds(0, 0, 200, 100);
  TPanel inner(&outer);
  int resizes = 0;
  outer.OnResize = [&](TObject*) { ++resizes; };

  outer.DisableAlign();
  outer.DisableAlign();
  inner.SetAlign(TAlign::alClient);
  outer.SetBounds(0, 0, 300, 150);
  outer.EnableAlign();
  EXPECT_EQ(inner.Width(), 0) << "still switched off after one of two DisableAlign";
  outer.EnableAlign();
  // Inside the one-pixel bevel of the panel.
  EXPECT_EQ(Bounds(inner), (TRect{1, 1, 299, 149}));
  EXPECT_EQ(resizes, 1);

  outer.SetBevelOuter(TPanelBevel::bvNone);
  EXPECT_EQ(Bounds(inner), (TRect{0, 0, 300, 150}));
  outer.SetBounds(5, 5, 300, 150);  // moved, not sized
  EXPECT_EQ(resizes, 1);
}

TEST_F(ToolkitControlsTest, TabSheetsFillTheAreaUnderTheTabs) {
  TPageControl pages(&form);
  TTabSheet first(&pages, "a"), second(&pages, "b");
  TListView list(&second);
  list.SetAlign(TAlign::alClient);
  pages.SetBounds(0, 0, 300, 200);
  pages.SetSheetInsets({2, 22, 3, 4});
  EXPECT_EQ(Bounds(second), (TRect{2, 22, 297, 196}));
  EXPECT_EQ(Bounds(list), (TRect{0, 0, 295, 174}));

  std::vector<int> changes;
  pages.OnChange = [&](TObject*) { changes.push_back(pages.ActivePageIndex()); };
  pages.SetActivePageIndex(1);
  pages.SetActivePageIndex(1);
  pages.SetActivePageIndex(5);
  EXPECT_EQ(changes, std::vector<int>{1});
  EXPECT_TRUE(second.Visible());
  EXPECT_FALSE(first.Visible());
  EXPECT_EQ(pages.ActivePage(), &second);
}

// --- Splitter -----------------------------------------------------------------------

TEST_F(ToolkitControlsTest, ASplitterResizesItsNeighbourWithinTheLimits) {
  form.SetClientSize(400, 300);
  TPanel left(&form), client(&form), bottom(&form);
  left.SetWidth(194);
  left.SetAlign(TAlign::alLeft);
  TSplitter vertical(&form);
  bottom.SetHeight(100);
  bottom.SetAlign(TAlign::alBottom);
  TSplitter horizontal(&form);
  // Given its bounds as a bar across before it is aligned (while still
  // aligned to the left), it keeps its thickness.
  horizontal.SetBounds(0, 197, 400, 4);
  horizontal.SetAlign(TAlign::alBottom);
  EXPECT_EQ(horizontal.Height(), 4);
  client.SetAlign(TAlign::alClient);
  int moved = 0;
  vertical.OnMoved = [&](TObject*) { ++moved; };
  ASSERT_EQ(vertical.ResizedControl(), &left);
  ASSERT_EQ(horizontal.ResizedControl(), &bottom);
  ASSERT_EQ(Bounds(vertical), (TRect{194, 0, 197, 196}));

  // A drag 20 pixels to the left. The bar's window follows the mouse, so
  // each message's client x is the parent's x less the bar's current left.
  const auto at = [&](int parentX) { return parentX - vertical.Left(); };
  vertical.MouseDown(TMouseButton::mbLeft, 0, at(195), 10);
  vertical.MouseMove(ssLeft, at(185), 10);
  vertical.MouseMove(ssLeft, at(175), 10);
  vertical.MouseUp(TMouseButton::mbLeft, 0, at(175), 10);
  EXPECT_EQ(left.Width(), 174);
  EXPECT_EQ(vertical.Left(), 174);
  EXPECT_EQ(client.Left(), 177);
  EXPECT_EQ(moved, 1);

  // Not below MinSize, and the client area keeps MinSize too.
  vertical.MoveBy(-1000);
  EXPECT_EQ(left.Width(), 30);
  vertical.MoveBy(1000);
  EXPECT_EQ(client.Width(), 30);
  EXPECT_EQ(left.Width(), 400 - 3 - 30);

  // A bottom splitter moved up grows the control under it.
  horizontal.MoveBy(-50);
  EXPECT_EQ(bottom.Height(), 150);
  EXPECT_EQ(Bounds(horizontal), (TRect{0, 146, 400, 150}));

  // Laid out inside a container that has no size yet (a hidden tab's): the
  // sizes given before the alignment hold once it has one.
  TPanel box(&form);
  box.SetBevelOuter(TPanelBevel::bvNone);
  TListView lower(&box), upper(&box);
  lower.SetBounds(0, 500, 400, 252);
  lower.SetAlign(TAlign::alBottom);
  TSplitter bar(&box);
  bar.SetBounds(0, 497, 400, 3);
  bar.SetAlign(TAlign::alBottom);
  upper.SetAlign(TAlign::alClient);
  box.SetBounds(0, 0, 400, 600);
  EXPECT_EQ(Bounds(lower), (TRect{0, 348, 400, 600}));
  EXPECT_EQ(Bounds(bar), (TRect{0, 345, 400, 348}));
  EXPECT_EQ(Bounds(upper), (TRect{0, 0, 400, 345}));
}

// --- List view ----------------------------------------------------------------------

TEST_F(ToolkitControlsTest, AListRebuiltInsideAnUpdateIsRedrawnOnce) {
  TListView list(&form);
  list.AddColumn({.Caption = "ID", .Width = 80});
  list.AddColumn({.Caption = "n", .Width = 65, .Alignment = TAlignment::taRightJustify});
  auto& peer = dynamic_cast<HeadlessListViewPeer&>(backend.PeerOf(list));
  const int before = peer.redraws;

  list.BeginUpdate();
  list.Clear();
  list.BeginUpdate();  // nested, as a helper inside the rebuild would
  for (int i = 0; i < 2000; ++i) list.AddItem(std::to_string(i))->AddSubItem("x");
  list.EndUpdate();
  EXPECT_TRUE(peer.suspended);
  EXPECT_EQ(peer.redraws, before);
  list.EndUpdate();
  EXPECT_FALSE(peer.suspended);
  EXPECT_EQ(peer.redraws, before + 1);
  EXPECT_EQ(list.Count(), 2000);
  EXPECT_EQ(list.Item(1999)->Text(0), "1999");
  EXPECT_EQ(list.Item(1999)->Text(1), "x");
  EXPECT_EQ(list.Item(1999)->Text(2), "") << "a column without text";

  // Outside an update every change shows at once.
  list.Item(3)->SetSubItem(0, "y");
  list.AddItem("new");
  EXPECT_EQ(peer.redraws, before + 3);
  // An update without changes redraws nothing.
  list.BeginUpdate();
  list.EndUpdate();
  EXPECT_EQ(peer.redraws, before + 3);
}

TEST_F(ToolkitControlsTest, SelectingARowReportsTheRowLeftThenTheRowChosen) {
  TListView list(&form);
  for (const char* caption : {"a", "b", "c"}) list.AddItem(caption);
  std::vector<std::string> events;
  list.OnSelectItem = [&](TObject*, TListItem* item, bool selected) {
    events.push_back(item->Caption() + (selected ? "+" : "-"));
  };

  list.SetItemIndex(0);
  list.Item(2)->SetSelected(true);
  list.SelectionFromWindow(1);  // the user's click
  list.SetItemIndex(1);         // no change
  list.SetItemIndex(7);         // outside the rows: none
  EXPECT_EQ(events, (std::vector<std::string>{"a+", "a-", "c+", "c-", "b+", "b-"}));
  EXPECT_EQ(list.Selected(), nullptr);

  // Deleting rows moves the selection with its row; clearing drops it silently.
  list.SetItemIndex(2);
  events.clear();
  list.Delete(0);
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(list.Selected()->Caption(), "c");
  EXPECT_EQ(list.Item(1)->Index(), 1);
  list.Clear();
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_TRUE(events.empty());
}

// --- Tree view ----------------------------------------------------------------------

TEST_F(ToolkitControlsTest, TreeNodesKeepAbsoluteOrderAndExpandInOneRedraw) {
  TTreeView tree(&form);
  auto& peer = dynamic_cast<HeadlessTreeViewPeer&>(backend.PeerOf(tree));
  tree.BeginUpdate();
  TTreeNode* a = tree.AddChild(nullptr, "a");
  TTreeNode* b = tree.AddChild(nullptr, "b");
  TTreeNode* a1 = tree.AddChild(a, "a1");
  tree.AddChild(a1, "a1x");
  tree.Add(a1, "a2");
  tree.AddChild(b, "b1");
  tree.EndUpdate();
  std::vector<std::string> order;
  for (TTreeNode* n = tree.GetFirstNode(); n != nullptr; n = n->GetNext())
    order.push_back(n->Text() + "@" + std::to_string(n->Level()));
  EXPECT_EQ(order, (std::vector<std::string>{"a@0", "a1@1", "a1x@2", "a2@1", "b@0", "b1@1"}));
  EXPECT_EQ(tree.Count(), 6);
  EXPECT_EQ(tree.RootCount(), 2);

  const int redraws = peer.redraws;
  tree.FullExpand();
  EXPECT_EQ(peer.redraws, redraws + 1);
  for (TTreeNode* n = tree.GetFirstNode(); n != nullptr; n = n->GetNext())
    EXPECT_TRUE(n->Expanded()) << n->Text();
  a->Collapse(false);
  EXPECT_FALSE(a->Expanded());
  EXPECT_TRUE(a1->Expanded());
  tree.FullCollapse();
  for (TTreeNode* n = tree.GetFirstNode(); n != nullptr; n = n->GetNext())
    EXPECT_FALSE(n->Expanded()) << n->Text();

  std::vector<TTreeNode*> changes;
  tree.OnChange = [&](TObject*, TTreeNode* node) { changes.push_back(node); };
  tree.SetSelected(a1);
  tree.SetSelected(a1);
  tree.SelectionFromWindow(b);
  tree.Clear();
  EXPECT_EQ(changes, (std::vector<TTreeNode*>{a1, b}));
  EXPECT_EQ(tree.Selected(), nullptr);
  EXPECT_EQ(tree.Count(), 0);
}

// --- Forms and combo boxes ----------------------------------------------------------

TEST_F(ToolkitControlsTest, AFormShowsClosesAndSizesItsWindow) {
  backend.formFrame = {8, 27};
  form.BorderIcons = biSystemMenu | biMaximize;
  form.SetWindowSize(651, 487);
  EXPECT_EQ(form.Width(), 643);
  EXPECT_EQ(form.Height(), 460);

  std::vector<std::string> log;
  form.OnShow = [&](TObject*) { log.push_back(form.Visible() ? "show" : "show-hidden"); };
  form.OnHide = [&](TObject*) { log.push_back("hide"); };
  TCloseAction answer = TCloseAction::caNone;
  form.OnClose = [&](TObject*, TCloseAction& action) {
    log.push_back("close");
    action = answer;
  };
  form.FinishCreate();  // created hidden: no OnShow
  form.Show();
  form.Close();
  EXPECT_TRUE(form.Visible());
  answer = TCloseAction::caHide;
  form.Close();
  EXPECT_FALSE(form.Visible());
  form.Show();
  EXPECT_EQ(log, (std::vector<std::string>{"show", "close", "close", "hide", "show"}));
}

TEST_F(ToolkitControlsTest, AChildOutsideItsParentGetsItsWindowWhenItComesInOrIsAsked) {
  form.SetClientSize(200, 80);
  TButton inside(&form), below(&form), left(&form), asked(&form), grown(&form);
  inside.SetBounds(0, 60, 38, 16);
  below.SetBounds(0, 88, 38, 16);
  left.SetBounds(-40, 0, 38, 16);
  asked.SetBounds(300, 0, 38, 16);
  grown.SetBounds(0, 90, 38, 16);
  form.Handle();
  EXPECT_TRUE(inside.HandleAllocated());
  for (TButton* b : {&below, &left, &asked, &grown}) EXPECT_FALSE(b->HandleAllocated());
  // Partly inside is inside.
  below.SetTop(70);
  EXPECT_TRUE(below.HandleAllocated());
  left.SetLeft(-38);
  EXPECT_FALSE(left.HandleAllocated());
  EXPECT_NE(asked.Handle(), nullptr);
  form.SetClientSize(200, 100);
  EXPECT_TRUE(grown.HandleAllocated());
  EXPECT_FALSE(left.HandleAllocated());
}

TEST_F(ToolkitControlsTest, ComboEntriesAddAndClearKeepingTheSelectionRule) {
  TComboBox combo(&form);
  auto& peer = backend.PeerOf(combo);
  peer.Updates.clear();
  EXPECT_EQ(combo.Add("one"), 0);
  combo.SetItemIndex(0);
  EXPECT_EQ(combo.Add("two"), 1);
  EXPECT_EQ(combo.ItemIndex(), 0);
  EXPECT_EQ(combo.Text(), "one");
  combo.Clear();
  EXPECT_EQ(combo.Count(), 0);
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
  // Each change reached the (headless) window.
  EXPECT_EQ(std::count(peer.Updates.begin(), peer.Updates.end(), TChange::Items), 3);
}

}  // namespace
}  // namespace norva
