#include "toolkit/win32/Win32Backend.h"

#include <cwchar>
#include <map>
#include <stdexcept>
#include <vector>

#include "platform/win32/LateBound.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/WinText.h"
#include "toolkit/win32/ComCtrlPeers.h"
#include "toolkit/win32/Dpi.h"
#include "toolkit/win32/Gdi.h"
#include "toolkit/win32/Hints.h"
#include "toolkit/win32/MenuDrawing.h"
#include "toolkit/win32/NativePeers.h"
#include "toolkit/win32/PaintedPeer.h"
#include "toolkit/win32/PicturePreview.h"
#include "toolkit/win32/WinPeer.h"

// After the platform's headers, which bring in <windows.h> last; kept out of
// the include sorting, which would put it first.
// clang-format off
#include <commdlg.h>
// clang-format on

namespace norva::tk::win32 {

using platform::win32::ScopedCreatedDc;
using platform::win32::ScopedMenu;
using platform::win32::ScopedWindowDc;
using platform::win32::Utf8;
using platform::win32::Wide;

namespace {

void ShowError(const std::exception& error) {
  if (Application != nullptr) Application->ShowException(error);
}

TRect ScreenRect() {
  return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

// The display DC and its canvas, held before the forwarding base is built.
struct ScreenSurface {
  ScreenSurface(HDC dc, const TRect& screen) : FDc(dc), FCanvas(dc, screen) {}
  // Declared first: the canvas gives the DC its state back before it goes.
  ScopedCreatedDc FDc;
  GdiCanvas FCanvas;
};

// A canvas on a DC of the whole display; it owns the DC.
class ScreenCanvas final : private ScreenSurface, public ForwardingCanvas {
 public:
  ScreenCanvas(HDC dc, const TRect& screen)
      : ScreenSurface(dc, screen), ForwardingCanvas(ScreenSurface::FCanvas) {}
};

// The top-level window that holds a window of ours (itself for a form).
bool Terminated() { return Application != nullptr && Application->Terminated(); }

HWND TopLevelOf(HWND window) {
  while (window != nullptr && (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0)
    window = ::GetParent(window);
  return window;
}

// The form's button marked Default (Enter) or Cancel (Escape), if any.
TButton* FindButton(const TWinControl& parent, bool wantDefault) {
  for (TControl* control : parent.Controls()) {
    if (auto* button = dynamic_cast<TButton*>(control)) {
      if ((wantDefault ? button->Default : button->Cancel) && button->Showing() &&
          button->Enabled())
        return button;
    } else if (auto* inner = dynamic_cast<TWinControl*>(control)) {
      if (TButton* found = FindButton(*inner, wantDefault)) return found;
    }
  }
  return nullptr;
}

class Win32BackendImpl final : public Backend {
 public:
  std::unique_ptr<ControlPeer> CreatePeer(TWinControl& control) override {
    if (auto* form = dynamic_cast<TForm*>(&control)) return std::make_unique<FormPeer>(*form);
    if (auto native = CreateNativePeer(control)) return native;
    if (auto common = CreateComCtrlPeer(control)) return common;
    return std::make_unique<ContainerPeer>(control);
  }

  TCanvas& MeasureCanvas(int pixelsPerInch) override {
    static ScopedWindowDc screen(nullptr);
    // Measures in the 96-per-inch pixels of the layout, with the fonts as
    // drawn at that scale: one canvas for each scale asked for (a monitor's).
    static std::map<int, GdiCanvas> canvases;
    auto found = canvases.find(pixelsPerInch);
    if (found == canvases.end())
      found = canvases
                  .try_emplace(pixelsPerInch, screen.Get(), ScreenRect(),
                               pixelsPerInch > 0 ? pixelsPerInch : ScreenDpi())
                  .first;
    return found->second;
  }

  std::unique_ptr<TBitmapCanvas> CreateBitmapCanvas(int width, int height,
                                                    int pixelsPerInch) override {
    return std::make_unique<GdiBitmapCanvas>(width, height, pixelsPerInch);
  }

  win::HWND CreateApplicationWindow(const std::string& title) override {
    HWND window = AppWindow();
    ::SetWindowTextW(window, Wide(title).c_str());
    return window;
  }

  // --- Message loops ------------------------------------------------------

  void RunMessageLoop() override {
    // The loop also ends once the application is terminated: a system loop
    // that ran meanwhile may have taken the WM_QUIT (Wine's popup menu loop
    // removes it and does not post it again).
    MSG msg;
    while (!Terminated() && ::GetMessageW(&msg, nullptr, 0, 0) > 0) Pump(msg);
  }

  void QuitMessageLoop() override { ::PostQuitMessage(0); }

  void EndMenus() override {
    ::EndMenu();
    // EndMenu does nothing once the menu's own window is gone (taskkill posts
    // WM_CLOSE to every window of the program, the open menu's often first),
    // while the menu loop still runs; WM_CANCELMODE to the menu's owner ends
    // that loop too.
    if (FMenuOwner != nullptr) ::PostMessageW(FMenuOwner, WM_CANCELMODE, 0, 0);
  }

  void ProcessMessages() override {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // Not ours to take: the loop that waits for it must still see it.
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      Pump(msg);
    }
  }

  void RunModalLoop(const std::function<bool()>& done) override {
    // The other windows of the program take no input while the modal form
    // is open, as with a system dialog box.
    const FormPeer* modal = NewestModalForm();
    DisabledWindows disabled(modal != nullptr ? modal->Window() : nullptr);
    MSG msg;
    while (!done()) {
      if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::WaitMessage();
        continue;
      }
      if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      Pump(msg);
    }
  }

  // --- Timers ---------------------------------------------------------------

  void StartTimer(TTimer& timer) override {
    StopTimer(timer);
    UINT_PTR id = FNextTimerId++;
    if (id == HintManager::kTimerId) id = FNextTimerId++;
    if (::SetTimer(AppWindow(), id, timer.Interval(), nullptr) == 0) return;
    timer.BackendId = id;
    FTimers[id] = &timer;
  }

  void StopTimer(TTimer& timer) override {
    if (timer.BackendId == 0) return;
    ::KillTimer(AppWindow(), timer.BackendId);
    FTimers.erase(timer.BackendId);
    timer.BackendId = 0;
  }

  // --- Application window ---------------------------------------------------

  void MinimizeApplication() override {
    HWND app = AppWindow();
    if (!::IsIconic(app)) {
      FMinimizing = true;
      ::ShowWindow(app, SW_MINIMIZE);
      FMinimizing = false;
    }
    if (Application != nullptr) Application->DoMinimize();
  }

  void RestoreApplication() override {
    HWND app = AppWindow();
    if (::IsIconic(app)) {
      FRestoring = true;
      ::ShowWindow(app, SW_RESTORE);
      FRestoring = false;
    }
    if (Application != nullptr) Application->DoRestore();
  }

  void RestoreTopMosts() override {
    for (FormPeer* form : FormPeer::All())
      if (form->Form().FormStyle == TFormStyle::fsStayOnTop && ::IsWindowVisible(form->Window()))
        ::SetWindowPos(form->Window(), HWND_TOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  // --- Menus and dialogs ----------------------------------------------------

  void TrackPopupMenu(TPopupMenu& menu, int x, int y) override {
    ScopedMenu popup(::CreatePopupMenu());
    if (!popup) return;
    const bool ownDrawn = MenuItemsDrawnByProgram();
    for (size_t i = 0; i < menu.Items.size(); ++i) {
      const TMenuItem& item = *menu.Items[i];
      const UINT id = static_cast<UINT>(i + 1);
      if (item.IsSeparator()) {
        ::AppendMenuW(popup.Get(), MF_SEPARATOR, 0, nullptr);
        continue;
      }
      if (ownDrawn)
        ::AppendMenuW(popup.Get(), MF_OWNERDRAW | (item.Enabled ? 0u : MF_GRAYED), id,
                      reinterpret_cast<LPCWSTR>(&item));
      else
        ::AppendMenuW(popup.Get(), MF_STRING | (item.Enabled ? 0u : MF_GRAYED), id,
                      Wide(item.Caption).c_str());
      if (item.Default) ::SetMenuDefaultItem(popup.Get(), id, FALSE);
    }
    const HWND owner = MenuOwner();
    FMenuOwner = owner;
    const int chosen =
        ::TrackPopupMenu(popup.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
    FMenuOwner = nullptr;
    // A menu opened from the tray does not close when the user clicks
    // elsewhere unless its owner gets a message after it.
    ::PostMessageW(owner, WM_NULL, 0, 0);
    // A close while the menu was open: the menu loop may have swallowed its
    // WM_QUIT, which the loops further out still wait for.
    if (Terminated()) ::PostQuitMessage(0);
    if (chosen > 0 && static_cast<size_t>(chosen) <= menu.Items.size())
      menu.Items[static_cast<size_t>(chosen) - 1]->Click();
  }

  bool ExecuteOpenDialog(TOpenDialog& dialog) override {
    // "description|pattern|..." becomes the zero-separated, double-zero list.
    std::wstring filter = Wide(dialog.Filter);
    for (wchar_t& c : filter)
      if (c == L'|') c = L'\0';
    filter.append(2, L'\0');
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring initial = Wide(dialog.FileName);
    if (initial.size() < file.size()) std::copy(initial.begin(), initial.end(), file.begin());
    const std::wstring title = Wide(dialog.Title);

    OPENFILENAMEW ofn{};
    // The record of the Windows 95 / NT 4 dialog, accepted by every version.
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = DialogOwner();
    ofn.lpstrFilter = dialog.Filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // The current folder stays where it was: nothing of the program may
    // depend on where the user last browsed.
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR |
                (dialog.HideReadOnly ? OFN_HIDEREADONLY : 0) |
                (dialog.Sizeable ? OFN_ENABLESIZING : 0);
    if (!(dialog.PicturePreview ? GetOpenPictureFileName(ofn)
                                : platform::win32::LateGetOpenFileNameW(&ofn)))
      return false;
    dialog.FileName = Utf8(file.data(), std::wcslen(file.data()));
    return true;
  }

  bool ExecuteColorDialog(TColorDialog& dialog) override {
    static COLORREF custom[16] = {
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = DialogOwner();
    choose.rgbResult = ColorRef(dialog.Color);
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT;
    if (!platform::win32::LateChooseColorW(&choose)) return false;
    dialog.Color = choose.rgbResult;
    return true;
  }

  // --- Screen ---------------------------------------------------------------

  std::unique_ptr<TCanvas> OpenScreenCanvas() override {
    // A DC of the display draws over every window.
    HDC dc = ::CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    if (dc == nullptr) return nullptr;
    return std::make_unique<ScreenCanvas>(dc, ScreenRect());
  }

  void InvalidateScreenArea(const TRect& area) override {
    const RECT r{area.Left, area.Top, area.Right, area.Bottom};
    ::RedrawWindow(::GetDesktopWindow(), &r, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }

  // The frame around a form's client area at its DPI, in the program's 96-DPI units.
  TPoint FormFrameSize(const TForm& form) override {
    RECT frame{0, 0, 0, 0};
    const int dpi = form.PixelsPerInch();
    AdjustWindowRectForDpi(frame, FormPeer::Style(form), FormPeer::ExStyle(form), dpi);
    return {UnscaleBy(frame.right - frame.left, dpi), UnscaleBy(frame.bottom - frame.top, dpi)};
  }

  int ScreenPixelsPerInch() override { return ScreenDpi(); }

  // --- Internals --------------------------------------------------------------

  HWND AppWindow() {
    if (FAppWindow != nullptr) return FAppWindow;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &AppWindowProc;
    wc.hInstance = Instance();
    wc.hIcon = ::LoadIconW(Instance(), L"MAINICON");
    wc.hIconSm = static_cast<HICON>(::LoadImageW(Instance(), L"MAINICON", IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON),
                                                 ::GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = L"NorvaApplication";
    ::RegisterClassExW(&wc);
    // The classic shape of a program's own hidden window: a captioned popup
    // of no size in the middle of the screen. It owns the taskbar button;
    // the forms it owns have none.
    FAppWindow =
        ::CreateWindowExW(0, L"NorvaApplication", L"",
                          WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                          ::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2,
                          0, 0, nullptr, nullptr, Instance(), nullptr);
    return FAppWindow;
  }

 private:
  // Disables the visible, enabled top-level windows of the program except
  // one, and enables them again when it goes.
  class DisabledWindows {
   public:
    explicit DisabledWindows(HWND keep) : FKeep(keep) {
      ::EnumThreadWindows(::GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
      for (HWND window : FWindows) ::EnableWindow(window, FALSE);
    }
    ~DisabledWindows() {
      for (HWND window : FWindows)
        if (::IsWindow(window)) ::EnableWindow(window, TRUE);
    }
    DisabledWindows(const DisabledWindows&) = delete;
    DisabledWindows& operator=(const DisabledWindows&) = delete;

   private:
    static BOOL CALLBACK Collect(HWND window, LPARAM self) {
      auto* me = reinterpret_cast<DisabledWindows*>(self);
      if (window != me->FKeep && ::IsWindowVisible(window) && ::IsWindowEnabled(window))
        me->FWindows.push_back(window);
      return TRUE;
    }
    HWND FKeep;
    std::vector<HWND> FWindows;
  };

  static LRESULT CALLBACK AppWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT AppMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  static const FormPeer* NewestModalForm() {
    const FormPeer* newest = nullptr;
    for (const FormPeer* form : FormPeer::All())
      if (form->Form().Modal() && form->Form().Visible() &&
          (newest == nullptr || form->ShowSerial() > newest->ShowSerial()))
        newest = form;
    return newest;
  }

  HWND MenuOwner() {
    if (Application != nullptr && Application->MainForm != nullptr &&
        Application->MainForm->HandleAllocated())
      return static_cast<HWND>(Application->MainForm->Handle());
    return AppWindow();
  }

  HWND DialogOwner() {
    const HWND active = ::GetActiveWindow();
    return active != nullptr ? active : MenuOwner();
  }

  void Pump(MSG& msg) {
    if (DialogKey(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }

  // Tab moves between the controls of a form, Enter presses its default
  // button (or the focused one), Escape its cancel button.
  bool DialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam != VK_TAB && msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) return false;
    const HWND root = TopLevelOf(msg.hwnd);
    auto* form = dynamic_cast<FormPeer*>(WinPeer::FromHandle(root));
    if (form == nullptr) return false;
    if (form->Form().KeyPreview) {
      TMessage key{msg.message, msg.wParam, msg.lParam};
      try {
        form->Form().WndProc(key);
      } catch (const std::exception& error) {
        ShowError(error);
        return true;
      }
      if (key.Handled) return true;
    }
    const HWND focus = ::GetFocus();
    // An open drop-down list takes Enter and Escape itself.
    if (WinPeer* focused = WinPeer::FromHandle(focus);
        focused != nullptr && dynamic_cast<TComboBox*>(&focused->Control()) != nullptr &&
        ::SendMessageW(focus, CB_GETDROPPEDSTATE, 0, 0) != 0)
      return false;
    try {
      if (msg.wParam == VK_TAB) {
        const bool back = ::GetKeyState(VK_SHIFT) < 0;
        if (HWND next = ::GetNextDlgTabItem(root, focus, back ? TRUE : FALSE)) ::SetFocus(next);
        return true;
      }
      TButton* target = nullptr;
      if (msg.wParam == VK_RETURN) {
        if (WinPeer* focused = WinPeer::FromHandle(focus))
          target = dynamic_cast<TButton*>(&focused->Control());
        if (target == nullptr) target = FindButton(form->Form(), true);
      } else {
        target = FindButton(form->Form(), false);
      }
      if (target == nullptr) return false;
      target->Click();
    } catch (const std::exception& error) {
      ShowError(error);
    }
    return true;
  }

  HWND FAppWindow = nullptr;
  std::map<UINT_PTR, TTimer*> FTimers;
  UINT_PTR FNextTimerId = 1;
  bool FMinimizing = false;
  bool FRestoring = false;
  HWND FMenuOwner = nullptr;  // while a popup menu is tracked
  bool FIconic = false;
};

Win32BackendImpl& Impl() {
  static Win32BackendImpl backend;
  return backend;
}

LRESULT CALLBACK Win32BackendImpl::AppWindowProc(HWND window, UINT msg, WPARAM wParam,
                                                 LPARAM lParam) {
  try {
    return Impl().AppMessage(window, msg, wParam, lParam);
  } catch (const std::exception& error) {
    ShowError(error);
  } catch (...) {
    ShowError(std::runtime_error("unexpected error"));
  }
  return 0;
}

LRESULT Win32BackendImpl::AppMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_TIMER: {
      if (wParam == HintManager::kTimerId) {
        Hints().Tick();
        return 0;
      }
      auto it = FTimers.find(wParam);
      if (it != FTimers.end()) it->second->Tick();
      return 0;
    }
    case WM_ACTIVATEAPP:
      if (wParam == 0) Hints().Cancel();
      if (Application != nullptr) {
        if (wParam != 0)
          Application->DoActivate();
        else
          Application->DoDeactivate();
      }
      break;
    case WM_SYSCOMMAND:
      // The taskbar button's minimise and restore.
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
          MinimizeApplication();
          return 0;
        case SC_RESTORE:
          RestoreApplication();
          return 0;
        default:
          break;
      }
      break;
    case WM_SIZE:
      // Minimised or restored some other way than through the calls above.
      if (wParam == SIZE_MINIMIZED) {
        const bool already = FIconic;
        FIconic = true;
        if (!already && !FMinimizing && Application != nullptr) Application->DoMinimize();
      } else if (wParam == SIZE_RESTORED) {
        const bool wasIconic = FIconic;
        FIconic = false;
        if (wasIconic && !FRestoring && Application != nullptr) Application->DoRestore();
      }
      break;
    case WM_SETFOCUS:
      // This window takes no input of its own. Activated (a restore, or a
      // closed dialog giving the activation back to the window it took it
      // from, which a restore had made this one), it hands the keyboard to
      // the main form when that is shown and takes input.
      if (Application != nullptr && Application->MainForm != nullptr &&
          Application->MainForm->HandleAllocated()) {
        const HWND main = static_cast<HWND>(Application->MainForm->Handle());
        if (::IsWindowVisible(main) && ::IsWindowEnabled(main)) {
          ::SetFocus(main);
          return 0;
        }
      }
      break;
    case WM_CLOSE:
      // Closing the taskbar button (or the system asking) closes the main
      // form, again too: a close already asked for ends the loop once more.
      if (Application != nullptr && Application->MainForm != nullptr)
        Application->MainForm->Close();
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

HWND ApplicationWindow() { return Impl().AppWindow(); }

Backend& Win32Backend() { return Impl(); }

}  // namespace norva::tk::win32
