#include "toolkit/win32/PaintedPeer.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "platform/win32/ScopedWin.h"
#include "toolkit/BackBufferSize.h"
#include "toolkit/win32/Dpi.h"
#include "toolkit/win32/MenuDrawing.h"
#include "toolkit/win32/NativePeers.h"

namespace norva::tk::win32 {

using platform::win32::ScopedBitmap;
using platform::win32::ScopedCreatedDc;
using platform::win32::SelectGuard;

namespace {

std::vector<FormPeer*>& FormList() {
  static std::vector<FormPeer*> forms;
  return forms;
}

unsigned NextShowSerial() {
  static unsigned serial = 0;
  return ++serial;
}

// BeginPaint's partner, also when painting ends in an exception: a window
// left without EndPaint would get WM_PAINT for ever.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : FWindow(window), FDc(::BeginPaint(window, &FPaint)) {}
  ~PaintScope() { ::EndPaint(FWindow, &FPaint); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC Dc() const { return FDc; }
  const RECT& Area() const { return FPaint.rcPaint; }

 private:
  HWND FWindow;
  PAINTSTRUCT FPaint{};
  HDC FDc;
};

// The off-screen picture every window of ours paints into before its
// picture goes to the screen in one copy. Kept between paints and shared by
// all windows (they paint one at a time): made anew when a window larger
// than it paints, and smaller once the larger windows have stopped painting
// for a while (BackBufferSize). Making a bitmap and selecting it into a DC
// costs the window manager a round trip each under Wine, on every paint
// otherwise.
class BackBuffer {
 public:
  // A memory DC holding a bitmap of at least width x height, or null when
  // the buffer is in use already (a paint inside a paint) or cannot be made.
  HDC Take(int width, int height) {
    if (FBusy) return nullptr;
    const BackBufferSize::Size size = FSize.ForPaint(width, height, ::GetTickCount());
    if (size.width != FWidth || size.height != FHeight || !FBitmap) {
      FSelected.reset();
      FBitmap.Reset(nullptr);
      if (!FDc) FDc.Reset(::CreateCompatibleDC(nullptr));
      if (!FDc) return nullptr;
      FWidth = size.width;
      FHeight = size.height;
      FBitmap.Reset(CreateDrawingBitmap(FWidth, FHeight));
      if (!FBitmap) {
        FWidth = FHeight = 0;
        return nullptr;
      }
      FSelected.emplace(FDc.Get(), FBitmap.Get());
    }
    FBusy = true;
    return FDc.Get();
  }
  void Give() { FBusy = false; }

 private:
  // Released in the reverse order: the bitmap leaves the DC, then both go.
  ScopedCreatedDc FDc;
  ScopedBitmap FBitmap;
  std::optional<SelectGuard> FSelected;
  BackBufferSize FSize;
  int FWidth = 0, FHeight = 0;
  bool FBusy = false;
};

BackBuffer& SharedBackBuffer() {
  static BackBuffer buffer;
  return buffer;
}

// The back buffer for one paint, given back at its end.
class BackBufferScope {
 public:
  BackBufferScope(int width, int height) : FDc(SharedBackBuffer().Take(width, height)) {}
  ~BackBufferScope() {
    if (FDc != nullptr) SharedBackBuffer().Give();
  }
  BackBufferScope(const BackBufferScope&) = delete;
  BackBufferScope& operator=(const BackBufferScope&) = delete;
  HDC Dc() const { return FDc; }

 private:
  HDC FDc;
};

TMouseButton ButtonOf(UINT msg) {
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return TMouseButton::mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return TMouseButton::mbMiddle;
    default:
      return TMouseButton::mbLeft;
  }
}

}  // namespace

// --- PaintedPeer -------------------------------------------------------------

void PaintedPeer::BeforeDispatch(UINT msg, WPARAM, LPARAM) {
  // Cleared again by the toolkit's default; still set afterwards when the
  // control's own WndProc erased the background.
  if (msg == WM_ERASEBKGND) FErasedByControl = true;
}

bool PaintedPeer::ToolkitDefault(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND:
      // Everything is painted in WM_PAINT, double-buffered: erasing here
      // would only flicker.
      FErasedByControl = false;
      message.Result = 1;
      return true;
    case WM_PAINT:
      Paint();
      message.Result = 0;
      return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
      return Mouse(message);
    case WM_CAPTURECHANGED:
      // The capture was taken away (a message box, a menu): the pressed
      // control is released where it cannot count as a click.
      if (FCaptured != nullptr && reinterpret_cast<HWND>(message.LParam) != FHandle) {
        TControl* pressed = std::exchange(FCaptured, nullptr);
        pressed->MouseUp(TMouseButton::mbLeft, 0, -1, -1);
      }
      message.Result = 0;
      return true;
    case WM_CONTEXTMENU:
      if (FControl.PopupMenu != nullptr) {
        POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        if (message.LParam == -1) ::GetCursorPos(&at);
        FControl.PopupMenu->Popup(at.x, at.y);
        message.Result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}

void PaintedPeer::PaintDecoration(GdiCanvas&) {}

void PaintedPeer::Paint() {
  PaintScope paint(FHandle);
  const bool erasedByControl = std::exchange(FErasedByControl, false);
  if (paint.Dc() == nullptr || ::IsRectEmpty(&paint.Area())) return;
  RECT client{};
  ::GetClientRect(FHandle, &client);
  const RECT& area = paint.Area();
  const int areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
  // A background drawn by the control itself (or no background colour at
  // all) stays: the children are painted over what the window shows.
  const bool keepBackground = erasedByControl || FControl.Color() == clNone;

  // Without a back buffer (a paint inside a paint) the window is painted
  // directly.
  BackBufferScope memory(client.right, client.bottom);
  HDC target = paint.Dc();
  if (memory.Dc() != nullptr) {
    target = memory.Dc();
    if (keepBackground)
      ::BitBlt(target, area.left, area.top, areaWidth, areaHeight, paint.Dc(), area.left, area.top,
               SRCCOPY);
  }
  {
    GdiCanvas canvas(target, {area.left, area.top, area.right, area.bottom}, Dpi());
    canvas.SetClip({0, 0, FromDevice(client.right), FromDevice(client.bottom)});
    if (!keepBackground) FControl.PaintBackground(canvas);
    PaintDecoration(canvas);
    FControl.PaintControls(canvas);
  }
  if (target != paint.Dc())
    ::BitBlt(paint.Dc(), area.left, area.top, areaWidth, areaHeight, target, area.left, area.top,
             SRCCOPY);
}

TControl* PaintedPeer::MouseTarget(int x, int y) {
  if (TGraphicControl* inner = FControl.ControlAt(x, y)) return inner;
  return &FControl;
}

bool PaintedPeer::Mouse(TMessage& message) {
  const int x = FromDevice(GET_X_LPARAM(message.LParam));
  const int y = FromDevice(GET_Y_LPARAM(message.LParam));
  const TShiftState shift = MouseShift(message.WParam);
  const TMouseButton button = ButtonOf(message.Msg);
  message.Result = 0;
  // Coordinates go to the control in its own client coordinates.
  const auto local = [this](TControl* target, int& cx, int& cy) {
    if (target != &FControl) {
      cx -= target->Left();
      cy -= target->Top();
    }
  };
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      // The pressed control gets every move and the release, even outside.
      TControl* target = MouseTarget(x, y);
      FCaptured = target;
      ::SetCapture(FHandle);
      int cx = x, cy = y;
      local(target, cx, cy);
      target->MouseDown(button, shift, cx, cy);
      return true;
    }
    case WM_MOUSEMOVE: {
      TControl* target = FCaptured != nullptr ? FCaptured : MouseTarget(x, y);
      int cx = x, cy = y;
      local(target, cx, cy);
      target->MouseMove(shift, cx, cy);
      return true;
    }
    default: {
      TControl* target = FCaptured != nullptr ? FCaptured : MouseTarget(x, y);
      FCaptured = nullptr;
      if (::GetCapture() == FHandle) ::ReleaseCapture();
      int cx = x, cy = y;
      local(target, cx, cy);
      target->MouseUp(button, shift, cx, cy);
      // The native default turns a right-button release into WM_CONTEXTMENU.
      if (message.Msg == WM_RBUTTONUP && FHandle != nullptr)
        message.Result = CallNative(message.Msg, message.WParam, message.LParam);
      return true;
    }
  }
}

// --- ContainerPeer -----------------------------------------------------------

ContainerPeer::ContainerPeer(TWinControl& control) : PaintedPeer(control) {
  CreateOwnWindow(WS_EX_CONTROLPARENT, ChildStyle() | WS_CLIPCHILDREN, ParentWindow(),
                  ToDevice(control.Left()), ToDevice(control.Top()), ToDevice(control.Width()),
                  ToDevice(control.Height()));
}

void ContainerPeer::Update(TChange what) {
  PaintedPeer::Update(what);
  if (what == TChange::Caption) {
    ::InvalidateRect(FHandle, nullptr, TRUE);
    if (auto* sheet = dynamic_cast<TTabSheet*>(&FControl)) TabCaptionChanged(*sheet);
  }
}

void ContainerPeer::PaintDecoration(GdiCanvas& canvas) {
  const TRect client = FControl.ClientRect();
  const TFont& font = FControl.Font();
  const TColor textColor = FControl.Enabled() ? font.Color : clGrayText;
  const std::string& caption = FControl.Caption();
  if (dynamic_cast<TGroupBox*>(&FControl) != nullptr) {
    // An etched frame whose top runs through the middle of the caption.
    TRect text{0, 0, 0, 0};
    canvas.DrawText(caption.empty() ? std::string("0") : caption, text,
                    DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX, font, textColor);
    RECT frame = canvas.ToDevice({0, text.Height() / 2, client.Right, client.Bottom});
    ::DrawEdge(canvas.Dc(), &frame, EDGE_ETCHED, BF_RECT);
    if (!caption.empty()) {
      TRect label{8, 0, 8 + text.Width() + 4, text.Height()};
      canvas.FillRect(label, FControl.Color());
      label.Left += 2;
      canvas.DrawText(caption, label, DT_SINGLELINE | DT_NOPREFIX, font, textColor);
    }
  } else if (auto* panel = dynamic_cast<TPanel*>(&FControl)) {
    RECT edge = canvas.ToDevice(client);
    if (panel->BevelOuter() != TPanelBevel::bvNone)
      ::DrawEdge(canvas.Dc(), &edge,
                 panel->BevelOuter() == TPanelBevel::bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER,
                 BF_RECT);
    // The caption stands inside the bevel, on the middle row.
    TRect text = panel->AlignRect();
    canvas.DrawText(caption, text,
                    AlignmentFlag(panel->Alignment()) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
                    font, textColor);
  }
}

// --- FormPeer ----------------------------------------------------------------

const std::vector<FormPeer*>& FormPeer::All() { return FormList(); }

FormPeer::FormPeer(TForm& form) : PaintedPeer(form), FForm(form) {
  FormList().push_back(this);
  // Every form is owned by the hidden application window: it then has no
  // taskbar button of its own, the application window's button stands for
  // the program. The window starts hidden; Update(Visible) shows it once the
  // form's children exist.
  const RECT bounds = WindowBounds();
  CreateOwnWindow(ExStyle(), Style(), ApplicationWindow(), bounds.left, bounds.top,
                  bounds.right - bounds.left, bounds.bottom - bounds.top);
  // A window takes the DPI of the monitor it is made on: a form placed on
  // another monitor than the primary is sized at that scale before its
  // children are made.
  const int dpi = WindowDpi(FHandle);
  if (FHandle != nullptr && dpi != FForm.PixelsPerInch()) {
    FForm.SetPixelsPerInch(dpi);
    ApplyBounds();
  }
}

FormPeer::~FormPeer() {
  auto& forms = FormList();
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

DWORD FormPeer::Style(const TForm& form) {
  DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  switch (form.BorderStyle) {
    case TBorderStyle::bsNone:
      style |= WS_POPUP;
      break;
    case TBorderStyle::bsSingle:
      style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
      break;
    case TBorderStyle::bsDialog:
      style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
      break;
    case TBorderStyle::bsSizeable:
      style |= WS_OVERLAPPEDWINDOW;
      break;
  }
  if (form.CloseBoxOnly) style &= ~static_cast<DWORD>(WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  if ((form.BorderIcons & biMinimize) == 0) style &= ~static_cast<DWORD>(WS_MINIMIZEBOX);
  if ((form.BorderIcons & biMaximize) == 0) style &= ~static_cast<DWORD>(WS_MAXIMIZEBOX);
  // The title bar's buttons live in the system menu.
  if ((form.BorderIcons & biSystemMenu) == 0)
    style &= ~static_cast<DWORD>(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  if (!form.Enabled()) style |= WS_DISABLED;
  return style;
}

DWORD FormPeer::ExStyle(const TForm& form) {
  DWORD exStyle = WS_EX_CONTROLPARENT;
  if (form.BorderStyle == TBorderStyle::bsDialog) exStyle |= WS_EX_DLGMODALFRAME;
  if (form.FormStyle == TFormStyle::fsStayOnTop) exStyle |= WS_EX_TOPMOST;
  return exStyle;
}

RECT FormPeer::WindowBounds() const {
  // Width and Height are the client size; Left and Top place the window.
  RECT frame{0, 0, ToDevice(FForm.Width()), ToDevice(FForm.Height())};
  AdjustWindowRectForDpi(frame, Style(), ExStyle(), Dpi());
  return {FForm.Left(), FForm.Top(), FForm.Left() + (frame.right - frame.left),
          FForm.Top() + (frame.bottom - frame.top)};
}

void FormPeer::ApplyBounds() {
  const RECT bounds = WindowBounds();
  FApplying = true;
  ::SetWindowPos(FHandle, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                 bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame the system draws can differ from the one computed for the
  // form's DPI (Wine draws the system DPI's frame at every scale): the
  // window is sized again so that its client area is the layout's.
  RECT window{}, client{};
  const int width = ToDevice(FForm.Width()), height = ToDevice(FForm.Height());
  if (!::IsIconic(FHandle) && ::GetWindowRect(FHandle, &window) &&
      ::GetClientRect(FHandle, &client) && (client.right != width || client.bottom != height))
    ::SetWindowPos(FHandle, nullptr, 0, 0, window.right - window.left + width - client.right,
                   window.bottom - window.top + height - client.bottom,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  FApplying = false;
  // A size the system would not give (a window too small for its frame's
  // buttons) is what the form has.
  if (::GetClientRect(FHandle, &client) && !::IsIconic(FHandle))
    SyncClientSize(client.right, client.bottom);
}

void FormPeer::SyncClientSize(int width, int height) {
  if (width == ToDevice(FForm.Width()) && height == ToDevice(FForm.Height())) return;
  FSyncing = true;
  FForm.SetBounds(FForm.Left(), FForm.Top(), FromDevice(width), FromDevice(height));
  FSyncing = false;
}

void FormPeer::CenterOnScreen() {
  RECT work{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
    work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  const RECT bounds = WindowBounds();
  const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  const int x = work.left + (work.right - work.left - width) / 2;
  const int y = work.top + (work.bottom - work.top - height) / 2;
  ::SetWindowPos(FHandle, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormPeer::ApplyVisible() {
  if (FForm.Visible()) {
    if (!FShownBefore && FForm.Position == TPosition::poScreenCenter) CenterOnScreen();
    // A form takes the focus when it first appears, when it is modal, or when
    // the program is the active one anyway; shown again while the user works
    // elsewhere (back from hiding under the pointer) it does not steal it.
    const HWND active = ::GetActiveWindow();
    const bool activate = !FShownBefore || FForm.Modal() || active != nullptr;
    if (FForm.Modal()) FActiveBeforeModal = active;
    FShownBefore = true;
    FShowSerial = NextShowSerial();
    ::ShowWindow(FHandle, activate ? SW_SHOW : SW_SHOWNA);
    if (FForm.FormStyle == TFormStyle::fsStayOnTop)
      ::SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  const bool wasActive = ::GetActiveWindow() == FHandle;
  ::ShowWindow(FHandle, SW_HIDE);
  // A closed modal form gives the activation back to the window it took it
  // from, not to whatever the system picks.
  const HWND previous = std::exchange(FActiveBeforeModal, nullptr);
  if (wasActive && previous != nullptr && ::IsWindow(previous) && ::IsWindowVisible(previous) &&
      ::IsWindowEnabled(previous))
    ::SetActiveWindow(previous);
}

void FormPeer::Update(TChange what) {
  if (FHandle == nullptr) return;
  switch (what) {
    case TChange::Bounds:
      if (!FSyncing) ApplyBounds();
      break;
    case TChange::Visible:
      ApplyVisible();
      break;
    case TChange::Font:
    case TChange::Color:
      ::InvalidateRect(FHandle, nullptr, TRUE);
      break;
    case TChange::Dpi:
      // Every picture inside is drawn anew at the new scale.
      ::RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      break;
    default:
      PaintedPeer::Update(what);
      break;
  }
}

void FormPeer::BeforeDispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  PaintedPeer::BeforeDispatch(msg, wParam, lParam);
  // The window moved or was sized by the user or the system (a drag by the
  // body, a snap): the properties follow without moving it again.
  if (msg == WM_MOVE && !::IsIconic(FHandle)) {
    RECT bounds{};
    ::GetWindowRect(FHandle, &bounds);
    if (bounds.left != FForm.Left() || bounds.top != FForm.Top()) {
      FSyncing = true;
      FForm.SetBounds(bounds.left, bounds.top, FForm.Width(), FForm.Height());
      FSyncing = false;
    }
  } else if (msg == WM_SIZE && wParam != SIZE_MINIMIZED && !FApplying) {
    SyncClientSize(LOWORD(lParam), HIWORD(lParam));
  }
}

bool FormPeer::ToolkitDefault(TMessage& message) {
  switch (message.Msg) {
    case WM_ACTIVATE:
      message.Result = CallNative(message.Msg, message.WParam, message.LParam);
      if (LOWORD(message.WParam) != WA_INACTIVE) FForm.DoActivate();
      return true;
    case WM_MEASUREITEM:
      if (!MeasureMenuItem(message.LParam)) return PaintedPeer::ToolkitDefault(message);
      message.Result = TRUE;
      return true;
    case WM_DRAWITEM:
      if (!DrawMenuItem(message.LParam)) return PaintedPeer::ToolkitDefault(message);
      message.Result = TRUE;
      return true;
    case WM_QUERYENDSESSION: {
      // The session ends: the form may save its state as on a close.
      bool canClose = true;
      if (FForm.OnCloseQuery) FForm.OnCloseQuery(&FForm, canClose);
      message.Result = canClose ? TRUE : FALSE;
      return true;
    }
    case WM_SYSCOMMAND:
      // Minimising the main form minimises the program (to its taskbar button).
      if ((message.WParam & 0xFFF0) == SC_MINIMIZE && Application != nullptr &&
          Application->MainForm == &FForm) {
        Application->Minimize();
        message.Result = 0;
        return true;
      }
      return PaintedPeer::ToolkitDefault(message);
    default:
      return PaintedPeer::ToolkitDefault(message);
  }
}

}  // namespace norva::tk::win32
