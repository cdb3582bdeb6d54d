// The main window's side of the automatic cleaning's holds (backing off,
// full-screen programs) and of the cleaning history: which start a
// cleaning had, its record, the history window from the tray menu and the
// CSV file. Each is off unless the [EXTRA] section turns it on.
#include "app/HistoryForm.h"
#include "app/Main.h"
#include "probes/MemoryStatus.h"

namespace norva {

using platform::Os;

CleanKind TMainForm::StartKindOf(TObject* Sender) {
  if (Sender == pmClean) return CleanKind::TrayMenu;
  if (Sender == this) return CleanKind::HotKey;
  // Called with no sender only by the "-exec" start (and automatic ones,
  // which name their kind beforehand).
  if (Sender == nullptr && ExecRun()) return CleanKind::Exec;
  return CleanKind::Button;
}

TMainForm::CleanStart TMainForm::BeginCleanRecord() {
  CleanStart start{FStartKind.value_or(CleanKind::Button), Os().kernel.GetTickCount(), {}};
  Os().kernel.GetLocalTime(&start.time);
  return start;
}

void TMainForm::RecordCleaning(const CleanStart& start, uint64_t freeBefore, bool stopped) {
  const TSettingFrm& s = *SettingFrm;
  const win::DWORD now = Os().kernel.GetTickCount();
  const MemoryFigures m = SampledFigures();
  CleanRecord record;
  record.started = start.time;
  record.kind = start.kind;
  record.sizeBytes = FCleanSize;
  record.durationMs = now - start.tick;
  record.freeBefore = freeBefore;
  record.freeAfter = m.availPhys;
  record.stopped = stopped;
  FHistory.Add(record);

  if (StartedByUser(start.kind)) {
    FBackoff.Reset();
  } else if (s.chkbAutoBackoff.Checked()) {
    const AutoOrigin origin = start.kind == CleanKind::FreeMemoryRule ? AutoOrigin::FreeMemoryRule
                              : start.kind == CleanKind::LoadRule     ? AutoOrigin::LoadRule
                                                                      : AutoOrigin::Interval;
    const bool stillHolds = origin == AutoOrigin::FreeMemoryRule && s.chkbMinExec.Checked() &&
                            BytesToMB(m.availPhys) < s.udMem.Position();
    FBackoff.Finished(now, origin, stillHolds, record.Freed(), m.totalPhys,
                      static_cast<int>(m.load));
  }

  if (s.chkbHistoryFile.Checked()) {
    const win::DWORD error =
        AppendHistoryFile(HistoryFilePath(Os().kernel.GetModuleFileNameA()), record);
    // Told once a run, and not in a run that ends by itself right after.
    if (error != 0 && !FHistoryFileReported && !ExecRun()) {
      FHistoryFileReported = true;
      Os().user.MessageBoxA(Handle(), lang::Text(lang::TextId::HistoryWriteFailed),
                            lang::Text(lang::TextId::ErrorTitle), win::MB_OK | win::MB_ICONERROR);
    }
  }
  if (FHistoryFrm && FHistoryFrm->Visible()) static_cast<THistoryFrm&>(*FHistoryFrm).ShowHistory();
}

void TMainForm::StartAutomatic(CleanKind kind) {
  if (FCleaning || AutomaticHeld()) return;
  FStartKind = kind;
  sbtnGetMemClick(nullptr);
}

bool TMainForm::AutomaticHeld() {
  const TSettingFrm& s = *SettingFrm;
  if (s.chkbAutoBackoff.Checked() && FBackoff.Waiting(Os().kernel.GetTickCount())) return true;
  return s.chkbFullScreenHold.Checked() && FullScreenInFront(Os().user.GetDesktopWindow());
}

void TMainForm::WatchAutoHolds() {
  const TSettingFrm& s = *SettingFrm;
  if (!s.chkbAutoBackoff.Checked()) {
    FBackoff.Reset();
    return;
  }
  const MemoryFigures m = SampledFigures();
  const bool freeBelow = s.chkbAuto.Checked() && s.chkbMinExec.Checked() &&
                         BytesToMB(m.availPhys) < s.udMem.Position();
  FBackoff.Watch(freeBelow, static_cast<int>(m.load));
}

std::string TMainForm::BackoffTip() {
  if (!SettingFrm->chkbAutoBackoff.Checked()) return {};
  const int minutes = FBackoff.MinutesLeft(Os().kernel.GetTickCount());
  return minutes > 0 ? "\n" + BackoffTipLine(minutes) : std::string();
}

void TMainForm::ApplyHoldsAndHistory() {
  const bool wanted = SettingFrm->chkbCleanHistory.Checked();
  if (wanted && pmHistory == nullptr) {
    // After the menu's own items, behind a line of its own.
    PopupMenu.Add("N3", "-");
    pmHistory = &PopupMenu.Add("pmHistory", lang::Text(lang::TextId::MenuHistory));
    pmHistory->OnClick = [this](TObject* sender) { pmHistoryClick(sender); };
  } else if (!wanted && pmHistory != nullptr) {
    auto& items = PopupMenu.Items;
    while (!items.empty() && (items.back().get() == pmHistory || items.back()->Name == "N3"))
      items.pop_back();
    pmHistory = nullptr;
    if (FHistoryFrm) FHistoryFrm->Hide();
  }
}

void TMainForm::pmHistoryClick(TObject*) {
  if (!FHistoryFrm) {
    FHistoryFrm = CreateForm<THistoryFrm>(this, FHistory);
    ApplyLanguageFonts(*FHistoryFrm);
  }
  auto& window = static_cast<THistoryFrm&>(*FHistoryFrm);
  window.ShowHistory();
  window.Show();
}

}  // namespace norva
