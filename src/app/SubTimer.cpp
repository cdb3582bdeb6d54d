// The sub timer: once a second, the inspector's graph of free memory and
// processor load, the processor load itself, its label, and on the older
// family the free system resources with their warning sound.
#include <algorithm>

#include "app/Main.h"
#include "platform/Text.h"
#include "probes/CpuUsage.h"
#include "probes/MemoryStatus.h"
#include "toolkit/Backend.h"

namespace norva {

using platform::Os;

namespace {

// The red point: free physical memory in whole percent, times the graph's
// scale in hundreds, plus one (so that nothing free still draws). Formed in
// the record's own width, as the figures are.
struct FreeMemoryPoint {
  bool valid = false;
  int32_t value = 0;
};

FreeMemoryPoint FreePointOf(const win::MEMORYSTATUSEX& m, int32_t scale) {
  const uint64_t unit = m.ullTotalPhys / 100;
  if (unit == 0) return {};
  const uint64_t freePercent = m.ullAvailPhys / unit;
  const uint64_t product = freePercent * static_cast<uint64_t>(static_cast<int64_t>(scale / 100));
  return {true, static_cast<int32_t>(static_cast<uint32_t>(product)) + 1};
}

FreeMemoryPoint FreePointOf(const win::MEMORYSTATUS& m, int32_t scale) {
  const uint32_t unit = m.dwTotalPhys / 100;
  if (unit == 0) return {};
  const uint32_t freePercent = m.dwAvailPhys / unit;
  const uint32_t product = freePercent * static_cast<uint32_t>(scale / 100);
  return {true, static_cast<int32_t>(product) + 1};
}

}  // namespace

void TMainForm::timSubTimer(TObject*) {
  TSettingFrm& s = *SettingFrm;
  // A fresh sample for the graph and its range texts.
  SampleMemory();

  // The inspector's graph, fed whether the inspector is shown or not.
  if (HeapChkFrm != nullptr) {
    THeapChkFrm& h = *HeapChkFrm;
    const uint64_t totalPhys = SampledFigures().totalPhys;
    h.lblGrpRangeMax.SetCaption(
        lang::Format(lang::TextId::GraphRangeTop,
                     {{"megabytes", text::Format("%4.1lf", BytesToMB(totalPhys))}}));
    h.pnlGrpRange.SetCaption(
        lang::Format(lang::TextId::GraphRangeMiddle,
                     {{"megabytes", text::Format("%4.1lf", BytesToMB(totalPhys) / 2)}}));
    const int32_t scale = h.pgpMainGraph.Scale();
    const FreeMemoryPoint red =
        FNtFamily ? FreePointOf(FMemStatusEx, scale) : FreePointOf(FMemStatus, scale);
    if (red.valid) {
      h.pgpMainGraph.DataPoint(clRed, red.value);
      // The load of the previous tick: the yellow line runs a second behind.
      if (FCpuUsePer >= 0) h.pgpMainGraph.DataPoint(clYellow, FCpuUsePer + 1);
      h.pgpMainGraph.Update();
    }
  }

  // The processor load, brought into 0..100.
  if (FNtFamily) {
    FCpuUsePer = std::clamp(NtCpuUsage(), 0, 100);
  } else {
    // The 32-bit value taken as a signed percent, as the field holds it.
    const auto load = static_cast<int32_t>(
        ReadPerfCounter(win::HKEY_DYN_DATA, "PerfStats\\StatData", "KERNEL\\CPUUsage"));
    FCpuUsePer = std::clamp(load, 0, 100);
  }

  // In the tray: measured, but nothing shown or played.
  if (FMinimized) return;

  // The labels that change are invalidated together.
  const tk::TInvalidateBatch batch;

  // The processor-load label.
  if (s.ckbCpuPer.Checked()) {
    if (!nlblCpuUsePer.Visible()) nlblCpuUsePer.Show();
  } else if (nlblCpuUsePer.Visible()) {
    nlblCpuUsePer.Hide();
  }
  // The label's own font (the label may still show a smaller one from an
  // earlier tick), and that font some pixels smaller for the last forms.
  tk::TFont font = nlblCpuUsePer.Font();
  const int away = font.Height > 0 ? 1 : -1;  // a pixel larger, in the height's sign
  if (FCpuShrink != 0 && font.Height == FCpuShownHeight) font.Height += away * FCpuShrink;
  auto shrunk = [&](int pixels) {
    tk::TFont f = font;
    f.Height -= away * pixels;
    return f;
  };
  const CpuLoadLabel cpu = CpuLoadText(FCpuUsePer, [&](const std::string& text, int smaller) {
    FigureFit& fit = smaller > 0 ? FCpuFitSmaller[smaller - 1] : FCpuFit;
    return fit.Fits(CurrentBackend().MeasureCanvas(PixelsPerInch()), shrunk(smaller),
                    nlblCpuUsePer.Width(), text);
  });
  const tk::TFont shown = shrunk(cpu.smaller);
  if (nlblCpuUsePer.Visible() &&
      (nlblCpuUsePer.Caption() != cpu.text || nlblCpuUsePer.Font().Height != shown.Height)) {
    nlblCpuUsePer.SetFont(shown);
    FCpuShrink = cpu.smaller;
    FCpuShownHeight = nlblCpuUsePer.Font().Height;
    nlblCpuUsePer.SetCaption(cpu.text);
    PaintDesktopBehind();
    TellChanges(true);
  }

  // The free system resources of the older family.
  if (FGetFreeResources != nullptr) {
    const unsigned first = FGetFreeResources(0) & 0xFFFF;
    const unsigned second = FGetFreeResources(1) & 0xFFFF;
    nlblResSys.SetCaption(text::Format("%d%%", static_cast<int>(std::min(first, second))));
    nlblResUser.SetCaption(text::Format("%d%%", static_cast<int>(first)));
    nlblResGdi.SetCaption(text::Format("%d%%", static_cast<int>(second)));
    const auto warnBelow = static_cast<unsigned>(std::max(s.udResWav2.Position(), 0));
    if ((first < warnBelow || second < warnBelow) && s.btnResWavPlay.Enabled())
      Os().sound.sndPlaySoundA(s.edtResWavPath.Text(),
                               win::SND_ASYNC | win::SND_NODEFAULT | win::SND_NOSTOP);
  }
}

}  // namespace norva
