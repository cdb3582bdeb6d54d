// The texts in two languages: the tables, the fields of their formats, the
// choice in the settings file, the switch on OK and the fit of the English
// words in the fixed boxes.
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <set>

#include "NorvaFixture.h"
#include "app/AutoHolds.h"
#include "app/Extras.h"
#include "app/HistoryForm.h"
#include "components/Novellbl.h"
#include "inspector/ProcessRows.h"
#include "inspector/ReadProtocol.h"
#include "lang/Lang.h"
#include "platform/FontFaces.h"
#include "settings/ExtraSettings.h"
#include "toolkit/Dpi.h"
#include "toolkit/headless/RecordingCanvas.h"

namespace norva::testing {
namespace {

using lang::Language;
using lang::LanguageChoice;
using lang::TextId;

std::vector<TextId> AllTexts() {
  std::vector<TextId> ids;
  for (int i = 0; i < lang::kTextCount; ++i) ids.push_back(static_cast<TextId>(i));
  return ids;
}

std::set<std::string> FieldsOf(const std::string& text) {
  std::set<std::string> fields;
  const std::regex field(R"(\{[a-z]+\})");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), field);
       it != std::sregex_iterator(); ++it)
    fields.insert(it->str());
  return fields;
}

// Hiragana, katakana (full and half width), the ideographs, the Japanese
// punctuation and the full-width forms.
bool HasJapanese(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? byte : byte & (0x7F >> length);
    for (int k = 1; k < length && i + k < text.size(); ++k)
      code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    if ((code >= 0x3000 && code <= 0x30FF) || (code >= 0x3400 && code <= 0x9FFF) ||
        (code >= 0xFF00 && code <= 0xFFEF))
      return true;
    i += length;
  }
  return false;
}

// Puts the default language back whatever a test switched to.
class LanguageTest : public NorvaTest {
 protected:
  ~LanguageTest() override {
    lang::SetCurrent(Language::Japanese);
    platform::SetUiFaceRequest("");
  }
  void ChooseLanguage(int index) {
    backend.modalScript.push_back([&, index] {
      Settings().cmbLanguage.SetItemIndex(index);
      Settings().btnOk.Click();
    });
    form->sbtnConfigClick(&form->sbtnConfig);
  }
};

TEST(LanguageTables, EveryNameHasATextInEveryLanguageWithTheSameFields) {
  for (TextId id : AllTexts()) {
    const char* ja = lang::TextIn(Language::Japanese, id);
    const char* en = lang::TextIn(Language::English, id);
    ASSERT_NE(ja, nullptr) << lang::NameOf(id);
    ASSERT_NE(en, nullptr) << lang::NameOf(id);
    EXPECT_FALSE(std::string(en).empty()) << lang::NameOf(id);
    EXPECT_EQ(FieldsOf(ja), FieldsOf(en)) << lang::NameOf(id);
    EXPECT_FALSE(HasJapanese(en)) << lang::NameOf(id) << ": " << en;
  }
}

TEST(LanguageTables, FormatsFillNamedFieldsInTheTextsOwnOrder) {
  struct Case {
    const char* text;
    std::string expected;
  };
  for (const Case& c : std::vector<Case>{
           {"今日 {count} 回 / 解放 {freed}", "今日 3 回 / 解放 12 MB"},
           {"{freed} freed in {count}", "12 MB freed in 3"},
           {"{count}{count}", "33"},
           {"{missing} {count}", "{missing} 3"},
           {"no fields {", "no fields {"},
       })
    EXPECT_EQ(lang::FormatText(c.text, {{"count", "3"}, {"freed", "12 MB"}}), c.expected) << c.text;
}

TEST(LanguageTables, TheChoiceReadsBadValuesAsJapaneseAndAutomaticFollowsTheUserLanguage) {
  struct Case {
    const char* value;
    unsigned short uiLanguage;
    LanguageChoice choice;
    Language shown;
  };
  for (const Case& c : std::vector<Case>{
           {"ja", 0x0409, LanguageChoice::Japanese, Language::Japanese},
           {"en", 0x0411, LanguageChoice::English, Language::English},
           {"auto", 0x0411, LanguageChoice::Automatic, Language::Japanese},
           {"auto", 0x0409, LanguageChoice::Automatic, Language::English},
           {"auto", 0x0407, LanguageChoice::Automatic, Language::English},
           {"auto", 0, LanguageChoice::Automatic, Language::English},
           {"EN", 0x0409, LanguageChoice::Japanese, Language::Japanese},
           {"english", 0x0409, LanguageChoice::Japanese, Language::Japanese},
           {"", 0x0409, LanguageChoice::Japanese, Language::Japanese},
       }) {
    EXPECT_EQ(lang::ChoiceOfValue(c.value), c.choice) << c.value;
    EXPECT_EQ(lang::LanguageOf(lang::ChoiceOfValue(c.value), c.uiLanguage), c.shown) << c.value;
  }
}

TEST(LanguageTables, TheProgramsFormatsReadWholeInEitherLanguage) {
  struct Case {
    std::function<std::string()> make;
    std::string japanese, english;
  };
  const std::vector<Case> cases{
      {[] { return FreedText(1234 * MiB, 5678 * MiB); }, "1,234 MB 解放しました（空き 5,678 MB）",
       "Freed 1,234 MB (5,678 MB free)"},
      {[] { return BackoffTipLine(8); }, "自動掃除は 8 分後まで控えます",
       "Auto cleaning waits 8 min"},
      {[] { return inspector::ThreadPriorityText(-2); }, "低　(-2)", "Low (-2)"},
      {[] { return inspector::ThreadPriorityText(15); }, "連動(15)", "Critical (15)"},
      {[] { return inspector::ReadProtocol::CountText(8); }, "  読込中：  7", "  Reading:   7"},
  };
  for (Language language : lang::kLanguages) {
    lang::SetCurrent(language);
    for (const Case& c : cases)
      EXPECT_EQ(c.make(), language == Language::Japanese ? c.japanese : c.english);
  }
  lang::SetCurrent(Language::Japanese);
}

// --- The setting ---------------------------------------------------------------

TEST_F(LanguageTest, AFileThatNeverChoseALanguageGetsNoKeyAndAChoiceIsKept) {
  WriteIni("[EXTRA]\r\nFreedNotice=1\r\n");
  Start();
  EXPECT_EQ(Settings().cmbLanguage.ItemIndex(), 0);
  ChooseLanguage(0);
  EXPECT_EQ(Key("EXTRA", "Language"), "<absent>");
  ChooseLanguage(2);
  EXPECT_EQ(Key("EXTRA", "Language"), "auto");
  ChooseLanguage(0);
  EXPECT_EQ(Key("EXTRA", "Language"), "ja");
  EXPECT_EQ(Key("EXTRA", "FreedNotice"), "1");
}

TEST_F(LanguageTest, ABadValueShowsJapanese) {
  WriteIni("[EXTRA]\r\nLanguage=fr\r\n");
  Start();
  EXPECT_EQ(Settings().cmbLanguage.ItemIndex(), 0);
  EXPECT_EQ(form->sbtnGetMem.Caption(), "[掃除]");
}

// --- The switch on OK ----------------------------------------------------------

TEST_F(LanguageTest, OkShowsTheChosenLanguageInEveryWindowAndItsFont) {
  os.user.messageFont = "Segoe UI";
  os.processes.Add(8, 0, "a.exe");
  Start();
  THeapChkFrm& inspector = *HeapChkFrm;
  inspector.Show();
  struct Shown {
    std::string clean, stop, title, menu, tab, extraTab, column, priority, inspectorFont, row;
    bool bold;
  };
  const auto shown = [&] {
    return Shown{form->sbtnGetMem.Caption(),
                 form->btnStop.Caption(),
                 form->nlblTitleInfo.Caption(),
                 form->PopupMenu.Items.back()->Caption,
                 Settings().tbsAction.Caption(),
                 Settings().tbsExtra.Caption(),
                 inspector.lvActiveProcess.Columns()[0].Caption,
                 inspector.cmbActPrcPriority.Items[0],
                 inspector.btnReset.Font().Name,
                 inspector.lvActiveProcess.Count() > 0 ? inspector.lvActiveProcess.Item(0)->Text(4)
                                                       : "",
                 form->sbtnGetMem.Font().Bold};
  };
  const Shown japanese = shown();
  EXPECT_EQ(japanese.clean, "[掃除]");
  EXPECT_TRUE(japanese.bold);
  EXPECT_TRUE(HasJapanese(japanese.row)) << "a process row's priority: " << japanese.row;
  EXPECT_EQ(form->sbtnGetMem.Font().Name, "ＭＳ Ｐゴシック");

  ChooseLanguage(1);
  EXPECT_EQ(Key("EXTRA", "Language"), "en");
  const Shown english = shown();
  for (const std::string& text : {english.clean, english.stop, english.title, english.menu,
                                  english.tab, english.extraTab, english.column, english.priority,
                                  english.row})
    EXPECT_FALSE(HasJapanese(text)) << text;
  // Latin words keep apart in the top buttons' boxes in the regular weight.
  EXPECT_FALSE(english.bold);
  EXPECT_EQ(english.clean, lang::TextIn(Language::English, TextId::MainCleanButton));
  EXPECT_EQ(english.inspectorFont, "Segoe UI");
  EXPECT_EQ(form->sbtnGetMem.Font().Name, "Segoe UI");
  EXPECT_EQ(form->sbtnGetMem.Font().Charset, DEFAULT_CHARSET);
  // The figures' monospaced header keeps its face.
  EXPECT_EQ(form->nlblTitleInfo.Font().Name, "ＭＳ ゴシック");
  // The menus and message boxes are the system's own, in its font.
  EXPECT_EQ(platform::UiFace().name, "Segoe UI");

  ChooseLanguage(0);
  const Shown back = shown();
  EXPECT_EQ(back.clean, japanese.clean);
  EXPECT_EQ(back.title, japanese.title);
  EXPECT_EQ(back.tab, japanese.tab);
  EXPECT_EQ(back.column, japanese.column);
  EXPECT_EQ(back.inspectorFont, japanese.inspectorFont);
  EXPECT_EQ(back.row, japanese.row);
  EXPECT_TRUE(back.bold);
  EXPECT_EQ(form->sbtnGetMem.Font().Charset, SHIFTJIS_CHARSET);
  EXPECT_EQ(platform::UiFace().name, "ＭＳ Ｐゴシック");
}

TEST_F(LanguageTest, WindowsMadeAfterTheSwitchComeInTheLanguageAndItsFont) {
  os.user.messageFont = "Segoe UI";
  WriteIni("[EXTRA]\r\nCleanHistory=1\r\n");
  Start();
  ChooseLanguage(1);
  form->pmHistory->Click();
  ASSERT_TRUE(form->FHistoryFrm);
  auto& history = static_cast<THistoryFrm&>(*form->FHistoryFrm);
  EXPECT_EQ(history.Caption(), lang::TextIn(Language::English, TextId::HistoryTitle));
  EXPECT_EQ(history.btnCopy.Font().Name, "Segoe UI");
  EXPECT_EQ(history.lvHistory.Columns()[0].Caption,
            lang::TextIn(Language::English, TextId::HistoryColumnStarted));
  EXPECT_EQ(form->pmHistory->Caption, lang::TextIn(Language::English, TextId::MenuHistory));
}

TEST_F(LanguageTest, AutomaticFollowsTheUserInterfaceLanguageFromTheStart) {
  os.user.uiLanguage = 0x0409;
  WriteIni("[EXTRA]\r\nLanguage=auto\r\n");
  Start();
  EXPECT_EQ(form->pmExit->Caption, lang::TextIn(Language::English, TextId::MenuExit));
  EXPECT_EQ(Settings().cmbLanguage.ItemIndex(), 2);
}

// --- The fit of the English words ----------------------------------------------

// What a control's frame takes from its width besides its caption: the box
// of a check box, the edges of a button, the arrow of a combo.
int FrameWidth(const tk::TControl& c) {
  if (dynamic_cast<const tk::TCheckBox*>(&c) != nullptr) return 16;
  if (dynamic_cast<const tk::TButton*>(&c) != nullptr) return 8;
  if (dynamic_cast<const tk::TSpeedButton*>(&c) != nullptr) return 2;
  if (dynamic_cast<const tk::TGroupBox*>(&c) != nullptr) return 16;
  return 0;
}

bool ShowsFixedCaption(const tk::TControl& c) {
  return dynamic_cast<const tk::TCheckBox*>(&c) != nullptr ||
         dynamic_cast<const tk::TButton*>(&c) != nullptr ||
         dynamic_cast<const tk::TSpeedButton*>(&c) != nullptr ||
         dynamic_cast<const tk::TGroupBox*>(&c) != nullptr ||
         dynamic_cast<const tk::TLabel*>(&c) != nullptr ||
         dynamic_cast<const tk::TStaticText*>(&c) != nullptr ||
         dynamic_cast<const components::TNovelLabel*>(&c) != nullptr;
}

// Every caption of a fixed-size control and every item of a combo, measured
// in its own font at the screen's scale against its scaled box.
void ExpectFits(const tk::TControl& c, int dpi, std::vector<std::string>& faults) {
  const auto fits = [&](const std::string& text, int room, int height) {
    tk::TFont font = c.Font();
    font.Height = tk::ScaleBy(font.Height, dpi);
    const tk::TRect extent = tk::RecordingCanvas::Measure(text, font);
    if (extent.Width() > tk::ScaleBy(room, dpi) || extent.Height() > tk::ScaleBy(height, dpi))
      faults.push_back(c.Name + " \"" + text + "\" at " + std::to_string(dpi) +
                       " dpi: " + std::to_string(extent.Width()) + " > " +
                       std::to_string(tk::ScaleBy(room, dpi)));
  };
  // A group box's caption sits on its frame, one line high.
  const int height = dynamic_cast<const tk::TGroupBox*>(&c) != nullptr ? c.Font().Height
                                                                       : std::max(c.Height(), 12);
  if (ShowsFixedCaption(c) && !c.Caption().empty())
    fits(c.Caption(), c.Width() - FrameWidth(c), height);
  if (const auto* combo = dynamic_cast<const tk::TComboBox*>(&c))
    for (const std::string& item : combo->Items) fits(item, c.Width() - 20, c.Height());
  if (const auto* window = dynamic_cast<const tk::TWinControl*>(&c))
    for (const tk::TControl* child : window->Controls()) ExpectFits(*child, dpi, faults);
}

TEST_F(LanguageTest, EveryEnglishCaptionFitsItsBoxAt96To192Dpi) {
  WriteIni("[EXTRA]\r\nLanguage=en\r\n");
  Start();
  for (int dpi : {96, 144, 192}) {
    std::vector<std::string> faults;
    for (const tk::TWinControl* window :
         std::initializer_list<const tk::TWinControl*>{form.get(), SettingFrm, HeapChkFrm}) {
      ExpectFits(*window, dpi, faults);
    }
    for (const std::string& fault : faults) ADD_FAILURE() << fault;
  }
}

}  // namespace
}  // namespace norva::testing
