// The main window: the 200 × 80 monitor with its figures, buttons, tray icon
// and timers, and the program state the other windows share.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Accessible.h"
#include "app/AutoHolds.h"
#include "app/CleanHistory.h"
#include "app/Extras.h"
#include "app/Figures.h"
#include "components/Novellbl.h"
#include "inspector/Heapchk.h"
#include "lang/WindowTexts.h"
#include "platform/Accessibility.h"
#include "platform/Platform.h"
#include "probes/MemoryStatus.h"
#include "settings/Setting.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Timer.h"

namespace norva {

using components::TNovelLabel;
class Reservation;

class TMainForm : public TForm {
 public:
  explicit TMainForm(TForm* owner);
  ~TMainForm() override;

  // Layout, lowest in the drawing order first.
  TImage ImageBk{this};
  TBevel bblClient{this};
  TBevel Bevel2{this};
  TBevel Bevel1{this};
  TBevel Bevel3{this};
  TSpeedButton sbtnConfig{this};
  TSpeedButton sbtnGetMem{this};
  TSpeedButton sbtnMemHeap{this};
  TSpeedButton sbtnMinimize{this};
  TSpeedButton sbtnClose{this};
  TSpeedButton sbtnWConfig{this};
  TSpeedButton sbtnWGetMem{this};
  TSpeedButton sbtnWMemHeap{this};
  TSpeedButton sbtnWMinimize{this};
  TSpeedButton sbtnWClose{this};
  TNovelLabel nlblCpuUsePer{this};
  TNovelLabel nlblUsePer{this};
  TNovelLabel nlblTitleInfo{this};
  TNovelLabel nlblTitlePhysical{this};
  TNovelLabel nlblPageTitle{this};
  TNovelLabel nlblVirtualTitle{this};
  TNovelLabel nlblPhysicalFree{this};
  TNovelLabel nlblPageFree{this};
  TNovelLabel nlblVirtualFree{this};
  TNovelLabel nlblPhysicalUse{this};
  TNovelLabel nlblPageUse{this};
  TNovelLabel nlblVirtualUse{this};
  TNovelLabel nlblPhysicalTotal{this};
  TNovelLabel nlblPageTotal{this};
  TNovelLabel nlblVirtualTotal{this};
  TNovelLabel nlblResSys{this};
  TNovelLabel nlblResUser{this};
  TNovelLabel nlblResGdi{this};
  TStaticText stcInfo{this};
  TButton btnStop{this};
  TTimer timMain;
  TTimer timSub;
  TPopupMenu PopupMenu;
  TMenuItem* pmRestore = nullptr;
  TMenuItem* pmConfig = nullptr;
  TMenuItem* pmClean = nullptr;
  TMenuItem* pmInfo = nullptr;
  TMenuItem* pmExit = nullptr;

  // Program state shared with the other windows.
  bool FNtFamily = false;
  win::MEMORYSTATUS FMemStatus{};
  win::MEMORYSTATUSEX FMemStatusEx{};
  // Bytes one cleaning reserves. Wider than 32 bits: machines have more
  // memory than that, and the engine bounds it by what the process can address.
  int64_t FCleanSize = 0;
  bool FCleaning = false;
  bool FStopRequested = false;
  bool FModalOpen = false;
  bool FMinimized = false;
  bool FFirstTick = true;
  int32_t FPeakLoad = 0;
  int32_t FCpuUsePer = 0;
  win::UINT FIconNotifyMsg = 0;
  long double FTipFreeMB = 0;
  win::HICON FIconNormal = nullptr;
  win::HICON FIconCleaning = nullptr;
  int FTrayIconSize = 0;         // the size they were loaded at
  bool FTrayIconsOwned = false;  // loaded unshared (not 16 pixels): freed here
  win::POINT FCursorPos{};
  int FLastLeft = 0;
  int FLastTop = 0;
  win::POINT FLastCursorPos{};
  win::HMODULE FRsrcLib = nullptr;
  win::GetFreeSystemResourcesProc FGetFreeResources = nullptr;

  // Memory probe: fills the record of the current OS family.
  void SampleMemory();
  // The last sample's figures, from the record of the current OS family.
  MemoryFigures SampledFigures() const;

  // Settings file.
  void LoadSettings();
  void SaveSettings(bool PositionOnly);
  // The end of a save: a failure is told once a run, never while the
  // session ends (FSessionEnding).
  void SettingsWritten(const std::string& path, win::DWORD error);
  bool FSaveFailureTold = false;
  bool FSessionEnding = false;
  void ApplyAppearance(bool OverBackground);

  // Events and handlers.
  void FormCreate(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void MenuClose(TObject* Sender);
  void sbtnConfigClick(TObject* Sender);
  void sbtnMemHeapClick(TObject* Sender);
  void btnStopClick(TObject* Sender);
  void sbtnGetMemClick(TObject* Sender);
  void timMainTimer(TObject* Sender);
  void timSubTimer(TObject* Sender);

  // Cleaning engine and its full-screen progress display.
  void CleanMemory();
  void DrawCleanProgress(int Percent);
  void sbtnMinimizeClick(TObject* Sender);
  void pmRestoreClick(TObject* Sender);
  void sbtnMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void FormActivate(TObject* Sender);
  void AppDeactivate(TObject* Sender);
  void AppMinimize(TObject* Sender);
  void AppRestore(TObject* Sender);

  // Every message of the window passes here first: the tray icon's mouse
  // messages, dragging and hiding, see-through erasing, the magnet.
  void WndProc(TMessage& Message) override;
  void WMNCHitTest(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMMove(TMessage& Message);
  // The shell's "TaskbarCreated" message (the taskbar was restarted).
  win::UINT FTaskbarCreatedMsg = 0;
  win::HICON FTrayIcon = nullptr;
  std::string FTrayTip;
  // The tray icon is added by the first main-timer tick (or the first tray
  // change, if one comes sooner), after the window has painted: the shell's
  // answer to an added icon holds the start-up up.
  bool FTrayPending = false;
  void AddPendingTrayIcon();

  // The tray icon record of every tray call: zeroed, this window, id 0.
  platform::NotifyIconData TrayRecord();
  // See-through mode: the desktop wallpaper painted behind the figures.
  void PaintDesktopBehind();

  // A close asked for while a cleaning runs: the cleaning ends at its next
  // step and the close follows.
  bool FCloseAfterCleaning = false;
  // The nine memory figures' texts fitted to their room, and the row titles
  // the free column must keep clear of.
  FigureFit FFigureFit[9];
  FigureFit FTitleFit;
  int FFreeRoom = 0;
  std::string FittedFigure(int index, TNovelLabel& label, double megabytes, FigureKind kind);
  FigureFit FCpuFit;
  // The processor label's forms drawn smaller: a fit for each size, and how
  // many pixels smaller than its own font the label is drawn now, at which
  // height (a font set anew since then is the label's own again).
  FigureFit FCpuFitSmaller[kCpuLoadMaxShrink];
  int FCpuShrink = 0;
  int FCpuShownHeight = 0;
  // Moved to a monitor of another scale (app/WindowBehaviours.cpp): the
  // texts are fitted anew in its fonts, the tray icon made at its size.
  void FormDpiChanged(TObject* Sender);

  // The block of the cleaning in progress (null between cleanings).
  Reservation* FReservation = nullptr;
  // Log-off or shutdown: never refused, even during a cleaning.
  void WMQueryEndSession(TMessage& Message);

  // Opt-in features of the [EXTRA] section (app/ExtraFeatures.cpp).
  void LoadExtraSettings();
  void SaveExtraSettings(platform::IProfile& file);
  void StartExtras();
  void StopExtras();
  bool ExtraOkQuery();
  bool HotKeyMessage(TMessage& Message);
  void HotKeyPressed();
  void CleaningFinished(uint64_t freeBefore, bool completed);
  void IntervalTick();
  void RefreshTrayLoadIcon();
  win::HICON ShownTrayIcon(win::HICON icon);
  bool StartupEntryNamesThisExe();
  // A change the Run key refuses is told, with the system's reason; the box
  // then shows what the registry holds and the other settings still save.
  void WriteStartupEntry(bool on);
  bool FExtrasStarted = false;
  int FRegisteredHotKey = 0;
  int FIntervalMinutes = 0;
  IntervalClock FIntervalClock;
  TrayLoadIcon FTrayLoad;
  uint64_t FLastFreedBytes = 0;
  bool FBalloonShown = false;

  // The holds of automatic cleaning and the cleaning history
  // (app/HoldsAndHistory.cpp).
  struct CleanStart {
    CleanKind kind;
    win::DWORD tick;
    win::SYSTEMTIME time;
  };
  CleanKind StartKindOf(TObject* Sender);
  CleanStart BeginCleanRecord();
  void RecordCleaning(const CleanStart& start, uint64_t freeBefore, bool stopped);
  void StartAutomatic(CleanKind kind);
  bool AutomaticHeld();
  void WatchAutoHolds();
  // "\n自動掃除は 8 分後まで控えます" while automatic cleaning waits, else "".
  std::string BackoffTip();
  void ApplyHoldsAndHistory();
  void pmHistoryClick(TObject* Sender);
  std::optional<CleanKind> FStartKind;
  AutoBackoff FBackoff;
  CleanHistory FHistory;
  TMenuItem* pmHistory = nullptr;
  FormPtr<TForm> FHistoryFrm;
  std::string FTipBackoff;
  bool FHistoryFileReported = false;

  // The language of the windows (lang/ApplyLanguage.cpp): the choice of the
  // extras tab as the settings file holds it, shown in every window at once.
  void ApplyLanguage(lang::Language language);
  // The fonts of a window in the current language: the system's message
  // font in English, the program's Japanese faces in Japanese.
  static void ApplyLanguageFonts(TWinControl& window);
  lang::TWindowTexts FTexts;
  bool FResourcesColumnRemoved = false;
  bool FLanguageApplied = false;

  // What a screen reader reads of the window and the keyboard's way to its
  // buttons (app/Accessibility.cpp).
  std::vector<platform::AccessibleChild> AccessibleParts();
  bool AccessibleAction(size_t index);
  bool AccessibilityMessage(TMessage& Message);
  void TellChanges(bool changed);
  void ShowButtonMark();
  void PressButton(int number);
  ButtonMark FButtonMark{5};
  ChangeTeller FChangeTeller;
  bool FActive = false;

 private:
  void AddTrayIcon();
  // The program's own tray icons at the small-icon size of the taskbar's
  // monitor (again after a change of its DPI; the tray shows the new ones).
  void LoadTrayIcons();
  void FreeTrayIcons();
  // The program's own icon (the cleaning one while cleaning), or the
  // application's where the resource could not be loaded.
  win::HICON OwnTrayIcon(bool cleaning) const;
  bool RegisterCleanHotKey(int value);
  void ShowBalloon(const std::string& text);
  void ModifyTray(win::UINT flags, win::HICON icon, const std::string& tip);
  bool PumpAndCheckStop();
  // The cleaning between its mark and the mark's end; the end (the mark
  // cleared, the top row and the tray icon back); a close asked for during it.
  void RunCleaning();
  void EndCleaning();
  void PostDeferredClose();
  void BuildLayout();
  void RemoveResourcesColumn();
  FormPtr<TSettingFrm> FSettingFrm;
  FormPtr<THeapChkFrm> FHeapChkFrm;
  // Made at a reader's first question; goes first of the members, before
  // the controls it reads.
  std::unique_ptr<platform::IAccessibleSource> FAccessibleSource;
};

extern TMainForm* MainForm;

// The settings file: the executable's path with its last three characters
// replaced by "ini".
std::string SettingsFilePath();
// Started with "-exec" or "/exec": one cleaning, then the program ends.
bool ExecRun();
// The Memory share of the settings file, brought into the track bar's 5..95:
// the one value the dialog shows and every cleaning size is computed from.
int StoredMemoryShare();
// The system's words for an error code, or the code itself when it has none.
std::string SystemErrorText(win::DWORD error);
// The message of a save that failed: the file, the system's reason, and
// that the file is as it was.
std::string SaveFailureText(const std::string& path, win::DWORD error);

}  // namespace norva
