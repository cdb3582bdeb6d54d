// The opt-in features on the main window: the freed-amount balloon, the
// hotkey, cleaning on an interval, the start-up entry and the load on the
// tray icon. Each is off unless the [EXTRA] section turns it on.
#include "app/Main.h"
#include "platform/Desktop.h"
#include "platform/Text.h"
#include "settings/ExtraSettings.h"
#include "toolkit/Application.h"

namespace norva {

using platform::Os;

namespace {

constexpr int kHotKeyId = 1;
const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kRunValue = "Norva";

// Whether a Run entry starts the program at exe: the quoted part when the
// entry is quoted; unquoted, the whole entry or the part before a blank that
// starts its arguments, so a path with blanks written without quotes
// (C:\Program Files\Norva\norva.exe) names it too.
bool EntryNamesProgram(const std::string& entry, const std::string& exe) {
  const std::string e = text::ToLowerAscii(entry), x = text::ToLowerAscii(exe);
  if (!e.empty() && e.front() == '"') {
    const size_t end = e.find('"', 1);
    return e.substr(1, end == std::string::npos ? std::string::npos : end - 1) == x;
  }
  return e.compare(0, x.size(), x) == 0 && (e.size() == x.size() || e[x.size()] == ' ');
}

}  // namespace

bool ExecRun() {
  if (Application == nullptr || Application->ParamCount() < 1) return false;
  const std::string arg = text::ToLowerAscii(Application->ParamStr(1));
  return arg == "-exec" || arg == "/exec";
}

void TMainForm::LoadExtraSettings() {
  TSettingFrm& s = *SettingFrm;
  const ExtraSettings e = ReadExtraSettings(SettingsFilePath());
  s.chkbFreedNotice.SetChecked(e.freedNotice);
  s.hkyClean.SetHotKey(e.hotKey);
  s.udInterval.SetPosition(e.intervalClean);
  s.chkbTrayLoad.SetChecked(e.trayLoadIcon);
  s.chkbAutoBackoff.SetChecked(e.autoBackoff);
  s.chkbFullScreenHold.SetChecked(e.fullScreenHold);
  s.chkbCleanHistory.SetChecked(e.cleanHistory);
  s.chkbHistoryFile.SetChecked(e.historyFile);
  s.cmbLanguage.SetItemIndex(static_cast<int>(e.language));
  ApplyLanguage(lang::LanguageOf(e.language, Os().user.UserDefaultUILanguage()));
  ApplyHoldsAndHistory();
  s.chkbStartup.SetChecked(StartupEntryNamesThisExe());
  // A new interval counts from now.
  if (e.intervalClean != FIntervalMinutes) {
    FIntervalMinutes = e.intervalClean;
    FIntervalClock.Restart(Os().kernel.GetTickCount());
  }
  if (FExtrasStarted) {
    RegisterCleanHotKey(e.hotKey);
    RefreshTrayLoadIcon();
  }
}

void TMainForm::SaveExtraSettings(platform::IProfile& file) {
  const TSettingFrm& s = *SettingFrm;
  ExtraSettings e;
  e.freedNotice = s.chkbFreedNotice.Checked();
  e.hotKey = ValidHotKey(s.hkyClean.HotKey()) ? s.hkyClean.HotKey() : 0;
  e.intervalClean = s.udInterval.Position();
  e.trayLoadIcon = s.chkbTrayLoad.Checked();
  e.autoBackoff = s.chkbAutoBackoff.Checked();
  e.fullScreenHold = s.chkbFullScreenHold.Checked();
  e.cleanHistory = s.chkbCleanHistory.Checked();
  e.historyFile = s.chkbHistoryFile.Checked();
  const int language = s.cmbLanguage.ItemIndex();
  if (language >= 0 && language <= static_cast<int>(lang::LanguageChoice::Automatic))
    e.language = static_cast<lang::LanguageChoice>(language);
  WriteExtraSettings(e, SettingsFilePath(), file);
}

void TMainForm::StartExtras() {
  FExtrasStarted = true;
  FTrayLoad.SetPixelsPerInch(Os().desktop.TaskbarPixelsPerInch());
  // A "-exec" run cleans once and ends: it takes no key from other programs
  // and shows nothing that would wait for the user.
  const int hotKey = ExecRun() ? 0 : SettingFrm->hkyClean.HotKey();
  // Reported once; the combination stays stored for a later start.
  if (!RegisterCleanHotKey(hotKey))
    Os().user.MessageBoxA(
        Handle(), lang::Format(lang::TextId::HotKeyTakenAtStart, {{"hotkey", HotKeyText(hotKey)}}),
        lang::Text(lang::TextId::ErrorTitle), win::MB_OK | win::MB_ICONERROR);
  RefreshTrayLoadIcon();
}

void TMainForm::StopExtras() {
  RegisterCleanHotKey(0);
  FTrayLoad.Clear();
  FExtrasStarted = false;
}

bool TMainForm::RegisterCleanHotKey(int value) {
  if (value == FRegisteredHotKey) return true;
  auto& desktop = Os().desktop;
  if (FRegisteredHotKey != 0) desktop.UnregisterHotKey(Handle(), kHotKeyId);
  FRegisteredHotKey = 0;
  if (value == 0) return true;
  if (!desktop.RegisterHotKey(Handle(), kHotKeyId, HotKeyModifiers(value) | win::MOD_NOREPEAT,
                              HotKeyVirtualKey(value)))
    return false;
  FRegisteredHotKey = value;
  return true;
}

bool TMainForm::ExtraOkQuery() {
  TSettingFrm& s = *SettingFrm;
  const int wanted = s.hkyClean.HotKey();
  const int before = FRegisteredHotKey;
  // Only a combination the user changed is registered here. A stored one
  // that another program holds stays stored (it was reported at start and is
  // tried again at the next start), and every other change saves.
  const bool changed = wanted != ReadExtraSettings(SettingsFilePath()).hotKey;
  if (changed && !RegisterCleanHotKey(wanted)) {
    RegisterCleanHotKey(before);
    Os().user.MessageBoxA(
        s.HandleAllocated() ? s.Handle() : nullptr,
        lang::Format(lang::TextId::HotKeyTakenInDialog, {{"hotkey", HotKeyText(wanted)}}),
        lang::Text(lang::TextId::ErrorTitle), win::MB_OK | win::MB_ICONERROR);
    return false;
  }
  WriteStartupEntry(s.chkbStartup.Checked());
  return true;
}

bool TMainForm::HotKeyMessage(TMessage& Message) {
  if (Message.Msg != win::WM_HOTKEY || Message.WParam != kHotKeyId) return false;
  HotKeyPressed();
  Message.Result = 0;
  Message.Handled = true;
  return true;
}

// The clean button's action from anywhere: start a cleaning, or stop the
// one that runs.
void TMainForm::HotKeyPressed() {
  if (FCleaning)
    btnStopClick(this);
  else
    sbtnGetMemClick(this);
}

void TMainForm::CleaningFinished(uint64_t freeBefore, bool completed) {
  if (FIntervalMinutes > 0) FIntervalClock.Restart(Os().kernel.GetTickCount());
  const MemoryFigures m = SampledFigures();
  FLastFreedBytes = FreedBytes(freeBefore, m.availPhys);
  // "-exec" closes right after; a stopped cleaning is not reported.
  if (!completed || !SettingFrm->chkbFreedNotice.Checked() || ExecRun()) return;
  ShowBalloon(FreedText(FLastFreedBytes, m.availPhys));
}

void TMainForm::ShowBalloon(const std::string& text) {
  AddPendingTrayIcon();
  platform::NotifyIconData tray = TrayRecord();
  tray.uFlags = win::NIF_INFO;
  // One balloon at a time: the one still shown goes first.
  if (FBalloonShown) Os().shell.Shell_NotifyIconA(win::NIM_MODIFY, tray);
  tray.szInfo = text;
  tray.szInfoTitle = "Norva";
  tray.dwInfoFlags = win::NIIF_INFO;
  Os().shell.Shell_NotifyIconA(win::NIM_MODIFY, tray);
  FBalloonShown = true;
}

void TMainForm::IntervalTick() {
  const TSettingFrm& s = *SettingFrm;
  const int minutes = s.udInterval.Position();
  // The interval keeps the automatic cleaning's holds whether or not that
  // is switched on: not while a cleaning or a menu or dialog is open, not
  // while the processor or the memory is fully loaded (when asked).
  if (minutes <= 0 || FCleaning || FModalOpen) return;
  if (s.ckbStopCpuPer.Checked() && FCpuUsePer >= 100) return;
  if (s.chkbNot100Per.Checked() && SampledFigures().load >= 100) return;
  if (!FIntervalClock.Due(Os().kernel.GetTickCount(), minutes)) return;
  StartAutomatic(CleanKind::Interval);
}

void TMainForm::RefreshTrayLoadIcon() {
  if (!FExtrasStarted) return;
  if (SettingFrm->chkbTrayLoad.Checked()) {
    const win::HICON icon = FTrayLoad.Icon(static_cast<int>(SampledFigures().load), FCleaning);
    if (icon != nullptr && icon != FTrayIcon) ModifyTray(win::NIF_ICON, icon, FTrayTip);
  } else if (FTrayLoad.Active()) {
    // Switched off: the program's own icons again.
    ModifyTray(win::NIF_ICON, OwnTrayIcon(FCleaning), FTrayTip);
    FTrayLoad.Clear();
  }
}

win::HICON TMainForm::ShownTrayIcon(win::HICON icon) {
  if (!FExtrasStarted || !SettingFrm->chkbTrayLoad.Checked()) return icon;
  const win::HICON load = FTrayLoad.Icon(static_cast<int>(SampledFigures().load), FCleaning);
  return load != nullptr ? load : icon;
}

bool TMainForm::StartupEntryNamesThisExe() {
  std::string entry;
  if (Os().userRegistry.GetStringValue(kRunKey, kRunValue, entry) != win::ERROR_SUCCESS)
    return false;
  return EntryNamesProgram(entry, Os().kernel.GetModuleFileNameA());
}

void TMainForm::WriteStartupEntry(bool on) {
  const bool ours = StartupEntryNamesThisExe();
  if (on == ours) return;
  auto& registry = Os().userRegistry;
  win::LONG status = on ? registry.SetStringValue(kRunKey, kRunValue,
                                                  "\"" + Os().kernel.GetModuleFileNameA() + "\"")
                        : registry.DeleteValue(kRunKey, kRunValue);
  // A value another program removed meanwhile is gone as asked.
  if (!on && status == win::ERROR_FILE_NOT_FOUND) status = win::ERROR_SUCCESS;
  if (status == win::ERROR_SUCCESS) return;
  TSettingFrm& s = *SettingFrm;
  Os().user.MessageBoxA(
      s.HandleAllocated() ? s.Handle() : nullptr,
      lang::Format(
          on ? lang::TextId::StartupRegisterFailed : lang::TextId::StartupRemoveFailed,
          {{"key", kRunKey}, {"reason", SystemErrorText(static_cast<win::DWORD>(status))}}),
      lang::Text(lang::TextId::ErrorTitle), win::MB_OK | win::MB_ICONERROR);
  // The box shows what the registry now holds.
  s.chkbStartup.SetChecked(StartupEntryNamesThisExe());
}

}  // namespace norva
