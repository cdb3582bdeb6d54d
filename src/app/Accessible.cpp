#include "app/Accessible.h"

#include <algorithm>

#include "platform/Accessibility.h"

namespace norva {

namespace {

bool IsPadding(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string Trimmed(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsPadding(text[begin])) ++begin;
  while (end > begin && IsPadding(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string HintHead(const std::string& hint) {
  size_t cut = hint.size();
  for (const char* bracket : {"（", "("}) cut = std::min(cut, hint.find(bracket));
  return Trimmed(hint.substr(0, cut));
}

std::vector<std::string> TitleWords(const std::string& caption) {
  std::vector<std::string> words;
  std::string word;
  for (char c : caption + ' ') {
    if (!IsPadding(c)) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}

WordAndFigure SplitWordAndFigure(const std::string& caption) {
  size_t digit = 0;
  while (digit < caption.size() && (caption[digit] < '0' || caption[digit] > '9')) ++digit;
  std::string word = caption.substr(0, digit);
  while (!word.empty() && (IsPadding(word.back()) || word.back() == ':')) word.pop_back();
  return {Trimmed(word), Trimmed(caption.substr(digit))};
}

ButtonMark::Key ButtonMark::KeyDown(int virtualKey, bool shift) {
  if (FCount <= 0) return Key::Ignored;
  if (virtualKey == win::VK_TAB) {
    if (FMarked == kNone)
      FMarked = shift ? FCount - 1 : 0;
    else
      FMarked = (FMarked + (shift ? FCount - 1 : 1)) % FCount;
    return Key::Moved;
  }
  if ((virtualKey == win::VK_RETURN || virtualKey == win::VK_SPACE) && FMarked != kNone)
    return Key::Press;
  return Key::Ignored;
}

bool ChangeTeller::Tick(bool changed, uint32_t nowMs) {
  FPending = FPending || changed;
  // Unsigned difference: right across the tick count's wrap.
  if (!FPending || (FTold && nowMs - FLastMs < kGapMs)) return false;
  FPending = false;
  FTold = true;
  FLastMs = nowMs;
  return true;
}

}  // namespace norva
