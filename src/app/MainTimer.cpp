// The main timer: ten times a second, the figures, the start-up work, the
// warning sound and the automatic cleaning rules.
#include <algorithm>
#include <cstdio>

#include "app/Main.h"
#include "platform/Text.h"
#include "probes/MemoryStatus.h"
#include "toolkit/Application.h"
#include "toolkit/Backend.h"
#include "toolkit/Dpi.h"

namespace norva {

using platform::Os;

namespace {

// Sets the caption only when the text differs; tells whether it did.
bool Refresh(TNovelLabel& label, const std::string& text) {
  if (label.Caption() == text) return false;
  label.SetCaption(text);
  return true;
}

}  // namespace

void TMainForm::sbtnGetMemClick(TObject* Sender) {
  // The start's kind for the history: an automatic start has named it.
  if (!FStartKind) FStartKind = StartKindOf(Sender);
  CleanMemory();
  FStartKind.reset();
}

std::string TMainForm::FittedFigure(int index, TNovelLabel& label, double megabytes,
                                    FigureKind kind) {
  TCanvas& canvas = CurrentBackend().MeasureCanvas(PixelsPerInch());
  int room = label.Width();
  // The free column reaches under the centred row titles: its figures end
  // short of the widest title's text and its shadow, with a pixel of air,
  // the same room in every row (taken with the first of them, index 0).
  if (&label == &nlblPhysicalFree || &label == &nlblPageFree || &label == &nlblVirtualFree) {
    if (index == 0) {
      FFreeRoom = room;
      for (const TNovelLabel* title : {&nlblTitlePhysical, &nlblPageTitle, &nlblVirtualTitle}) {
        const int text = FTitleFit.Width(canvas, title->Font(), title->Caption());
        const int titleRight = title->Left() + (title->Width() - text) / 2 + text;
        FFreeRoom = std::min(FFreeRoom, label.Left() + label.Width() - titleRight - 2);
      }
    }
    room = FFreeRoom;
  }
  FigureFit& fit = FFigureFit[index];
  return FigureText(megabytes, kind, [&](const std::string& text) {
    return fit.Fits(canvas, label.Font(), room, text);
  });
}

void TMainForm::timMainTimer(TObject*) {
  TSettingFrm& s = *SettingFrm;
  auto& user = Os().user;
  AddPendingTrayIcon();
  // A fresh sample for everything this tick shows and decides.
  SampleMemory();

  // Start-up work, once.
  if (FFirstTick) {
    FFirstTick = false;
    Application->ProcessMessages();
    const int small = Os().profile.GetPrivateProfileIntA("SYSTEM", "Small", 0, SettingsFilePath());
    if (small != 0) {
      Application->Minimize();
      FMinimized = true;
      Hide();
    } else {
      FMinimized = false;
      Show();
    }
    if (s.ckbTaskBarHide.Checked()) user.ShowWindow(Application->Handle(), win::SW_HIDE);
    if (Application->ParamCount() >= 1) {
      const std::string arg = text::ToLowerAscii(Application->ParamStr(1));
      if (arg == "/exec" || arg == "-exec") {
        sbtnGetMemClick(nullptr);
        user.PostMessageA(Handle(), win::WM_CLOSE, 0, 0);
        return;
      }
    }
  }

  // Back from hiding under the mouse once the cursor has left.
  if (!Visible() && s.ckbDontCatch.Checked() && !FMinimized) {
    user.GetCursorPos(&FCursorPos);
    if (FCursorPos.x < Left() || FCursorPos.x > Left() + ToScreen(Width()) ||
        FCursorPos.y < Top() || FCursorPos.y > Top() + ToScreen(Height()))
      Show();
    if (s.ckbTaskBarHide.Checked()) user.ShowWindow(Application->Handle(), win::SW_HIDE);
  }

  const MemoryFigures m = SampledFigures();

  // The figures, each set only when its text changed.
  bool changed = false;
  if (!FMinimized) {
    // The labels that changed are invalidated together: one request to the
    // system for the whole tick.
    const tk::TInvalidateBatch batch;
    if (s.ckbCpuPer.Checked()) {
      if (!nlblCpuUsePer.Visible()) nlblCpuUsePer.Show();
    } else if (nlblCpuUsePer.Visible()) {
      nlblCpuUsePer.Hide();
    }
    const FigureKind plain = FigureKind::Plain, total = FigureKind::Total;
    const struct {
      TNovelLabel& label;
      uint64_t bytes;
      FigureKind kind;
    } figures[9] = {
        {nlblPhysicalFree, m.availPhys, plain},  {nlblPhysicalUse, m.usedPhys, plain},
        {nlblPhysicalTotal, m.totalPhys, total}, {nlblVirtualFree, m.availVirtual, plain},
        {nlblVirtualUse, m.usedVirtual, plain},  {nlblVirtualTotal, m.totalVirtual, total},
        {nlblPageFree, m.availPage, plain},      {nlblPageUse, m.usedPage, plain},
        {nlblPageTotal, m.totalPage, total}};
    for (int i = 0; i < 9; ++i)
      changed |=
          Refresh(figures[i].label,
                  FittedFigure(i, figures[i].label, BytesToMB(figures[i].bytes), figures[i].kind));
    char load[16];
    std::snprintf(load, sizeof load, "%3d%%", static_cast<int>(m.load));
    changed |= Refresh(nlblUsePer, load);
  }
  TellChanges(changed);

  // The low-memory warning, re-tried every tick while memory is low.
  if (BytesToMB(m.availPhys) < s.udMem2.Position() && s.btnPlay.Enabled() && !FCleaning)
    Os().sound.sndPlaySoundA(s.edtWavPath.Text(),
                             win::SND_ASYNC | win::SND_NODEFAULT | win::SND_NOSTOP);

  RefreshTrayLoadIcon();
  WatchAutoHolds();

  // Automatic cleaning.
  if (s.chkbAuto.Checked() && !FModalOpen) {
    const int32_t load = m.load;
    if (load > FPeakLoad && !FCleaning) FPeakLoad = load;
    // Held back at full load: the tick ends here, see-through repaint included.
    if (load >= 100 && s.chkbNot100Per.Checked()) return;
    const auto cpuBusy = [&] { return s.ckbStopCpuPer.Checked() && FCpuUsePer >= 100; };
    if (s.chkbMinExec.Checked() && BytesToMB(m.availPhys) < s.udMem.Position() && !cpuBusy())
      StartAutomatic(CleanKind::FreeMemoryRule);
    if (s.chkbFreeInc.Checked()) {
      // A cleaning started just above has sampled afresh.
      const int32_t now = SampledFigures().load;
      if (now < FPeakLoad - s.udUsePer.Position() + 1 && !cpuBusy())
        StartAutomatic(CleanKind::LoadRule);
    }
  }

  IntervalTick();

  // See-through mode: the desktop picture again behind the new figures.
  if (changed && s.chkbEraseBkgnd.Checked()) PaintDesktopBehind();
}

}  // namespace norva
