// What a screen reader hears of the main window and how the keyboard reaches
// its buttons: the parts' names taken from the texts the window shows, the
// keyboard's mark over the buttons, and how often a change is told.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace norva {

// The words of a hint before its first bracket, without padding:
// "物理メモリ（実際に搭載しているメモリ量）" → "物理メモリ". The whole hint
// when it has no bracket.
std::string HintHead(const std::string& hint);
// A title row's column titles, split at its spaces.
std::vector<std::string> TitleWords(const std::string& caption);
// A label that joins a word and a figure ("CPU:100%", "CPU8%"): the word
// (up to the first digit, without colon and padding) and the figure.
struct WordAndFigure {
  std::string word;
  std::string figure;
};
WordAndFigure SplitWordAndFigure(const std::string& caption);
// A text without the spaces that pad it to its place.
std::string Trimmed(const std::string& text);

// The keyboard's mark over a row of buttons. None is marked until the first
// Tab; Tab moves it forward and Shift+Tab back, round the row; Enter or
// Space presses the marked one.
class ButtonMark {
 public:
  explicit ButtonMark(int count) : FCount(count) {}
  static constexpr int kNone = -1;
  int Marked() const { return FMarked; }
  // What a key did: nothing (not one of ours), moved the mark, or pressed
  // the marked button (Marked()).
  enum class Key { Ignored, Moved, Press };
  Key KeyDown(int virtualKey, bool shift);

 private:
  int FCount;
  int FMarked = kNone;
};

// A change of what the window shows is told at most once a second: one
// within a second of the last told waits until the second has passed.
class ChangeTeller {
 public:
  static constexpr uint32_t kGapMs = 1000;
  // Called every tick with whether something changed then; true when the
  // change event is to be raised now.
  bool Tick(bool changed, uint32_t nowMs);

 private:
  bool FPending = false;
  bool FTold = false;
  uint32_t FLastMs = 0;
};

}  // namespace norva
