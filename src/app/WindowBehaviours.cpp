// How the monitor stays out of the way: the tray icon's mouse messages,
// minimise and restore, staying on top, dragging by the body, snapping to
// the screen edges and hiding under the mouse.
#include <cstdio>

#include "app/Main.h"
#include "app/Monitors.h"
#include "platform/Desktop.h"
#include "platform/Text.h"
#include "probes/MemoryStatus.h"
#include "toolkit/Application.h"
#include "toolkit/Dpi.h"

namespace norva {

using platform::Os;

namespace {
constexpr int kMagnet = 32;
}

void TMainForm::WndProc(TMessage& Message) {
  if (FIconNotifyMsg != 0 && Message.Msg == FIconNotifyMsg) {
    const auto mouse = static_cast<win::UINT>(Message.LParam);
    if (mouse == win::WM_LBUTTONDBLCLK) {
      pmRestoreClick(this);
      Message.Handled = true;
      return;
    }
    if (mouse == win::WM_RBUTTONUP) {
      Os().user.GetCursorPos(&FCursorPos);
      FModalOpen = true;
      Os().user.SetForegroundWindow(Handle());
      PopupMenu.Popup(FCursorPos.x, FCursorPos.y);
      FModalOpen = false;
      Message.Handled = true;
      return;
    }
    // Hovering: the tooltip shows free memory, written only when it changed.
    SampleMemory();
    const MemoryFigures m = SampledFigures();
    const long double freeMB = static_cast<long double>(BytesToMB(m.availPhys));
    const std::string backoff = BackoffTip();
    if (freeMB != FTipFreeMB || backoff != FTipBackoff) {
      FTipFreeMB = freeMB;
      FTipBackoff = backoff;
      const std::string tip =
          lang::Format(lang::TextId::TrayTipFree,
                       {{"megabytes", text::Format("%4.1lf", static_cast<double>(freeMB))}});
      ModifyTray(win::NIF_TIP, FTrayIcon, tip + backoff);
    }
  } else if (FTaskbarCreatedMsg != 0 && Message.Msg == FTaskbarCreatedMsg) {
    // The shell was restarted and has forgotten our icon.
    AddTrayIcon();
  } else if (HotKeyMessage(Message) || AccessibilityMessage(Message)) {
    return;
  } else if (Message.Msg == win::WM_QUERYENDSESSION) {
    WMQueryEndSession(Message);
    return;
  } else if (Message.Msg == win::WM_NCHITTEST) {
    WMNCHitTest(Message);
    return;
  } else if (Message.Msg == win::WM_ERASEBKGND) {
    WMEraseBkgnd(Message);
    if (Message.Handled) return;
  } else if (Message.Msg == win::WM_MOVE) {
    TForm::WndProc(Message);  // the toolkit takes the new position first
    WMMove(Message);
    return;
  }
  TForm::WndProc(Message);
}

void TMainForm::WMNCHitTest(TMessage& Message) {
  auto& user = Os().user;
  user.GetCursorPos(&FCursorPos);
  // The cursor is in screen pixels, the window's layout in 96-per-inch ones.
  if (FCursorPos.y > Top() + ToScreen(18) ||
      (FCursorPos.x >= Left() + ToScreen(114) && FCursorPos.x < Left() + ToScreen(165))) {
    Message.Result = win::HTCAPTION;
    Message.Handled = true;
  } else {
    TForm::WndProc(Message);
  }
  if (SettingFrm->ckbDontCatch.Checked() && !FMinimized) {
    user.GetCursorPos(&FCursorPos);
    const bool inside = FCursorPos.x >= Left() && FCursorPos.x <= Left() + ToScreen(Width()) &&
                        FCursorPos.y >= Top() && FCursorPos.y <= Top() + ToScreen(Height());
    const bool shiftDown = (static_cast<uint16_t>(user.GetKeyState(win::VK_SHIFT)) & 0xFF80) != 0;
    if (inside && !shiftDown) Hide();
  }
}

void TMainForm::WMEraseBkgnd(TMessage& Message) {
  if (!SettingFrm->chkbEraseBkgnd.Checked()) return;
  Os().user.PaintDesktopWallpaper(Handle(), reinterpret_cast<win::HDC>(Message.WParam));
  Message.Result = 1;
  Message.Handled = true;
}

void TMainForm::WMMove(TMessage&) {
  if (SettingFrm == nullptr) return;  // moved while being created
  PaintDesktopBehind();
  if (ChangingDpi()) {
    // Moved by the system to another monitor's scale: the place it suggests
    // stays, and the magnet goes on from there.
    FLastLeft = Left();
    FLastTop = Top();
    return;
  }
  if (!SettingFrm->ckbMagnet.Checked()) return;
  auto& user = Os().user;
  user.GetCursorPos(&FCursorPos);
  // The edges of the monitor that holds the window (the primary screen's
  // when there is one), so that on a second monitor it snaps to that
  // monitor's edges rather than to the seam between the two.
  const int width = ToScreen(Width()), height = ToScreen(Height());
  const win::RECT screen =
      MonitorOf(DesktopMonitors(), {Left(), Top(), Left() + width, Top() + height}).rcMonitor;

  // Snaps one axis towards the edge it moves to; never pulls it back. The
  // cursor travels exactly as far as the window jumps, so the point it holds
  // stays under it and the next move of a drag keeps the window at the edge
  // (a fixed jump only matched a one-pixel last step).
  const auto snap = [&](int position, int last, win::LONG& cursor, int edge, int room,
                        const auto& moveTo, const auto& moveCursor) {
    if (position < last) {
      if (position > edge && position < edge + kMagnet) {
        cursor -= position - edge;
        moveCursor();
        moveTo(edge);
      } else if (position > edge - kMagnet && position < edge) {
        moveTo(edge);
      }
    } else if (position > last) {
      if (position > room - kMagnet && position < room) {
        cursor += room - position;
        moveCursor();
        moveTo(room);
      } else if (position > room && position < room + kMagnet) {
        moveTo(room);
      }
    }
  };
  snap(
      Left(), FLastLeft, FCursorPos.x, screen.left, screen.right - width,
      [this](int v) { SetLeft(v); }, [&] { user.SetCursorPos(FCursorPos.x, FCursorPos.y); });
  snap(
      Top(), FLastTop, FCursorPos.y, screen.top, screen.bottom - height,
      [this](int v) { SetTop(v); }, [&] { user.SetCursorPos(FCursorPos.x, FCursorPos.y); });
  FLastLeft = Left();
  FLastTop = Top();
  FLastCursorPos = FCursorPos;
}

void TMainForm::sbtnMinimizeClick(TObject*) {
  FMinimized = true;
  Hide();
  Application->Minimize();
}

void TMainForm::pmRestoreClick(TObject*) { Application->Restore(); }

void TMainForm::sbtnMouseMove(TObject*, TShiftState, int, int) { PaintDesktopBehind(); }

void TMainForm::FormDpiChanged(TObject*) {
  // The figures' widths were measured in the fonts of the old scale: the
  // next tick fits every text anew, as a start at this scale does.
  for (FigureFit& fit : FFigureFit) fit = FigureFit{};
  for (FigureFit& fit : FCpuFitSmaller) fit = FigureFit{};
  FTitleFit = FigureFit{};
  FCpuFit = FigureFit{};
  FLastLeft = Left();
  FLastTop = Top();
  // The tray shows the icon at the small-icon size of the taskbar's monitor.
  LoadTrayIcons();
  FTrayLoad.SetPixelsPerInch(Os().desktop.TaskbarPixelsPerInch());
  RefreshTrayLoadIcon();
  PaintDesktopBehind();
}

void TMainForm::FormActivate(TObject*) {
  if (SettingFrm->ckbTaskBarHide.Checked()) Os().user.ShowWindow(Application->Handle(), win::SW_HIDE);
}

}  // namespace norva
