// Which installed face stands for a face the program asks for, from the
// fake platform's list of installed font families.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/FontFaces.h"
#include "platform/fake/FakePlatform.h"

namespace norva::testing {
namespace {

TEST(FontFacesTest, AMissingFaceFallsBackToAnInstalledJapaneseFaceOrTheMessageFont) {
  struct Case {
    std::set<std::string> installed;
    const char* requested;
    const char* want;
    bool substitute;
  };
  const Case cases[] = {
      // Installed: nothing changes.
      {{"ＭＳ Ｐゴシック", "ＭＳ ゴシック"}, "ＭＳ Ｐゴシック", "ＭＳ Ｐゴシック", false},
      {{"ＭＳ Ｐゴシック", "ＭＳ ゴシック"}, "ＭＳ ゴシック", "ＭＳ ゴシック", false},
      {{}, "", "", false},
      // The same face under its English name (a Windows of another locale).
      {{"MS PGothic", "MS Gothic"}, "ＭＳ Ｐゴシック", "MS PGothic", true},
      // Windows without the supplemental fonts: its own Japanese UI faces.
      {{"Meiryo UI", "Yu Gothic UI"}, "ＭＳ Ｐゴシック", "Meiryo UI", true},
      {{"Yu Gothic UI"}, "ＭＳ ゴシック", "Yu Gothic UI", true},
      // Wine on Linux: a monospaced request prefers a monospaced face.
      {{"Noto Sans CJK JP", "IPAPGothic", "IPAGothic"}, "ＭＳ Ｐゴシック", "IPAPGothic", true},
      {{"Noto Sans CJK JP", "IPAPGothic", "IPAGothic"}, "ＭＳ ゴシック", "IPAGothic", true},
      {{"Noto Sans CJK JP"}, "ＭＳ ゴシック", "Noto Sans CJK JP", true},
      {{"Noto Sans Mono CJK JP"}, "ＭＳ Ｐゴシック", "Noto Sans Mono CJK JP", true},
      // No Japanese face at all: the message font, which font linking covers.
      {{"Tahoma"}, "ＭＳ Ｐゴシック", "Tahoma", true},
  };
  for (const Case& c : cases) {
    platform::fake::FakePlatform os;
    os.user.installedFonts = c.installed;
    const platform::FontFace face = platform::ResolveFontFace(c.requested);
    EXPECT_EQ(face.name, c.want) << c.requested << " among " << c.installed.size();
    EXPECT_EQ(face.substitute, c.substitute) << c.requested << " among " << c.installed.size();
  }
}

TEST(FontFacesTest, WithoutAnyFaceOrMessageFontTheNamedFaceIsKept) {
  platform::fake::FakePlatform os;
  os.user.installedFonts.clear();
  os.user.messageFont.clear();
  EXPECT_EQ(platform::UiFace().name, "ＭＳ Ｐゴシック");
  EXPECT_FALSE(platform::UiFace().substitute);
}

}  // namespace
}  // namespace norva::testing
