// Basic value types of the GUI toolkit: colours, rectangles, fonts, messages,
// text-drawing flags and the event signatures.
//
// Event convention: every event is a std::function member named On…, assigned
// once by the owner of the control (normally its form). A control calls its
// event only when assigned; the first argument is always the sending object.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Platform.h"

namespace norva::tk {

class TObject {
 public:
  virtual ~TObject() = default;
};

// 0x00BBGGRR for a plain colour, 0x80000000 + index for a system colour.
using TColor = uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSystemColor = 0x80000000u;
constexpr TColor clScrollBar = clSystemColor + 0;
constexpr TColor clBackground = clSystemColor + 1;
constexpr TColor clWindow = clSystemColor + 5;
constexpr TColor clWindowText = clSystemColor + 8;
constexpr TColor clBtnFace = clSystemColor + 15;
constexpr TColor clBtnShadow = clSystemColor + 16;
constexpr TColor clGrayText = clSystemColor + 17;
constexpr TColor clBtnText = clSystemColor + 18;
constexpr TColor clBtnHighlight = clSystemColor + 20;
constexpr TColor clInfoText = clSystemColor + 23;
constexpr TColor clInfoBk = clSystemColor + 24;
constexpr TColor clNone = 0x1FFFFFFF;

inline bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == clSystemColor; }

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  void Offset(int dx, int dy) {
    Left += dx;
    Right += dx;
    Top += dy;
    Bottom += dy;
  }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  bool operator==(const TRect&) const = default;
};

constexpr int SHIFTJIS_CHARSET = 128;
constexpr int DEFAULT_CHARSET = 1;

struct TFont {
  std::string Name = "ＭＳ Ｐゴシック";
  int Height = 12;  // character height in pixels
  bool Bold = false;
  TColor Color = clWindowText;
  int Charset = SHIFTJIS_CHARSET;
  bool operator==(const TFont&) const = default;
};

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };

// DrawText flags (the Win32 values).
constexpr uint32_t DT_LEFT = 0x0;
constexpr uint32_t DT_CENTER = 0x1;
constexpr uint32_t DT_RIGHT = 0x2;
constexpr uint32_t DT_VCENTER = 0x4;
constexpr uint32_t DT_SINGLELINE = 0x20;
constexpr uint32_t DT_WORDBREAK = 0x10;
constexpr uint32_t DT_EXPANDTABS = 0x40;
constexpr uint32_t DT_CALCRECT = 0x400;
constexpr uint32_t DT_NOPREFIX = 0x800;
constexpr uint32_t DT_NOCLIP = 0x100;

// The DrawText flag of an alignment.
inline uint32_t AlignmentFlag(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify:
      return DT_RIGHT;
    case TAlignment::taCenter:
      return DT_CENTER;
    case TAlignment::taLeftJustify:
      break;
  }
  return DT_LEFT;
}

// A window message as a form's WndProc sees it. Handled stops the default
// handling; Result is what the window procedure answers.
struct TMessage {
  win::UINT Msg = 0;
  win::WPARAM WParam = 0;
  win::LPARAM LParam = 0;
  win::LRESULT Result = 0;
  bool Handled = false;
};

enum TShiftStateBits : uint32_t { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16 };
using TShiftState = uint32_t;
enum class TMouseButton { mbLeft, mbRight, mbMiddle };

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState shift, int x, int y)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& key)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& canClose)>;

enum class TModalResult { mrNone, mrOk, mrCancel };

}  // namespace norva::tk
