// The cleaning engine: reserve a large block, zero it in steps while the
// window keeps running, hold it a moment, give it back.
#include <algorithm>
#include <cstdio>

#include "app/Main.h"
#include "cleaner/Reservation.h"
#include "toolkit/Application.h"

namespace norva {

using platform::Os;

namespace {

std::string StepText(int number) {
  return lang::Format(lang::TextId::TrayTipProgress, {{"percent", std::to_string(number)}});
}

}  // namespace

bool TMainForm::PumpAndCheckStop() {
  Application->ProcessMessages();
  // A close asked for inside the pump ends the cleaning like the stop button.
  return FStopRequested || FCloseAfterCleaning || Application->Terminated();
}

void TMainForm::CleanMemory() {
  // One cleaning at a time: a click or a tick inside the pump is turned away.
  if (FCleaning) return;
  FCleaning = true;
  try {
    RunCleaning();
  } catch (...) {
    // An error inside the cleaning (it reaches the error message further
    // out) still ends it here: a mark left set would turn away every later
    // cleaning and hold off every close for good.
    if (FCleaning) {
      try {
        EndCleaning();
      } catch (...) {
        FCleaning = false;
      }
    }
    PostDeferredClose();
    throw;
  }
  PostDeferredClose();
}

void TMainForm::EndCleaning() {
  FCleaning = false;
  FStopRequested = false;
  stcInfo.SetTop(Top() + Height() + 20);
  btnStop.SetTop(Top() + Height() + 20);
  for (TSpeedButton* b : {&sbtnConfig, &sbtnGetMem, &sbtnMemHeap, &sbtnMinimize, &sbtnClose})
    b->Show();
  ModifyTray(win::NIF_ICON | win::NIF_TIP, FIconNormal, lang::Text(lang::TextId::TrayTipCleaned));
}

void TMainForm::PostDeferredClose() {
  if (!FCloseAfterCleaning) return;
  FCloseAfterCleaning = false;
  Os().user.PostMessageA(Handle(), win::WM_CLOSE, 0, 0);
}

void TMainForm::RunCleaning() {
  TSettingFrm& s = *SettingFrm;
  const CleanStart start = BeginCleanRecord();
  // The amount freed is measured from the last sample's free memory.
  const uint64_t freeBefore = SampledFigures().availPhys;
  bool stopped = false;

  // While it runs: the cleaning icon, and the status line with its stop
  // button in place of the top buttons.
  ModifyTray(win::NIF_ICON | win::NIF_TIP, FIconCleaning,
             lang::Text(lang::TextId::TrayTipCleaning));
  TSpeedButton* const topRow[] = {&sbtnConfig, &sbtnGetMem, &sbtnMemHeap, &sbtnMinimize,
                                  &sbtnClose};
  for (TSpeedButton* b : topRow) b->Hide();
  stcInfo.SetColor(clYellow);
  stcInfo.SetTop(0);
  btnStop.SetTop(0);

  // Self-sizing from the memory free now, never below the least size.
  if (s.chkbAutoMem.Checked()) {
    SampleMemory();
    int64_t p = StoredMemoryShare();
    const int64_t load = FNtFamily ? FMemStatusEx.dwMemoryLoad : FMemStatus.dwMemoryLoad;
    if (p > 100 - load) p = 100 - load;
    p = std::max<int64_t>(p, 0);
    if (FNtFamily)
      FCleanSize =
          static_cast<int64_t>((FMemStatusEx.ullTotalPhys / 100) * static_cast<uint64_t>(p));
    else
      FCleanSize =
          static_cast<win::DWORD>((FMemStatus.dwTotalPhys / 100) * static_cast<win::DWORD>(p));
    const int64_t least = static_cast<int64_t>(s.udMem.Position()) * 1048576;
    if (least > FCleanSize) FCleanSize = least;
  }

  // Reserve the block (shrinking it until the system grants it) and plan
  // the steps of the chosen speed.
  const int speed = s.cmbClSpeed.ItemIndex();
  Reservation reservation(speed, FNtFamily);
  // The session-end handler reaches the block through this link while it lives.
  struct Link {
    Reservation*& field;
    ~Link() { field = nullptr; }
  } link{FReservation = &reservation};
  FCleanSize = reservation.Reserve(FCleanSize);
  const StepPlan plan = reservation.Plan();

  if (reservation.Obtained()) {
    // Write the block step by step, pumping messages between the steps.
    int k = 0;
    if (plan.steps > 1) {
      DrawCleanProgress(0);
      DrawCleanProgress(1);
      while (k < plan.steps) {
        stcInfo.SetCaption(StepText(plan.steps == 100 ? k + 1 : k * 10));
        Os().kernel.Sleep(10);
        // While the processor is fully busy this step waits and nothing is
        // written; the stop button still works.
        if (s.ckbStopCpuPer.Checked() && FCpuUsePer >= 100) {
          if ((stopped = PumpAndCheckStop())) break;
          continue;
        }
        reservation.ZeroStep(k);
        if ((stopped = PumpAndCheckStop())) break;
        DrawCleanProgress(k == 0 ? 1 : (plan.steps == 100 ? k : k * 11));
        ++k;
      }
      if (plan.steps == 10) stcInfo.SetCaption(StepText(100));
      DrawCleanProgress(100);
      Application->ProcessMessages();
      Os().kernel.Sleep(100);
      DrawCleanProgress(-1);
    } else {
      stcInfo.SetCaption(lang::Text(lang::TextId::MainCleaningBarExclusive));
      Application->ProcessMessages();
      DrawCleanProgress(0);
      DrawCleanProgress(1);
      reservation.ZeroAll();
      DrawCleanProgress(100);
      Application->ProcessMessages();
      Os().kernel.Sleep(300);
      DrawCleanProgress(-1);
    }
    // The remainder after the last step.
    reservation.ZeroRemainder(k);
  } else {
    Os().user.MessageBoxA(Handle(), lang::Text(lang::TextId::OutOfMemory), "Norva", win::MB_OK);
  }
  const bool obtained = reservation.Obtained();
  reservation.Release();

  // Afterwards: a new sample sets the peak load the automatic rule compares
  // with, and the window and the tray return to normal.
  SampleMemory();
  FPeakLoad = SampledFigures().load;
  EndCleaning();
  CleaningFinished(freeBefore, obtained && !stopped);
  RecordCleaning(start, freeBefore, stopped);
}

void TMainForm::WMQueryEndSession(TMessage& Message) {
  // The session ends while a cleaning pumps messages: the cleaning stops at
  // its next step and its block goes back now, since the process may be
  // ended as soon as the session end is confirmed. No close is deferred: a
  // cancelled shutdown leaves the program running.
  if (FCleaning) {
    FStopRequested = true;
    if (FReservation != nullptr) FReservation->Release();
  }
  FSessionEnding = true;
  SaveSettings(false);
  FSessionEnding = false;
  Message.Result = 1;
  Message.Handled = true;
}

}  // namespace norva
