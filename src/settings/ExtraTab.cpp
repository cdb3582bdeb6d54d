// The settings dialog's fourth tab "拡張": the opt-in features, laid out
// like the three tabs before it.
#include "settings/ExtraSettings.h"
#include "settings/Setting.h"

namespace norva {

namespace {

void Place(TControl& c, int left, int top, int width, int height, const std::string& caption,
           const std::string& hint) {
  c.SetBounds(left, top, width, height);
  if (!caption.empty()) c.SetCaption(caption);
  if (!hint.empty()) {
    c.SetHint(hint);
    c.SetShowHint(true);
  }
}

}  // namespace

void TSettingFrm::SetUpExtraTab() {
  Place(groupBoxExtra, 6, 6, 508, 234, "拡張設定", {});
  Place(chkbFreedNotice, 10, 20, 300, 16, "掃除で空いた量を通知する",
        "掃除のあとで、空いた物理メモリの量をタスクトレイの吹き出しで知らせます");
  const std::string hotKeyHint = "どこからでもこのキーで掃除を開始します（掃除中なら中断します）";
  Place(lblHotKey, 10, 47, 100, 14, "掃除のホットキー", hotKeyHint);
  Place(hkyClean, 118, 43, 150, 20, {}, hotKeyHint);
  Place(btnHotKeyClear, 274, 43, 56, 20, "クリア", "ホットキーを使わないようにします");
  const std::string intervalHint = "前回の掃除から指定の分数がたつと掃除します（0 で使わない）";
  Place(lblInterval, 10, 75, 100, 14, "一定間隔で掃除", intervalHint);
  Place(edtInterval, 118, 71, 44, 18, {}, intervalHint);
  Place(udInterval, 162, 71, 15, 18, {}, intervalHint);
  Place(lblIntervalMin, 182, 75, 120, 14, "分ごと（0 で無効）", intervalHint);
  Place(chkbStartup, 10, 100, 300, 16, "Windows 起動時に開始",
        "Windows にログオンしたときに Norva を起動します");
  Place(chkbTrayLoad, 10, 122, 300, 16, "タスクトレイにメモリ使用率を表示する",
        "タスクトレイのアイコンにメモリ使用率（％）を数字で表示します");
  Place(chkbAutoBackoff, 10, 144, 480, 16, "効果のない自動掃除の間隔をあける",
        "自動掃除で空きが増えなかったとき、次の自動掃除まで 1, 2, 4 … 最大 60 分待ちます");
  Place(chkbFullScreenHold, 10, 166, 480, 16, "全画面のプログラムの実行中は自動掃除しない",
        "ゲームや動画、プレゼンテーションが全画面で表示されている間は自動掃除を控えます");
  Place(chkbCleanHistory, 10, 188, 480, 16, "掃除の履歴をタスクトレイのメニューに表示する",
        "タスクトレイのメニューに「掃除の履歴...」を加えます");
  Place(chkbHistoryFile, 10, 210, 480, 16, "掃除の履歴をファイルに記録する",
        "掃除ごとに norva-history.csv（exe と同じフォルダ）へ 1 行書き加えます");

  hkyClean.NeedsCtrlOrAlt = true;
  udInterval.SetMin(0);
  udInterval.SetMax(kMaxIntervalMinutes);
  udInterval.SetAssociate(&edtInterval);
  udInterval.SetPosition(0);
  edtInterval.SetColor(clBtnFace);
  btnHotKeyClear.OnClick = [this](TObject* s) { btnHotKeyClearClick(s); };
  // OK closes the dialog only when the extra settings allow it.
  btnOk.ModalResult = TModalResult::mrNone;
  btnOk.OnClick = [this](TObject* s) { btnOkClick(s); };
}

void TSettingFrm::btnOkClick(TObject*) {
  if (OnOkQuery && !OnOkQuery()) return;
  SetModalResult(TModalResult::mrOk);
}

void TSettingFrm::btnHotKeyClearClick(TObject*) { hkyClean.SetHotKey(0); }

}  // namespace norva
