#include "toolkit/win32/HotKeyPeer.h"

namespace norva::tk::win32 {

namespace {

class HotKeyPeer final : public WinPeer {
 public:
  explicit HotKeyPeer(THotKey& hotKey) : WinPeer(hotKey), FHotKey(hotKey) {
    CreateSystemWindow(HOTKEY_CLASSW, WS_EX_CLIENTEDGE, ChildStyle() | WS_TABSTOP);
    if (hotKey.NeedsCtrlOrAlt)
      ::SendMessageW(FHandle, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                     MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    ShowValue();
  }

  void Update(TChange what) override {
    WinPeer::Update(what);
    if (what == TChange::State) ShowValue();
  }

  // The control tells its parent of every change the user makes with
  // EN_CHANGE; the value follows the window.
  bool Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (msg != WM_COMMAND || HIWORD(wParam) != EN_CHANGE) return false;
    result = 0;
    if (!FShowing)
      FHotKey.SetHotKey(static_cast<int>(LOWORD(::SendMessageW(FHandle, HKM_GETHOTKEY, 0, 0))));
    return true;
  }

 private:
  void ShowValue() {
    if (FHandle == nullptr) return;
    if (static_cast<int>(LOWORD(::SendMessageW(FHandle, HKM_GETHOTKEY, 0, 0))) == FHotKey.HotKey())
      return;
    FShowing = true;
    ::SendMessageW(FHandle, HKM_SETHOTKEY, static_cast<WPARAM>(FHotKey.HotKey()), 0);
    FShowing = false;
  }

  THotKey& FHotKey;
  bool FShowing = false;
};

}  // namespace

std::unique_ptr<ControlPeer> CreateHotKeyPeer(THotKey& hotKey) {
  return std::make_unique<HotKeyPeer>(hotKey);
}

}  // namespace norva::tk::win32
