// What the fake INI store does beyond the shared case table: files that
// cannot be read or written, the order in which keys and sections are
// written, and files that are left exactly as they are.
#include <gtest/gtest.h>

#include "platform/fake/FakeProfile.h"

namespace norva {
namespace {

using platform::fake::FakeProfile;

const std::string kIni = "C:\\Norva\\norva.ini";

TEST(FakeProfile, AReadOnlyFileRefusesEveryWriteAndStillReads) {
  FakeProfile profile;
  const std::string text = "[SYSTEM]\r\nXPos=10\r\n";
  profile.SetFileText(kIni, text);
  profile.SetReadOnly(kIni, true);

  EXPECT_EQ(profile.WritePrivateProfileStringA("SYSTEM", "XPos", "20", kIni), 0);
  EXPECT_EQ(profile.WritePrivateProfileStringA("SYSTEM", "YPos", "5", kIni), 0);
  EXPECT_EQ(profile.WritePrivateProfileStringA("SYSTEM", "XPos", nullptr, kIni), 0);
  EXPECT_EQ(profile.WritePrivateProfileStringA("SYSTEM", nullptr, nullptr, kIni), 0);
  EXPECT_EQ(profile.FileText(kIni), text);
  EXPECT_EQ(profile.GetPrivateProfileIntA("SYSTEM", "XPos", 0, kIni), 10);

  profile.SetReadOnly(kIni, false);
  EXPECT_NE(profile.WritePrivateProfileStringA("SYSTEM", "XPos", "20", kIni), 0);
  EXPECT_EQ(profile.GetPrivateProfileIntA("SYSTEM", "XPos", 0, kIni), 20);
}

TEST(FakeProfile, AnUnreadableFileGivesDefaultsAndCannotBeWritten) {
  FakeProfile profile;
  profile.SetFileText(kIni, "[DEFAULT]\r\nMemory=70\r\nWavFileName=a.wav\r\n");
  profile.SetUnreadable(kIni, true);

  EXPECT_EQ(profile.GetPrivateProfileIntA("DEFAULT", "Memory", 50, kIni), 50);
  EXPECT_EQ(profile.GetPrivateProfileStringA("DEFAULT", "WavFileName", "", kIni), "");
  EXPECT_EQ(profile.WritePrivateProfileStringA("DEFAULT", "Memory", "30", kIni), 0);

  profile.SetUnreadable(kIni, false);
  EXPECT_EQ(profile.GetPrivateProfileIntA("DEFAULT", "Memory", 50, kIni), 70);
}

TEST(FakeProfile, MarkingAMissingFileCreatesItEmpty) {
  FakeProfile profile;
  profile.SetReadOnly(kIni, true);
  EXPECT_TRUE(profile.Exists(kIni));
  EXPECT_EQ(profile.WritePrivateProfileStringA("SYSTEM", "XPos", "1", kIni), 0);
  EXPECT_EQ(profile.FileText(kIni), "");
}

TEST(FakeProfile, PathsMatchWithoutLetterCase) {
  FakeProfile profile;
  profile.SetFileText("C:\\NORVA\\NORVA.INI", "[A]\r\nk=1\r\n");
  EXPECT_EQ(profile.GetPrivateProfileIntA("A", "k", 0, "c:\\norva\\norva.ini"), 1);
  profile.WritePrivateProfileStringA("A", "k", "2", "c:\\Norva\\Norva.ini");
  EXPECT_EQ(profile.FileText("C:\\NORVA\\NORVA.INI"), "[A]\r\nk=2\r\n");
}

// The write pattern of a full save: the position keys, one section, a
// second, then the first section again.
void SaveAll(FakeProfile& profile, const char* x) {
  profile.WritePrivateProfileStringA("SYSTEM", "XPos", x, kIni);
  profile.WritePrivateProfileStringA("SYSTEM", "YPos", "20", kIni);
  profile.WritePrivateProfileStringA("SYSTEM", "Small", "0", kIni);
  profile.WritePrivateProfileStringA("DEFAULT", "StayOnTop", "1", kIni);
  profile.WritePrivateProfileStringA("DEFAULT", "Memory", "50", kIni);
  profile.WritePrivateProfileStringA("COLOR", "NormalString", "clWindowText", kIni);
  profile.WritePrivateProfileStringA("COLOR", "NormalBkgnd", nullptr, kIni);
  profile.WritePrivateProfileStringA("DEFAULT", "WavPlayStart", "1", kIni);
  profile.WritePrivateProfileStringA("DEFAULT", "Magnet", "0", kIni);
  profile.WritePrivateProfileStringA(nullptr, nullptr, nullptr, kIni);
}

TEST(FakeProfile, KeysAndSectionsStayInTheOrderOfTheFirstSave) {
  FakeProfile profile;
  SaveAll(profile, "10");
  EXPECT_EQ(profile.SectionsInOrder(kIni),
            (std::vector<std::string>{"SYSTEM", "DEFAULT", "COLOR"}));
  EXPECT_EQ(profile.KeysInOrder(kIni, "system"),
            (std::vector<std::string>{"XPos", "YPos", "Small"}));
  EXPECT_EQ(profile.KeysInOrder(kIni, "DEFAULT"),
            (std::vector<std::string>{"StayOnTop", "Memory", "WavPlayStart", "Magnet"}));
  EXPECT_EQ(profile.KeysInOrder(kIni, "COLOR"), (std::vector<std::string>{"NormalString"}));

  // A second save changes values in place and nothing else.
  const std::string first = profile.FileText(kIni);
  SaveAll(profile, "300");
  std::string expected = first;
  expected.replace(expected.find("XPos=10"), 7, "XPos=300");
  EXPECT_EQ(profile.FileText(kIni), expected);
}

TEST(FakeProfile, UntouchedLinesKeepTheirBlanksAndLineEnds) {
  FakeProfile profile;
  // A hand-edited file: LF line ends, blank lines, spaces around "=".
  const std::string text = "[SYSTEM]\n  XPos = 10\n\n[DEFAULT]\nMemory=50\n\n";
  profile.SetFileText(kIni, text);
  EXPECT_EQ(profile.GetPrivateProfileIntA("SYSTEM", "XPos", 0, kIni), 10);
  EXPECT_EQ(profile.FileText(kIni), text);

  // Writing the value that is there already changes nothing either.
  profile.WritePrivateProfileStringA("DEFAULT", "Memory", "50", kIni);
  EXPECT_EQ(profile.FileText(kIni), text);

  // A new key keeps the blank line that separates the sections.
  profile.WritePrivateProfileStringA("SYSTEM", "Small", "1", kIni);
  EXPECT_EQ(profile.FileText(kIni),
            "[SYSTEM]\r\n  XPos = 10\r\nSmall=1\r\n\r\n[DEFAULT]\r\nMemory=50\r\n\r\n");
}

}  // namespace
}  // namespace norva
