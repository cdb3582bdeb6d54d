// The system inspector window: processes, heaps, modules, threads and the
// graph of free memory and processor load.
#pragma once

#include "components/Perfgrap.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/StdCtrls.h"

namespace norva {

class THeapChkFrm : public tk::TForm {
 public:
  explicit THeapChkFrm(tk::TForm* owner);

  bool FReadStop = false;
  bool FReading = false;

  // ---- Graph tab: the strip chart the main window's sub timer feeds once a
  // second (free memory in red, processor load in yellow), and the two range
  // texts it writes. The panel and the label stand in for the tab's full
  // layout; the graph fills what the panel leaves.
  tk::TPanel pnlGrpRange{this};
  tk::TLabel lblGrpRangeMax{&pnlGrpRange};
  components::TPerformanceGraph pgpMainGraph{this};
  void SetUpGraphTab();
  // Lays the graph tab out again for the new client size.
  void SetBounds(int left, int top, int width, int height) override;
  // ---- end of the graph tab
};

extern THeapChkFrm* HeapChkFrm;

}  // namespace norva
