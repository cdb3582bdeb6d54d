// The system inspector window: processes, heaps, modules, threads and the
// graph of free memory and processor load.
#pragma once

#include "toolkit/Form.h"

namespace norva {

class THeapChkFrm : public tk::TForm {
 public:
  explicit THeapChkFrm(tk::TForm* owner);

  bool FReadStop = false;
  bool FReading = false;
};

extern THeapChkFrm* HeapChkFrm;

}  // namespace norva
