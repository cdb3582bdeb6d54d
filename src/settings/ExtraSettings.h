// The [EXTRA] section of the settings file: the opt-in features beyond the
// monitor's own (freed-amount notice, hotkey, cleaning on an interval, the
// load on the tray icon, the holds of automatic cleaning, the history). Every value is off by
// default, and a file without the section is never given one.
#pragma once

#include <string>

#include "lang/Lang.h"
#include "platform/Platform.h"

namespace norva {

struct ExtraSettings {
  bool freedNotice = false;     // FreedNotice: a balloon after each cleaning
  int hotKey = 0;               // HotKey: the hotkey control's value, 0 none
  int intervalClean = 0;        // IntervalClean: minutes, 0 off
  bool trayLoadIcon = false;    // TrayLoadIcon: the tray icon shows the load
  bool autoBackoff = false;     // AutoBackoff: wait after cleanings that did not help
  bool fullScreenHold = false;  // FullScreenHold: none while a full-screen program runs
  bool cleanHistory = false;    // CleanHistory: the history window in the tray menu
  bool historyFile = false;     // HistoryFile: norva-history.csv beside the exe
  // Language: ja, en or auto; written only once it is not ja or the file has it.
  lang::LanguageChoice language = lang::LanguageChoice::Japanese;
  bool operator==(const ExtraSettings&) const = default;
};

constexpr int kMaxIntervalMinutes = 1440;

// A hotkey value the control can hold: a key in the low byte, only the four
// HOTKEYF_ bits above it; 0 (none) counts as valid.
bool ValidHotKey(int value);

// Reads the section; a value out of range comes back as its default.
ExtraSettings ReadExtraSettings(const std::string& iniPath);
// Writes every key through profile (the save under way), unless the file has
// none of them and all are off: a file written from nothing stays as it
// always was.
void WriteExtraSettings(const ExtraSettings& settings, const std::string& iniPath,
                        platform::IProfile& profile);

}  // namespace norva
