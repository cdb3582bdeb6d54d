#include "toolkit/win32/ComCtrlPeers.h"

#include <algorithm>
#include <cwchar>

#include "toolkit/win32/Dpi.h"
#include "toolkit/win32/HotKeyPeer.h"
#include "toolkit/win32/ListViewPeer.h"
#include "toolkit/win32/PaintedPeer.h"
#include "toolkit/win32/TreeViewPeer.h"

namespace norva::tk::win32 {

namespace {

// The splitter's bar: a window of our own in the splitter's colour whose
// pointer shows the direction it moves in. The drag itself is the
// control's (mouse down, move and up, with the mouse captured).
class SplitterPeer final : public PaintedPeer {
 public:
  explicit SplitterPeer(TSplitter& splitter) : PaintedPeer(splitter), FSplitter(splitter) {
    CreateOwnWindow(0, ChildStyle(), ParentWindow(), ToDevice(splitter.Left()),
                    ToDevice(splitter.Top()), ToDevice(splitter.Width()),
                    ToDevice(splitter.Height()));
  }

 protected:
  bool ToolkitDefault(TMessage& message) override {
    if (message.Msg == WM_SETCURSOR && LOWORD(message.LParam) == HTCLIENT) {
      const auto shape = FSplitter.Vertical() ? IDC_SIZEWE : IDC_SIZENS;
      ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(shape)));
      message.Result = TRUE;
      return true;
    }
    return PaintedPeer::ToolkitDefault(message);
  }

 private:
  TSplitter& FSplitter;
};

}  // namespace

bool PopupAtMessagePos(TWinControl& control) {
  if (control.PopupMenu == nullptr) return false;
  const DWORD at = ::GetMessagePos();
  control.PopupMenu->Popup(static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at)));
  return true;
}

void CopyToSystemBuffer(const std::wstring& text, wchar_t* buffer, int size) {
  if (buffer == nullptr || size <= 0) return;
  const size_t length = std::min(text.size(), static_cast<size_t>(size - 1));
  std::wmemcpy(buffer, text.data(), length);
  buffer[length] = L'\0';
}

std::unique_ptr<ControlPeer> CreateComCtrlPeer(TWinControl& control) {
  if (auto* list = dynamic_cast<TListView*>(&control)) return CreateListViewPeer(*list);
  if (auto* tree = dynamic_cast<TTreeView*>(&control)) return CreateTreeViewPeer(*tree);
  if (auto* splitter = dynamic_cast<TSplitter*>(&control))
    return std::make_unique<SplitterPeer>(*splitter);
  if (auto* hotKey = dynamic_cast<THotKey*>(&control)) return CreateHotKeyPeer(*hotKey);
  return nullptr;
}

}  // namespace norva::tk::win32
