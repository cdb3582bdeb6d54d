// The language of the windows, chosen on the extras tab: set before the
// windows are made, and shown in every window at once when the settings
// load after OK (texts, the fonts that carry them, the tray menu).
#include "app/HistoryForm.h"
#include "app/Main.h"
#include "lang/Lang.h"
#include "platform/FontFaces.h"

namespace norva {

using platform::Os;

namespace {

// The face the Japanese texts are drawn in, which the English ones replace
// with the system's message font.
const char* const kJapaneseUiFace = "ＭＳ Ｐゴシック";

struct UiFont {
  std::string face;
  int charset;
};

UiFont UiFontOf(lang::Language language) {
  if (language == lang::Language::English) {
    // Missing: the Japanese face's stand-ins, which carry the Latin letters too.
    std::string face = Os().user.MessageFontFace();
    if (!face.empty()) return {std::move(face), DEFAULT_CHARSET};
  }
  return {kJapaneseUiFace, SHIFTJIS_CHARSET};
}

// Every font of the controls in either language's user-interface face takes
// the current one; the monospaced faces of the figures and lists stay.
void SetUiFaces(TControl& control, const UiFont& wanted, const std::string& messageFace) {
  TFont font = control.Font();
  if (font.Name == kJapaneseUiFace || (!messageFace.empty() && font.Name == messageFace)) {
    font.Name = wanted.face;
    font.Charset = wanted.charset;
    if (!(font == control.Font())) control.SetFont(font);
  }
  if (auto* window = dynamic_cast<TWinControl*>(&control))
    for (TControl* child : window->Controls()) SetUiFaces(*child, wanted, messageFace);
}

}  // namespace

void TMainForm::ApplyLanguageFonts(TWinControl& window) {
  SetUiFaces(window, UiFontOf(lang::Current()), Os().user.MessageFontFace());
}

void TMainForm::ApplyLanguage(lang::Language language) {
  // At start the texts are already in the language; English still needs
  // its font once.
  const bool fontsDue = !FLanguageApplied && language != lang::Language::Japanese;
  FLanguageApplied = true;
  if (language == lang::Current() && !fontsDue) return;
  lang::SetCurrent(language);
  // The system's menus and message boxes follow the windows' face.
  platform::SetUiFaceRequest(UiFontOf(language).face);
  std::vector<TWinControl*> windows{this, SettingFrm, HeapChkFrm, FHistoryFrm.get()};
  for (TWinControl* window : windows)
    if (window != nullptr) ApplyLanguageFonts(*window);
  FTexts.Apply();
  if (!FCleaning) stcInfo.SetCaption(lang::Text(lang::TextId::MainCleaningBar));
  // The tray tip anew at the next figures.
  FTipFreeMB = -1;
  if (SettingFrm != nullptr) SettingFrm->ApplyTexts();
  if (HeapChkFrm != nullptr) HeapChkFrm->ApplyTexts();
  if (FHistoryFrm) static_cast<THistoryFrm&>(*FHistoryFrm).ApplyTexts();
}

}  // namespace norva
