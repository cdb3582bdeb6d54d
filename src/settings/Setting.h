// The settings dialog. Its controls are the settings record: every part of
// the program reads a setting's current value from them.
#pragma once

#include <functional>
#include <optional>

#include "lang/WindowTexts.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/HotKey.h"
#include "toolkit/StdCtrls.h"

namespace norva {

using namespace norva::tk;

class TSettingFrm : public TForm {
 public:
  explicit TSettingFrm(TForm* owner);

  TPageControl pgcSetting{this};
  TTabSheet tbsAction{&pgcSetting, ""};
  TTabSheet tbsDisplay{&pgcSetting, ""};
  TTabSheet tbsSound{&pgcSetting, ""};

  // "動作設定"
  TGroupBox groupBoxMem{&tbsAction};
  TStaticText stctxtMemSize{&groupBoxMem};
  TStaticText stcMemSize{&groupBoxMem};
  TTrackBar trkberMemPer{&groupBoxMem};
  TLabel lblConditionGreen{&groupBoxMem};
  TLabel lblConditionYellow{&groupBoxMem};
  TLabel lblConditionRed{&groupBoxMem};
  TCheckBox chkbMemChk{&groupBoxMem};
  TCheckBox chkbAutoMem{&groupBoxMem};
  TCheckBox chkbAuto{&groupBoxMem};
  TCheckBox chkbMinExec{&groupBoxMem};
  TEdit edtMem{&groupBoxMem};
  TUpDown udMem{&groupBoxMem};
  TLabel lblAuto{&groupBoxMem};
  TCheckBox chkbFreeInc{&groupBoxMem};
  TEdit edtUsePer{&groupBoxMem};
  TUpDown udUsePer{&groupBoxMem};
  TLabel lblAutoPer{&groupBoxMem};
  TCheckBox chkbNot100Per{&groupBoxMem};
  TLabel lblClSpeed{&groupBoxMem};
  TComboBox cmbClSpeed{&groupBoxMem};

  TGroupBox groupBoxEtc{&tbsAction};
  TCheckBox chkbHideHint{&groupBoxEtc};
  TCheckBox ckbStayOnTop{&groupBoxEtc};
  TCheckBox ckbDontCatch{&groupBoxEtc};
  TCheckBox ckbCpuPer{&groupBoxEtc};
  TCheckBox ckbStopCpuPer{&groupBoxEtc};
  TCheckBox ckbOverAction{&groupBoxEtc};
  TCheckBox ckbTaskBarHide{&groupBoxEtc};
  TCheckBox ckbMagnet{&groupBoxEtc};

  // "画面設定"
  TGroupBox groupBoxBmp{&tbsDisplay};
  TLabel lblBmpDir{&groupBoxBmp};
  TPanel pnlPreview{&groupBoxBmp};
  TImage imgPreview{&pnlPreview};
  TButton btnBmpRead{&groupBoxBmp};
  TButton btnBmpClear{&groupBoxBmp};
  TCheckBox chkbStretch{&groupBoxBmp};
  TCheckBox chkbEraseBkgnd{&tbsDisplay};

  TGroupBox grpbStringColor{&tbsDisplay};
  TGroupBox grpbNormal{&grpbStringColor};
  TPanel pnlColorSetNormal{&grpbNormal};
  TLabel lblNormalColor{&pnlColorSetNormal};
  TButton btnStrColorNormal{&grpbNormal};
  TButton btnBkColorNormal{&grpbNormal};
  TButton btnClearColorNormal{&grpbNormal};
  TGroupBox grpbBkgrp{&grpbStringColor};
  TPanel pnlColorSetBkgrp{&grpbBkgrp};
  TLabel lblBkgColorB{&pnlColorSetBkgrp};
  TLabel lblBkgColorF{&pnlColorSetBkgrp};
  TButton btnStrColorFrBg{&grpbBkgrp};
  TButton btnStrColorBkBg{&grpbBkgrp};
  TCheckBox chkbButtonColorDef{&tbsDisplay};

  // "音声設定"
  TGroupBox groupBoxColor{&tbsSound};
  TLabel lblWavCaption{&groupBoxColor};
  TEdit edtWavPath{&groupBoxColor};
  TButton btnPlay{&groupBoxColor};
  TButton btnWavRead{&groupBoxColor};
  TButton btnWavClear{&groupBoxColor};
  TLabel lblWavMB1{&groupBoxColor};
  TEdit edtMem2{&groupBoxColor};
  TUpDown udMem2{&groupBoxColor};
  TLabel lblWavMB2{&groupBoxColor};
  TLabel lblResWavCaption{&groupBoxColor};
  TEdit edtResWavPath{&groupBoxColor};
  TButton btnResWavPlay{&groupBoxColor};
  TButton btnResWavRead{&groupBoxColor};
  TButton btnResWavClear{&groupBoxColor};
  TLabel lblResWavMB1{&groupBoxColor};
  TEdit edtResWav2{&groupBoxColor};
  TUpDown udResWav2{&groupBoxColor};
  TLabel lblResWavMB2{&groupBoxColor};

  // "拡張": the opt-in features, kept in the [EXTRA] section.
  TTabSheet tbsExtra{&pgcSetting, ""};
  TGroupBox groupBoxExtra{&tbsExtra};
  TCheckBox chkbFreedNotice{&groupBoxExtra};
  TLabel lblHotKey{&groupBoxExtra};
  THotKey hkyClean{&groupBoxExtra};
  TButton btnHotKeyClear{&groupBoxExtra};
  TLabel lblInterval{&groupBoxExtra};
  TEdit edtInterval{&groupBoxExtra};
  TUpDown udInterval{&groupBoxExtra};
  TLabel lblIntervalMin{&groupBoxExtra};
  TCheckBox chkbStartup{&groupBoxExtra};
  TCheckBox chkbTrayLoad{&groupBoxExtra};
  TCheckBox chkbAutoBackoff{&groupBoxExtra};
  TCheckBox chkbFullScreenHold{&groupBoxExtra};
  TCheckBox chkbCleanHistory{&groupBoxExtra};
  TCheckBox chkbHistoryFile{&groupBoxExtra};
  // The language of the windows: 0 Japanese, 1 English, 2 automatic.
  TLabel lblLanguage{&groupBoxExtra};
  TComboBox cmbLanguage{&groupBoxExtra};
  // Asked when OK is pressed; false keeps the dialog open (a hotkey the
  // system refuses).
  std::function<bool()> OnOkQuery;
  void btnOkClick(TObject* Sender);
  void btnHotKeyClearClick(TObject* Sender);

  TButton btnOk{this};
  TButton btnCancel{this};

  TOpenDialog OpenDialog;
  TOpenDialog oppcdlgBmpLoad;
  TColorDialog ColorDialog;

  // The dialog's rules; each runs when its control changes, whether the user
  // or a settings load changes it.
  void trkberMemPerChange(TObject* Sender);
  void chkbAutoClick(TObject* Sender);
  void chkbAutoMemClick(TObject* Sender);
  void chkbAutoCleanClick(TObject* Sender);
  void ckbStopCpuPerClick(TObject* Sender);
  void chkbEraseBkgndClick(TObject* Sender);
  void edtMemChange(TObject* Sender);
  void edtUsePerChange(TObject* Sender);
  void edtWavPathChange(TObject* Sender);
  void edtResWavPathChange(TObject* Sender);
  void chkbStretchClick(TObject* Sender);
  void btnBmpReadClick(TObject* Sender);
  void btnBmpClearClick(TObject* Sender);
  void btnStrColorNormalClick(TObject* Sender);
  void btnBkColorNormalClick(TObject* Sender);
  void btnStrColorFrBgClick(TObject* Sender);
  void btnStrColorBkBgClick(TObject* Sender);
  void btnClearColorNormalClick(TObject* Sender);
  void btnWavReadClick(TObject* Sender);
  void btnResWavReadClick(TObject* Sender);
  void btnPlayClick(TObject* Sender);
  void btnResWavPlayClick(TObject* Sender);
  void btnWavClearClick(TObject* Sender);
  void btnResWavClearClick(TObject* Sender);

  // Set while a settings load stores the file's values: the rules that set
  // one box when another changes (the last automatic trigger, the processor
  // load shown with its stop) then wait, so every box comes back exactly as
  // stored, whatever order the load stores them in.
  bool FLoading = false;

  // Shows every text of the dialog anew, in the current language.
  void ApplyTexts() { FTexts.Apply(); }

 private:
  // Sets the bounds, and the caption and hint that the texts keep.
  void Place(TControl& c, int left, int top, int width, int height,
             std::optional<lang::TextId> caption = {}, std::optional<lang::TextId> hint = {});
  void BuildLayout();
  void SetUpExtraTab();
  void ClampNumberBox(TEdit& edit, TUpDown& upDown);
  // Opens the colour picker at the sample's colour; true when one was chosen.
  bool PickColor(TColor& color);
  void PickFontColor(TControl& sample);
  void BrowseSound(TEdit& path);
  bool FClamping = false;
  lang::TWindowTexts FTexts;
};

extern TSettingFrm* SettingFrm;

}  // namespace norva
