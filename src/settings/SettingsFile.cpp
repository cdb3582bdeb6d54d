// Reading and writing the settings file beside the executable.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Main.h"
#include "app/Monitors.h"
#include "platform/ProfileTransaction.h"
#include "platform/Text.h"
#include "probes/MemoryStatus.h"
#include "settings/ColorText.h"
#include "toolkit/Application.h"

namespace norva {

using platform::Os;

namespace {

const char* const kSystem = "SYSTEM";
const char* const kDefault = "DEFAULT";
const char* const kColor = "COLOR";

// The reads of one settings load, straight from the file.
class IniFile {
 public:
  explicit IniFile(std::string path) : FPath(std::move(path)) {}
  int Int(const char* section, const char* key, int defaultValue) const {
    return Os().profile.GetPrivateProfileIntA(section, key, defaultValue, FPath);
  }
  bool Flag(const char* section, const char* key) const { return Int(section, key, 0) != 0; }
  std::string Text(const char* section, const char* key, const char* defaultValue) const {
    return Os().profile.GetPrivateProfileStringA(section, key, defaultValue, FPath);
  }
  // A colour text that names no colour and is no number keeps the default.
  TColor Color(const char* section, const char* key, const char* defaultName) const {
    if (auto c = StringToColor(Text(section, key, defaultName))) return *c;
    return *StringToColor(defaultName);
  }

 private:
  std::string FPath;
};

// The writes of one save, made to a copy of the file in memory by the
// profile functions' rules; the copy replaces the file whole at the end.
class IniSave {
 public:
  explicit IniSave(platform::ProfileTransaction& file) : FFile(file) {}
  void Write(const char* section, const char* key, const std::string& value) const {
    FFile.WritePrivateProfileStringA(section, key, value.c_str(), FFile.Path());
  }
  void WriteInt(const char* section, const char* key, int value) const {
    Write(section, key, std::to_string(value));
  }
  void WriteFlag(const char* section, const char* key, bool value) const {
    Write(section, key, value ? "1" : "0");
  }
  void Delete(const char* section, const char* key) const {
    FFile.WritePrivateProfileStringA(section, key, nullptr, FFile.Path());
  }

 private:
  platform::ProfileTransaction& FFile;
};

// Position and upper bound of one up-down with its box: the value is cut to
// the 16 bits the setting is held in, then stored (at least minimum, else
// replacement), the bound set, and the box shows the value, which the box's
// own rules may still bring into range. Cutting first keeps a hand-edited
// 40000 (-25536 in 16 bits) from passing the check and showing negative.
void LoadBoundedNumber(TUpDown& upDown, TEdit& edit, int value, int minimum, int replacement,
                       int upperBound) {
  const int16_t cut = static_cast<int16_t>(value);
  const int16_t stored = static_cast<int16_t>(cut < minimum ? replacement : cut);
  upDown.SetPosition(stored);
  if (upperBound > 0) upDown.SetMax(upperBound);
  edit.SetText(std::to_string(stored));
}

// Marks the dialog as loading for the life of one settings load.
class LoadingScope {
 public:
  explicit LoadingScope(TSettingFrm& s) : FDialog(s) { FDialog.FLoading = true; }
  ~LoadingScope() { FDialog.FLoading = false; }
  LoadingScope(const LoadingScope&) = delete;
  LoadingScope& operator=(const LoadingScope&) = delete;

 private:
  TSettingFrm& FDialog;
};

}  // namespace

int StoredMemoryShare() {
  const int stored = Os().profile.GetPrivateProfileIntA(kDefault, "Memory", 50, SettingsFilePath());
  return std::clamp(stored, 5, 95);
}

std::string SettingsFilePath() {
  std::string path = Os().kernel.GetModuleFileNameA();
  if (path.size() > 4) path.replace(path.size() - 3, 3, "ini");
  return path;
}

void TMainForm::LoadSettings() {
  const IniFile ini(SettingsFilePath());
  TSettingFrm& s = *SettingFrm;
  const LoadingScope loading(s);
  auto& user = Os().user;

  // Position. A corner on any monitor is kept (on a second monitor left of
  // or above the primary one it is negative); off every monitor, each axis
  // off the primary screen goes to its edge 0.
  const int x = ini.Int(kSystem, "XPos", 0);
  const int y = ini.Int(kSystem, "YPos", 0);
  const bool onAMonitor = PositionOnAMonitor(DesktopMonitors(), x, y);
  if (x != Left()) SetLeft(x);
  if (!onAMonitor && (x < 0 || x > user.GetSystemMetrics(win::SM_CXSCREEN) - 2)) SetLeft(0);
  if (y != Top()) SetTop(y);
  if (!onAMonitor && (y < 0 || y > user.GetSystemMetrics(win::SM_CYSCREEN) - 2)) SetTop(0);

  // Stay on top, for the main window and the application window alike.
  s.ckbStayOnTop.SetChecked(ini.Flag(kDefault, "StayOnTop"));
  const win::UINT keep = win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_SHOWWINDOW;
  if (s.ckbStayOnTop.Checked()) {
    user.SetWindowPos(Handle(), win::HWND_TOPMOST, 0, 0, 0, 0, keep);
    user.SetWindowPos(Application->Handle(), win::HWND_TOPMOST, 0, 0, 0, 0, keep);
    Application->RestoreTopMosts();
  } else {
    user.SetWindowPos(Handle(), win::HWND_NOTOPMOST, 0, 0, 0, 0, keep);
    user.SetWindowPos(Application->Handle(), win::HWND_NOTOPMOST, 0, 0, 0, 0, keep);
  }
  // The window behaviours and what they show or hide at once.
  s.ckbDontCatch.SetChecked(ini.Flag(kDefault, "DontCatch"));
  s.ckbCpuPer.SetChecked(ini.Flag(kDefault, "ShowCpuUsePer"));
  nlblCpuUsePer.SetVisible(s.ckbCpuPer.Checked());
  s.ckbStopCpuPer.SetChecked(ini.Flag(kDefault, "StopCpuUsePer"));
  s.ckbOverAction.SetChecked(ini.Flag(kDefault, "OverAction"));
  s.ckbTaskBarHide.SetChecked(ini.Flag(kDefault, "TaskBarHide"));
  user.ShowWindow(Application->Handle(), s.ckbTaskBarHide.Checked() ? win::SW_HIDE : win::SW_SHOW);
  // Self-sizing cleaning.
  s.chkbAutoMem.SetChecked(ini.Flag(kDefault, "AutoMemSize"));

  // The cleaning size. A hand-edited share outside the track bar's range
  // is brought into it first, so the size always matches what the dialog
  // shows and what the next save writes.
  const int memory = StoredMemoryShare();
  s.trkberMemPer.SetPosition(memory);
  uint64_t totalPhys = 0;
  if (FNtFamily) {
    SampleMemory();
    totalPhys = FMemStatusEx.ullTotalPhys;
    FCleanSize = static_cast<int64_t>((totalPhys / 100) * static_cast<uint64_t>(memory));
  } else {
    FMemStatus.dwLength = sizeof(FMemStatus);
    Os().kernel.GlobalMemoryStatus(&FMemStatus);
    totalPhys = FMemStatus.dwTotalPhys;
    FCleanSize =
        static_cast<win::DWORD>((FMemStatus.dwTotalPhys / 100) * static_cast<win::DWORD>(memory));
  }

  // Automatic cleaning and its rules; the click handler enables what goes
  // with it.
  s.chkbAuto.SetChecked(ini.Flag(kDefault, "AutoMemClear"));
  s.chkbMinExec.SetChecked(ini.Flag(kDefault, "AutoMemMin"));
  s.chkbFreeInc.SetChecked(ini.Flag(kDefault, "AutoMemUsed"));
  s.chkbNot100Per.SetChecked(ini.Flag(kDefault, "Not100Per"));
  s.chkbAutoClick(&s.chkbAuto);

  // A quarter of physical memory in whole megabytes bounds both.
  const int quarterMB = static_cast<int>(
      std::min<double>(static_cast<double>(totalPhys) * 0.00000095367431640625 * 0.25, 32767));
  LoadBoundedNumber(s.udMem, s.edtMem, ini.Int(kDefault, "AutoExeSize", 0), 1, 1, quarterMB);
  LoadBoundedNumber(s.udUsePer, s.edtUsePer, ini.Int(kDefault, "AutoMemUsePer", 0), 1, 1,
                    quarterMB);
  // Snapping to the screen edges.
  s.ckbMagnet.SetChecked(ini.Flag(kDefault, "Magnet"));
  // The text and background colours of both display modes.
  s.lblNormalColor.SetFontColor(ini.Color(kColor, "NormalString", "clWindowText"));
  s.pnlColorSetNormal.SetColor(ini.Color(kColor, "NormalBkgnd", "clBtnFace"));
  s.lblBkgColorF.SetFontColor(ini.Color(kColor, "BkdispStringFront", "clWhite"));
  s.lblBkgColorB.SetFontColor(ini.Color(kColor, "BkdispStringBk", "clWindowText"));
  // On without the key, off for an explicit "0" or any other text.
  if (ini.Int(kColor, "ButtonColorNotChange", 0) != 0)
    s.chkbButtonColorDef.SetChecked(true);
  else
    s.chkbButtonColorDef.SetChecked(ini.Text(kColor, "ButtonColorNotChange", "").empty());

  // The wallpaper. A folder, or a file that is no loadable bitmap, is
  // treated as a missing file: no wallpaper, and the key is written back empty.
  const std::string bmp = ini.Text(kDefault, "BmpFileName", "");
  const win::DWORD attributes = Os().kernel.GetFileAttributesA(bmp);
  const bool usable = attributes != win::INVALID_FILE_ATTRIBUTES &&
                      (attributes & win::FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                      ImageBk.LoadFromFile(bmp) && s.imgPreview.LoadFromFile(bmp);
  if (usable) {
    ImageBk.Show();
    s.lblBmpDir.SetCaption(bmp);
    s.imgPreview.Show();
    s.btnBmpClear.SetEnabled(true);
    s.chkbEraseBkgnd.SetEnabled(false);
    ApplyAppearance(true);
    const bool stretch = std::atoi(ini.Text(kDefault, "BmpStretch", "0").c_str()) != 0;
    ImageBk.SetStretch(stretch);
    s.chkbStretch.SetChecked(stretch);
  } else {
    ImageBk.Hide();
    ImageBk.Clear();
    s.imgPreview.Hide();
    s.imgPreview.Clear();
    s.btnBmpClear.SetEnabled(false);
    s.chkbEraseBkgnd.SetEnabled(true);
    s.lblBmpDir.SetCaption("");
    ApplyAppearance(false);
  }
  // See-through mode.
  if (ini.Flag(kDefault, "BkGrndDisp")) {
    s.chkbEraseBkgnd.SetChecked(true);
    ApplyAppearance(true);
  } else {
    s.chkbEraseBkgnd.SetChecked(false);
  }
  // The window is painted anew with all of the above.
  Invalidate();
  // Hints on or off for every control that has one.
  s.chkbHideHint.SetChecked(ini.Flag(kDefault, "Hint"));
  for (TControl* c : std::initializer_list<TControl*>{
           &sbtnWMinimize, &sbtnWClose, &sbtnWMemHeap, &sbtnWGetMem, &sbtnWConfig, &sbtnConfig,
           &sbtnGetMem, &sbtnMemHeap, &sbtnMinimize, &sbtnClose, &btnStop, &nlblUsePer,
           &nlblTitlePhysical, &nlblPageTitle, &nlblVirtualTitle})
    c->SetShowHint(!s.chkbHideHint.Checked());
  // The cleaning speed.
  s.cmbClSpeed.SetItemIndex(ini.Int(kDefault, "CleanSpeed", 0));
  // The two warning sounds: their thresholds and files.
  LoadBoundedNumber(s.udMem2, s.edtMem2, ini.Int(kDefault, "WavPlayStart", 1), 1, 1, quarterMB);
  s.edtWavPath.SetText(ini.Text(kDefault, "WavFileName", ""));
  LoadBoundedNumber(s.udResWav2, s.edtResWav2, ini.Int(kDefault, "ResWavPlayStart", 10), 1, 10, 0);
  s.edtResWavPath.SetText(ini.Text(kDefault, "ResWavFileName", ""));
  LoadExtraSettings();
}

void TMainForm::SaveSettings(bool PositionOnly) {
  platform::ProfileTransaction file(Os().files, SettingsFilePath());
  const IniSave ini(file);
  TSettingFrm& s = *SettingFrm;

  ini.WriteInt(kSystem, "XPos", Left());
  ini.WriteInt(kSystem, "YPos", Top());
  ini.WriteFlag(kSystem, "Small", FMinimized);
  if (PositionOnly) {
    SettingsWritten(file.Path(), file.Commit());
    return;
  }

  ini.WriteFlag(kDefault, "StayOnTop", s.ckbStayOnTop.Checked());
  ini.WriteFlag(kDefault, "DontCatch", s.ckbDontCatch.Checked());
  ini.WriteFlag(kDefault, "ShowCpuUsePer", s.ckbCpuPer.Checked());
  ini.WriteFlag(kDefault, "StopCpuUsePer", s.ckbStopCpuPer.Checked());
  ini.WriteFlag(kDefault, "OverAction", s.ckbOverAction.Checked());
  ini.WriteFlag(kDefault, "TaskBarHide", s.ckbTaskBarHide.Checked());
  ini.WriteInt(kDefault, "Memory", s.trkberMemPer.Position());
  ini.WriteFlag(kDefault, "AutoMemClear", s.chkbAuto.Checked());
  ini.WriteFlag(kDefault, "AutoMemMin", s.chkbMinExec.Checked());
  ini.WriteFlag(kDefault, "AutoMemUsed", s.chkbFreeInc.Checked());
  ini.WriteFlag(kDefault, "AutoMemSize", s.chkbAutoMem.Checked());
  ini.WriteInt(kDefault, "AutoExeSize", s.udMem.Position());
  ini.WriteInt(kDefault, "AutoMemUsePer", s.udUsePer.Position());
  ini.WriteFlag(kDefault, "Not100Per", s.chkbNot100Per.Checked());
  ini.Write(kDefault, "BmpFileName", s.imgPreview.HasPicture() ? s.lblBmpDir.Caption() : "");
  ini.WriteFlag(kDefault, "BmpStretch", s.chkbStretch.Checked());
  ini.WriteFlag(kDefault, "BkGrndDisp", s.chkbEraseBkgnd.Checked());

  ini.Write(kColor, "NormalString", ColorToString(s.lblNormalColor.Font().Color));
  if (s.pnlColorSetNormal.Color() == clBtnFace)
    ini.Delete(kColor, "NormalBkgnd");
  else
    ini.Write(kColor, "NormalBkgnd", ColorToString(s.pnlColorSetNormal.Color()));
  ini.Write(kColor, "BkdispStringFront", ColorToString(s.lblBkgColorF.Font().Color));
  ini.Write(kColor, "BkdispStringBk", ColorToString(s.lblBkgColorB.Font().Color));
  ini.WriteFlag(kColor, "ButtonColorNotChange", s.chkbButtonColorDef.Checked());

  ini.WriteInt(kDefault, "WavPlayStart", s.udMem2.Position());
  ini.Write(kDefault, "WavFileName", s.btnPlay.Enabled() ? s.edtWavPath.Text() : "");
  ini.WriteInt(kDefault, "ResWavPlayStart", s.udResWav2.Position());
  ini.Write(kDefault, "ResWavFileName", s.btnResWavPlay.Enabled() ? s.edtResWavPath.Text() : "");
  ini.WriteFlag(kDefault, "Hint", s.chkbHideHint.Checked());
  ini.WriteInt(kDefault, "CleanSpeed", s.cmbClSpeed.ItemIndex());
  ini.WriteFlag(kDefault, "Magnet", s.ckbMagnet.Checked());
  SaveExtraSettings(file);
  SettingsWritten(file.Path(), file.Commit());
}

void TMainForm::SettingsWritten(const std::string& path, win::DWORD error) {
  // The file on disk is still the one before this save. Told once a run:
  // every later save (the next close, the next OK) fails the same way. At
  // the end of the session no window may be shown, and the old file simply
  // stays.
  if (error == 0 || FSaveFailureTold || FSessionEnding) return;
  FSaveFailureTold = true;
  Os().user.MessageBoxA(HandleAllocated() ? Handle() : nullptr, SaveFailureText(path, error),
                        lang::Text(lang::TextId::ErrorTitle), win::MB_OK | win::MB_ICONERROR);
}

std::string SystemErrorText(win::DWORD error) {
  const std::string reason = Os().files.ErrorText(error);
  return !reason.empty()
             ? reason
             : lang::Format(lang::TextId::ErrorCode,
                            {{"code", std::to_string(static_cast<unsigned long>(error))}});
}

std::string SaveFailureText(const std::string& path, win::DWORD error) {
  return lang::Format(lang::TextId::SaveFailed,
                      {{"path", path}, {"reason", SystemErrorText(error)}});
}

}  // namespace norva
