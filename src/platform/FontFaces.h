// Which installed face stands for a face the program asks for by name. The
// program's windows ask for "ＭＳ Ｐゴシック" and "ＭＳ ゴシック"; a system
// without them (a Windows without the Japanese supplemental fonts, a fresh
// Wine prefix) would draw every digit and sign as an empty box in whatever
// face it picks instead. The stand-in is an installed face with both the
// Latin and the Japanese glyphs.
#pragma once

#include <string>

namespace norva::platform {

struct FontFace {
  std::string name;
  // The named face is missing and name is a stand-in. Stand-ins may have a
  // taller line than the named face: they are sized by their cell height.
  bool substitute = false;
};

// The named face when installed; else the first installed of a short list of
// Japanese faces (monospaced ones first for a monospaced request); else the
// system's message font, which the system's font linking covers.
FontFace ResolveFontFace(const std::string& requested);

// The program's own user-interface face ("ＭＳ Ｐゴシック") as resolved. When
// it is a substitute, the system's menus and message boxes, drawn in a font
// that may lack the Japanese glyphs, are drawn in it too.
FontFace UiFace();
// The face UiFace resolves: "ＭＳ Ｐゴシック" for the Japanese texts; the
// English ones ask for the system's message font (empty: the Japanese face).
void SetUiFaceRequest(const std::string& face);

}  // namespace norva::platform
