#include "app/Main.h"

#include "lang/Lang.h"
#include "platform/Desktop.h"
#include "probes/CpuUsage.h"
#include "probes/MemoryStatus.h"
#include "toolkit/Application.h"

namespace norva {

TMainForm* MainForm = nullptr;

using lang::TextId;
using platform::Os;

namespace {

const char* const kStartStat = "PerfStats\\StartStat";
const char* const kStopStat = "PerfStats\\StopStat";
const char* const kCpuUsage = "KERNEL\\CPUUsage";

TFont MainFont(TColor color, bool bold = false, const char* face = "ＭＳ Ｐゴシック", int height = 12) {
  TFont f;
  f.Name = face;
  f.Height = height;
  f.Bold = bold;
  f.Color = color;
  f.Charset = SHIFTJIS_CHARSET;
  return f;
}

void SetUpButton(TSpeedButton& b, int left, int width, TColor color) {
  b.SetBounds(left, 1, width, 16);
  b.SetFont(MainFont(color, true));
}

void SetUpLabel(TNovelLabel& l, int left, int top, int width, const char* caption,
                TAlignment alignment) {
  l.BeginLoad();
  l.SetAutoSize(false);
  l.DrawRefresh = true;
  l.TextShadow = true;
  l.SetTransparent(true);
  l.SetAlignment(alignment);
  l.SetFont(MainFont(clWindow));
  l.SetBounds(left, top, width, 12);
  l.SetCaption(caption);
  l.Loaded();
}

// The program's own tray icons, freed when they were loaded unshared (a
// shared icon is the system's to free).
void ReleaseTrayIcons(bool owned, win::HICON normal, win::HICON cleaning) {
  if (!owned) return;
  for (const win::HICON icon : {normal, cleaning})
    if (icon != nullptr) Os().desktop.DestroyIcon(icon);
}

}  // namespace

TMainForm::TMainForm(TForm* owner) : TForm(owner) {
  // The window from its layout.
  BuildLayout();
  // OS family, first sample, a first cleaning size of half the memory.
  FNtFamily = IsNtFamily();
  SampleMemory();
  FCleanSize = FNtFamily ? static_cast<int64_t>(FMemStatusEx.ullTotalPhys / 2)
                         : static_cast<int64_t>(FMemStatus.dwTotalPhys >> 1);
  // The two other windows, both hidden.
  HeapChkFrm = nullptr;
  FSettingFrm = CreateForm<TSettingFrm>(this);
  SettingFrm = FSettingFrm.get();
  SettingFrm->OnOkQuery = [this] { return ExtraOkQuery(); };
  FHeapChkFrm = CreateForm<THeapChkFrm>(this);
  HeapChkFrm = FHeapChkFrm.get();
  // The settings, then the flags start-up and the first tick rely on.
  FCleaning = false;
  LoadSettings();
  FModalOpen = false;
  FFirstTick = true;
  FStopRequested = false;
  FTipFreeMB = 0;
  // The free-resources function of the older family.
  if (!FNtFamily) {
    FRsrcLib = Os().kernel.LoadLibraryA("rsrc32.dll");
    if (FRsrcLib != nullptr)
      FGetFreeResources = reinterpret_cast<win::GetFreeSystemResourcesProc>(
          Os().kernel.GetProcAddress(FRsrcLib, "_MyGetFreeSystemResources32@4"));
  }
  // Without that function there is nothing to show in the resources column.
  if (FGetFreeResources == nullptr) RemoveResourcesColumn();

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnDestroy = [this](TObject* s) { FormDestroy(s); };
  OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnDpiChanged = [this](TObject* s) { FormDpiChanged(s); };
}

TMainForm::~TMainForm() {
  if (FRsrcLib != nullptr) Os().kernel.FreeLibrary(FRsrcLib);
  FRsrcLib = nullptr;
  FSettingFrm.reset();
  SettingFrm = nullptr;
  FHeapChkFrm.reset();
  HeapChkFrm = nullptr;
  if (MainForm == this) MainForm = nullptr;
}

void TMainForm::BuildLayout() {
  Name = "MainForm";
  SetCaption("Norva");
  BorderStyle = TBorderStyle::bsNone;
  KeyPreview = true;  // Tab moves the mark over the buttons
  SetFont(MainFont(clWindowText));
  SetColor(clBtnFace);
  SetClientSize(200, 80);
  FVisible = true;  // shown at the end of creation

  ImageBk.SetBounds(0, 0, 200, 80);
  ImageBk.SetStretch(true);
  ImageBk.Hide();
  bblClient.SetBounds(0, 0, 200, 80);
  bblClient.Style = TBevelStyle::bsRaised;
  Bevel2.SetBounds(29, 16, 169, 15);
  Bevel1.SetBounds(2, 30, 27, 48);
  Bevel3.SetBounds(168, 32, 2, 50);

  SetUpButton(sbtnConfig, 0, 38, clNavy);
  SetUpButton(sbtnGetMem, 38, 38, clGreen);
  SetUpButton(sbtnMemHeap, 76, 38, clOlive);
  SetUpButton(sbtnMinimize, 167, 16, clBlack);
  SetUpButton(sbtnClose, 183, 16, clBlack);
  // Each button and its white twin, which shows over a picture, say the same.
  struct Twin {
    TSpeedButton& white;
    TSpeedButton& coloured;
    TextId caption;
    TextId hint;
  };
  for (Twin t :
       {Twin{sbtnWConfig, sbtnConfig, TextId::MainSettingsButton, TextId::MainSettingsHint},
        Twin{sbtnWGetMem, sbtnGetMem, TextId::MainCleanButton, TextId::MainCleanHint},
        Twin{sbtnWMemHeap, sbtnMemHeap, TextId::MainInfoButton, TextId::MainInfoHint},
        Twin{sbtnWMinimize, sbtnMinimize, TextId::MainMinimizeButton, TextId::MainMinimizeHint},
        Twin{sbtnWClose, sbtnClose, TextId::MainCloseButton, TextId::MainCloseHint}}) {
    FTexts.Caption(t.coloured, t.caption);
    FTexts.Hint(t.coloured, t.hint);
    t.white.SetBounds(t.coloured.Left() - 1, t.coloured.Top() - 1, t.coloured.Width(),
                      t.coloured.Height());
    FTexts.Caption(t.white, t.caption);
    t.white.SetFont(MainFont(clWhite, true));
    FTexts.Hint(t.white, t.hint);
    t.white.Hide();
  }
  // The kanji captions are bold; Latin words in bold fill their 38-pixel
  // boxes and run into each other, so they take the regular weight.
  FTexts.Add([this] {
    for (TSpeedButton* b :
         {&sbtnConfig, &sbtnGetMem, &sbtnMemHeap, &sbtnWConfig, &sbtnWGetMem, &sbtnWMemHeap}) {
      TFont font = b->Font();
      font.Bold = lang::Current() == lang::Language::Japanese;
      if (!(font == b->Font())) b->SetFont(font);
    }
  });
  for (TSpeedButton* b : {&sbtnConfig, &sbtnWConfig})
    b->OnClick = [this](TObject* s) { sbtnConfigClick(s); };
  for (TSpeedButton* b : {&sbtnMemHeap, &sbtnWMemHeap})
    b->OnClick = [this](TObject* s) { sbtnMemHeapClick(s); };
  for (TSpeedButton* b : {&sbtnGetMem, &sbtnWGetMem})
    b->OnClick = [this](TObject* s) { sbtnGetMemClick(s); };
  for (TSpeedButton* b : {&sbtnClose, &sbtnWClose})
    b->OnClick = [this](TObject* s) { MenuClose(s); };
  for (TSpeedButton* b : {&sbtnMinimize, &sbtnWMinimize})
    b->OnClick = [this](TObject* s) { sbtnMinimizeClick(s); };
  for (TSpeedButton* b : {&sbtnConfig, &sbtnGetMem, &sbtnMemHeap, &sbtnMinimize, &sbtnClose,
                          &sbtnWConfig, &sbtnWGetMem, &sbtnWMemHeap, &sbtnWMinimize, &sbtnWClose})
    b->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { sbtnMouseMove(s, sh, x, y); };

  SetUpLabel(nlblCpuUsePer, 114, 3, 49, "CPU:100%", TAlignment::taRightJustify);
  SetUpLabel(nlblUsePer, 0, 17, 28, lang::Text(TextId::MainLoadUnit), TAlignment::taRightJustify);
  FTexts.Add([this] { nlblUsePer.SetHint(lang::Text(TextId::MainLoadHint)); });
  SetUpLabel(nlblTitleInfo, 47, 17, 151, "", TAlignment::taLeftJustify);
  FTexts.Add([this] {
    nlblTitleInfo.SetCaption(lang::Text(
        FResourcesColumnRemoved ? TextId::MainColumnTitlesNoResources : TextId::MainColumnTitles));
  });
  nlblTitleInfo.SetFont(MainFont(clWindow, false, "ＭＳ ゴシック"));
  SetUpLabel(nlblTitlePhysical, 0, 33, 30, "", TAlignment::taCenter);
  FTexts.Caption(nlblTitlePhysical, TextId::MainPhysicalRow);
  FTexts.Add([this] { nlblTitlePhysical.SetHint(lang::Text(TextId::MainPhysicalHint)); });
  SetUpLabel(nlblPageTitle, 0, 48, 30, "", TAlignment::taCenter);
  FTexts.Caption(nlblPageTitle, TextId::MainPageRow);
  FTexts.Add([this] { nlblPageTitle.SetHint(lang::Text(TextId::MainPageHint)); });
  SetUpLabel(nlblVirtualTitle, 0, 63, 30, "", TAlignment::taCenter);
  FTexts.Caption(nlblVirtualTitle, TextId::MainVirtualRow);
  FTexts.Add([this] { nlblVirtualTitle.SetHint(lang::Text(TextId::MainVirtualHint)); });
  const int rows[3] = {33, 48, 63};
  TNovelLabel* freeColumn[3] = {&nlblPhysicalFree, &nlblPageFree, &nlblVirtualFree};
  TNovelLabel* useColumn[3] = {&nlblPhysicalUse, &nlblPageUse, &nlblVirtualUse};
  TNovelLabel* totalColumn[3] = {&nlblPhysicalTotal, &nlblPageTotal, &nlblVirtualTotal};
  TNovelLabel* resColumn[3] = {&nlblResSys, &nlblResUser, &nlblResGdi};
  for (int i = 0; i < 3; ++i) {
    SetUpLabel(*freeColumn[i], 22, rows[i], 44, "0.0", TAlignment::taRightJustify);
    SetUpLabel(*useColumn[i], 71, rows[i], 36, "0.0", TAlignment::taRightJustify);
    SetUpLabel(*totalColumn[i], 108, rows[i], 56, "0.0 MB", TAlignment::taRightJustify);
    SetUpLabel(*resColumn[i], 169, rows[i], 27, "%", TAlignment::taRightJustify);
  }

  stcInfo.SetBounds(32, 88, 169, 16);
  stcInfo.Alignment = TAlignment::taCenter;
  stcInfo.SetColor(clYellow);
  stcInfo.SetFont(MainFont(clWindowText));
  stcInfo.SetCaption(lang::Text(TextId::MainCleaningBar));
  btnStop.SetBounds(0, 88, 38, 16);
  btnStop.SetFont(MainFont(clRed, false, "ＭＳ Ｐゴシック", 11));
  FTexts.Caption(btnStop, TextId::MainStopButton);
  FTexts.Hint(btnStop, TextId::MainStopHint);
  btnStop.OnClick = [this](TObject* s) { btnStopClick(s); };

  pmRestore = &PopupMenu.Add("pmRestore", "");
  pmRestore->Default = true;
  PopupMenu.Add("N2", "-");
  pmConfig = &PopupMenu.Add("pmConfig", "");
  pmClean = &PopupMenu.Add("pmClean", "");
  pmInfo = &PopupMenu.Add("pmInfo", "");
  PopupMenu.Add("N1", "-");
  pmExit = &PopupMenu.Add("pmExit", "");
  FTexts.Add([this] {
    pmRestore->Caption = lang::Text(TextId::MenuRestore);
    pmConfig->Caption = lang::Text(TextId::MenuSettings);
    pmClean->Caption = lang::Text(TextId::MenuClean);
    pmInfo->Caption = lang::Text(TextId::MenuInfo);
    pmExit->Caption = lang::Text(TextId::MenuExit);
    if (pmHistory != nullptr) pmHistory->Caption = lang::Text(TextId::MenuHistory);
  });
  pmConfig->OnClick = [this](TObject* s) { sbtnConfigClick(s); };
  pmInfo->OnClick = [this](TObject* s) { sbtnMemHeapClick(s); };
  pmRestore->OnClick = [this](TObject* s) { pmRestoreClick(s); };
  pmClean->OnClick = [this](TObject* s) { sbtnGetMemClick(s); };
  pmExit->OnClick = [this](TObject* s) { MenuClose(s); };

  timMain.Name = "timMain";
  timMain.SetInterval(100);
  timMain.OnTimer = [this](TObject* s) { timMainTimer(s); };
  timSub.Name = "timSub";
  timSub.SetInterval(1000);
  timSub.OnTimer = [this](TObject* s) { timSubTimer(s); };
  timMain.SetEnabled(true);
  timSub.SetEnabled(true);
}

void TMainForm::RemoveResourcesColumn() {
  nlblResSys.Hide();
  nlblResUser.Hide();
  nlblResGdi.Hide();
  Bevel3.Hide();
  FResourcesColumnRemoved = true;
  nlblTitleInfo.SetCaption(lang::Text(TextId::MainColumnTitlesNoResources));
  for (TNovelLabel* l : {&nlblPhysicalUse, &nlblPageUse, &nlblVirtualUse}) l->SetLeft(76);
  for (TNovelLabel* l : {&nlblPhysicalTotal, &nlblPageTotal, &nlblVirtualTotal}) l->SetLeft(132);
  TSettingFrm& s = *SettingFrm;
  for (TControl* c : std::initializer_list<TControl*>{
           &s.lblResWavCaption, &s.edtResWavPath, &s.lblResWavMB1, &s.edtResWav2, &s.udResWav2,
           &s.lblResWavMB2, &s.btnResWavPlay, &s.btnResWavRead, &s.btnResWavClear})
    c->Hide();
}

MemoryFigures TMainForm::SampledFigures() const {
  return FNtFamily ? FiguresOf(FMemStatusEx) : FiguresOf(FMemStatus);
}

void TMainForm::SampleMemory() {
  if (FNtFamily) {
    FMemStatusEx.dwLength = sizeof(FMemStatusEx);
    MemoryStatusEx probe;
    probe.Get(FMemStatusEx);
  } else {
    FMemStatus.dwLength = sizeof(FMemStatus);
    Os().kernel.GlobalMemoryStatus(&FMemStatus);
  }
}

platform::NotifyIconData TMainForm::TrayRecord() {
  platform::NotifyIconData data;
  data.hWnd = Handle();
  return data;
}

void TMainForm::FormCreate(TObject*) {
  auto& user = Os().user;
  FIconNotifyMsg = user.RegisterWindowMessageA("IconNotify");
  LoadTrayIcons();
  FTrayIcon = OwnTrayIcon(false);
  FTrayTip = "Norva";
  FTrayPending = true;
  FTaskbarCreatedMsg = user.RegisterWindowMessageA("TaskbarCreated");
  Application->OnDeactivate = [this](TObject* s) { AppDeactivate(s); };
  Application->OnMinimize = [this](TObject* s) { AppMinimize(s); };
  Application->OnRestore = [this](TObject* s) { AppRestore(s); };
  if (!FNtFamily) ReadPerfCounter(win::HKEY_DYN_DATA, kStartStat, kCpuUsage);
  StartExtras();
}

void TMainForm::LoadTrayIcons() {
  const int size = Os().desktop.SmallIconSize(Os().desktop.TaskbarPixelsPerInch());
  if (size == FTrayIconSize) return;
  const win::HICON oldNormal = FIconNormal, oldCleaning = FIconCleaning;
  const bool oldOwned = FTrayIconsOwned;
  // The shared 16-pixel icons at 96 DPI; a shared icon keeps the size it was
  // first loaded at, so the larger ones are loaded on their own and freed.
  auto& user = Os().user;
  const bool standard = size == 16;
  const win::UINT flags = standard ? win::LR_SHARED | win::LR_DEFAULTSIZE : 0;
  FIconNormal = user.LoadIconResource("TASKTRAY00", size, size, flags);
  FIconCleaning = user.LoadIconResource("TASKTRAY01", size, size, flags);
  FTrayIconSize = size;
  FTrayIconsOwned = !standard;
  // The tray shows the new icon in place of the old one.
  // (The application's icon where the new one could not be loaded: the old
  // one is freed below.)
  if (FTrayIcon != nullptr && (FTrayIcon == oldNormal || FTrayIcon == oldCleaning)) {
    const win::HICON replacement = OwnTrayIcon(FTrayIcon == oldCleaning);
    if (FTrayPending)
      FTrayIcon = replacement;
    else
      ModifyTray(win::NIF_ICON, replacement, FTrayTip);
  }
  ReleaseTrayIcons(oldOwned, oldNormal, oldCleaning);
}

win::HICON TMainForm::OwnTrayIcon(bool cleaning) const {
  const win::HICON own = cleaning ? FIconCleaning : FIconNormal;
  return own != nullptr ? own : Os().user.ApplicationIcon();
}

void TMainForm::FreeTrayIcons() {
  ReleaseTrayIcons(FTrayIconsOwned, FIconNormal, FIconCleaning);
  FIconNormal = FIconCleaning = nullptr;
  FTrayIconsOwned = false;
  FTrayIconSize = 0;
}

void TMainForm::AddPendingTrayIcon() {
  if (FTrayPending) AddTrayIcon();
}

void TMainForm::AddTrayIcon() {
  FTrayPending = false;
  platform::NotifyIconData tray = TrayRecord();
  tray.uFlags = win::NIF_MESSAGE | win::NIF_ICON | win::NIF_TIP;
  tray.uCallbackMessage = FIconNotifyMsg;
  tray.hIcon = FTrayIcon;
  tray.szTip = FTrayTip;
  Os().shell.Shell_NotifyIconA(win::NIM_ADD, tray);
}

void TMainForm::ModifyTray(win::UINT flags, win::HICON icon, const std::string& tip) {
  AddPendingTrayIcon();
  platform::NotifyIconData tray = TrayRecord();
  tray.uFlags = flags;
  if ((flags & win::NIF_ICON) != 0) icon = ShownTrayIcon(icon);
  tray.hIcon = icon;
  tray.szTip = tip;
  if ((flags & win::NIF_ICON) != 0) FTrayIcon = icon;
  if ((flags & win::NIF_TIP) != 0) FTrayTip = tip;
  Os().shell.Shell_NotifyIconA(win::NIM_MODIFY, tray);
  FTrayLoad.ReleaseReplaced();
}

void TMainForm::FormCloseQuery(TObject*, bool& CanClose) {
  // Inside a cleaning's message pump: the cleaning still holds its blocks and
  // this window's controls, so it ends first and closes afterwards.
  if (FCleaning) {
    FCloseAfterCleaning = true;
    CanClose = false;
    return;
  }
  SaveSettings(false);
  CanClose = true;
}

void TMainForm::FormDestroy(TObject*) {
  if (!FNtFamily) ReadPerfCounter(win::HKEY_DYN_DATA, kStopStat, kCpuUsage);
  if (!FTrayPending) Os().shell.Shell_NotifyIconA(win::NIM_DELETE, TrayRecord());
  StopExtras();
  FreeTrayIcons();
}

void TMainForm::MenuClose(TObject*) { Os().user.PostMessageA(Handle(), win::WM_CLOSE, 0, 0); }

void TMainForm::sbtnConfigClick(TObject*) {
  // Asked again while the dialog is open (the tray menu still works then):
  // the open dialog stays as it is, with the user's unsaved changes.
  if (SettingFrm->Modal()) {
    SettingFrm->Show();
    return;
  }
  Show();
  FMinimized = false;
  Application->Restore();
  SaveSettings(true);
  LoadSettings();
  TModalResult result = TModalResult::mrCancel;
  {
    // Automatic cleaning waits while the dialog is open, however it closes.
    struct ModalFlag {
      bool& flag;
      explicit ModalFlag(bool& f) : flag(f) { flag = true; }
      ~ModalFlag() { flag = false; }
    } modal(FModalOpen);
    result = SettingFrm->ShowModal();
  }
  if (result == TModalResult::mrOk) SaveSettings(false);
  LoadSettings();
}

void TMainForm::sbtnMemHeapClick(TObject*) {
  if (HeapChkFrm == nullptr) {
    FHeapChkFrm = CreateForm<THeapChkFrm>(this);
    HeapChkFrm = FHeapChkFrm.get();
    ApplyLanguageFonts(*HeapChkFrm);
  }
  if (!HeapChkFrm->Visible()) HeapChkFrm->Show();
}

// Only a running cleaning is stopped: a press between cleanings (a reader's
// press that arrives after the end, a key on the stop button that kept the
// focus once it went out of view) would otherwise stop the next one at once.
void TMainForm::btnStopClick(TObject*) {
  if (FCleaning) FStopRequested = true;
}

void TMainForm::PaintDesktopBehind() {
  if (!SettingFrm->chkbEraseBkgnd.Checked()) return;
  Os().user.PaintDesktopWallpaper(Handle(), nullptr);
  Invalidate();
}

void TMainForm::AppMinimize(TObject*) {
  FMinimized = true;
  if (SettingFrm->ckbTaskBarHide.Checked()) Os().user.ShowWindow(Application->Handle(), win::SW_HIDE);
  if (HeapChkFrm != nullptr && HeapChkFrm->Visible()) HeapChkFrm->Hide();
}

void TMainForm::AppRestore(TObject*) {
  Show();
  FMinimized = false;
  if (SettingFrm->ckbTaskBarHide.Checked()) Os().user.ShowWindow(Application->Handle(), win::SW_HIDE);
}

void TMainForm::AppDeactivate(TObject*) {
  if (FMinimized || !SettingFrm->ckbStayOnTop.Checked()) return;
  if (Visible())
    Os().user.SetWindowPos(Application->Handle(), win::HWND_TOPMOST, Left(), Top(), Width(),
                           Height(), win::SWP_SHOWWINDOW | win::SWP_NOMOVE | win::SWP_NOSIZE);
  if (SettingFrm->ckbTaskBarHide.Checked()) Os().user.ShowWindow(Application->Handle(), win::SW_HIDE);
}

}  // namespace norva
