// The settings dialog's handlers with scripted file and colour dialogs, its
// enabling and number rules, OK against Cancel, and the two display modes.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "NorvaFixture.h"
#include "platform/BitmapFile.h"

namespace norva::testing {
namespace {

using tk::TColor;

constexpr const char *kBmp = "C:\\pictures\\back.bmp";

class SettingDialogTest : public NorvaTest {
 protected:
  // Opens the dialog from "[設定]"; each step runs while it is open, the
  // last one closes it.
  void OpenDialog(std::vector<std::function<void()>> steps) {
    for (auto &step : steps) backend.modalScript.push_back(std::move(step));
    form->sbtnConfigClick(&form->sbtnConfig);
  }
  size_t ErrorBoxes() const { return os.user.messageBoxes.size(); }
};

// --- Wallpaper
// -----------------------------------------------------------------

TEST_F(SettingDialogTest, ReadingAWallpaperShowsItOnlyWhenItIsALoadableBitmap) {
  os.kernel.AddBitmap(kBmp, 640, 480);
  os.kernel.AddBitmap("C:\\huge.bmp", 20000, 20000);
  os.kernel.AddBitmap("C:\\big.bmp", 4097, 4097);
  os.kernel.AddFolder("C:\\pictures");
  os.kernel.AddFile("C:\\notes.bmp");
  struct Case {
    std::optional<std::string> answer;
    bool clearEnabled, previewShown, errorShown;
  };
  const Case cases[] = {
      {std::nullopt, false, false, false},      // cancelled: nothing changes
      {kBmp, true, true, false},                // a bitmap: preview shown
      {"C:\\missing.bmp", true, false, false},  // gone: only "クリア" enabled
      {"C:\\pictures", true, false, true},      // a folder
      {"C:\\notes.bmp", true, false, true},     // no bitmap (or truncated)
      {"C:\\huge.bmp", true, false, true},      // 20,000 × 20,000: refused
      {"C:\\big.bmp", true, false, true},       // 4,097 × 4,097: over 16 M pixels
  };
  for (const Case &c : cases) {
    Start();
    TSettingFrm &s = Settings();
    const size_t boxes = ErrorBoxes();
    backend.openDialogAnswers.push_back(c.answer);
    s.btnBmpRead.Click();
    const std::string what = c.answer.value_or("cancel");
    EXPECT_EQ(backend.openDialogTitles.back(), "画像ファイル読込");
    EXPECT_TRUE(s.oppcdlgBmpLoad.PicturePreview);
    EXPECT_EQ(s.btnBmpClear.Enabled(), c.clearEnabled) << what;
    EXPECT_EQ(s.imgPreview.Visible(), c.previewShown) << what;
    EXPECT_EQ(s.imgPreview.HasPicture(), c.previewShown) << what;
    EXPECT_EQ(s.chkbEraseBkgnd.Enabled(), !c.previewShown) << what;
    EXPECT_EQ(ErrorBoxes() - boxes, c.errorShown ? 1u : 0u) << what;
    // The main window changes only after OK.
    EXPECT_FALSE(form->ImageBk.Visible()) << what;
    s.btnOk.Click();
    form->SaveSettings(false);
    EXPECT_EQ(Key("DEFAULT", "BmpFileName"), c.previewShown ? kBmp : "") << what;
    form.reset();
    WriteIni("");
  }
}

TEST_F(SettingDialogTest, AFileThatCannotBeLoadedLeavesThePictureShownSoFar) {
  os.kernel.AddBitmap(kBmp, 640, 480);
  os.kernel.AddFile("C:\\notes.bmp");
  Start();
  TSettingFrm& s = Settings();
  backend.openDialogAnswers.push_back(kBmp);
  s.btnBmpRead.Click();
  backend.openDialogAnswers.push_back("C:\\notes.bmp");
  s.btnBmpRead.Click();
  EXPECT_EQ(os.user.messageBoxes.size(), 1u);
  EXPECT_TRUE(s.imgPreview.HasPicture());
  EXPECT_TRUE(s.imgPreview.Visible());
  EXPECT_EQ(s.lblBmpDir.Caption(), kBmp);
  EXPECT_EQ(os.user.liveBitmaps.size(), 1u);  // the probe was released
  form->SaveSettings(false);
  EXPECT_EQ(Key("DEFAULT", "BmpFileName"), kBmp);
}

TEST_F(SettingDialogTest, ClearingTheWallpaperReleasesItAndKeepsThePath) {
  os.kernel.AddBitmap(kBmp, 640, 480);
  Start();
  TSettingFrm &s = Settings();
  backend.openDialogAnswers.push_back(kBmp);
  s.btnBmpRead.Click();
  ASSERT_TRUE(s.imgPreview.HasPicture());
  const win::HBITMAP picture = s.imgPreview.Picture().handle;
  s.btnBmpClear.Click();
  EXPECT_FALSE(s.imgPreview.Visible());
  EXPECT_EQ(os.user.liveBitmaps.count(picture), 0u);
  EXPECT_FALSE(s.btnBmpClear.Enabled());
  EXPECT_TRUE(s.chkbEraseBkgnd.Enabled());
  EXPECT_EQ(s.lblBmpDir.Caption(), kBmp);
  form->SaveSettings(false);
  EXPECT_EQ(Key("DEFAULT", "BmpFileName"), "");
}

// --- Colours
// -------------------------------------------------------------------

TEST_F(SettingDialogTest, EachColourButtonStartsAtItsSampleAndTakesOnlyAConfirmedColour) {
  struct Case {
    const char *name;
    std::function<tk::TButton &(TSettingFrm &)> button;
    std::function<TColor(TSettingFrm &)> sample;
    TColor design;
    const char *key;
  };
  const Case cases[] = {
      {"文字色", [](TSettingFrm &s) -> tk::TButton & { return s.btnStrColorNormal; },
       [](TSettingFrm &s) { return s.lblNormalColor.Font().Color; }, tk::clWindowText,
       "NormalString"},
      {"背景色", [](TSettingFrm &s) -> tk::TButton & { return s.btnBkColorNormal; },
       [](TSettingFrm &s) { return s.pnlColorSetNormal.Color(); }, tk::clBtnFace, "NormalBkgnd"},
      {"前面", [](TSettingFrm &s) -> tk::TButton & { return s.btnStrColorFrBg; },
       [](TSettingFrm &s) { return s.lblBkgColorF.Font().Color; }, tk::clWhite,
       "BkdispStringFront"},
      {"影", [](TSettingFrm &s) -> tk::TButton & { return s.btnStrColorBkBg; },
       [](TSettingFrm &s) { return s.lblBkgColorB.Font().Color; }, tk::clWindowText,
       "BkdispStringBk"},
  };
  Start();
  TSettingFrm &s = Settings();
  for (const Case &c : cases) {
    backend.colorDialogAnswers.push_back(std::nullopt);
    c.button(s).Click();
    EXPECT_EQ(backend.colorDialogStartColors.back(), c.design) << c.name;
    EXPECT_EQ(c.sample(s), c.design) << c.name;
    // A colour without a name in the table.
    backend.colorDialogAnswers.push_back(TColor{0x000080FF});
    c.button(s).Click();
    EXPECT_EQ(c.sample(s), 0x000080FFu) << c.name;
    backend.colorDialogAnswers.push_back(std::nullopt);
    c.button(s).Click();
    EXPECT_EQ(backend.colorDialogStartColors.back(), 0x000080FFu) << c.name;
    form->SaveSettings(false);
    EXPECT_EQ(Key("COLOR", c.key), "$000080FF") << c.name;
  }
}

TEST_F(SettingDialogTest, ClearPutsTheNormalBackgroundBackToButtonFace) {
  WriteIni("[COLOR]\r\nNormalBkgnd=clRed\r\n");
  Start();
  Settings().btnClearColorNormal.Click();
  EXPECT_EQ(Settings().pnlColorSetNormal.Color(), tk::clBtnFace);
  form->SaveSettings(false);
  EXPECT_EQ(Key("COLOR", "NormalBkgnd"), "<absent>");
}

// --- Sounds
// --------------------------------------------------------------------

struct SoundBlock {
  const char *name;
  tk::TEdit TSettingFrm::*path;
  tk::TButton TSettingFrm::*browse;
  tk::TButton TSettingFrm::*play;
  tk::TButton TSettingFrm::*clear;
  const char *key;
};
const SoundBlock kSoundBlocks[] = {
    {"memory", &TSettingFrm::edtWavPath, &TSettingFrm::btnWavRead, &TSettingFrm::btnPlay,
     &TSettingFrm::btnWavClear, "WavFileName"},
    {"resources", &TSettingFrm::edtResWavPath, &TSettingFrm::btnResWavRead,
     &TSettingFrm::btnResWavPlay, &TSettingFrm::btnResWavClear, "ResWavFileName"},
};

TEST_F(SettingDialogTest, BrowsePlayAndClearOfBothSoundBlocks) {
  os.kernel.AddFile("C:\\sounds\\low.wav");
  os.kernel.AddFile("C:\\sounds\\notes.txt");
  os.kernel.AddFolder("C:\\sounds");
  Start();
  TSettingFrm &s = Settings();
  for (const SoundBlock &b : kSoundBlocks) {
    backend.openDialogAnswers.push_back(std::nullopt);
    (s.*b.browse).Click();
    EXPECT_EQ(backend.openDialogTitles.back(), "音声ファイル読込") << b.name;
    EXPECT_EQ((s.*b.path).Text(), "") << b.name;
    EXPECT_FALSE((s.*b.play).Enabled()) << b.name;

    struct Case {
      const char *path;
      bool playable;  // the attribute query succeeds: file or folder
    };
    for (Case c : {Case{"C:\\sounds\\low.wav", true}, Case{"C:\\sounds\\notes.txt", true},
                   Case{"C:\\sounds", true}, Case{"C:\\sounds\\gone.wav", false}}) {
      backend.openDialogAnswers.push_back(std::string(c.path));
      (s.*b.browse).Click();
      EXPECT_EQ((s.*b.path).Text(), c.path) << b.name;
      EXPECT_EQ((s.*b.play).Enabled(), c.playable) << b.name << c.path;
      EXPECT_TRUE((s.*b.clear).Enabled()) << b.name << c.path;
      const size_t plays = os.sound.plays.size();
      (s.*b.play).Click();
      // Played asynchronously, silence for what can't be played.
      ASSERT_EQ(os.sound.plays.size(), plays + 1) << b.name;
      EXPECT_EQ(os.sound.plays.back().path, c.path);
      EXPECT_EQ(os.sound.plays.back().flags, 3u);
      form->SaveSettings(false);
      EXPECT_EQ(Key("DEFAULT", b.key), c.playable ? c.path : "") << b.name << c.path;
    }
    (s.*b.clear).Click();
    EXPECT_EQ((s.*b.path).Text(), "") << b.name;
    EXPECT_FALSE((s.*b.play).Enabled()) << b.name;
    EXPECT_FALSE((s.*b.clear).Enabled()) << b.name;
  }
}

// --- Enabling rules 2 to 5
// ---------------------------------------------------------

TEST_F(SettingDialogTest, SelfSizingDisablesTheShareTrackBarAndItsTexts) {
  Start();
  TSettingFrm &s = Settings();
  for (bool on : {true, false, true}) {
    s.chkbAutoMem.SetChecked(on);
    for (const tk::TControl *c : std::initializer_list<const tk::TControl *>{
             &s.trkberMemPer, &s.stctxtMemSize, &s.stcMemSize})
      EXPECT_EQ(c->Enabled(), !on);
  }
}

TEST_F(SettingDialogTest, TheLastSetTriggerCannotBeCleared) {
  Start();
  TSettingFrm &s = Settings();
  s.chkbAuto.SetChecked(true);
  tk::TCheckBox *boxes[] = {&s.chkbMinExec, &s.chkbFreeInc, &s.chkbNot100Per};
  for (tk::TCheckBox *only : boxes) {
    for (tk::TCheckBox *b : boxes) b->SetChecked(true);
    for (tk::TCheckBox *b : boxes)
      if (b != only) b->SetChecked(false);
    EXPECT_TRUE(only->Checked());
    only->Click();  // the user clears the last one
    EXPECT_TRUE(only->Checked());
    int set = 0;
    for (tk::TCheckBox *b : boxes) set += b->Checked() ? 1 : 0;
    EXPECT_EQ(set, 1);
  }
}

TEST_F(SettingDialogTest, StoppingAtFullProcessorLoadAlsoShowsTheLoadButNotTheOtherWay) {
  Start();
  TSettingFrm &s = Settings();
  // Clearing the stop leaves the load display as the user left it, shown
  // or not.
  for (bool shown : {true, false}) {
    s.ckbStopCpuPer.SetChecked(true);
    EXPECT_TRUE(s.ckbCpuPer.Checked());
    s.ckbCpuPer.SetChecked(shown);
    EXPECT_TRUE(s.ckbStopCpuPer.Checked());
    s.ckbStopCpuPer.SetChecked(false);
    EXPECT_EQ(s.ckbCpuPer.Checked(), shown);
  }
}

TEST_F(SettingDialogTest, SeeThroughAndAWallpaperExcludeEachOther) {
  os.kernel.AddBitmap(kBmp, 200, 80);
  Start();
  TSettingFrm &s = Settings();
  s.chkbEraseBkgnd.SetChecked(true);
  EXPECT_FALSE(s.btnBmpRead.Enabled());
  EXPECT_TRUE(s.chkbEraseBkgnd.Enabled());
  s.chkbEraseBkgnd.SetChecked(false);
  EXPECT_TRUE(s.btnBmpRead.Enabled());
  backend.openDialogAnswers.push_back(kBmp);
  s.btnBmpRead.Click();
  EXPECT_FALSE(s.chkbEraseBkgnd.Enabled());
  s.btnBmpClear.Click();
  EXPECT_TRUE(s.chkbEraseBkgnd.Enabled());
}

// --- Number boxes and track-bar texts
// ---------------------------------------------

TEST_F(SettingDialogTest, NumberBoxesClampToAQuarterOfPhysicalMemoryOrReportTheText) {
  struct Case {
    const char *typed;
    const char *shown;
    int position;
    bool error;
  };
  // 512 MiB of physical memory: the bound is 128.
  const Case cases[] = {
      {"999", "128", 128, false},
      {"128", "128", 128, false},
      {"129", "128", 128, false},
      {"1", "1", 1, false},
      {"0", "1", 1, false},
      {"-5", "1", 1, false},
      {"99999999999999999999", "128", 128, false},
      {"12", "12", 12, false},
      {"abc", "abc", 12, true},
      {"", "", 12, true},
      {"7x", "7x", 12, true},
  };
  Start();
  TSettingFrm &s = Settings();
  s.chkbAuto.SetChecked(true);
  for (auto [edit, upDown] :
       {std::pair{&s.edtMem, &s.udMem}, std::pair{&s.edtUsePer, &s.udUsePer}}) {
    EXPECT_EQ(upDown->Max(), 128);
    for (const Case &c : cases) {
      const size_t boxes = ErrorBoxes();
      edit->SetText(c.typed);
      EXPECT_EQ(edit->Text(), c.shown) << c.typed;
      EXPECT_EQ(upDown->Position(), c.position) << c.typed;
      ASSERT_EQ(ErrorBoxes() - boxes, c.error ? 1u : 0u) << c.typed;
      if (c.error) {
        EXPECT_EQ(os.user.messageBoxes.back().caption, "エラー");
        EXPECT_NE(os.user.messageBoxes.back().text.find(c.typed), std::string::npos);
      }
    }
  }
  form->SaveSettings(false);
  EXPECT_EQ(Key("DEFAULT", "AutoExeSize"), "12");
  // The sound tab's box has no such rule: the text stays, the position is
  // bound.
  s.edtMem2.SetText("999");
  EXPECT_EQ(s.edtMem2.Text(), "999");
  EXPECT_EQ(s.udMem2.Position(), 128);
  form->SaveSettings(false);
  EXPECT_EQ(Key("DEFAULT", "WavPlayStart"), "128");
  s.edtResWav2.SetText("250");
  EXPECT_EQ(s.edtResWav2.Text(), "250");
  EXPECT_EQ(s.udResWav2.Position(), 100);
}

TEST_F(SettingDialogTest, TrackBarTextsShowTheShareAndItsSize) {
  Start();
  TSettingFrm &s = Settings();
  struct Case {
    uint64_t totalPhys;
    int position;
    const char *share;
    const char *size;
  };
  // 10^9 bytes are 953.67... MiB: the size keeps the fraction of a MiB.
  for (Case c : {Case{512 * MiB, 50, " 物理メモリ掃除の割合：50 ％", "[256.0 MB] "},
                 Case{512 * MiB, 95, " 物理メモリ掃除の割合：95 ％", "[486.4 MB] "},
                 Case{512 * MiB, 5, " 物理メモリ掃除の割合： 5 ％", "[25.6 MB] "},
                 Case{1000000000, 50, " 物理メモリ掃除の割合：50 ％", "[476.8 MB] "},
                 Case{1000000000, 95, " 物理メモリ掃除の割合：95 ％", "[906.0 MB] "}}) {
    SetMemory(c.totalPhys, 256 * MiB, 50);
    s.trkberMemPer.SetPosition(c.position);
    EXPECT_EQ(s.stctxtMemSize.Caption(), c.share);
    EXPECT_EQ(s.stcMemSize.Caption(), c.size);
  }
}

// --- Opening and closing
// ---------------------------------------------------------

TEST_F(SettingDialogTest, OkKeepsTheChangesCancelAndTheCloseBoxThrowThemAway) {
  os.kernel.AddBitmap(kBmp, 640, 480);
  struct Case {
    const char *name;
    std::function<void(TSettingFrm &)> close;
    bool kept;
  };
  const Case cases[] = {
      {"OK", [](TSettingFrm &s) { s.btnOk.Click(); }, true},
      {"Cancel", [](TSettingFrm &s) { s.btnCancel.Click(); }, false},
      {"close box", [](TSettingFrm &s) { s.Perform(win::WM_CLOSE); }, false},
  };
  for (const Case &c : cases) {
    WriteIni("[DEFAULT]\r\nMemory=30\r\n");
    Start();
    TSettingFrm &s = Settings();
    bool heldDuringDialog = false;
    backend.colorDialogAnswers.push_back(tk::clRed);
    backend.openDialogAnswers.push_back(kBmp);
    OpenDialog({[&] {
                  heldDuringDialog = form->FModalOpen;
                  s.trkberMemPer.SetPosition(70);
                  s.ckbStayOnTop.SetChecked(true);
                  s.btnBkColorNormal.Click();
                  s.btnBmpRead.Click();
                },
                [&] { c.close(s); }});
    EXPECT_TRUE(heldDuringDialog) << c.name;
    EXPECT_FALSE(form->FModalOpen) << c.name;
    EXPECT_EQ(Key("DEFAULT", "Memory"), c.kept ? "70" : "30") << c.name;
    EXPECT_EQ(Key("DEFAULT", "StayOnTop"), c.kept ? "1" : "<absent>") << c.name;
    EXPECT_EQ(Key("COLOR", "NormalBkgnd"), c.kept ? "clRed" : "<absent>") << c.name;
    EXPECT_EQ(Key("DEFAULT", "BmpFileName"), c.kept ? kBmp : "<absent>") << c.name;
    // The dialog and the main window show what the file holds.
    EXPECT_EQ(s.trkberMemPer.Position(), c.kept ? 70 : 30) << c.name;
    EXPECT_EQ(form->FCleanSize, static_cast<int64_t>((512 * MiB / 100) * (c.kept ? 70 : 30)));
    EXPECT_EQ(form->ImageBk.Visible(), c.kept) << c.name;
    EXPECT_EQ(form->nlblPhysicalFree.TextShadow, c.kept) << c.name;
    const auto &topMost = os.user.setWindowPosCalls.back();
    EXPECT_EQ(topMost.insertAfter, c.kept ? win::HWND_TOPMOST : win::HWND_NOTOPMOST) << c.name;
    form.reset();
  }
}

TEST_F(SettingDialogTest, CancelBringsEveryBoxBackAsStored) {
  struct Case {
    const char* name;
    const char* ini;
    std::function<void(TSettingFrm&)> change;
  };
  const Case cases[] = {
      {"a trigger swapped for another",
       "AutoMemClear=1\r\nAutoMemMin=0\r\nAutoMemUsed=1\r\nNot100Per=0\r\n",
       [](TSettingFrm& s) {
         s.chkbMinExec.Click();
         s.chkbFreeInc.Click();
       }},
      {"a trigger set where none was",
       "AutoMemClear=1\r\nAutoMemMin=0\r\nAutoMemUsed=0\r\nNot100Per=0\r\n",
       [](TSettingFrm& s) { s.chkbNot100Per.Click(); }},
      {"the stop at full load, which shows the load", "ShowCpuUsePer=0\r\nStopCpuUsePer=0\r\n",
       [](TSettingFrm& s) { s.ckbStopCpuPer.Click(); }},
  };
  const char* const keys[] = {"AutoMemMin", "AutoMemUsed", "Not100Per", "ShowCpuUsePer",
                              "StopCpuUsePer"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteIni(std::string("[DEFAULT]\r\n") + c.ini);
    Start();
    TSettingFrm& s = Settings();
    std::vector<std::string> stored;
    for (const char* key : keys) stored.push_back(Key("DEFAULT", key, "0"));
    OpenDialog({[&] { c.change(s); }, [&] { s.btnCancel.Click(); }});
    const tk::TCheckBox* boxes[] = {&s.chkbMinExec, &s.chkbFreeInc, &s.chkbNot100Per, &s.ckbCpuPer,
                                    &s.ckbStopCpuPer};
    for (size_t i = 0; i < std::size(keys); ++i)
      EXPECT_EQ(boxes[i]->Checked(), stored[i] == "1") << keys[i];
    EXPECT_EQ(form->nlblCpuUsePer.Visible(), stored[3] == "1");
    form->SaveSettings(false);
    for (size_t i = 0; i < std::size(keys); ++i) EXPECT_EQ(Key("DEFAULT", keys[i]), stored[i]);
    form.reset();
  }
}

TEST_F(SettingDialogTest, WhatTheDialogStoresComesBackAtTheNextStart) {
  Start();
  // The stop at full load without the load shown: set the stop (which
  // shows the load), then hide the load again.
  OpenDialog({[&] {
                Settings().ckbStopCpuPer.Click();
                Settings().ckbCpuPer.Click();
              },
              [&] { Settings().btnOk.Click(); }});
  EXPECT_EQ(Key("DEFAULT", "ShowCpuUsePer"), "0");
  EXPECT_EQ(Key("DEFAULT", "StopCpuUsePer"), "1");
  Stop();
  Start();
  EXPECT_FALSE(Settings().ckbCpuPer.Checked());
  EXPECT_TRUE(Settings().ckbStopCpuPer.Checked());
  EXPECT_FALSE(form->nlblCpuUsePer.Visible());
  Stop();
  EXPECT_EQ(Key("DEFAULT", "ShowCpuUsePer"), "0");
  EXPECT_EQ(Key("DEFAULT", "StopCpuUsePer"), "1");
}

TEST_F(SettingDialogTest, AskingForTheDialogWhileItIsOpenLeavesItAsItIs) {
  Start();
  OpenDialog({[&] {
                Settings().trkberMemPer.SetPosition(80);
                // The tray menu's "設定" while the dialog is open: reading the
                // file again now would lose the change.
                backend.popupChoices.push_back({"pmConfig"});
                form->PopupMenu.Popup(10, 10);
                EXPECT_EQ(Settings().trkberMemPer.Position(), 80);
                EXPECT_TRUE(form->FModalOpen);
              },
              [&] { Settings().btnOk.Click(); }});
  EXPECT_EQ(Key("DEFAULT", "Memory"), "80");
  EXPECT_FALSE(form->FModalOpen);
}

TEST_F(SettingDialogTest, NoAutomaticCleaningStartsWhileTheDialogIsOpen) {
  WriteIni("[DEFAULT]\r\nAutoMemClear=1\r\nAutoMemMin=1\r\nAutoExeSize=10\r\n");
  Start();
  form->FCleanSize = 1000;
  backend.AdvanceTime(100);
  const auto cleanings = [this] {
    int n = 0;
    for (const auto& c : os.shell.notifyIconCalls) n += c.data.szTip == "掃除中...";
    return n;
  };
  SetMemory(512 * MiB, 5 * MiB, 90);
  OpenDialog({[&] { backend.AdvanceTime(1000); }, [&] { Settings().btnCancel.Click(); }});
  EXPECT_EQ(cleanings(), 0);
  backend.AdvanceTime(100);
  EXPECT_GE(cleanings(), 1);  // the first tick after it cleans
}

// --- Appearance
// ------------------------------------------------------------------

TEST_F(SettingDialogTest, EachCombinationOfWallpaperSeeThroughAndButtonColours) {
  os.kernel.AddBitmap(kBmp, 200, 80);
  const TColor normal = tk::clMaroon, back = tk::clTeal, front = tk::clYellow, shadow = tk::clBlue;
  for (int bits = 0; bits < 8; ++bits) {
    const bool wallpaper = bits & 1, seeThrough = bits & 2, keep = bits & 4;
    WriteIni(std::string("[DEFAULT]\r\nBmpFileName=") + (wallpaper ? kBmp : "") +
             "\r\nBkGrndDisp=" + (seeThrough ? "1" : "0") +
             "\r\n[COLOR]\r\nNormalString=clMaroon\r\nNormalBkgnd=clTeal\r\n"
             "BkdispStringFront=clYellow\r\nBkdispStringBk="
             "clBlue\r\nButtonColorNotChange=" +
             (keep ? "1" : "0") + "\r\n");
    Start();
    const bool over = wallpaper || seeThrough;
    const std::string what = "wallpaper " + std::to_string(wallpaper) + " see-through " +
                             std::to_string(seeThrough) + " keep " + std::to_string(keep);
    EXPECT_EQ(form->ImageBk.Visible(), wallpaper) << what;
    for (const components::TNovelLabel *l : {&form->nlblPhysicalFree, &form->nlblUsePer,
                                             &form->nlblVirtualTotal, &form->nlblTitleInfo}) {
      EXPECT_EQ(l->TextShadow, over) << what;
      EXPECT_EQ(l->Font().Color, over ? front : normal) << what;
      if (over) {
        EXPECT_EQ(l->Color(), shadow) << what;
      }
    }
    if (!over) {
      EXPECT_EQ(form->Color(), back) << what;
    }
    const std::pair<tk::TSpeedButton *, tk::TSpeedButton *> twins[] = {
        {&form->sbtnConfig, &form->sbtnWConfig},
        {&form->sbtnGetMem, &form->sbtnWGetMem},
        {&form->sbtnMemHeap, &form->sbtnWMemHeap},
        {&form->sbtnMinimize, &form->sbtnWMinimize},
        {&form->sbtnClose, &form->sbtnWClose}};
    const TColor own[] = {tk::clNavy, tk::clGreen, tk::clOlive, tk::clBlack, tk::clBlack};
    for (int i = 0; i < 5; ++i) {
      auto [button, twin] = twins[i];
      EXPECT_EQ(twin->Visible(), over && !keep) << what << i;
      const TColor want = keep ? own[i] : over ? shadow : normal;
      EXPECT_EQ(button->Font().Color, want) << what << i;
      if (over && !keep) {
        EXPECT_EQ(twin->Font().Color, front) << what << i;
      }
    }
    form.reset();
  }
}

TEST_F(SettingDialogTest, LeavingOverBackgroundDisplayHidesTheTwinsAndTheShadows) {
  os.kernel.AddBitmap(kBmp, 200, 80);
  WriteIni(std::string("[DEFAULT]\r\nBmpFileName=") + kBmp +
           "\r\n[COLOR]\r\nButtonColorNotChange=0\r\n");
  Start();
  ASSERT_TRUE(form->sbtnWConfig.Visible());
  OpenDialog({[&] { Settings().btnBmpClear.Click(); }, [&] { Settings().btnOk.Click(); }});
  EXPECT_FALSE(form->ImageBk.Visible());
  EXPECT_FALSE(form->ImageBk.HasPicture());
  EXPECT_FALSE(form->sbtnWConfig.Visible());
  EXPECT_FALSE(form->nlblPhysicalFree.TextShadow);
  EXPECT_EQ(form->sbtnConfig.Font().Color, tk::clWindowText);
}

// --- Bitmap files
// ---------------------------------------------------------------

std::vector<unsigned char> BmpHeader(uint32_t infoSize, int32_t width, int32_t height,
                                     uint16_t bits, uint32_t compression, uint32_t imageSize) {
  std::vector<unsigned char> b(platform::kBitmapHeaderBytes, 0);
  const auto put32 = [&b](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(10, 14 + infoSize);
  put32(14, infoSize);
  if (infoSize == 12) {
    b[18] = static_cast<unsigned char>(width);
    b[19] = static_cast<unsigned char>(width >> 8);
    b[20] = static_cast<unsigned char>(height);
    b[21] = static_cast<unsigned char>(height >> 8);
    b[22] = 1;
    b[24] = static_cast<unsigned char>(bits);
  } else {
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    b[26] = 1;
    b[28] = static_cast<unsigned char>(bits);
    put32(30, compression);
    put32(34, imageSize);
  }
  return b;
}

TEST(BitmapFileTest, OnlyWholeBitmapsOfATakeableSizePass) {
  struct Case {
    const char *name;
    std::vector<unsigned char> header;
    uint64_t fileSize;
    bool ok;
  };
  // 200 × 80 at 24 bits: rows of 600 bytes, 48,000 bytes of pixels after 54.
  const Case cases[] = {
      {"24-bit", BmpHeader(40, 200, 80, 24, 0, 0), 54 + 48000, true},
      {"top-down", BmpHeader(40, 200, -80, 24, 0, 0), 54 + 48000, true},
      {"core header", BmpHeader(12, 200, 80, 24, 0, 0), 26 + 48000, true},
      {"truncated", BmpHeader(40, 200, 80, 24, 0, 0), 54 + 47999, false},
      {"20000 square", BmpHeader(40, 20000, 20000, 1, 0, 0), 54 + 50000000ull, false},
      {"4096 square", BmpHeader(40, 4096, 4096, 1, 0, 0), 54 + 2097152, true},
      // Each side under the side limit, the pixels over the pixel limit.
      {"4097 square", BmpHeader(40, 4097, 4097, 1, 0, 0), 54 + 516ull * 4097, false},
      {"RLE without size", BmpHeader(40, 200, 80, 8, 1, 0), 100000, false},
      {"RLE", BmpHeader(40, 200, 80, 8, 1, 500), 54 + 500, true},
      {"zero width", BmpHeader(40, 0, 80, 24, 0, 0), 100000, false},
      {"odd bit count", BmpHeader(40, 200, 80, 7, 0, 0), 100000, false},
      {"unknown compression", BmpHeader(40, 200, 80, 24, 9, 0), 100000, false},
      {"unknown header", BmpHeader(64 + 200, 200, 80, 24, 0, 0), 100000, false},
  };
  for (const Case &c : cases) {
    const auto size = platform::CheckBitmapHeader(c.header.data(), c.header.size(), c.fileSize);
    EXPECT_EQ(size.has_value(), c.ok) << c.name;
  }
  auto text = BmpHeader(40, 200, 80, 24, 0, 0);
  text[0] = 'P';
  EXPECT_FALSE(platform::CheckBitmapHeader(text.data(), text.size(), 100000));
  EXPECT_FALSE(platform::CheckBitmapHeader(text.data(), 10, 10));
  const auto size = platform::CheckBitmapHeader(BmpHeader(40, 200, -80, 24, 0, 0).data(),
                                                platform::kBitmapHeaderBytes, 54 + 48000);
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, 200);
  EXPECT_EQ(size->height, 80);
}

}  // namespace
}  // namespace norva::testing
