// The texts of every window in the user's language: one table per language
// (Japanese.cpp, English.cpp), looked up by a name that says what the text
// is (TextNames.h). Japanese is the default. A text with fields carries them
// whole and by name ("今日 {count} 回 / 解放 {freed}"), so that a language
// can put them in its own order.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "lang/TextNames.h"

namespace norva::lang {

enum class TextId {
#define NORVA_TEXT_ID(name) name,
  NORVA_TEXT_NAMES(NORVA_TEXT_ID)
#undef NORVA_TEXT_ID
};

inline constexpr int kTextCount = 0
#define NORVA_TEXT_COUNT(name) +1
    NORVA_TEXT_NAMES(NORVA_TEXT_COUNT)
#undef NORVA_TEXT_COUNT
    ;

enum class Language { Japanese, English };
inline constexpr Language kLanguages[] = {Language::Japanese, Language::English};

// The language the windows show now.
Language Current();
void SetCurrent(Language language);

// The current language's text.
const char* Text(TextId id);
// One language's text (nullptr for a name its table lacks).
const char* TextIn(Language language, TextId id);
// The name a text is looked up by ("MainCleanButton").
std::string_view NameOf(TextId id);

// The current language's text with each {name} replaced by its value.
using Field = std::pair<std::string_view, std::string>;
std::string Format(TextId id, std::initializer_list<Field> fields);
std::string FormatText(std::string_view text, std::initializer_list<Field> fields);

// The language choice of the settings file: [EXTRA] Language=ja|en|auto.
enum class LanguageChoice { Japanese, English, Automatic };
// "ja", "en", "auto"; anything else reads as Japanese.
LanguageChoice ChoiceOfValue(std::string_view value);
const char* ValueOfChoice(LanguageChoice choice);
// Automatic: Japanese when the user's UI language (a LANGID) is Japanese,
// else English.
Language LanguageOf(LanguageChoice choice, unsigned short userUiLanguage);

// The language names of the choice, each in its own language, shown alike
// in every language.
inline constexpr const char* kJapaneseName = "日本語";
inline constexpr const char* kEnglishName = "English";

}  // namespace norva::lang
