#include "settings/Setting.h"

#include <cstdio>
#include <cstdlib>

#include "probes/MemoryStatus.h"

namespace norva {

TSettingFrm* SettingFrm = nullptr;

using platform::Os;

namespace {

void Place(TControl& c, int left, int top, int width, int height, const std::string& caption = {},
           const std::string& hint = {}) {
  c.SetBounds(left, top, width, height);
  if (!caption.empty()) c.SetCaption(caption);
  if (!hint.empty()) {
    c.SetHint(hint);
    c.SetShowHint(true);
  }
}

// Whole number of a text box; false for anything else (an empty box too).
bool ParseWholeNumber(const std::string& text, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return end != text.c_str() && *end == '\0';
}

}  // namespace

TSettingFrm::TSettingFrm(TForm* owner) : TForm(owner) {
  Name = "SettingFrm";
  SetCaption("設定画面");
  BorderStyle = TBorderStyle::bsDialog;
  CloseBoxOnly = true;
  FormStyle = TFormStyle::fsStayOnTop;
  Position = TPosition::poScreenCenter;
  TFont font;
  font.Name = "ＭＳ Ｐゴシック";
  font.Height = 12;
  font.Charset = SHIFTJIS_CHARSET;
  font.Color = clWindowText;
  SetFont(font);
  SetClientSize(523, 325);
  BuildLayout();

  trkberMemPer.OnChange = [this](TObject* s) { trkberMemPerChange(s); };
  chkbAuto.OnClick = [this](TObject* s) { chkbAutoClick(s); };
  chkbAutoMem.OnClick = [this](TObject* s) { chkbAutoMemClick(s); };
  chkbMinExec.OnClick = [this](TObject* s) { chkbAutoCleanClick(s); };
  chkbFreeInc.OnClick = [this](TObject* s) { chkbAutoCleanClick(s); };
  chkbNot100Per.OnClick = [this](TObject* s) { chkbAutoCleanClick(s); };
  ckbStopCpuPer.OnClick = [this](TObject* s) { ckbStopCpuPerClick(s); };
  chkbEraseBkgnd.OnClick = [this](TObject* s) { chkbEraseBkgndClick(s); };
  edtMem.OnChange = [this](TObject* s) { edtMemChange(s); };
  edtUsePer.OnChange = [this](TObject* s) { edtUsePerChange(s); };
  edtWavPath.OnChange = [this](TObject* s) { edtWavPathChange(s); };
  edtResWavPath.OnChange = [this](TObject* s) { edtResWavPathChange(s); };
  chkbStretch.OnClick = [this](TObject* s) { chkbStretchClick(s); };
  btnBmpRead.OnClick = [this](TObject* s) { btnBmpReadClick(s); };
  btnBmpClear.OnClick = [this](TObject* s) { btnBmpClearClick(s); };
  btnStrColorNormal.OnClick = [this](TObject* s) { btnStrColorNormalClick(s); };
  btnBkColorNormal.OnClick = [this](TObject* s) { btnBkColorNormalClick(s); };
  btnStrColorFrBg.OnClick = [this](TObject* s) { btnStrColorFrBgClick(s); };
  btnStrColorBkBg.OnClick = [this](TObject* s) { btnStrColorBkBgClick(s); };
  btnClearColorNormal.OnClick = [this](TObject* s) { btnClearColorNormalClick(s); };
  btnWavRead.OnClick = [this](TObject* s) { btnWavReadClick(s); };
  btnResWavRead.OnClick = [this](TObject* s) { btnResWavReadClick(s); };
  btnPlay.OnClick = [this](TObject* s) { btnPlayClick(s); };
  btnResWavPlay.OnClick = [this](TObject* s) { btnResWavPlayClick(s); };
  btnWavClear.OnClick = [this](TObject* s) { btnWavClearClick(s); };
  btnResWavClear.OnClick = [this](TObject* s) { btnResWavClearClick(s); };

  // Design state, which the first settings load replaces.
  trkberMemPer.SetRange(5, 95);
  trkberMemPer.Frequency = 5;
  trkberMemPer.LineSize = 10;
  trkberMemPer.PageSize = 5;
  udMem.SetMin(1);
  udMem.SetMax(32);
  udMem.SetAssociate(&edtMem);
  udMem.SetPosition(1);
  udUsePer.SetMin(1);
  udUsePer.SetMax(50);
  udUsePer.SetAssociate(&edtUsePer);
  udUsePer.SetPosition(1);
  udMem2.SetMin(1);
  udMem2.SetMax(64);
  udMem2.SetAssociate(&edtMem2);
  udMem2.SetPosition(1);
  udResWav2.SetMin(1);
  udResWav2.SetMax(100);
  udResWav2.SetAssociate(&edtResWav2);
  udResWav2.SetPosition(10);
  cmbClSpeed.SetItems({"普通（１％単位）※推奨", "快速（１０％単位）", "処理占有（全確保）"});
  lblBkgColorF.SetFontColor(clWhite);
  lblNormalColor.SetFontColor(clWindowText);
  lblBkgColorB.SetFontColor(clWindowText);
  pnlColorSetNormal.SetColor(clBtnFace);
  imgPreview.Hide();
  lblBmpDir.Hide();
  chkbMemChk.SetEnabled(false);
  for (TControl* c : std::initializer_list<TControl*>{&btnBmpClear, &btnPlay, &btnWavClear,
                                                      &btnResWavPlay, &btnResWavClear})
    c->SetEnabled(false);
  edtMem.SetColor(clBtnFace);
  edtUsePer.SetColor(clBtnFace);
  edtMem2.SetColor(clBtnFace);
  edtResWav2.SetColor(clBtnFace);
  chkbAutoClick(&chkbAuto);
  trkberMemPer.SetPosition(50);
  trkberMemPerChange(&trkberMemPer);

  btnOk.ModalResult = TModalResult::mrOk;
  btnOk.Default = true;
  btnCancel.ModalResult = TModalResult::mrCancel;
  btnCancel.Cancel = true;

  OpenDialog.Title = "音声ファイル読込";
  OpenDialog.Filter = "Wavファイル(*.Wav)|*.Wav";
  oppcdlgBmpLoad.Title = "画像ファイル読込";
  oppcdlgBmpLoad.Filter = "ビットマップ (*.bmp)|*.bmp";
  oppcdlgBmpLoad.HideReadOnly = true;
  oppcdlgBmpLoad.Sizeable = true;
  oppcdlgBmpLoad.PicturePreview = true;
  SetUpExtraTab();
}

void TSettingFrm::BuildLayout() {
  Place(pgcSetting, 0, 0, 523, 273);
  // "動作設定"
  Place(groupBoxMem, 6, 6, 276, 234, "メモリ関連設定");
  stctxtMemSize.Alignment = TAlignment::taLeftJustify;
  TFont fixed = stctxtMemSize.Font();
  fixed.Name = "ＭＳ ゴシック";
  stctxtMemSize.SetFont(fixed);
  Place(stctxtMemSize, 10, 18, 170, 14);
  stcMemSize.Alignment = TAlignment::taRightJustify;
  Place(stcMemSize, 180, 18, 86, 14);
  Place(trkberMemPer, 10, 34, 254, 30, {}, "メモリクリアボタンを押した際のクリアするサイズを指定します");
  Place(lblConditionGreen, 17, 64, 77, 6);
  lblConditionGreen.SetColor(clLime);
  Place(lblConditionYellow, 94, 64, 42, 6);
  lblConditionYellow.SetColor(clYellow);
  Place(lblConditionRed, 136, 64, 121, 6);
  lblConditionRed.SetColor(clRed);
  Place(chkbMemChk, 10, 76, 200, 16, "メモリ内を検査");
  chkbMemChk.SetHint("不正メモリを検査します。この機能は使用禁止です。");
  Place(chkbAutoMem, 10, 94, 250, 16, "メモリ掃除サイズ自動調整",
        "残量に応じて動的に取得します。効果は低くなりますが安全性が高くなります。");
  Place(chkbAuto, 10, 112, 250, 16, "メモリ掃除の自動実行",
        "物理メモリが一定値以下になったときにメモリクリアを自動的に行います");
  const std::string minHint =
      "物理メモリが指定値以下のときに掃除を開始します。搭載量にもよりますが１～１０ＭＢくらいが適当かと思います（推奨値：２ＭＢ）";
  Place(chkbMinExec, 26, 131, 90, 16, "物理メモリが", minHint);
  Place(edtMem, 118, 130, 44, 18, {}, minHint);
  Place(udMem, 162, 130, 15, 18, {}, minHint);
  Place(lblAuto, 182, 133, 80, 14, "MB以下の時", minHint);
  const std::string perHint =
      "使用率が指定値以下の時に掃除を開始します。ＯＳや搭載量により異なりますが、１～３％が適当かと思います（推奨値：３％）";
  Place(chkbFreeInc, 26, 151, 90, 16, "使用率が", perHint);
  Place(edtUsePer, 118, 150, 44, 18, {}, perHint);
  Place(udUsePer, 162, 150, 15, 18, {}, perHint);
  Place(lblAutoPer, 182, 153, 80, 14, "％下がった時", perHint);
  Place(chkbNot100Per, 26, 171, 240, 16, "使用率が 100% の時は自動実行しない",
        "使用率が100％の時は自動掃除を実行しません。これはスワップアウトを回避するために用意しています（推奨：チェックする）");
  Place(lblClSpeed, 10, 200, 60, 14, "掃除速度");
  Place(cmbClSpeed, 72, 196, 190, 20, {}, "掃除速度（割合）を設定します");

  Place(groupBoxEtc, 288, 6, 228, 234, "その他の設定");
  Place(chkbHideHint, 10, 20, 210, 16, "ヒントを表示しない",
        "メイン画面でヒント（このようにポップアップで出る文字）を表示しないようにします");
  Place(ckbStayOnTop, 10, 42, 210, 16, "常に前面に表示",
        "メイン画面を他のウィンドウの後ろに隠れないようにします。OSの制限上完全ではありません。");
  Place(ckbDontCatch, 10, 64, 210, 16, "マウスが重なった時に隠す",
        "マウスが重なりそうになったときに見えなくします。ただし、シフトキーを押しながらだと消えません。主にNorvaの後ろに隠れてしまうものを見えるようにするためです。");
  Place(ckbCpuPer, 10, 86, 210, 16, "ＣＰＵ占有率を表示する", "ＣＰＵの占有率を表示します");
  Place(ckbStopCpuPer, 26, 108, 196, 16, "100%の時は掃除を一時停止する",
        "ＣＰＵ占有率が100%の時に掃除を一時停止します。そのため、見た目はフリーズしたように見えてしまいますがちゃんと動いています。これは他のアプリケーションの処理中に掃除を実行すると負荷が高まるため、重たくなるのを回避するために用意しています（推奨値：チェック）");
  Place(ckbOverAction, 10, 130, 210, 16, "掃除状態の大袈裟表示", "掃除状態を大げさに表現します");
  Place(ckbTaskBarHide, 10, 152, 210, 16, "タスクバーを表示しない", "タスクバーにタスク表示しません");
  Place(ckbMagnet, 10, 174, 210, 16, "マグネット機能（画面吸着）を使う");

  // "画面設定"
  Place(groupBoxBmp, 6, 6, 226, 200, "壁紙の設定");
  Place(lblBmpDir, 10, 180, 200, 14, "ここにファイルパスが入る（非表示）");
  const std::string previewHint = "ここに壁紙となる画像をプレビュー表示します（200×80）";
  Place(pnlPreview, 12, 20, 202, 82, "ここにプレビュー表示されます", previewHint);
  Place(imgPreview, 1, 1, 200, 80, {}, previewHint);
  Place(btnBmpRead, 12, 110, 70, 22, "読込", "読み込む画像を指定するファイルダイアログを開きます");
  Place(btnBmpClear, 88, 110, 70, 22, "クリア", "読み込まれた画像を消去し初期状態に戻します");
  Place(chkbStretch, 12, 140, 200, 16, "画像サイズを調整", "画像の縮尺を調整しすべて収まるようにします");
  Place(chkbEraseBkgnd, 12, 214, 200, 16, "通りぬけフープ",
        "他のWindowをすべて透過しWindowsの壁紙を透過表示します");

  Place(grpbStringColor, 240, 6, 276, 220, "色の設定");
  Place(grpbNormal, 8, 16, 260, 96, "通常時");
  Place(pnlColorSetNormal, 8, 16, 201, 49);
  lblNormalColor.Transparent = true;
  Place(lblNormalColor, 48, 18, 120, 14, "文字色表示サンプル");
  Place(btnStrColorNormal, 8, 70, 60, 20, "文字色", "通常時の文字色を設定します");
  Place(btnBkColorNormal, 74, 70, 60, 20, "背景色", "通常時の背景色を設定します");
  Place(btnClearColorNormal, 140, 70, 60, 20, "クリア", "通常時の背景色を設定します");
  Place(grpbBkgrp, 8, 116, 260, 96, "透過または壁紙設定時");
  Place(pnlColorSetBkgrp, 8, 16, 201, 49);
  lblBkgColorB.Transparent = true;
  Place(lblBkgColorB, 49, 19, 120, 14, "文字色表示サンプル");
  lblBkgColorF.Transparent = true;
  Place(lblBkgColorF, 48, 18, 120, 14, "文字色表示サンプル");
  Place(btnStrColorFrBg, 8, 70, 60, 20, "文字色", "透過または壁紙設定時の前面文字色を設定します");
  Place(btnStrColorBkBg, 74, 70, 60, 20, "文字影色", "透過または壁紙設定時の文字の影の色を設定します");
  Place(chkbButtonColorDef, 248, 232, 260, 16, "ボタン色はそのままにする",
        "設定、掃除、情報、▼、×の色は変更したくないときにチェックしてください");

  // "音声設定"
  Place(groupBoxColor, 6, 6, 508, 234, "警告音声ファイルの設定");
  const std::string pathHint = "音声ファイルをパスを指定します";
  const std::string playHint =
      "パスで指定されたファイルを再生します。正しく鳴るかここでテストしてください。";
  const std::string readHint = "読み込むファイルを参照するダイアログを開きます";
  const std::string clearHint = "読み込まれたパスを消去し初期状態に戻します";
  const std::string amountHint = "音声再生を行うメモリ量を設定します";
  // The memory and the resource warning: two like blocks, one above the other.
  const auto soundBlock = [&](int top, TLabel& caption, const char* captionText, TEdit& path,
                              TButton& play, TButton& read, TButton& clear, TLabel& before,
                              const char* beforeText, TEdit& amount, TUpDown& upDown,
                              TLabel& after, const char* afterText) {
    Place(caption, 10, top, 300, 14, captionText);
    Place(path, 10, top + 16, 300, 20, {}, pathHint);
    Place(play, 316, top + 16, 56, 20, "再生", playHint);
    Place(read, 376, top + 16, 56, 20, "参照", readHint);
    Place(clear, 436, top + 16, 56, 20, "クリア", clearHint);
    Place(before, 10, top + 44, 80, 14, beforeText);
    Place(amount, 92, top + 40, 44, 20, {}, amountHint);
    Place(upDown, 136, top + 40, 15, 20, {}, amountHint);
    Place(after, 156, top + 44, 80, 14, afterText);
  };
  soundBlock(20, lblWavCaption, "メモリ警告音声ファイル名のパス", edtWavPath, btnPlay, btnWavRead,
             btnWavClear, lblWavMB1, "物理メモリが", edtMem2, udMem2, lblWavMB2, "MB以下の時");
  soundBlock(110, lblResWavCaption, "リソース音声ファイル名のパス", edtResWavPath, btnResWavPlay,
             btnResWavRead, btnResWavClear, lblResWavMB1, "リソース残量が", edtResWav2, udResWav2,
             lblResWavMB2, "％以下の時");

  Place(btnOk, 340, 290, 80, 24, "OK", "設定を反映します");
  Place(btnCancel, 430, 290, 80, 24, "キャンセル", "設定を行わずに設定画面を抜けます");
}

void TSettingFrm::trkberMemPerChange(TObject*) {
  uint64_t totalPhys = 0;
  if (IsNtFamily()) {
    win::MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    MemoryStatusEx probe;
    probe.Get(status);
    totalPhys = status.ullTotalPhys;
  } else {
    win::MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    Os().kernel.GlobalMemoryStatus(&status);
    totalPhys = status.dwTotalPhys;
  }
  const int position = trkberMemPer.Position();
  char share[96];
  std::snprintf(share, sizeof share, " 物理メモリ掃除の割合：%2d ％", position);
  stctxtMemSize.SetCaption(share);
  char size[64];
  std::snprintf(size, sizeof size, "[%3.1lf MB] ",
                static_cast<double>(totalPhys) / 1048576.0 * position * 0.01);
  stcMemSize.SetCaption(size);
}

void TSettingFrm::chkbAutoClick(TObject*) {
  const bool on = chkbAuto.Checked();
  for (TControl* c : std::initializer_list<TControl*>{&edtMem, &udMem, &edtUsePer, &udUsePer,
                                                      &chkbMinExec, &lblAuto, &chkbFreeInc,
                                                      &chkbNot100Per, &lblAutoPer})
    c->SetEnabled(on);
}

void TSettingFrm::chkbAutoMemClick(TObject*) {
  const bool on = !chkbAutoMem.Checked();
  trkberMemPer.SetEnabled(on);
  stctxtMemSize.SetEnabled(on);
  stcMemSize.SetEnabled(on);
}

void TSettingFrm::chkbAutoCleanClick(TObject* Sender) {
  auto* changed = dynamic_cast<TCheckBox*>(Sender);
  if (changed == nullptr || FLoading) return;
  if (!chkbMinExec.Checked() && !chkbFreeInc.Checked() && !chkbNot100Per.Checked())
    changed->SetChecked(true);
}

void TSettingFrm::ckbStopCpuPerClick(TObject*) {
  if (ckbStopCpuPer.Checked() && !FLoading) ckbCpuPer.SetChecked(true);
}

void TSettingFrm::chkbEraseBkgndClick(TObject*) {
  btnBmpRead.SetEnabled(!chkbEraseBkgnd.Checked());
  chkbEraseBkgnd.SetEnabled(!imgPreview.Visible());
}

void TSettingFrm::ClampNumberBox(TEdit& edit, TUpDown& upDown) {
  if (FClamping) return;
  long value = 0;
  if (!ParseWholeNumber(edit.Text(), value)) {
    Os().user.MessageBoxA(HandleAllocated() ? Handle() : nullptr, "'" + edit.Text() + "' は正しい整数値ではありません。",
                          "エラー", win::MB_OK | win::MB_ICONERROR);
    return;
  }
  FClamping = true;
  if (value > upDown.Max()) edit.SetText(std::to_string(upDown.Max()));
  if (value < upDown.Min()) edit.SetText(std::to_string(upDown.Min()));
  FClamping = false;
}

void TSettingFrm::edtMemChange(TObject*) { ClampNumberBox(edtMem, udMem); }

void TSettingFrm::edtUsePerChange(TObject*) { ClampNumberBox(edtUsePer, udUsePer); }

void TSettingFrm::edtWavPathChange(TObject*) {
  btnPlay.SetEnabled(Os().kernel.GetFileAttributesA(edtWavPath.Text()) !=
                     win::INVALID_FILE_ATTRIBUTES);
  btnWavClear.SetEnabled(!edtWavPath.Text().empty());
}

void TSettingFrm::edtResWavPathChange(TObject*) {
  btnResWavPlay.SetEnabled(Os().kernel.GetFileAttributesA(edtResWavPath.Text()) !=
                           win::INVALID_FILE_ATTRIBUTES);
  btnResWavClear.SetEnabled(!edtResWavPath.Text().empty());
}

void TSettingFrm::chkbStretchClick(TObject*) { imgPreview.SetStretch(chkbStretch.Checked()); }

// --- Wallpaper ---------------------------------------------------------------

void TSettingFrm::btnBmpReadClick(TObject*) {
  oppcdlgBmpLoad.FileName.clear();
  if (!oppcdlgBmpLoad.Execute()) return;
  btnBmpClear.SetEnabled(true);
  const std::string path = oppcdlgBmpLoad.FileName;
  if (Os().kernel.GetFileAttributesA(path) == win::INVALID_FILE_ATTRIBUTES) return;
  // A folder, a file that is no bitmap, a truncated one or a picture too
  // large to hold: the user is told, and the picture shown so far stays.
  const platform::LoadedBitmap probe = Os().user.LoadBitmapFile(path);
  if (probe.handle == nullptr) {
    Os().user.MessageBoxA(HandleAllocated() ? Handle() : nullptr,
                          "'" + path + "' は読み込めるビットマップ画像ではありません。", "エラー",
                          win::MB_OK | win::MB_ICONERROR);
    return;
  }
  Os().user.DeleteBitmap(probe.handle);
  if (!imgPreview.LoadFromFile(path)) {
    btnBmpClearClick(&btnBmpClear);
    return;
  }
  lblBmpDir.SetCaption(path);
  imgPreview.Show();
  chkbEraseBkgnd.SetEnabled(false);
}

void TSettingFrm::btnBmpClearClick(TObject*) {
  imgPreview.Clear();
  imgPreview.Hide();
  btnBmpClear.SetEnabled(false);
  chkbEraseBkgnd.SetEnabled(true);
}

// --- Colours -----------------------------------------------------------------

bool TSettingFrm::PickColor(TColor& color) {
  ColorDialog.Color = color;
  if (!ColorDialog.Execute()) return false;
  color = ColorDialog.Color;
  return true;
}

void TSettingFrm::PickFontColor(TControl& sample) {
  TColor color = sample.Font().Color;
  if (PickColor(color)) sample.SetFontColor(color);
}

void TSettingFrm::btnStrColorNormalClick(TObject*) { PickFontColor(lblNormalColor); }

void TSettingFrm::btnBkColorNormalClick(TObject*) {
  TColor color = pnlColorSetNormal.Color();
  if (PickColor(color)) pnlColorSetNormal.SetColor(color);
}

void TSettingFrm::btnStrColorFrBgClick(TObject*) { PickFontColor(lblBkgColorF); }

void TSettingFrm::btnStrColorBkBgClick(TObject*) { PickFontColor(lblBkgColorB); }

void TSettingFrm::btnClearColorNormalClick(TObject*) { pnlColorSetNormal.SetColor(clBtnFace); }

// --- Sounds ------------------------------------------------------------------

void TSettingFrm::BrowseSound(TEdit& path) {
  OpenDialog.FileName.clear();
  if (OpenDialog.Execute()) path.SetText(OpenDialog.FileName);
}

void TSettingFrm::btnWavReadClick(TObject*) { BrowseSound(edtWavPath); }

void TSettingFrm::btnResWavReadClick(TObject*) { BrowseSound(edtResWavPath); }

// Returns at once; a file that can't be played gives silence, never the
// system's default sound.
void TSettingFrm::btnPlayClick(TObject*) {
  Os().sound.sndPlaySoundA(edtWavPath.Text(), win::SND_ASYNC | win::SND_NODEFAULT);
}

void TSettingFrm::btnResWavPlayClick(TObject*) {
  Os().sound.sndPlaySoundA(edtResWavPath.Text(), win::SND_ASYNC | win::SND_NODEFAULT);
}

void TSettingFrm::btnWavClearClick(TObject*) { edtWavPath.SetText(""); }

void TSettingFrm::btnResWavClearClick(TObject*) { edtResWavPath.SetText(""); }

}  // namespace norva
