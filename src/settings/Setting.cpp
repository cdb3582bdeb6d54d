#include "settings/Setting.h"

#include <cstdio>
#include <cstdlib>

#include "lang/Lang.h"
#include "platform/Text.h"
#include "probes/MemoryStatus.h"

namespace norva {

TSettingFrm* SettingFrm = nullptr;

using platform::Os;

using lang::TextId;

namespace {

// Whole number of a text box; false for anything else (an empty box too).
bool ParseWholeNumber(const std::string& text, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return end != text.c_str() && *end == '\0';
}

}  // namespace

void TSettingFrm::Place(TControl& c, int left, int top, int width, int height,
                        std::optional<TextId> caption, std::optional<TextId> hint) {
  c.SetBounds(left, top, width, height);
  if (caption) FTexts.Caption(c, *caption);
  if (hint) FTexts.Hint(c, *hint);
}

TSettingFrm::TSettingFrm(TForm* owner) : TForm(owner) {
  Name = "SettingFrm";
  FTexts.Add([this] { SetCaption(lang::Text(TextId::SettingTitle)); });
  BorderStyle = TBorderStyle::bsDialog;
  CloseBoxOnly = true;
  FormStyle = TFormStyle::fsStayOnTop;
  Position = TPosition::poScreenCenter;
  TFont font;
  font.Name = "ＭＳ Ｐゴシック";
  font.Height = 12;
  font.Charset = SHIFTJIS_CHARSET;
  font.Color = clWindowText;
  SetFont(font);
  SetClientSize(523, 325);
  BuildLayout();

  trkberMemPer.OnChange = [this](TObject* s) { trkberMemPerChange(s); };
  chkbAuto.OnClick = [this](TObject* s) { chkbAutoClick(s); };
  chkbAutoMem.OnClick = [this](TObject* s) { chkbAutoMemClick(s); };
  chkbMinExec.OnClick = [this](TObject* s) { chkbAutoCleanClick(s); };
  chkbFreeInc.OnClick = [this](TObject* s) { chkbAutoCleanClick(s); };
  chkbNot100Per.OnClick = [this](TObject* s) { chkbAutoCleanClick(s); };
  ckbStopCpuPer.OnClick = [this](TObject* s) { ckbStopCpuPerClick(s); };
  chkbEraseBkgnd.OnClick = [this](TObject* s) { chkbEraseBkgndClick(s); };
  edtMem.OnChange = [this](TObject* s) { edtMemChange(s); };
  edtUsePer.OnChange = [this](TObject* s) { edtUsePerChange(s); };
  edtWavPath.OnChange = [this](TObject* s) { edtWavPathChange(s); };
  edtResWavPath.OnChange = [this](TObject* s) { edtResWavPathChange(s); };
  chkbStretch.OnClick = [this](TObject* s) { chkbStretchClick(s); };
  btnBmpRead.OnClick = [this](TObject* s) { btnBmpReadClick(s); };
  btnBmpClear.OnClick = [this](TObject* s) { btnBmpClearClick(s); };
  btnStrColorNormal.OnClick = [this](TObject* s) { btnStrColorNormalClick(s); };
  btnBkColorNormal.OnClick = [this](TObject* s) { btnBkColorNormalClick(s); };
  btnStrColorFrBg.OnClick = [this](TObject* s) { btnStrColorFrBgClick(s); };
  btnStrColorBkBg.OnClick = [this](TObject* s) { btnStrColorBkBgClick(s); };
  btnClearColorNormal.OnClick = [this](TObject* s) { btnClearColorNormalClick(s); };
  btnWavRead.OnClick = [this](TObject* s) { btnWavReadClick(s); };
  btnResWavRead.OnClick = [this](TObject* s) { btnResWavReadClick(s); };
  btnPlay.OnClick = [this](TObject* s) { btnPlayClick(s); };
  btnResWavPlay.OnClick = [this](TObject* s) { btnResWavPlayClick(s); };
  btnWavClear.OnClick = [this](TObject* s) { btnWavClearClick(s); };
  btnResWavClear.OnClick = [this](TObject* s) { btnResWavClearClick(s); };

  // Design state, which the first settings load replaces.
  trkberMemPer.SetRange(5, 95);
  trkberMemPer.Frequency = 5;
  trkberMemPer.LineSize = 10;
  trkberMemPer.PageSize = 5;
  udMem.SetMin(1);
  udMem.SetMax(32);
  udMem.SetAssociate(&edtMem);
  udMem.SetPosition(1);
  udUsePer.SetMin(1);
  udUsePer.SetMax(50);
  udUsePer.SetAssociate(&edtUsePer);
  udUsePer.SetPosition(1);
  udMem2.SetMin(1);
  udMem2.SetMax(64);
  udMem2.SetAssociate(&edtMem2);
  udMem2.SetPosition(1);
  udResWav2.SetMin(1);
  udResWav2.SetMax(100);
  udResWav2.SetAssociate(&edtResWav2);
  udResWav2.SetPosition(10);
  // The choice stays when the words change.
  FTexts.Add([this] {
    const int chosen = cmbClSpeed.ItemIndex();
    cmbClSpeed.SetItems({lang::Text(TextId::SettingSpeedNormal),
                         lang::Text(TextId::SettingSpeedFast),
                         lang::Text(TextId::SettingSpeedExclusive)});
    cmbClSpeed.SetItemIndex(chosen);
  });
  lblBkgColorF.SetFontColor(clWhite);
  lblNormalColor.SetFontColor(clWindowText);
  lblBkgColorB.SetFontColor(clWindowText);
  pnlColorSetNormal.SetColor(clBtnFace);
  imgPreview.Hide();
  lblBmpDir.Hide();
  chkbMemChk.SetEnabled(false);
  for (TControl* c : std::initializer_list<TControl*>{&btnBmpClear, &btnPlay, &btnWavClear,
                                                      &btnResWavPlay, &btnResWavClear})
    c->SetEnabled(false);
  edtMem.SetColor(clBtnFace);
  edtUsePer.SetColor(clBtnFace);
  edtMem2.SetColor(clBtnFace);
  edtResWav2.SetColor(clBtnFace);
  chkbAutoClick(&chkbAuto);
  trkberMemPer.SetPosition(50);
  FTexts.Add([this] { trkberMemPerChange(&trkberMemPer); });

  btnOk.ModalResult = TModalResult::mrOk;
  btnOk.Default = true;
  btnCancel.ModalResult = TModalResult::mrCancel;
  btnCancel.Cancel = true;

  FTexts.Add([this] {
    OpenDialog.Title = lang::Text(TextId::SettingOpenSoundTitle);
    OpenDialog.Filter = lang::Text(TextId::SettingOpenSoundFilter);
    oppcdlgBmpLoad.Title = lang::Text(TextId::SettingOpenPictureTitle);
    oppcdlgBmpLoad.Filter = lang::Text(TextId::SettingOpenPictureFilter);
  });
  oppcdlgBmpLoad.HideReadOnly = true;
  oppcdlgBmpLoad.Sizeable = true;
  oppcdlgBmpLoad.PicturePreview = true;
  SetUpExtraTab();
}

void TSettingFrm::BuildLayout() {
  Place(pgcSetting, 0, 0, 523, 273);
  FTexts.Caption(tbsAction, TextId::SettingTabBehaviour);
  FTexts.Caption(tbsDisplay, TextId::SettingTabDisplay);
  FTexts.Caption(tbsSound, TextId::SettingTabSound);
  // "動作設定"
  Place(groupBoxMem, 6, 6, 276, 234, TextId::SettingMemoryGroup);
  stctxtMemSize.Alignment = TAlignment::taLeftJustify;
  TFont fixed = stctxtMemSize.Font();
  fixed.Name = "ＭＳ ゴシック";
  stctxtMemSize.SetFont(fixed);
  Place(stctxtMemSize, 10, 18, 170, 14);
  stcMemSize.Alignment = TAlignment::taRightJustify;
  Place(stcMemSize, 180, 18, 86, 14);
  Place(trkberMemPer, 10, 34, 254, 30, {}, TextId::SettingCleaningShareHint);
  Place(lblConditionGreen, 17, 64, 77, 6);
  lblConditionGreen.SetColor(clLime);
  Place(lblConditionYellow, 94, 64, 42, 6);
  lblConditionYellow.SetColor(clYellow);
  Place(lblConditionRed, 136, 64, 121, 6);
  lblConditionRed.SetColor(clRed);
  Place(chkbMemChk, 10, 76, 200, 16, TextId::SettingMemoryCheck);
  FTexts.Add([this] { chkbMemChk.SetHint(lang::Text(TextId::SettingMemoryCheckHint)); });
  Place(chkbAutoMem, 10, 94, 250, 16, TextId::SettingAutoSize, TextId::SettingAutoSizeHint);
  Place(chkbAuto, 10, 112, 250, 16, TextId::SettingAutoClean, TextId::SettingAutoCleanHint);
  const TextId minHint = TextId::SettingFreeBelowHint;
  Place(chkbMinExec, 26, 131, 90, 16, TextId::SettingFreeBelow, minHint);
  Place(edtMem, 118, 130, 44, 18, {}, minHint);
  Place(udMem, 162, 130, 15, 18, {}, minHint);
  Place(lblAuto, 182, 133, 80, 14, TextId::SettingFreeBelowUnit, minHint);
  const TextId perHint = TextId::SettingLoadDropHint;
  Place(chkbFreeInc, 26, 151, 90, 16, TextId::SettingLoadDrop, perHint);
  Place(edtUsePer, 118, 150, 44, 18, {}, perHint);
  Place(udUsePer, 162, 150, 15, 18, {}, perHint);
  Place(lblAutoPer, 182, 153, 80, 14, TextId::SettingLoadDropUnit, perHint);
  Place(chkbNot100Per, 26, 171, 240, 16, TextId::SettingNotAtFullLoad,
        TextId::SettingNotAtFullLoadHint);
  Place(lblClSpeed, 10, 200, 60, 14, TextId::SettingSpeed);
  Place(cmbClSpeed, 72, 196, 190, 20, {}, TextId::SettingSpeedHint);

  Place(groupBoxEtc, 288, 6, 228, 234, TextId::SettingOtherGroup);
  Place(chkbHideHint, 10, 20, 210, 16, TextId::SettingHideHints, TextId::SettingHideHintsHint);
  Place(ckbStayOnTop, 10, 42, 210, 16, TextId::SettingStayOnTop, TextId::SettingStayOnTopHint);
  Place(ckbDontCatch, 10, 64, 210, 16, TextId::SettingHideUnderMouse,
        TextId::SettingHideUnderMouseHint);
  Place(ckbCpuPer, 10, 86, 210, 16, TextId::SettingShowCpu, TextId::SettingShowCpuHint);
  Place(ckbStopCpuPer, 26, 108, 196, 16, TextId::SettingPauseAtFullCpu,
        TextId::SettingPauseAtFullCpuHint);
  Place(ckbOverAction, 10, 130, 210, 16, TextId::SettingBigDisplay, TextId::SettingBigDisplayHint);
  Place(ckbTaskBarHide, 10, 152, 210, 16, TextId::SettingHideTaskbar,
        TextId::SettingHideTaskbarHint);
  Place(ckbMagnet, 10, 174, 210, 16, TextId::SettingMagnet);

  // "画面設定"
  Place(groupBoxBmp, 6, 6, 226, 200, TextId::SettingWallpaperGroup);
  Place(lblBmpDir, 10, 180, 200, 14, TextId::SettingWallpaperPath);
  const TextId previewHint = TextId::SettingPreviewHint;
  Place(pnlPreview, 12, 20, 202, 82, TextId::SettingPreview, previewHint);
  Place(imgPreview, 1, 1, 200, 80, {}, previewHint);
  Place(btnBmpRead, 12, 110, 70, 22, TextId::SettingOpenPicture, TextId::SettingOpenPictureHint);
  Place(btnBmpClear, 88, 110, 70, 22, TextId::SettingClearPicture, TextId::SettingClearPictureHint);
  Place(chkbStretch, 12, 140, 200, 16, TextId::SettingStretch, TextId::SettingStretchHint);
  Place(chkbEraseBkgnd, 12, 214, 200, 16, TextId::SettingSeeThrough, TextId::SettingSeeThroughHint);

  Place(grpbStringColor, 240, 6, 276, 220, TextId::SettingColorGroup);
  Place(grpbNormal, 8, 16, 260, 96, TextId::SettingNormalGroup);
  Place(pnlColorSetNormal, 8, 16, 201, 49);
  lblNormalColor.Transparent = true;
  Place(lblNormalColor, 48, 18, 120, 14, TextId::SettingColorSample);
  Place(btnStrColorNormal, 8, 70, 60, 20, TextId::SettingTextColor, TextId::SettingTextColorHint);
  Place(btnBkColorNormal, 74, 70, 60, 20, TextId::SettingBackColor, TextId::SettingBackColorHint);
  Place(btnClearColorNormal, 140, 70, 60, 20, TextId::SettingClearColor,
        TextId::SettingClearColorHint);
  Place(grpbBkgrp, 8, 116, 260, 96, TextId::SettingSeeThroughGroup);
  Place(pnlColorSetBkgrp, 8, 16, 201, 49);
  lblBkgColorB.Transparent = true;
  Place(lblBkgColorB, 49, 19, 120, 14, TextId::SettingColorSample);
  lblBkgColorF.Transparent = true;
  Place(lblBkgColorF, 48, 18, 120, 14, TextId::SettingColorSample);
  Place(btnStrColorFrBg, 8, 70, 60, 20, TextId::SettingTextColor, TextId::SettingFrontColorHint);
  Place(btnStrColorBkBg, 74, 70, 60, 20, TextId::SettingShadowColor,
        TextId::SettingShadowColorHint);
  Place(chkbButtonColorDef, 248, 232, 260, 16, TextId::SettingKeepButtonColors,
        TextId::SettingKeepButtonColorsHint);

  // "音声設定"
  Place(groupBoxColor, 6, 6, 508, 234, TextId::SettingSoundGroup);
  const TextId pathHint = TextId::SettingSoundPathHint;
  const TextId playHint = TextId::SettingPlayHint;
  const TextId readHint = TextId::SettingBrowseHint;
  const TextId clearHint = TextId::SettingClearPathHint;
  const TextId amountHint = TextId::SettingAmountHint;
  // The memory and the resource warning: two like blocks, one above the other.
  const auto soundBlock = [&](int top, TLabel& caption, TextId captionText, TEdit& path,
                              TButton& play, TButton& read, TButton& clear, TLabel& before,
                              TextId beforeText, TEdit& amount, TUpDown& upDown, TLabel& after,
                              TextId afterText) {
    Place(caption, 10, top, 300, 14, captionText);
    Place(path, 10, top + 16, 300, 20, {}, pathHint);
    Place(play, 316, top + 16, 56, 20, TextId::SettingPlay, playHint);
    Place(read, 376, top + 16, 56, 20, TextId::SettingBrowse, readHint);
    Place(clear, 436, top + 16, 56, 20, TextId::SettingClearPath, clearHint);
    Place(before, 10, top + 44, 80, 14, beforeText);
    Place(amount, 92, top + 40, 44, 20, {}, amountHint);
    Place(upDown, 136, top + 40, 15, 20, {}, amountHint);
    Place(after, 156, top + 44, 80, 14, afterText);
  };
  soundBlock(20, lblWavCaption, TextId::SettingMemorySound, edtWavPath, btnPlay, btnWavRead,
             btnWavClear, lblWavMB1, TextId::SettingMemorySoundBefore, edtMem2, udMem2, lblWavMB2,
             TextId::SettingMemorySoundAfter);
  soundBlock(110, lblResWavCaption, TextId::SettingResourceSound, edtResWavPath, btnResWavPlay,
             btnResWavRead, btnResWavClear, lblResWavMB1, TextId::SettingResourceSoundBefore,
             edtResWav2, udResWav2, lblResWavMB2, TextId::SettingResourceSoundAfter);

  Place(btnOk, 340, 290, 80, 24, TextId::SettingOk, TextId::SettingOkHint);
  Place(btnCancel, 430, 290, 80, 24, TextId::SettingCancel, TextId::SettingCancelHint);
}

void TSettingFrm::trkberMemPerChange(TObject*) {
  uint64_t totalPhys = 0;
  if (IsNtFamily()) {
    win::MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    MemoryStatusEx probe;
    probe.Get(status);
    totalPhys = status.ullTotalPhys;
  } else {
    win::MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    Os().kernel.GlobalMemoryStatus(&status);
    totalPhys = status.dwTotalPhys;
  }
  const int position = trkberMemPer.Position();
  stctxtMemSize.SetCaption(
      lang::Format(TextId::SettingCleaningShare, {{"percent", text::Format("%2d", position)}}));
  char size[64];
  std::snprintf(size, sizeof size, "[%3.1lf MB] ",
                static_cast<double>(totalPhys) / 1048576.0 * position * 0.01);
  stcMemSize.SetCaption(size);
}

void TSettingFrm::chkbAutoClick(TObject*) {
  const bool on = chkbAuto.Checked();
  for (TControl* c : std::initializer_list<TControl*>{&edtMem, &udMem, &edtUsePer, &udUsePer,
                                                      &chkbMinExec, &lblAuto, &chkbFreeInc,
                                                      &chkbNot100Per, &lblAutoPer})
    c->SetEnabled(on);
}

void TSettingFrm::chkbAutoMemClick(TObject*) {
  const bool on = !chkbAutoMem.Checked();
  trkberMemPer.SetEnabled(on);
  stctxtMemSize.SetEnabled(on);
  stcMemSize.SetEnabled(on);
}

void TSettingFrm::chkbAutoCleanClick(TObject* Sender) {
  auto* changed = dynamic_cast<TCheckBox*>(Sender);
  if (changed == nullptr || FLoading) return;
  if (!chkbMinExec.Checked() && !chkbFreeInc.Checked() && !chkbNot100Per.Checked())
    changed->SetChecked(true);
}

void TSettingFrm::ckbStopCpuPerClick(TObject*) {
  if (ckbStopCpuPer.Checked() && !FLoading) ckbCpuPer.SetChecked(true);
}

void TSettingFrm::chkbEraseBkgndClick(TObject*) {
  btnBmpRead.SetEnabled(!chkbEraseBkgnd.Checked());
  chkbEraseBkgnd.SetEnabled(!imgPreview.Visible());
}

void TSettingFrm::ClampNumberBox(TEdit& edit, TUpDown& upDown) {
  if (FClamping) return;
  long value = 0;
  if (!ParseWholeNumber(edit.Text(), value)) {
    Os().user.MessageBoxA(HandleAllocated() ? Handle() : nullptr,
                          lang::Format(TextId::NotAWholeNumber, {{"text", edit.Text()}}),
                          lang::Text(TextId::ErrorTitle), win::MB_OK | win::MB_ICONERROR);
    return;
  }
  FClamping = true;
  if (value > upDown.Max()) edit.SetText(std::to_string(upDown.Max()));
  if (value < upDown.Min()) edit.SetText(std::to_string(upDown.Min()));
  FClamping = false;
}

void TSettingFrm::edtMemChange(TObject*) { ClampNumberBox(edtMem, udMem); }

void TSettingFrm::edtUsePerChange(TObject*) { ClampNumberBox(edtUsePer, udUsePer); }

void TSettingFrm::edtWavPathChange(TObject*) {
  btnPlay.SetEnabled(Os().kernel.GetFileAttributesA(edtWavPath.Text()) !=
                     win::INVALID_FILE_ATTRIBUTES);
  btnWavClear.SetEnabled(!edtWavPath.Text().empty());
}

void TSettingFrm::edtResWavPathChange(TObject*) {
  btnResWavPlay.SetEnabled(Os().kernel.GetFileAttributesA(edtResWavPath.Text()) !=
                           win::INVALID_FILE_ATTRIBUTES);
  btnResWavClear.SetEnabled(!edtResWavPath.Text().empty());
}

void TSettingFrm::chkbStretchClick(TObject*) { imgPreview.SetStretch(chkbStretch.Checked()); }

// --- Wallpaper ---------------------------------------------------------------

void TSettingFrm::btnBmpReadClick(TObject*) {
  oppcdlgBmpLoad.FileName.clear();
  if (!oppcdlgBmpLoad.Execute()) return;
  btnBmpClear.SetEnabled(true);
  const std::string path = oppcdlgBmpLoad.FileName;
  if (Os().kernel.GetFileAttributesA(path) == win::INVALID_FILE_ATTRIBUTES) return;
  // A folder, a file that is no bitmap, a truncated one or a picture too
  // large to hold: the user is told, and the picture shown so far stays.
  const platform::LoadedBitmap probe = Os().user.LoadBitmapFile(path);
  if (probe.handle == nullptr) {
    Os().user.MessageBoxA(HandleAllocated() ? Handle() : nullptr,
                          lang::Format(TextId::NotABitmap, {{"path", path}}),
                          lang::Text(TextId::ErrorTitle), win::MB_OK | win::MB_ICONERROR);
    return;
  }
  Os().user.DeleteBitmap(probe.handle);
  if (!imgPreview.LoadFromFile(path)) {
    btnBmpClearClick(&btnBmpClear);
    return;
  }
  lblBmpDir.SetCaption(path);
  imgPreview.Show();
  chkbEraseBkgnd.SetEnabled(false);
}

void TSettingFrm::btnBmpClearClick(TObject*) {
  imgPreview.Clear();
  imgPreview.Hide();
  btnBmpClear.SetEnabled(false);
  chkbEraseBkgnd.SetEnabled(true);
}

// --- Colours -----------------------------------------------------------------

bool TSettingFrm::PickColor(TColor& color) {
  ColorDialog.Color = color;
  if (!ColorDialog.Execute()) return false;
  color = ColorDialog.Color;
  return true;
}

void TSettingFrm::PickFontColor(TControl& sample) {
  TColor color = sample.Font().Color;
  if (PickColor(color)) sample.SetFontColor(color);
}

void TSettingFrm::btnStrColorNormalClick(TObject*) { PickFontColor(lblNormalColor); }

void TSettingFrm::btnBkColorNormalClick(TObject*) {
  TColor color = pnlColorSetNormal.Color();
  if (PickColor(color)) pnlColorSetNormal.SetColor(color);
}

void TSettingFrm::btnStrColorFrBgClick(TObject*) { PickFontColor(lblBkgColorF); }

void TSettingFrm::btnStrColorBkBgClick(TObject*) { PickFontColor(lblBkgColorB); }

void TSettingFrm::btnClearColorNormalClick(TObject*) { pnlColorSetNormal.SetColor(clBtnFace); }

// --- Sounds ------------------------------------------------------------------

void TSettingFrm::BrowseSound(TEdit& path) {
  OpenDialog.FileName.clear();
  if (OpenDialog.Execute()) path.SetText(OpenDialog.FileName);
}

void TSettingFrm::btnWavReadClick(TObject*) { BrowseSound(edtWavPath); }

void TSettingFrm::btnResWavReadClick(TObject*) { BrowseSound(edtResWavPath); }

// Returns at once; a file that can't be played gives silence, never the
// system's default sound.
void TSettingFrm::btnPlayClick(TObject*) {
  Os().sound.sndPlaySoundA(edtWavPath.Text(), win::SND_ASYNC | win::SND_NODEFAULT);
}

void TSettingFrm::btnResWavPlayClick(TObject*) {
  Os().sound.sndPlaySoundA(edtResWavPath.Text(), win::SND_ASYNC | win::SND_NODEFAULT);
}

void TSettingFrm::btnWavClearClick(TObject*) { edtWavPath.SetText(""); }

void TSettingFrm::btnResWavClearClick(TObject*) { edtResWavPath.SetText(""); }

}  // namespace norva
