// The settings file: defaults, ranges, the odd keys, the write order and the
// round trip through the settings dialog's controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NorvaFixture.h"
#include "settings/ColorText.h"

namespace norva::testing {
namespace {

class SettingsFileTest : public NorvaTest {};

TEST_F(SettingsFileTest, WithoutAFileEverySettingTakesItsDefault) {
  Start();
  TSettingFrm& s = Settings();
  EXPECT_EQ(form->Left(), 0);
  EXPECT_EQ(form->Top(), 0);
  EXPECT_EQ(form->FCleanSize, static_cast<int64_t>((512 * MiB / 100) * 50));
  EXPECT_TRUE(s.chkbButtonColorDef.Checked());
  EXPECT_EQ(s.udResWav2.Position(), 10);
  EXPECT_EQ(s.udMem2.Position(), 1);
  EXPECT_EQ(s.udMem.Position(), 1);
  EXPECT_EQ(s.udUsePer.Position(), 1);
  EXPECT_EQ(s.cmbClSpeed.ItemIndex(), 0);
  EXPECT_EQ(s.trkberMemPer.Position(), 50);
  EXPECT_EQ(s.lblNormalColor.Font().Color, tk::clWindowText);
  EXPECT_EQ(s.pnlColorSetNormal.Color(), tk::clBtnFace);
  EXPECT_EQ(s.lblBkgColorF.Font().Color, tk::clWhite);
  EXPECT_EQ(s.lblBkgColorB.Font().Color, tk::clWindowText);
  for (const tk::TCheckBox* c : {&s.ckbStayOnTop, &s.ckbDontCatch, &s.ckbCpuPer, &s.ckbStopCpuPer,
                                 &s.ckbOverAction, &s.ckbTaskBarHide, &s.chkbAuto, &s.chkbMinExec,
                                 &s.chkbFreeInc, &s.chkbAutoMem, &s.chkbNot100Per,
                                 &s.chkbStretch, &s.chkbEraseBkgnd, &s.chkbHideHint, &s.ckbMagnet})
    EXPECT_FALSE(c->Checked()) << c->Name;
  // Normal display: the figures in the normal text colour, no shadow.
  EXPECT_FALSE(form->nlblPhysicalFree.TextShadow);
  EXPECT_EQ(form->nlblPhysicalFree.Font().Color, tk::clWindowText);
  EXPECT_FALSE(form->sbtnWConfig.Visible());
  EXPECT_EQ(form->sbtnConfig.Font().Color, tk::clNavy);
}

TEST_F(SettingsFileTest, PositionStaysOnTheScreenOrGoesToTheCorner) {
  struct Case {
    int x, y, wantX, wantY;
  };
  const int w = os.user.screenWidth, h = os.user.screenHeight;
  for (Case c : {Case{w - 2, h - 2, w - 2, h - 2}, Case{w - 1, 10, 0, 10}, Case{-1, h - 1, 0, 0},
                 Case{100, 50, 100, 50}}) {
    WriteIni("[SYSTEM]\r\nXPos=" + std::to_string(c.x) + "\r\nYPos=" + std::to_string(c.y) + "\r\n");
    Start();
    EXPECT_EQ(form->Left(), c.wantX) << c.x;
    EXPECT_EQ(form->Top(), c.wantY) << c.y;
    form.reset();
  }
}

TEST_F(SettingsFileTest, APositionOnAnyMonitorIsKeptOffEveryMonitorEachAxisOffThePrimaryIsZero) {
  struct Case {
    int x, y, wantX, wantY;
  };
  struct Layout {
    const char* name;
    std::vector<win::RECT> others;  // besides the primary 0, 0, 1280, 1024
    std::vector<Case> cases;
  };
  const Layout layouts[] = {
      {"a larger one on the left",
       {{-1920, 0, 0, 1080}},
       {{-1000, 500, -1000, 500},
        {-1920, 1078, -1920, 1078},
        {-1921, 500, 0, 500},
        {-500, 1079, 0, 0},
        {1279, 10, 0, 10},
        {1278, 1022, 1278, 1022}}},
      {"one left and above, one right and taller",
       {{-1024, -200, 0, 568}, {1280, 0, 3200, 1200}},
       {{-500, -100, -500, -100},
        {2000, 1100, 2000, 1100},
        {3198, 1198, 3198, 1198},
        {3199, 10, 0, 10},
        {500, 1100, 500, 0},
        {-500, 600, 0, 600}}},
  };
  for (const Layout& l : layouts) {
    os.user.monitors.clear();
    os.user.AddMonitor({0, 0, 1280, 1024}, true);
    for (const win::RECT& r : l.others) os.user.AddMonitor(r);
    for (const Case& c : l.cases) {
      WriteIni("[SYSTEM]\r\nXPos=" + std::to_string(c.x) + "\r\nYPos=" + std::to_string(c.y) +
               "\r\n");
      Start();
      EXPECT_EQ(form->Left(), c.wantX) << l.name << ": " << c.x << "," << c.y;
      EXPECT_EQ(form->Top(), c.wantY) << l.name << ": " << c.x << "," << c.y;
      form.reset();
    }
  }
}

TEST_F(SettingsFileTest, AFileWrittenFromNothingHoldsEveryKeyInTableOrder) {
  Start();
  Stop();
  EXPECT_EQ(os.profile.SectionsInOrder(Ini()), (std::vector<std::string>{"SYSTEM", "DEFAULT", "COLOR"}));
  EXPECT_EQ(os.profile.KeysInOrder(Ini(), "SYSTEM"),
            (std::vector<std::string>{"XPos", "YPos", "Small"}));
  EXPECT_EQ(os.profile.KeysInOrder(Ini(), "DEFAULT"),
            (std::vector<std::string>{"StayOnTop", "DontCatch", "ShowCpuUsePer", "StopCpuUsePer",
                                      "OverAction", "TaskBarHide", "Memory", "AutoMemClear",
                                      "AutoMemMin", "AutoMemUsed", "AutoMemSize", "AutoExeSize",
                                      "AutoMemUsePer", "Not100Per", "BmpFileName", "BmpStretch",
                                      "BkGrndDisp", "WavPlayStart", "WavFileName",
                                      "ResWavPlayStart", "ResWavFileName", "Hint", "CleanSpeed",
                                      "Magnet"}));
  // NormalBkgnd at its default is not in the file.
  EXPECT_EQ(os.profile.KeysInOrder(Ini(), "COLOR"),
            (std::vector<std::string>{"NormalString", "BkdispStringFront", "BkdispStringBk",
                                      "ButtonColorNotChange"}));
  EXPECT_EQ(Key("DEFAULT", "Memory"), "50");
  EXPECT_EQ(Key("DEFAULT", "CleanSpeed"), "0");
  EXPECT_EQ(Key("DEFAULT", "ResWavPlayStart"), "10");
  EXPECT_EQ(Key("COLOR", "NormalString"), "clWindowText");
  EXPECT_EQ(Key("COLOR", "BkdispStringFront"), "clWhite");
  EXPECT_EQ(Key("COLOR", "ButtonColorNotChange"), "1");
  EXPECT_EQ(Key("DEFAULT", "BmpFileName"), "");
}

TEST_F(SettingsFileTest, EveryKeyReadsBackToTheSameRecord) {
  os.kernel.AddFile("C:\\sounds\\low.wav");
  os.kernel.AddFile("C:\\sounds\\res.wav");
  os.kernel.AddBitmap("C:\\pictures\\back.bmp", 200, 80);
  WriteIni(
      "[SYSTEM]\r\nXPos=120\r\nYPos=300\r\nSmall=0\r\n"
      "[DEFAULT]\r\nStayOnTop=1\r\nDontCatch=1\r\nShowCpuUsePer=1\r\nStopCpuUsePer=1\r\n"
      "OverAction=1\r\nTaskBarHide=1\r\nMemory=70\r\nAutoMemClear=1\r\nAutoMemMin=1\r\n"
      "AutoMemUsed=1\r\nAutoMemSize=1\r\nAutoExeSize=12\r\nAutoMemUsePer=3\r\nNot100Per=1\r\n"
      "BmpFileName=C:\\pictures\\back.bmp\r\nBmpStretch=1\r\nBkGrndDisp=0\r\nWavPlayStart=7\r\n"
      "WavFileName=C:\\sounds\\low.wav\r\nResWavPlayStart=20\r\nResWavFileName=C:\\sounds\\res.wav\r\n"
      "Hint=1\r\nCleanSpeed=2\r\nMagnet=1\r\n"
      "[COLOR]\r\nNormalString=clRed\r\nNormalBkgnd=$000080FF\r\nBkdispStringFront=clYellow\r\n"
      "BkdispStringBk=clNavy\r\nButtonColorNotChange=0\r\n");
  const std::string before = IniText();
  Start();
  Stop();
  // Read back, written again: nothing lost, nothing changed but the layout
  // of the file, which the profile functions own.
  for (const char* key : {"StayOnTop", "DontCatch", "ShowCpuUsePer", "StopCpuUsePer", "OverAction",
                          "TaskBarHide", "Memory", "AutoMemClear", "AutoMemMin", "AutoMemUsed",
                          "AutoMemSize", "AutoExeSize", "AutoMemUsePer", "Not100Per", "BmpFileName",
                          "BmpStretch", "BkGrndDisp", "WavPlayStart", "WavFileName",
                          "ResWavPlayStart", "ResWavFileName", "Hint", "CleanSpeed", "Magnet"}) {
    platform::fake::FakeProfile original;
    original.SetFileText(Ini(), before);
    EXPECT_EQ(Key("DEFAULT", key), original.GetPrivateProfileStringA("DEFAULT", key, "?", Ini()))
        << key;
  }
  EXPECT_EQ(Key("SYSTEM", "XPos"), "120");
  EXPECT_EQ(Key("SYSTEM", "YPos"), "300");
  EXPECT_EQ(Key("COLOR", "NormalString"), "clRed");
  EXPECT_EQ(Key("COLOR", "NormalBkgnd"), "$000080FF");
  EXPECT_EQ(Key("COLOR", "BkdispStringFront"), "clYellow");
  EXPECT_EQ(Key("COLOR", "BkdispStringBk"), "clNavy");
  EXPECT_EQ(Key("COLOR", "ButtonColorNotChange"), "0");
}

TEST_F(SettingsFileTest, TheDefaultWindowColourIsRemovedFromTheFile) {
  WriteIni("[COLOR]\r\nNormalBkgnd=clBtnFace\r\n");
  Start();
  EXPECT_EQ(Settings().pnlColorSetNormal.Color(), tk::clBtnFace);
  Stop();
  EXPECT_EQ(Key("COLOR", "NormalBkgnd"), "<absent>");
}

TEST_F(SettingsFileTest, ButtonColoursFlagIsOnOnlyWithoutAnExplicitValue) {
  struct Case {
    const char* file;
    bool on;
  };
  for (Case c : {Case{"", true}, Case{"[COLOR]\r\nButtonColorNotChange=\r\n", true},
                 Case{"[COLOR]\r\nButtonColorNotChange=0\r\n", false},
                 Case{"[COLOR]\r\nButtonColorNotChange=abc\r\n", false},
                 Case{"[COLOR]\r\nButtonColorNotChange=2\r\n", true}}) {
    WriteIni(c.file);
    Start();
    EXPECT_EQ(Settings().chkbButtonColorDef.Checked(), c.on) << c.file;
    form.reset();
  }
}

TEST_F(SettingsFileTest, ThresholdsBelowOneTakeTheirReplacements) {
  WriteIni("[DEFAULT]\r\nResWavPlayStart=0\r\nWavPlayStart=0\r\nAutoExeSize=-4\r\nAutoMemUsePer=0\r\n");
  Start();
  EXPECT_EQ(Settings().udResWav2.Position(), 10);
  EXPECT_EQ(Settings().udMem2.Position(), 1);
  EXPECT_EQ(Settings().udMem.Position(), 1);
  EXPECT_EQ(Settings().udUsePer.Position(), 1);
}

TEST_F(SettingsFileTest, SixteenBitThresholdsAreCutBeforeTheyAreChecked) {
  // 40000 is -25536 in 16 bits, -65472 is 64, 65537 is 1, 65538 is 2.
  WriteIni(
      "[DEFAULT]\r\nResWavPlayStart=40000\r\nAutoExeSize=-"
      "65472\r\nAutoMemUsePer=65537\r\n"
      "WavPlayStart=65538\r\n");
  Start();
  EXPECT_EQ(Settings().udResWav2.Position(), 10);
  EXPECT_EQ(Settings().edtResWav2.Text(), "10");
  EXPECT_EQ(Settings().udMem.Position(), 64);
  EXPECT_EQ(Settings().edtMem.Text(), "64");
  EXPECT_EQ(Settings().udUsePer.Position(), 1);
  EXPECT_EQ(Settings().udMem2.Position(), 2);
}

TEST_F(SettingsFileTest, MegabyteThresholdsAreBoundByAQuarterOfPhysicalMemory) {
  // 512 MiB: the bound is 128 MB; the design range of the box (32) is lifted.
  WriteIni(
      "[DEFAULT]\r\nAutoExeSize=100\r\nAutoMemUsePer=999\r\nWavPlayStart="
      "200\r\n");
  Start();
  EXPECT_EQ(Settings().udMem.Position(), 100);
  EXPECT_EQ(Settings().udUsePer.Position(), 128);
  EXPECT_EQ(Settings().edtUsePer.Text(), "128");
  EXPECT_EQ(Settings().udMem2.Position(), 128);
  Stop();
  EXPECT_EQ(Key("DEFAULT", "AutoMemUsePer"), "128");
}

TEST_F(SettingsFileTest, ASoundFileThatIsGoneIsShownButNotWrittenBack) {
  WriteIni(
      "[DEFAULT]\r\nWavFileName=C:\\gone.wav\r\nResWavFileName=C:\\here."
      "wav\r\n");
  os.kernel.AddFile("C:\\here.wav");
  Start();
  EXPECT_EQ(Settings().edtWavPath.Text(), "C:\\gone.wav");
  EXPECT_FALSE(Settings().btnPlay.Enabled());
  EXPECT_TRUE(Settings().btnWavClear.Enabled());
  EXPECT_TRUE(Settings().btnResWavPlay.Enabled());
  Stop();
  EXPECT_EQ(Key("DEFAULT", "WavFileName"), "");
  EXPECT_EQ(Key("DEFAULT", "ResWavFileName"), "C:\\here.wav");
}

TEST_F(SettingsFileTest, AWallpaperThatCannotBeLoadedLeavesNormalDisplay) {
  os.kernel.AddFolder("C:\\folder");
  os.kernel.AddFile("C:\\notes.txt");
  for (const char* path : {"C:\\missing.bmp", "C:\\folder", "C:\\notes.txt"}) {
    WriteIni(std::string("[DEFAULT]\r\nBmpFileName=") + path + "\r\nBmpStretch=1\r\n");
    Start();
    EXPECT_FALSE(form->ImageBk.Visible()) << path;
    EXPECT_FALSE(form->ImageBk.HasPicture()) << path;
    EXPECT_FALSE(form->nlblPhysicalFree.TextShadow) << path;
    EXPECT_TRUE(Settings().chkbEraseBkgnd.Enabled()) << path;
    EXPECT_FALSE(Settings().btnBmpClear.Enabled()) << path;
    Stop();
    EXPECT_EQ(Key("DEFAULT", "BmpFileName"), "") << path;
  }
}

TEST_F(SettingsFileTest, AWallpaperPutsTheWindowIntoOverBackgroundDisplay) {
  os.kernel.AddBitmap("C:\\back.bmp", 320, 200);
  WriteIni("[DEFAULT]\r\nBmpFileName=C:\\back.bmp\r\nBmpStretch=0\r\n[COLOR]\r\nButtonColorNotChange=0\r\n");
  Start();
  EXPECT_TRUE(form->ImageBk.Visible());
  EXPECT_FALSE(form->ImageBk.Stretch());
  EXPECT_TRUE(form->nlblPhysicalFree.TextShadow);
  EXPECT_EQ(form->nlblPhysicalFree.Color(), tk::clWindowText);  // shadow colour
  EXPECT_EQ(form->nlblPhysicalFree.Font().Color, tk::clWhite);
  EXPECT_TRUE(form->sbtnWGetMem.Visible());
  EXPECT_EQ(form->sbtnWGetMem.Font().Color, tk::clWhite);
  EXPECT_EQ(form->sbtnGetMem.Font().Color, tk::clWindowText);
  EXPECT_FALSE(Settings().chkbEraseBkgnd.Enabled());
  Stop();
  EXPECT_EQ(Key("DEFAULT", "BmpFileName"), "C:\\back.bmp");
}

TEST_F(SettingsFileTest, ACleanSpeedOutsideTheListSelectsNothingAndIsWrittenAsMinusOne) {
  WriteIni("[DEFAULT]\r\nCleanSpeed=7\r\n");
  Start();
  EXPECT_EQ(Settings().cmbClSpeed.ItemIndex(), -1);
  Stop();
  EXPECT_EQ(Key("DEFAULT", "CleanSpeed"), "-1");
}

TEST_F(SettingsFileTest, TheCleaningSizeIsAShareOfPhysicalMemory) {
  SetMemory(4 * GiB, 1 * GiB, 40);
  WriteIni("[DEFAULT]\r\nMemory=50\r\n");
  Start();
  EXPECT_EQ(form->FCleanSize, 2147483600);
  form.reset();

  // Beyond 4 GiB the size is not cut to 32 bits.
  SetMemory(64 * GiB, 32 * GiB, 40);
  WriteIni("[DEFAULT]\r\nMemory=95\r\n");
  Start();
  EXPECT_EQ(form->FCleanSize, static_cast<int64_t>((64 * GiB / 100) * 95));
  form.reset();

  // The older family computes in 32 bits from its own record.
  os.kernel.UseNineXFamily();
  SetMemory(512 * MiB, 100 * MiB, 40);
  WriteIni("[DEFAULT]\r\nMemory=50\r\n");
  Start();
  EXPECT_EQ(form->FCleanSize, 268435450);
}

TEST_F(SettingsFileTest, AShareOutsideTheTrackBarIsBroughtIntoItsRange) {
  WriteIni("[DEFAULT]\r\nMemory=400\r\n");
  Start();
  EXPECT_EQ(Settings().trkberMemPer.Position(), 95);
  EXPECT_EQ(form->FCleanSize, static_cast<int64_t>((512 * MiB / 100) * 95));
}

TEST_F(SettingsFileTest, GarbageValuesReadAsTheProfileFunctionsDo) {
  WriteIni("[DEFAULT]\r\nMemory=abc\r\nAutoExeSize=12abc\r\nStayOnTop=x\r\nMagnet= 7\r\n"
           "[COLOR]\r\nNormalString=notacolour\r\nBkdispStringFront=$00FF8000\r\n");
  Start();
  // "abc" reads as 0, which the track bar's range makes 5.
  EXPECT_EQ(Settings().trkberMemPer.Position(), 5);
  EXPECT_EQ(Settings().udMem.Position(), 12);
  EXPECT_FALSE(Settings().ckbStayOnTop.Checked());
  EXPECT_TRUE(Settings().ckbMagnet.Checked());
  // A colour that is no name and no number keeps the default.
  EXPECT_EQ(Settings().lblNormalColor.Font().Color, tk::clWindowText);
  EXPECT_EQ(Settings().lblBkgColorF.Font().Color, 0x00FF8000u);
}

TEST_F(SettingsFileTest, AReadOnlyFileLosesTheChangesButNothingBreaks) {
  WriteIni("[SYSTEM]\r\nXPos=40\r\n");
  os.profile.SetReadOnly(Ini(), true);
  Start();
  form->SetLeft(90);
  Stop();
  EXPECT_EQ(IniText(), "[SYSTEM]\r\nXPos=40\r\n");
}

TEST_F(SettingsFileTest, AnUnreadableFileGivesDefaults) {
  WriteIni("[SYSTEM]\r\nXPos=40\r\n[DEFAULT]\r\nMemory=80\r\n");
  os.profile.SetUnreadable(Ini(), true);
  Start();
  EXPECT_EQ(form->Left(), 0);
  EXPECT_EQ(Settings().trkberMemPer.Position(), 50);
}

TEST_F(SettingsFileTest, TheFileLiesBesideTheExecutableWhateverItsPathLength) {
  const std::string folder = "C:\\" + std::string(300, 'd');
  os.kernel.moduleFileName = folder + "\\norva.exe";
  Start();
  Stop();
  EXPECT_TRUE(os.profile.Exists(folder + "\\norva.ini"));
  EXPECT_EQ(SettingsFilePath(), folder + "\\norva.ini");
}

TEST_F(SettingsFileTest, HintsFollowTheHintKeyOnTheFifteenControls) {
  WriteIni("[DEFAULT]\r\nHint=1\r\n");
  Start();
  EXPECT_FALSE(form->sbtnConfig.ShowHint());
  EXPECT_FALSE(form->btnStop.ShowHint());
  EXPECT_FALSE(form->nlblVirtualTitle.ShowHint());
  form.reset();
  WriteIni("[DEFAULT]\r\nHint=0\r\n");
  Start();
  EXPECT_TRUE(form->sbtnWClose.ShowHint());
  EXPECT_TRUE(form->nlblUsePer.ShowHint());
}

TEST_F(SettingsFileTest, StayOnTopAndTaskBarStateAreAppliedToBothWindows) {
  WriteIni("[DEFAULT]\r\nStayOnTop=1\r\nTaskBarHide=1\r\n");
  Start();
  const auto& pos = os.user.setWindowPosCalls;
  ASSERT_GE(pos.size(), 2u);
  EXPECT_EQ(pos[0].window, form->Handle());
  EXPECT_EQ(pos[0].insertAfter, win::HWND_TOPMOST);
  EXPECT_EQ(pos[1].window, app->Handle());
  EXPECT_EQ(pos[1].insertAfter, win::HWND_TOPMOST);
  EXPECT_EQ(backend.restoreTopMostsCalls, 1);
  bool hidden = false;
  for (const auto& c : os.user.showWindowCalls)
    if (c.window == app->Handle()) hidden = c.command == win::SW_HIDE;
  EXPECT_TRUE(hidden);
}

TEST(ColorText, NamesAndNumbersBothWays) {
  EXPECT_EQ(ColorToString(tk::clBtnFace), "clBtnFace");
  EXPECT_EQ(ColorToString(0x000080FF), "$000080FF");
  EXPECT_EQ(ColorToString(0x1FFFFFFF), "clNone");
  EXPECT_EQ(ColorToString(0x80000018), "clInfoBk");
  EXPECT_EQ(StringToColor("CLWINDOWTEXT"), tk::clWindowText);
  EXPECT_EQ(StringToColor("cl3ddkshadow"), 0x80000015u);
  EXPECT_EQ(StringToColor("$000080ff"), 0x000080FFu);
  EXPECT_EQ(StringToColor("255"), 0xFFu);
  EXPECT_EQ(StringToColor("-1"), 0xFFFFFFFFu);
  EXPECT_EQ(StringToColor("clNotAColour"), std::nullopt);
  EXPECT_EQ(StringToColor(""), std::nullopt);
  EXPECT_EQ(StringToColor("$"), std::nullopt);
  EXPECT_EQ(StringToColor("12abc"), std::nullopt);
  EXPECT_EQ(StringToColor("$100000000"), std::nullopt);
  for (tk::TColor c : {0x00000000u, 0x00123456u, 0x80000000u, 0x8000000Fu, 0x1FFFFFFFu, 0xFFFFFFFFu})
    EXPECT_EQ(StringToColor(ColorToString(c)), c) << c;
}

}  // namespace
}  // namespace norva::testing
