// The settings dialog's fourth tab "拡張": the opt-in features, laid out
// like the three tabs before it.
#include "settings/ExtraSettings.h"
#include "settings/Setting.h"

namespace norva {

using lang::TextId;

void TSettingFrm::SetUpExtraTab() {
  FTexts.Caption(tbsExtra, TextId::SettingTabExtra);
  Place(groupBoxExtra, 6, 6, 508, 234, TextId::ExtraGroup);
  Place(chkbFreedNotice, 10, 20, 300, 16, TextId::ExtraFreedNotice, TextId::ExtraFreedNoticeHint);
  const TextId hotKeyHint = TextId::ExtraHotKeyHint;
  Place(lblHotKey, 10, 47, 100, 14, TextId::ExtraHotKey, hotKeyHint);
  Place(hkyClean, 118, 43, 150, 20, {}, hotKeyHint);
  Place(btnHotKeyClear, 274, 43, 56, 20, TextId::ExtraHotKeyClear, TextId::ExtraHotKeyClearHint);
  const TextId intervalHint = TextId::ExtraIntervalHint;
  Place(lblInterval, 10, 75, 100, 14, TextId::ExtraInterval, intervalHint);
  Place(edtInterval, 118, 71, 44, 18, {}, intervalHint);
  Place(udInterval, 162, 71, 15, 18, {}, intervalHint);
  Place(lblIntervalMin, 182, 75, 120, 14, TextId::ExtraIntervalUnit, intervalHint);
  Place(chkbStartup, 10, 100, 300, 16, TextId::ExtraStartup, TextId::ExtraStartupHint);
  Place(chkbTrayLoad, 10, 122, 300, 16, TextId::ExtraTrayLoad, TextId::ExtraTrayLoadHint);
  Place(chkbAutoBackoff, 10, 144, 480, 16, TextId::ExtraBackoff, TextId::ExtraBackoffHint);
  Place(chkbFullScreenHold, 10, 166, 480, 16, TextId::ExtraFullScreenHold,
        TextId::ExtraFullScreenHoldHint);
  Place(chkbCleanHistory, 10, 188, 480, 16, TextId::ExtraHistoryMenu, TextId::ExtraHistoryMenuHint);
  Place(chkbHistoryFile, 10, 210, 480, 16, TextId::ExtraHistoryFile, TextId::ExtraHistoryFileHint);
  // The language, to the right of the first rows: its label names it in
  // both languages, so that either reader finds it.
  Place(lblLanguage, 340, 22, 160, 14, TextId::ExtraLanguage, TextId::ExtraLanguageHint);
  Place(cmbLanguage, 340, 40, 160, 20, {}, TextId::ExtraLanguageHint);
  FTexts.Add([this] {
    const int chosen = cmbLanguage.ItemIndex();
    cmbLanguage.SetItems(
        {lang::kJapaneseName, lang::kEnglishName, lang::Text(TextId::ExtraLanguageAutomatic)});
    cmbLanguage.SetItemIndex(chosen < 0 ? 0 : chosen);
  });

  hkyClean.NeedsCtrlOrAlt = true;
  udInterval.SetMin(0);
  udInterval.SetMax(kMaxIntervalMinutes);
  udInterval.SetAssociate(&edtInterval);
  udInterval.SetPosition(0);
  edtInterval.SetColor(clBtnFace);
  btnHotKeyClear.OnClick = [this](TObject* s) { btnHotKeyClearClick(s); };
  // OK closes the dialog only when the extra settings allow it.
  btnOk.ModalResult = TModalResult::mrNone;
  btnOk.OnClick = [this](TObject* s) { btnOkClick(s); };
}

void TSettingFrm::btnOkClick(TObject*) {
  if (OnOkQuery && !OnOkQuery()) return;
  SetModalResult(TModalResult::mrOk);
}

void TSettingFrm::btnHotKeyClearClick(TObject*) { hkyClean.SetHotKey(0); }

}  // namespace norva
