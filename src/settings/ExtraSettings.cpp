#include "settings/ExtraSettings.h"

#include "platform/Platform.h"

namespace norva {

using platform::Os;

namespace {

const char* const kExtra = "EXTRA";
const char* const kKeys[] = {"FreedNotice", "HotKey",         "IntervalClean", "TrayLoadIcon",
                             "AutoBackoff", "FullScreenHold", "CleanHistory",  "HistoryFile"};
const char* const kLanguageKey = "Language";

bool KeyPresent(const char* key, const std::string& path, platform::IProfile& profile) {
  // A default no value can equal tells an absent key from a present one.
  const char* const absent = "\x7f<absent>";
  return profile.GetPrivateProfileStringA(kExtra, key, absent, path) != absent;
}

bool AnyKeyPresent(const std::string& path, platform::IProfile& profile) {
  for (const char* key : kKeys)
    if (KeyPresent(key, path, profile)) return true;
  return false;
}

}  // namespace

bool ValidHotKey(int value) {
  if (value == 0) return true;
  const int key = value & 0xFF;
  const int modifiers = value >> 8;
  // Ctrl or Alt at least: a bare key (or Shift and a key) would be taken
  // from every other program.
  const int ctrlOrAlt = 0x2 | 0x4;
  return value > 0 && key >= 0x01 && key <= 0xFE && (modifiers & ~0xF) == 0 &&
         (modifiers & ctrlOrAlt) != 0;
}

ExtraSettings ReadExtraSettings(const std::string& iniPath) {
  auto& profile = Os().profile;
  ExtraSettings s;
  s.freedNotice = profile.GetPrivateProfileIntA(kExtra, "FreedNotice", 0, iniPath) != 0;
  const int hotKey = profile.GetPrivateProfileIntA(kExtra, "HotKey", 0, iniPath);
  s.hotKey = ValidHotKey(hotKey) ? hotKey : 0;
  const int interval = profile.GetPrivateProfileIntA(kExtra, "IntervalClean", 0, iniPath);
  s.intervalClean = interval >= 0 && interval <= kMaxIntervalMinutes ? interval : 0;
  s.trayLoadIcon = profile.GetPrivateProfileIntA(kExtra, "TrayLoadIcon", 0, iniPath) != 0;
  s.autoBackoff = profile.GetPrivateProfileIntA(kExtra, "AutoBackoff", 0, iniPath) != 0;
  s.fullScreenHold = profile.GetPrivateProfileIntA(kExtra, "FullScreenHold", 0, iniPath) != 0;
  s.cleanHistory = profile.GetPrivateProfileIntA(kExtra, "CleanHistory", 0, iniPath) != 0;
  s.historyFile = profile.GetPrivateProfileIntA(kExtra, "HistoryFile", 0, iniPath) != 0;
  s.language =
      lang::ChoiceOfValue(profile.GetPrivateProfileStringA(kExtra, kLanguageKey, "ja", iniPath));
  return s;
}

void WriteExtraSettings(const ExtraSettings& settings, const std::string& iniPath,
                        platform::IProfile& profile) {
  // The language is a key of its own: a file that never chose one keeps
  // its section as it was.
  const auto writeLanguage = [&] {
    if (settings.language != lang::LanguageChoice::Japanese ||
        KeyPresent(kLanguageKey, iniPath, profile))
      profile.WritePrivateProfileStringA(kExtra, kLanguageKey,
                                         lang::ValueOfChoice(settings.language), iniPath);
  };
  ExtraSettings others = settings;
  others.language = lang::LanguageChoice::Japanese;
  if (others == ExtraSettings{} && !AnyKeyPresent(iniPath, profile)) return writeLanguage();
  const auto write = [&](const char* key, int value) {
    profile.WritePrivateProfileStringA(kExtra, key, std::to_string(value).c_str(), iniPath);
  };
  write("FreedNotice", settings.freedNotice ? 1 : 0);
  write("HotKey", settings.hotKey);
  write("IntervalClean", settings.intervalClean);
  write("TrayLoadIcon", settings.trayLoadIcon ? 1 : 0);
  write("AutoBackoff", settings.autoBackoff ? 1 : 0);
  write("FullScreenHold", settings.fullScreenHold ? 1 : 0);
  write("CleanHistory", settings.cleanHistory ? 1 : 0);
  write("HistoryFile", settings.historyFile ? 1 : 0);
  writeLanguage();
}

}  // namespace norva
