// The cleaning history window: the list of the last cleanings, newest
// first, today's total and a button that copies the list as tab-separated
// text. Opened from the tray menu; the rules and texts are CleanHistory's.
#pragma once

#include "app/CleanHistory.h"
#include "lang/WindowTexts.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/StdCtrls.h"

namespace norva {

using namespace norva::tk;

class THistoryFrm : public TForm {
 public:
  THistoryFrm(TForm* owner, const CleanHistory& history);

  TPanel pnlBottom{this};
  TLabel lblTotal{&pnlBottom};
  TButton btnCopy{&pnlBottom};
  TListView lvHistory{this};

  // Fills the list from the history (again, when shown while open).
  void ShowHistory();
  void btnCopyClick(TObject* Sender);
  void FormResize(TObject* Sender);
  // Shows every text anew, in the current language.
  void ApplyTexts();

 private:
  const CleanHistory& FHistory;
  lang::TWindowTexts FTexts;
};

}  // namespace norva
