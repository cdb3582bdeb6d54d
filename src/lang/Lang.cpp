#include "lang/Lang.h"

namespace norva::lang {

const char* JapaneseText(TextId id);
const char* EnglishText(TextId id);

namespace {

Language gCurrent = Language::Japanese;

constexpr std::string_view kNames[] = {
#define NORVA_TEXT_NAME(name) #name,
    NORVA_TEXT_NAMES(NORVA_TEXT_NAME)
#undef NORVA_TEXT_NAME
};

constexpr unsigned short kJapanesePrimaryLanguage = 0x11;  // LANG_JAPANESE

}  // namespace

Language Current() { return gCurrent; }

void SetCurrent(Language language) { gCurrent = language; }

const char* TextIn(Language language, TextId id) {
  return language == Language::English ? EnglishText(id) : JapaneseText(id);
}

const char* Text(TextId id) {
  const char* text = TextIn(gCurrent, id);
  return text != nullptr ? text : JapaneseText(id);
}

std::string_view NameOf(TextId id) {
  const auto index = static_cast<size_t>(id);
  return index < std::size(kNames) ? kNames[index] : std::string_view();
}

std::string FormatText(std::string_view text, std::initializer_list<Field> fields) {
  std::string result;
  size_t at = 0;
  while (at < text.size()) {
    const size_t open = text.find('{', at);
    const size_t close = open == std::string_view::npos ? open : text.find('}', open);
    if (close == std::string_view::npos) break;
    result.append(text, at, open - at);
    const std::string_view name = text.substr(open + 1, close - open - 1);
    const Field* field = nullptr;
    for (const Field& f : fields)
      if (f.first == name) field = &f;
    // A field without a value stays as written, so that a fault shows.
    if (field != nullptr)
      result += field->second;
    else
      result.append(text, open, close - open + 1);
    at = close + 1;
  }
  if (at < text.size()) result.append(text, at);
  return result;
}

std::string Format(TextId id, std::initializer_list<Field> fields) {
  return FormatText(Text(id), fields);
}

LanguageChoice ChoiceOfValue(std::string_view value) {
  if (value == "en") return LanguageChoice::English;
  if (value == "auto") return LanguageChoice::Automatic;
  return LanguageChoice::Japanese;
}

const char* ValueOfChoice(LanguageChoice choice) {
  switch (choice) {
    case LanguageChoice::English:
      return "en";
    case LanguageChoice::Automatic:
      return "auto";
    case LanguageChoice::Japanese:
      break;
  }
  return "ja";
}

Language LanguageOf(LanguageChoice choice, unsigned short userUiLanguage) {
  switch (choice) {
    case LanguageChoice::English:
      return Language::English;
    case LanguageChoice::Automatic:
      return (userUiLanguage & 0x3FF) == kJapanesePrimaryLanguage ? Language::Japanese
                                                                  : Language::English;
    case LanguageChoice::Japanese:
      break;
  }
  return Language::Japanese;
}

}  // namespace norva::lang
