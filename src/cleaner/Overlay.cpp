// The exaggerated progress display of a cleaning: a label line and a bar of
// ten large squares painted straight onto the lower fifth of the screen.
#include <string>

#include "app/Main.h"
#include "app/Monitors.h"
#include "cleaner/Overlay.h"
#include "toolkit/Backend.h"
#include "toolkit/Dpi.h"

namespace norva {

using platform::Os;

namespace {

constexpr int kShadowPercent = 0;

// Pixels of a font of the given point size on this screen, rounded.
int PointsToPixels(int points, int pixelsPerInch) {
  return static_cast<int>((static_cast<int64_t>(points) * pixelsPerInch + 36) / 72);
}

TFont OverlayFont(int pixels) {
  TFont f;
  f.Name = "ＭＳ ゴシック";  // carries the full-width squares and the half-width katakana
  f.Height = pixels;
  f.Charset = SHIFTJIS_CHARSET;
  return f;
}

}  // namespace

OverlayGeometry OverlayGeometryFor(int width, int height, int pixelsPerInch, int percent) {
  OverlayGeometry g;
  const int d = percent == kShadowPercent ? 1 : 0;
  const int y = (height / 5) * 4;
  g.barFontPixels = PointsToPixels(width / 16, pixelsPerInch);
  g.labelFontPixels = PointsToPixels(width / 24, pixelsPerInch);
  g.bar = {d, y + d, width + d, height + d};
  g.label = {d, y - g.labelFontPixels + d, width + d, y + d};
  return g;
}

std::string OverlayBar(int percent) {
  const int filled = percent / 10;
  std::string bar;
  for (int i = 0; i < 10; ++i) bar += i < filled ? "■" : "□";
  return bar;
}

void TMainForm::DrawCleanProgress(int Percent) {
  if (!SettingFrm->ckbOverAction.Checked() || Percent < -1 || Percent > 100) return;
  auto& backend = CurrentBackend();
  // On the monitor that holds the main window (the primary screen when there
  // is one), where the user looks for the cleaning's progress, at its scale.
  const win::RECT monitor =
      MonitorOf(DesktopMonitors(),
                {Left(), Top(), Left() + ToScreen(Width()), Top() + ToScreen(Height())})
          .rcMonitor;
  OverlayGeometry g = OverlayGeometryFor(monitor.right - monitor.left, monitor.bottom - monitor.top,
                                         PixelsPerInch(), Percent);
  g.bar.Offset(monitor.left, monitor.top);
  g.label.Offset(monitor.left, monitor.top);
  if (Percent == -1) {
    backend.InvalidateScreenArea(g.bar);
    return;
  }
  std::unique_ptr<TCanvas> screen = backend.OpenScreenCanvas();
  if (!screen) return;
  const TColor color = Percent == kShadowPercent ? clBlack : clLime;
  // Drawn unclipped from each rectangle's top-left corner, no background.
  TRect label = g.label;
  screen->DrawText(lang::Text(lang::TextId::OverlayLabel), label, DT_LEFT | DT_NOCLIP,
                   OverlayFont(g.labelFontPixels), color);
  TRect bar = g.bar;
  screen->DrawText(OverlayBar(0), bar, DT_LEFT | DT_NOCLIP, OverlayFont(g.barFontPixels), color);
  bar = g.bar;
  screen->DrawText(OverlayBar(Percent), bar, DT_LEFT | DT_NOCLIP, OverlayFont(g.barFontPixels), color);
}

}  // namespace norva
