#include "platform/FontFaces.h"

#include <initializer_list>

#include "platform/Platform.h"

namespace norva::platform {

namespace {

const char* const kUiFace = "ＭＳ Ｐゴシック";

// Japanese faces with Latin glyphs, proportional ones and monospaced ones: the
// Windows faces (English and Japanese names), then those of Linux systems
// that Wine offers.
const std::initializer_list<const char*> kProportional{
    "MS PGothic", "MS UI Gothic", "Meiryo UI", "Yu Gothic UI", "メイリオ", "Meiryo",
    "Yu Gothic", "IPAPGothic", "VL PGothic", "Noto Sans CJK JP", "Source Han Sans JP",
    "TakaoPGothic"};
const std::initializer_list<const char*> kMonospaced{
    "MS Gothic", "BIZ UDGothic", "IPAGothic", "VL Gothic", "Noto Sans Mono CJK JP",
    "TakaoGothic"};

bool Monospaced(const std::string& face) {
  return face == "ＭＳ ゴシック" || face == "MS Gothic";
}

}  // namespace

FontFace ResolveFontFace(const std::string& requested) {
  IUser& user = Os().user;
  if (requested.empty() || user.FontFamilyInstalled(requested)) return {requested, false};
  const auto firstInstalled = [&](const std::initializer_list<const char*>& faces) -> const char* {
    for (const char* face : faces)
      if (user.FontFamilyInstalled(face)) return face;
    return nullptr;
  };
  const char* found = Monospaced(requested) ? firstInstalled(kMonospaced) : nullptr;
  if (found == nullptr) found = firstInstalled(kProportional);
  if (found == nullptr && Monospaced(requested) == false) found = firstInstalled(kMonospaced);
  if (found != nullptr) return {found, true};
  const std::string message = user.MessageFontFace();
  if (!message.empty()) return {message, true};
  return {requested, false};
}

namespace {

std::string& UiFaceRequest() {
  static std::string face = kUiFace;
  return face;
}

}  // namespace

FontFace UiFace() { return ResolveFontFace(UiFaceRequest()); }

void SetUiFaceRequest(const std::string& face) { UiFaceRequest() = face.empty() ? kUiFace : face; }

}  // namespace norva::platform
