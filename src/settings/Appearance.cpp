// The main window's two display modes: normal (a plain coloured window) and
// over a background picture (shadowed figures, shadowed button captions).
#include "app/Main.h"

namespace norva {

void TMainForm::ApplyAppearance(bool OverBackground) {
  TSettingFrm& s = *SettingFrm;
  TSpeedButton* const fronts[] = {&sbtnWConfig, &sbtnWGetMem, &sbtnWMemHeap, &sbtnWMinimize,
                                  &sbtnWClose};
  TSpeedButton* const buttons[] = {&sbtnConfig, &sbtnGetMem, &sbtnMemHeap, &sbtnMinimize,
                                   &sbtnClose};
  TNovelLabel* const labels[] = {
      &nlblCpuUsePer,     &nlblUsePer,       &nlblTitleInfo,    &nlblTitlePhysical,
      &nlblPageTitle,     &nlblVirtualTitle, &nlblPhysicalFree, &nlblPageFree,
      &nlblVirtualFree,   &nlblPhysicalUse,  &nlblPageUse,      &nlblVirtualUse,
      &nlblPhysicalTotal, &nlblPageTotal,    &nlblVirtualTotal, &nlblResSys,
      &nlblResUser,       &nlblResGdi};
  const TColor front = s.lblBkgColorF.Font().Color;
  const TColor shadow = s.lblBkgColorB.Font().Color;
  const TColor normalText = s.lblNormalColor.Font().Color;
  const bool keepButtonColours = s.chkbButtonColorDef.Checked();

  for (TSpeedButton* b : fronts) b->SetVisible(OverBackground);
  for (TNovelLabel* l : labels) {
    l->TextShadow = OverBackground;
    l->SetFontColor(front);
    l->Invalidate();
  }
  if (OverBackground) {
    for (TNovelLabel* l : labels) l->SetColor(shadow);
    if (!keepButtonColours) {
      for (TSpeedButton* b : fronts) b->SetFontColor(front);
      for (TSpeedButton* b : buttons) b->SetFontColor(shadow);
      return;
    }
    for (TSpeedButton* b : fronts) b->Hide();
  } else {
    for (TNovelLabel* l : labels) l->SetFontColor(normalText);
    SetColor(s.pnlColorSetNormal.Color());
    if (!keepButtonColours) {
      for (TSpeedButton* b : buttons) b->SetFontColor(normalText);
      return;
    }
  }
  // The buttons' own colours, as designed.
  sbtnMinimize.SetFontColor(clBlack);
  sbtnClose.SetFontColor(clBlack);
  sbtnMemHeap.SetFontColor(clOlive);
  sbtnGetMem.SetFontColor(clGreen);
  sbtnConfig.SetFontColor(clNavy);
}

}  // namespace norva
