#include "toolkit/win32/NativePeers.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/WinText.h"
#include "toolkit/win32/Dpi.h"
#include "toolkit/win32/Gdi.h"

namespace norva::tk::win32 {

using platform::win32::Utf8;
using platform::win32::Wide;

namespace {

// A drop-down list's window includes its open list; this is that list's room.
constexpr int kDropDownHeight = 200;

// Sets a flag for as long as it lives, exceptions included.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
  ~FlagScope() { FFlag = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& FFlag;
};

// The colour a control's surroundings are painted in: its parent's.
TColor BackgroundOf(const TWinControl& control) {
  const TWinControl* parent = control.Parent();
  const TColor color = parent != nullptr ? parent->Color() : control.Color();
  return color == clNone ? clBtnFace : color;
}

// The answer to WM_CTLCOLOR*: the DC's colours and the background brush.
LRESULT ControlColors(WPARAM dc, TColor text, TColor background) {
  const HDC hdc = reinterpret_cast<HDC>(dc);
  ::SetTextColor(hdc, ColorRef(text));
  ::SetBkColor(hdc, ColorRef(background));
  return reinterpret_cast<LRESULT>(Gdi().Brush(background));
}

std::wstring WindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

// --- Push button ------------------------------------------------------------

// The visual style's push button, where the system draws with one (XP and
// later with themes on). uxtheme is looked up, never linked: older systems
// have none. It is loaded already whenever styles are in use.
bool DrawThemedButton(HWND window, HDC dc, const RECT& bounds, bool pressed, bool disabled) {
  using IsThemeActiveProc = BOOL(WINAPI*)();
  using OpenThemeDataProc = HANDLE(WINAPI*)(HWND, LPCWSTR);
  using CloseThemeDataProc = HRESULT(WINAPI*)(HANDLE);
  using DrawThemeBackgroundProc = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, const RECT*);
  const HMODULE uxtheme = ::GetModuleHandleW(L"uxtheme.dll");
  if (uxtheme == nullptr) return false;
  const auto lookup = [uxtheme](const char* name) {
    return reinterpret_cast<void*>(::GetProcAddress(uxtheme, name));
  };
  const auto isActive = reinterpret_cast<IsThemeActiveProc>(lookup("IsThemeActive"));
  const auto open = reinterpret_cast<OpenThemeDataProc>(lookup("OpenThemeData"));
  const auto close = reinterpret_cast<CloseThemeDataProc>(lookup("CloseThemeData"));
  const auto draw = reinterpret_cast<DrawThemeBackgroundProc>(lookup("DrawThemeBackground"));
  if (isActive == nullptr || open == nullptr || close == nullptr || draw == nullptr || !isActive())
    return false;
  const HANDLE theme = open(window, L"BUTTON");
  if (theme == nullptr) return false;
  constexpr int kPushButton = 1, kNormal = 1, kPressed = 3, kDisabled = 4;
  const int state = disabled ? kDisabled : pressed ? kPressed : kNormal;
  const bool drawn = SUCCEEDED(draw(theme, dc, kPushButton, state, &bounds, nullptr));
  close(theme);
  return drawn;
}

// A push button. A coloured caption (the system's button ignores the text
// colour) makes it owner-drawn in the classic look.
class ButtonPeer final : public WinPeer {
 public:
  explicit ButtonPeer(TButton& button) : WinPeer(button), FButton(button) {
    CreateSystemWindow(WC_BUTTONW, 0, ChildStyle() | WS_TABSTOP | Kind());
  }

  void Update(TChange what) override {
    WinPeer::Update(what);
    if (what != TChange::Font || FHandle == nullptr) return;
    const LONG_PTR style = ::GetWindowLongPtrW(FHandle, GWL_STYLE);
    if (static_cast<DWORD>(style & BS_TYPEMASK) != Kind()) {
      ::SetWindowLongPtrW(FHandle, GWL_STYLE, (style & ~BS_TYPEMASK) | Kind());
      ::InvalidateRect(FHandle, nullptr, TRUE);
    }
  }

  bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    switch (msg) {
      case WM_COMMAND: {
        // An owner-drawn button reports a quick second click as a double click.
        const UINT code = HIWORD(wParam);
        if (code != BN_CLICKED && !(code == BN_DOUBLECLICKED && OwnerDrawn())) return false;
        result = 0;
        FButton.Click();
        return true;
      }
      case WM_DRAWITEM:
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
      case WM_CTLCOLORBTN:
        result = ControlColors(wParam, FButton.Font().Color, BackgroundOf(FButton));
        return true;
      default:
        return false;
    }
  }

 private:
  bool OwnerDrawn() const {
    const TColor color = FButton.Font().Color;
    return color != clWindowText && color != clBtnText;
  }

  DWORD Kind() const {
    if (OwnerDrawn()) return BS_OWNERDRAW;
    return FButton.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  }

  void Draw(const DRAWITEMSTRUCT& item) {
    RECT frame = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    // The style's button has see-through corners: the surroundings first.
    ::FillRect(item.hDC, &frame, Gdi().Brush(BackgroundOf(FButton)));
    if (!DrawThemedButton(FHandle, item.hDC, frame, pressed, disabled))
      ::DrawFrameControl(item.hDC, &frame, DFC_BUTTON,
                         DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    {
      GdiCanvas canvas(item.hDC, {frame.left, frame.top, frame.right, frame.bottom}, Dpi());
      TRect text{0, 0, FromDevice(frame.right - frame.left), FromDevice(frame.bottom - frame.top)};
      if (pressed) text.Offset(1, 1);
      const TColor color = disabled ? clGrayText : FButton.Font().Color;
      canvas.DrawText(FButton.Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                      FButton.Font(), color);
    }
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
      RECT focus = item.rcItem;
      ::InflateRect(&focus, -3, -3);
      ::DrawFocusRect(item.hDC, &focus);
    }
  }

  TButton& FButton;
};

// --- Check box --------------------------------------------------------------

class CheckBoxPeer final : public WinPeer {
 public:
  explicit CheckBoxPeer(TCheckBox& box) : WinPeer(box), FBox(box) {
    CreateSystemWindow(WC_BUTTONW, 0, ChildStyle() | WS_TABSTOP | BS_AUTOCHECKBOX);
    ShowState();
  }

  void Update(TChange what) override {
    WinPeer::Update(what);
    if (what == TChange::State) ShowState();
  }

  bool Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    switch (msg) {
      case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return false;
        result = 0;
        // The box has toggled itself; the property follows (and runs OnClick).
        FBox.SetChecked(::SendMessageW(FHandle, BM_GETCHECK, 0, 0) == BST_CHECKED);
        return true;
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN:
        result = ControlColors(wParam, FBox.Enabled() ? FBox.Font().Color : clGrayText,
                               BackgroundOf(FBox));
        return true;
      default:
        return false;
    }
  }

 private:
  void ShowState() {
    if (FHandle != nullptr)
      ::SendMessageW(FHandle, BM_SETCHECK, FBox.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }

  TCheckBox& FBox;
};

// --- Edit -------------------------------------------------------------------

class EditPeer final : public WinPeer {
 public:
  explicit EditPeer(TEdit& edit) : WinPeer(edit), FEdit(edit) {
    CreateSystemWindow(
        WC_EDITW, WS_EX_CLIENTEDGE,
        ChildStyle() | WS_TABSTOP | ES_AUTOHSCROLL | (edit.ReadOnly ? ES_READONLY : 0));
  }

  void Update(TChange what) override {
    if (what != TChange::Caption) {
      WinPeer::Update(what);
      return;
    }
    // Text typed by the user is in the window already; a change made while
    // it is being typed (a number box bringing it into range) is not.
    if (FHandle == nullptr) return;
    const std::wstring text = Wide(FEdit.Text());
    if (WindowText(FHandle) == text) return;
    FlagScope setting(FToWindow);
    ::SetWindowTextW(FHandle, text.c_str());
    // Typing goes on at the end of the new text.
    if (FFromWindow)
      ::SendMessageW(FHandle, EM_SETSEL, text.size(), static_cast<LPARAM>(text.size()));
  }

  bool Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    switch (msg) {
      case WM_COMMAND: {
        if (HIWORD(wParam) != EN_CHANGE) return false;
        result = 0;
        if (FToWindow) return true;
        const std::string text = Utf8(WindowText(FHandle));
        if (text != FEdit.Text()) {
          FlagScope typing(FFromWindow);
          FEdit.SetText(text);
        }
        return true;
      }
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORSTATIC:
        result = ControlColors(wParam, FEdit.Enabled() ? FEdit.Font().Color : clGrayText,
                               FEdit.Color() == clNone ? clWindow : FEdit.Color());
        return true;
      default:
        return false;
    }
  }

 protected:
  bool ToolkitDefault(TMessage& message) override {
    if (message.Msg != WM_CHAR || !FEdit.OnKeyPress) return false;
    // The handler sees a character as one byte: itself for ASCII, the first
    // byte of its UTF-8 form otherwise. Zero discards the character; another
    // ASCII character replaces it.
    const wchar_t typed = static_cast<wchar_t>(message.WParam);
    const char original = typed < 0x80 ? static_cast<char>(typed) : Utf8(&typed, 1)[0];
    char key = original;
    FEdit.OnKeyPress(&FEdit, key);
    if (key == 0) {
      message.Result = 0;
      return true;
    }
    if (key != original) message.WParam = static_cast<unsigned char>(key);
    return false;
  }

 private:
  TEdit& FEdit;
  bool FFromWindow = false;
  bool FToWindow = false;
};

// --- Up-down ----------------------------------------------------------------

// Arrows beside an edit. The system control writes its position into the
// edit (UDS_SETBUDDYINT); the edit's change moves the toolkit's position.
class UpDownPeer final : public WinPeer {
 public:
  explicit UpDownPeer(TUpDown& upDown) : WinPeer(upDown), FUpDown(upDown) {
    CreateSystemWindow(UPDOWN_CLASSW, 0,
                       ChildStyle() | UDS_SETBUDDYINT | UDS_NOTHOUSANDS | UDS_ARROWKEYS);
    ShowState();
    // The system may give the arrows a width of its own as it makes them
    // (Wine: 16 pixels at every DPI); that width then stays when the form
    // takes another scale, as a start at that scale gets it.
    RECT made{};
    if (FHandle != nullptr && ::GetWindowRect(FHandle, &made) &&
        made.right - made.left != ToDevice(upDown.Width()))
      FSystemWidth = made.right - made.left;
  }

  void Update(TChange what) override {
    if (what == TChange::Bounds && FSystemWidth > 0 && FHandle != nullptr) {
      ::SetWindowPos(FHandle, nullptr, ToDevice(FUpDown.Left()), ToDevice(FUpDown.Top()),
                     FSystemWidth, ToDevice(FUpDown.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
      return;
    }
    WinPeer::Update(what);
    if (what == TChange::State) ShowState();
  }

  bool Reflected(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
    if (msg != WM_VSCROLL && msg != WM_HSCROLL) return false;
    BOOL failed = FALSE;
    const LRESULT position =
        ::SendMessageW(FHandle, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
    if (!failed) FUpDown.SetPosition(static_cast<int>(position));
    result = 0;
    return true;
  }

 private:
  void ShowState() {
    if (FHandle == nullptr) return;
    // Range and position first: attaching the edit writes the position into it.
    ::SendMessageW(FHandle, UDM_SETRANGE32, static_cast<WPARAM>(FUpDown.Min()), FUpDown.Max());
    // A position that follows what was typed into the edit is not written
    // back: the system control would put its clamped number over the text.
    if (!FUpDown.FollowingText()) ::SendMessageW(FHandle, UDM_SETPOS32, 0, FUpDown.Position());
    if (TEdit* edit = FUpDown.Associate()) {
      const HWND buddy = static_cast<HWND>(edit->Handle());
      if (reinterpret_cast<HWND>(::SendMessageW(FHandle, UDM_GETBUDDY, 0, 0)) != buddy)
        ::SendMessageW(FHandle, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    }
  }

  TUpDown& FUpDown;
  int FSystemWidth = 0;  // the width the system gave the arrows, if not the layout's
};

// --- Track bar --------------------------------------------------------------

class TrackBarPeer final : public WinPeer {
 public:
  explicit TrackBarPeer(TTrackBar& track) : WinPeer(track), FTrack(track) {
    CreateSystemWindow(TRACKBAR_CLASSW, 0,
                       ChildStyle() | WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS | TBS_TOP);
    ShowState();
  }

  void Update(TChange what) override {
    WinPeer::Update(what);
    if (what == TChange::State) ShowState();
  }

  bool Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    switch (msg) {
      case WM_HSCROLL:
      case WM_VSCROLL:
        result = 0;
        FTrack.SetPosition(static_cast<int>(::SendMessageW(FHandle, TBM_GETPOS, 0, 0)));
        return true;
      case WM_CTLCOLORSTATIC:
        result = ControlColors(wParam, FTrack.Font().Color, BackgroundOf(FTrack));
        return true;
      default:
        return false;
    }
  }

 private:
  void ShowState() {
    if (FHandle == nullptr) return;
    ::SendMessageW(FHandle, TBM_SETRANGEMIN, FALSE, FTrack.Min());
    ::SendMessageW(FHandle, TBM_SETRANGEMAX, FALSE, FTrack.Max());
    ::SendMessageW(FHandle, TBM_SETTICFREQ, static_cast<WPARAM>(FTrack.Frequency), 0);
    ::SendMessageW(FHandle, TBM_SETLINESIZE, 0, FTrack.LineSize);
    ::SendMessageW(FHandle, TBM_SETPAGESIZE, 0, FTrack.PageSize);
    ::SendMessageW(FHandle, TBM_SETPOS, TRUE, FTrack.Position());
  }

  TTrackBar& FTrack;
};

// --- Combo box --------------------------------------------------------------

class ComboBoxPeer final : public WinPeer, public ComboBoxItemsPeer {
 public:
  explicit ComboBoxPeer(TComboBox& combo) : WinPeer(combo), FCombo(combo) {
    CreateSystemWindow(WC_COMBOBOXW, 0, ChildStyle() | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);
    ApplyBounds();
    FillItems();
  }

  void Update(TChange what) override {
    switch (what) {
      case TChange::Bounds:
        ApplyBounds();
        break;
      case TChange::Items:
        FillItems();
        break;
      case TChange::State:
        ShowSelection();
        break;
      default:
        WinPeer::Update(what);
        break;
    }
  }

  void ItemAdded(int index) override {
    if (FHandle == nullptr) return;
    ::SendMessageW(
        FHandle, CB_INSERTSTRING, static_cast<WPARAM>(index),
        reinterpret_cast<LPARAM>(Wide(FCombo.Items[static_cast<size_t>(index)]).c_str()));
  }

  void ItemsCleared() override {
    if (FHandle != nullptr) ::SendMessageW(FHandle, CB_RESETCONTENT, 0, 0);
  }

  bool Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (msg != WM_COMMAND || HIWORD(wParam) != CBN_SELCHANGE) return false;
    result = 0;
    FCombo.SetItemIndex(static_cast<int>(::SendMessageW(FHandle, CB_GETCURSEL, 0, 0)));
    if (FCombo.OnChange) FCombo.OnChange(&FCombo);
    return true;
  }

 private:
  void ApplyBounds() {
    if (FHandle == nullptr) return;
    ::SetWindowPos(FHandle, nullptr, ToDevice(FCombo.Left()), ToDevice(FCombo.Top()),
                   ToDevice(FCombo.Width()), ToDevice(FCombo.Height() + kDropDownHeight),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void FillItems() {
    if (FHandle == nullptr) return;
    ::SendMessageW(FHandle, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : FCombo.Items)
      ::SendMessageW(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    ShowSelection();
  }

  void ShowSelection() {
    if (FHandle != nullptr)
      ::SendMessageW(FHandle, CB_SETCURSEL, static_cast<WPARAM>(FCombo.ItemIndex()), 0);
  }

  TComboBox& FCombo;
};

// --- Page control -------------------------------------------------------------

// The system tab control; the tab sheets are our own windows inside it,
// sized to its display area.
class PageControlPeer final : public WinPeer {
 public:
  explicit PageControlPeer(TPageControl& pages) : WinPeer(pages), FPages(pages) {
    CreateSystemWindow(WC_TABCONTROLW, WS_EX_CONTROLPARENT,
                       ChildStyle() | WS_CLIPCHILDREN | WS_TABSTOP);
    RefreshTabs();
  }

  void Update(TChange what) override {
    WinPeer::Update(what);
    switch (what) {
      case TChange::Bounds:
      case TChange::Font:
        LayoutSheets();
        break;
      case TChange::State:
        if (FHandle != nullptr)
          ::SendMessageW(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FPages.ActivePageIndex()), 0);
        break;
      default:
        break;
    }
  }

  bool Reflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) override {
    if (msg != WM_NOTIFY) return false;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == TCN_SELCHANGING) {
      result = FALSE;
      return true;
    }
    if (header->code != TCN_SELCHANGE) return false;
    result = 0;
    FPages.SetActivePageIndex(static_cast<int>(::SendMessageW(FHandle, TCM_GETCURSEL, 0, 0)));
    return true;
  }

  void RefreshTabs() {
    if (FHandle == nullptr) return;
    ::SendMessageW(FHandle, TCM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < FPages.Pages.size(); ++i) {
      std::wstring text = Wide(FPages.Pages[i]->Caption());
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = text.data();
      ::SendMessageW(FHandle, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    ::SendMessageW(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FPages.ActivePageIndex()), 0);
    LayoutSheets();
  }

 private:
  void LayoutSheets() {
    if (FHandle == nullptr) return;
    // The tab control's own margins around its display area; the page
    // control places the sheets inside them (measured in device pixels,
    // kept in the program's 96-DPI units).
    const int width = std::max(FPages.Width(), 200), height = std::max(FPages.Height(), 200);
    RECT display{0, 0, ToDevice(width), ToDevice(height)};
    ::SendMessageW(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    FPages.SetSheetInsets({FromDevice(display.left), FromDevice(display.top),
                           width - FromDevice(display.right), height - FromDevice(display.bottom)});
    FPages.Realign();
  }

  TPageControl& FPages;
};

}  // namespace

std::unique_ptr<ControlPeer> CreateNativePeer(TWinControl& control) {
  if (auto* button = dynamic_cast<TButton*>(&control)) return std::make_unique<ButtonPeer>(*button);
  if (auto* box = dynamic_cast<TCheckBox*>(&control)) return std::make_unique<CheckBoxPeer>(*box);
  if (auto* edit = dynamic_cast<TEdit*>(&control)) return std::make_unique<EditPeer>(*edit);
  if (auto* upDown = dynamic_cast<TUpDown*>(&control)) return std::make_unique<UpDownPeer>(*upDown);
  if (auto* track = dynamic_cast<TTrackBar*>(&control))
    return std::make_unique<TrackBarPeer>(*track);
  if (auto* combo = dynamic_cast<TComboBox*>(&control))
    return std::make_unique<ComboBoxPeer>(*combo);
  if (auto* pages = dynamic_cast<TPageControl*>(&control))
    return std::make_unique<PageControlPeer>(*pages);
  return nullptr;
}

void TabCaptionChanged(TTabSheet& sheet) {
  auto* pages = dynamic_cast<TPageControl*>(sheet.Parent());
  if (pages == nullptr) return;
  if (auto* peer = dynamic_cast<PageControlPeer*>(pages->Peer())) peer->RefreshTabs();
}

}  // namespace norva::tk::win32
