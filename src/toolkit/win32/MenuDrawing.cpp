#include "toolkit/win32/MenuDrawing.h"

#include <algorithm>
#include <map>
#include <utility>

#include "platform/FontFaces.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/WinText.h"
#include "toolkit/win32/Dpi.h"

namespace norva::tk::win32 {

using platform::win32::ScopedFont;
using platform::win32::ScopedWindowDc;
using platform::win32::SelectGuard;
using platform::win32::Wide;

namespace {

// The scale menus are drawn at: that of the main window's monitor, where
// the program's menus open.
int MenuDpi() {
  return Application != nullptr && Application->MainForm != nullptr
             ? Application->MainForm->PixelsPerInch()
             : ScreenDpi();
}

// The system's menu font in the stand-in face, plain and bold (the default
// item), at the menus' scale.
HFONT MenuFont(bool bold) {
  static std::map<std::pair<int, bool>, ScopedFont> fonts;
  const int dpi = MenuDpi();
  ScopedFont& font = fonts[{dpi, bold}];
  if (!font) {
    NONCLIENTMETRICSW metrics{};
    LOGFONTW log{};
    if (NonClientMetricsForDpi(metrics, dpi))
      log = metrics.lfMenuFont;
    else
      log.lfHeight = -ScaleBy(12, dpi);
    const std::wstring face = Wide(platform::UiFace().name);
    if (face.size() < LF_FACESIZE) std::copy(face.begin(), face.end() + 1, log.lfFaceName);
    log.lfCharSet = DEFAULT_CHARSET;
    log.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font = ScopedFont(::CreateFontIndirectW(&log));
  }
  return font.Get();
}

const TMenuItem* ItemOf(ULONG_PTR data) { return reinterpret_cast<const TMenuItem*>(data); }

// Room left and right of the text: the check-mark column and a little air.
int Margin() { return SystemMetricForDpi(SM_CXMENUCHECK, MenuDpi()) + 4; }

}  // namespace

bool MenuItemsDrawnByProgram() { return platform::UiFace().substitute; }

bool MeasureMenuItem(LPARAM lParam) {
  auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
  if (measure == nullptr || measure->CtlType != ODT_MENU || measure->itemData == 0) return false;
  const TMenuItem* item = ItemOf(measure->itemData);
  ScopedWindowDc screen(nullptr);
  SelectGuard font(screen.Get(), MenuFont(item->Default));
  const std::wstring text = Wide(item->Caption);
  RECT extent{0, 0, 0, 0};
  ::DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &extent,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  measure->itemWidth = static_cast<UINT>(extent.right + 2 * Margin());
  measure->itemHeight = static_cast<UINT>(
      std::max<LONG>(extent.bottom + 6, SystemMetricForDpi(SM_CYMENU, MenuDpi())));
  return true;
}

bool DrawMenuItem(LPARAM lParam) {
  const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (draw == nullptr || draw->CtlType != ODT_MENU || draw->itemData == 0) return false;
  const TMenuItem* item = ItemOf(draw->itemData);
  const bool selected = (draw->itemState & ODS_SELECTED) != 0;
  const bool disabled = (draw->itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
  ::FillRect(draw->hDC, &draw->rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  SelectGuard font(draw->hDC, MenuFont(item->Default));
  ::SetBkMode(draw->hDC, TRANSPARENT);
  ::SetTextColor(draw->hDC, ::GetSysColor(disabled   ? COLOR_GRAYTEXT
                                          : selected ? COLOR_HIGHLIGHTTEXT
                                                     : COLOR_MENUTEXT));
  RECT text = draw->rcItem;
  text.left += Margin();
  const std::wstring caption = Wide(item->Caption);
  ::DrawTextW(draw->hDC, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  return true;
}

}  // namespace norva::tk::win32
