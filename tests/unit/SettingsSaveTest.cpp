// A save replaces the settings file whole or not at all: a failure at any
// step leaves the old bytes and no stray file, and is told once a run; a
// save that succeeds writes exactly what the profile functions would.
#include <gtest/gtest.h>

#include "NorvaFixture.h"
#include "platform/ProfileTransaction.h"
#include "platform/WholeFile.h"

namespace norva::testing {
namespace {

using platform::ProfileTransaction;
using platform::fake::FakeFiles;
using platform::fake::FakeProfile;

const std::string kOld =
    "; kept by the user\r\n[SYSTEM]\r\nXPos=40\r\n[Notes]\r\nNote1=must survive\r\n";

class SettingsSaveTest : public NorvaTest {
 protected:
  std::string Fresh() const { return platform::ReplacementPath(Ini()); }
};

TEST_F(SettingsSaveTest, AFailureAtAnyStepLeavesTheOldBytesAndIsToldOnce) {
  struct Case {
    const char* name;
    const char* failCall;  // "" for none
    int failSkip;          // calls of that name that succeed first
    win::DWORD error;
    std::optional<size_t> diskRoom;
    bool readOnly;
    const char* reason;  // in the message
  };
  for (const Case& c : {
           Case{"old file unreadable", "ReadFile", 0, 32, std::nullopt, false, "エラー コード 32"},
           Case{"new file refused", "CreateFileW", 1, 5, std::nullopt, false, "Access is denied."},
           Case{"disk full", "", 0, 0, 100, false, "There is not enough space on the disk."},
           Case{"nothing fits", "", 0, 0, 0, false, "There is not enough space on the disk."},
           Case{"write error", "WriteFile", 0, 29, std::nullopt, false, "エラー コード 29"},
           Case{"flush error", "FlushFileBuffers", 0, 112, std::nullopt, false,
                "There is not enough space on the disk."},
           Case{"close error", "CloseHandle", 1, 112, std::nullopt, false,
                "There is not enough space on the disk."},
           Case{"rename refused", "MoveFileExW", 0, 5, std::nullopt, false, "Access is denied."},
           Case{"read-only file", "", 0, 0, std::nullopt, true, "Access is denied."},
       }) {
    SCOPED_TRACE(c.name);
    os.user.messageBoxes.clear();
    WriteIni(kOld);
    Start();
    os.profile.SetReadOnly(Ini(), c.readOnly);
    os.files.failCall = c.failCall;
    os.files.failSkip = c.failSkip;
    os.files.failError = c.error;
    os.files.diskRoom = c.diskRoom;
    form->SetLeft(90);

    form->SaveSettings(false);
    EXPECT_EQ(IniText(), kOld);
    EXPECT_FALSE(os.profile.Exists(Fresh()));
    EXPECT_EQ(os.files.OpenHandles(), 0u);
    ASSERT_EQ(os.user.messageBoxes.size(), 1u);
    const auto& box = os.user.messageBoxes.front();
    EXPECT_EQ(box.caption, "エラー");
    EXPECT_EQ(box.text.rfind("設定を保存できませんでした。", 0), 0u) << box.text;
    EXPECT_NE(box.text.find(Ini()), std::string::npos) << box.text;
    EXPECT_NE(box.text.find(c.reason), std::string::npos) << box.text;

    // The next saves (the dialog's, the close's) fail alike without a word.
    os.files.failCall = c.failCall;
    os.files.failSkip = c.failSkip;
    form->SaveSettings(true);
    os.files.failCall = c.failCall;
    os.files.failSkip = c.failSkip;
    Stop();
    EXPECT_EQ(IniText(), kOld);
    EXPECT_EQ(os.user.messageBoxes.size(), 1u);

    os.profile.SetReadOnly(Ini(), false);
    os.files.failCall.clear();
    os.files.diskRoom.reset();
  }
}

TEST_F(SettingsSaveTest, AtTheEndOfTheSessionAFailureKeepsTheOldFileSilently) {
  WriteIni(kOld);
  Start();
  os.profile.SetReadOnly(Ini(), true);
  form->SetLeft(90);
  EXPECT_EQ(form->Perform(win::WM_QUERYENDSESSION, 0, 0), 1);
  EXPECT_EQ(IniText(), kOld);
  EXPECT_TRUE(os.user.messageBoxes.empty());
  // A shutdown that was cancelled: the next close tells it.
  Stop();
  EXPECT_EQ(os.user.messageBoxes.size(), 1u);
}

TEST_F(SettingsSaveTest, ASaveThatChangesNothingLeavesTheFileAlone) {
  WriteIni(kOld);
  Start();
  Stop();
  const std::string saved = IniText();
  os.profile.SetReadOnly(Ini(), true);
  Start();
  Stop();
  EXPECT_EQ(IniText(), saved);
  EXPECT_TRUE(os.user.messageBoxes.empty());
}

// The writes of a full save, and a few more of every kind: replaced, new
// in an old section, new sections, deleted keys and sections.
void SaveLike(platform::IProfile& p, const std::string& path) {
  const char* writes[][3] = {
      {"SYSTEM", "XPos", "300"},         {"SYSTEM", "YPos", "20"},
      {"SYSTEM", "Small", "0"},          {"DEFAULT", "StayOnTop", "1"},
      {"DEFAULT", "Memory", "50"},       {"COLOR", "NormalString", "clWindowText"},
      {"COLOR", "NormalBkgnd", nullptr}, {"DEFAULT", "WavFileName", "C:\\音\\alarm.wav"},
      {"DEFAULT", "Magnet", "0"},        {"EXTRA", "HotKey", "1613"},
      {"Gone", nullptr, nullptr},        {"DEFAULT", "Unknown", nullptr},
  };
  for (const auto& w : writes) p.WritePrivateProfileStringA(w[0], w[1], w[2], path);
}

TEST_F(SettingsSaveTest, ASuccessfulSaveIsByteForByteWhatTheProfileFunctionsWrite) {
  const std::optional<std::string> files[] = {
      std::nullopt,
      "",
      kOld,
      "[SYSTEM]\r\nXPos=10\r\n[DEFAULT]\r\nMemory=70\r\n[COLOR]\r\nNormalBkgnd=clRed\r\n",
      // Hand-edited: LF ends, blanks around "=", blank lines, comments, a
      // repeated section, unknown keys, text before any section, no last line end.
      "top=1\n[system]\n  xpos = 10\n\n; comment\n[Gone]\nk=v\n[DEFAULT]\nUnknown=1\nMemory=70\n\n"
      "[SYSTEM]\nXPos=99\n[Notes]\nNote091=kept by the user, must survive",
  };
  for (const auto& before : files) {
    SCOPED_TRACE(before.value_or("(no file)"));
    FakeProfile old;
    if (before) old.SetFileText(Ini(), *before);
    SaveLike(old, Ini());

    FakeProfile store;
    FakeFiles disk(store);
    if (before) store.SetFileText(Ini(), *before);
    ProfileTransaction save(disk, Ini());
    SaveLike(save, Ini());
    EXPECT_EQ(save.Commit(), 0u);
    EXPECT_EQ(store.Exists(Ini()), old.Exists(Ini()));
    EXPECT_EQ(store.FileText(Ini()), old.FileText(Ini()));
    EXPECT_FALSE(store.Exists(platform::ReplacementPath(Ini())));
  }
}

TEST_F(SettingsSaveTest, AUtf16FileStaysUtf16) {
  FakeProfile store;
  FakeFiles disk(store);
  const std::string mark = "\xFF\xFE";
  const auto utf16 = [](const std::string& ascii) {
    std::string bytes;
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
  };
  store.SetFileText(Ini(), mark + utf16("[SYSTEM]\r\nXPos=10\r\n"));
  ProfileTransaction save(disk, Ini());
  EXPECT_EQ(save.GetPrivateProfileIntA("SYSTEM", "XPos", 0, Ini()), 10);
  save.WritePrivateProfileStringA("SYSTEM", "XPos", "20", Ini());
  save.WritePrivateProfileStringA("SYSTEM", "Small", "1", Ini());
  EXPECT_EQ(save.Commit(), 0u);
  EXPECT_EQ(store.FileText(Ini()), mark + utf16("[SYSTEM]\r\nXPos=20\r\nSmall=1\r\n"));
}

}  // namespace
}  // namespace norva::testing
