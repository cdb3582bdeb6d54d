#include "inspector/Heapchk.h"

namespace norva {

THeapChkFrm* HeapChkFrm = nullptr;

THeapChkFrm::THeapChkFrm(tk::TForm* owner) : TForm(owner) {
  Name = "HeapChkFrm";
  SetCaption("システム情報 詳細表示");
  BorderStyle = tk::TBorderStyle::bsSizeable;
  Position = tk::TPosition::poScreenCenter;
  tk::TFont font;
  font.Name = "ＭＳ Ｐゴシック";
  font.Height = 12;
  SetFont(font);
  SetBounds(0, 0, 651, 487);
}

}  // namespace norva
