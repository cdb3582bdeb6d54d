#include "inspector/Heapchk.h"

#include <algorithm>

namespace norva {

THeapChkFrm* HeapChkFrm = nullptr;

THeapChkFrm::THeapChkFrm(tk::TForm* owner) : TForm(owner) {
  Name = "HeapChkFrm";
  SetCaption("システム情報 詳細表示");
  BorderStyle = tk::TBorderStyle::bsSizeable;
  Position = tk::TPosition::poScreenCenter;
  tk::TFont font;
  font.Name = "ＭＳ Ｐゴシック";
  font.Height = 12;
  SetFont(font);
  SetUpGraphTab();
  SetBounds(0, 0, 651, 487);
}

// ---- Graph tab ----------------------------------------------------------------

namespace {

constexpr int kRangePanelWidth = 97;

}  // namespace

void THeapChkFrm::SetUpGraphTab() {
  tk::TFont fixed = Font();
  fixed.Name = "ＭＳ ゴシック";
  fixed.Height = 12;
  pnlGrpRange.Name = "pnlGrpRange";
  pnlGrpRange.SetFont(fixed);
  pnlGrpRange.SetCaption("???MB ：  50%");
  lblGrpRangeMax.Name = "lblGrpRangeMax";
  lblGrpRangeMax.SetFont(fixed);
  lblGrpRangeMax.Alignment = tk::TAlignment::taRightJustify;
  lblGrpRangeMax.SetCaption("???MB ： 100%");
  lblGrpRangeMax.SetBounds(0, 2, kRangePanelWidth - 4, 12);
  // Properties in the order the form lists them; each setter redraws.
  pgpMainGraph.Name = "pgpMainGraph";
  pgpMainGraph.SetGridSize(10);
  pgpMainGraph.SetStepSize(10);
  pgpMainGraph.SetScale(400);
  pgpMainGraph.SetGradient(102);
  pgpMainGraph.SetPenWidth(1);
  pgpMainGraph.SetHint("赤色の線はメモリ残容量、黄色の線はCPU使用率を表します");
  pgpMainGraph.SetShowHint(true);
}

void THeapChkFrm::SetBounds(int left, int top, int width, int height) {
  TForm::SetBounds(left, top, width, height);
  pnlGrpRange.SetBounds(0, 0, kRangePanelWidth, Height());
  pgpMainGraph.SetBounds(kRangePanelWidth, 0, std::max(Width() - kRangePanelWidth, 0), Height());
}

// ---- end of the graph tab

}  // namespace norva
