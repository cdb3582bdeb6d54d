// The Japanese texts, the program's own: one for each name of TextNames.h.
// Fields in braces ({count}) are filled by lang::Format.
#include "lang/Lang.h"

namespace norva::lang {

const char* JapaneseText(TextId id) {
  switch (id) {
    case TextId::MainSettingsButton:
      return "[設定]";
    case TextId::MainSettingsHint:
      return "(設定ボタン)設定画面を開きます";
    case TextId::MainCleanButton:
      return "[掃除]";
    case TextId::MainCleanHint:
      return "(メモリクリアボタン)メモリ内を掃除して物理メモリを確保します";
    case TextId::MainInfoButton:
      return "[情報]";
    case TextId::MainInfoHint:
      return "起動中プロセスについての詳細情報です";
    case TextId::MainMinimizeButton:
      return "▼";
    case TextId::MainMinimizeHint:
      return "(最小化ボタン)デスクトップ上に表示しないようにします";
    case TextId::MainCloseButton:
      return "×";
    case TextId::MainCloseHint:
      return "(終了ボタン)終了します";
    case TextId::MainLoadUnit:
      return "％";
    case TextId::MainLoadHint:
      return "メモリ使用率（OSにより解釈が異なります。100%になることもあります）";
    case TextId::MainColumnTitles:
      return "空き  使用   合計   残RES";
    case TextId::MainColumnTitlesNoResources:
      return "空き   使用     合計";
    case TextId::MainPhysicalRow:
      return "物理";
    case TextId::MainPhysicalHint:
      return "物理メモリ（実際に搭載しているメモリ量）";
    case TextId::MainPageRow:
      return "頁";
    case TextId::MainPageHint:
      return "ページメモリ（スワップメモリ）";
    case TextId::MainVirtualRow:
      return "仮想";
    case TextId::MainVirtualHint:
      return "仮想メモリ（理論上のメモリ）";
    case TextId::MainCleaningBar:
      return "～掃除中～";
    case TextId::MainCleaningBarExclusive:
      return "掃除中(処理占有)";
    case TextId::AccessiblePressAction:
      return "押す";
    case TextId::MainStopButton:
      return "中断";
    case TextId::MainStopHint:
      return "メモリクリア処理を中断します";
    case TextId::MenuRestore:
      return "元の大きさに戻す";
    case TextId::MenuSettings:
      return "設定";
    case TextId::MenuClean:
      return "掃除";
    case TextId::MenuInfo:
      return "情報";
    case TextId::MenuExit:
      return "終了";
    case TextId::MenuHistory:
      return "掃除の履歴...";
    case TextId::TrayTipFree:
      return "{megabytes}MB Free";
    case TextId::TrayTipCleaning:
      return "掃除中...";
    case TextId::TrayTipCleaned:
      return "掃除終了";
    case TextId::TrayTipProgress:
      return "掃除中 {percent}% ";
    case TextId::OverlayLabel:
      return " ﾒﾓﾘﾃﾞﾌﾗｸﾞ:";
    case TextId::OutOfMemory:
      return "メモリ不足です。確保量を調整してみてください。\n\n（空きスワップ量などを確認してみて"
             "ください）";
    case TextId::AlreadyRunning:
      return "プログラムの二重起動はできません。";
    case TextId::ErrorTitle:
      return "エラー";
    case TextId::BackoffTipLine:
      return "自動掃除は {minutes} 分後まで控えます";
    case TextId::FreedBalloon:
      return "{freed} MB 解放しました（空き {free} MB）";
    case TextId::HotKeyTakenAtStart:
      return "ホットキー {hotkey} は他のプログラムが使っているため登録できませんでした。";
    case TextId::HotKeyTakenInDialog:
      return "{hotkey} は他のプログラムが使っているため、ホットキーにできません。";
    case TextId::HistoryWriteFailed:
      return "掃除の履歴を norva-history.csv "
             "に書き込めませんでした。ファイルが他のプログラムで開かれていないか、ディスクの空きを"
             "確認してください。";
    case TextId::SaveFailed:
      return "設定を保存できませんでした。\n\n{path}\n\n{reason}"
             "\n\n設定ファイルは保存前の内容のまま残っています。";
    case TextId::ErrorCode:
      return "エラー コード {code}";
    case TextId::HistoryTitle:
      return "掃除の履歴";
    case TextId::HistoryCopy:
      return "コピー";
    case TextId::HistoryCopyHint:
      return "一覧をタブ区切りのテキストとしてクリップボードにコピーします";
    case TextId::HistoryCopyFailed:
      return "クリップボードを使えなかったため、コピーできませんでした。";
    case TextId::HistoryColumnStarted:
      return "開始";
    case TextId::HistoryColumnTrigger:
      return "きっかけ";
    case TextId::HistoryColumnSize:
      return "確保量";
    case TextId::HistoryColumnDuration:
      return "所要時間";
    case TextId::HistoryColumnFreeBefore:
      return "空き（前）";
    case TextId::HistoryColumnFreeAfter:
      return "空き（後）";
    case TextId::HistoryColumnFreed:
      return "解放";
    case TextId::HistoryColumnResult:
      return "結果";
    case TextId::HistoryKindButton:
      return "ボタン";
    case TextId::HistoryKindMenu:
      return "メニュー";
    case TextId::HistoryKindHotKey:
      return "ホットキー";
    case TextId::HistoryKindInterval:
      return "一定間隔";
    case TextId::HistoryKindFreeMemory:
      return "空き容量";
    case TextId::HistoryKindLoad:
      return "使用率";
    case TextId::HistorySeconds:
      return "{seconds} 秒";
    case TextId::HistoryStopped:
      return "中断";
    case TextId::HistoryCompleted:
      return "完了";
    case TextId::HistoryTotal:
      return "今日 {count} 回 / 解放 {freed}";
    case TextId::InspectorTitle:
      return "システム情報 詳細表示";
    case TextId::InspectorRefresh:
      return "最新の情報に更新";
    case TextId::InspectorRefreshHint:
      return "最新の情報に更新します";
    case TextId::InspectorTabProcesses:
      return "アクティブなプロセス";
    case TextId::InspectorTabHeaps:
      return "ヒープリスト";
    case TextId::InspectorTabThreads:
      return "スレッド";
    case TextId::InspectorTabGraph:
      return "グラフ";
    case TextId::InspectorTabList:
      return "一覧表示";
    case TextId::InspectorTabTree:
      return "ツリー表示";
    case TextId::InspectorPriorityLabel:
      return "プロセスの優先度";
    case TextId::InspectorPriorityHint:
      return "プロセスの優先度です";
    case TextId::PriorityRealtime:
      return "最高";
    case TextId::PriorityHigh:
      return "高";
    case TextId::PriorityNormal:
      return "標準";
    case TextId::PriorityIdle:
      return "最低";
    case TextId::PriorityUnknown:
      return "不明";
    case TextId::InspectorSetPriority:
      return "強制設定";
    case TextId::InspectorSetPriorityHint:
      return "プロセスの優先度を強制設定します";
    case TextId::InspectorFullPath:
      return "フルパスを表示";
    case TextId::InspectorFullPathHint:
      return "ファイル名をフルパス表示にします（この機能は9x系のみです）";
    case TextId::InspectorMinimum:
      return "最小";
    case TextId::InspectorMinimumHint:
      return "最小ワーキングセットサイズ（バイト単位）です";
    case TextId::InspectorMaximum:
      return "最大";
    case TextId::InspectorMaximumHint:
      return "最大ワーキングセットサイズ（バイト単位）です";
    case TextId::InspectorSetWorkingSet:
      return "強制設定";
    case TextId::InspectorSetWorkingSetHint:
      return "プロセスのワーキングセット（常駐メモリページ集合）サイズを強制設定します（この機能はN"
             "T系のみです）";
    case TextId::InspectorTerminate:
      return "●強制終了";
    case TextId::InspectorTerminateHint:
      return "選択したプロセスを強制終了します";
    case TextId::InspectorProcessListHint:
      return "ここで選択された値はヒープリストのコンボボックスへ反映されます";
    case TextId::ColumnProcessId:
      return "プロセスID";
    case TextId::ColumnParentId:
      return "親プロセスID";
    case TextId::ColumnThreadCount:
      return "スレッド数";
    case TextId::ColumnFileName:
      return "ファイル名";
    case TextId::ColumnPriority:
      return "優先度";
    case TextId::ColumnMinimumSize:
      return "最小サイズ";
    case TextId::ColumnMaximumSize:
      return "最大サイズ";
    case TextId::InspectorExpandAll:
      return "ツリーをすべて開く";
    case TextId::InspectorCollapseAll:
      return "ツリーをすべて閉じる";
    case TextId::InspectorTargetLabel:
      return "対象となるプロセス";
    case TextId::InspectorTargetHint:
      return "ヒープリストを表示したいプロセスを選択してください（表示できないものもあります）";
    case TextId::InspectorStopReading:
      return "読込中止";
    case TextId::InspectorHeapListHint:
      return "選択したプロセスの情報です";
    case TextId::ColumnHeapOwnerId:
      return "プロセスID";
    case TextId::ColumnHeapId:
      return "ヒープID";
    case TextId::ColumnFlags:
      return "フラグ";
    case TextId::InspectorModuleListHint:
      return "参照されているモジュール（DLL等）の情報です";
    case TextId::ColumnModuleId:
      return "モジュールID";
    case TextId::ColumnUseCount:
      return "参照数";
    case TextId::ColumnProcessUseCount:
      return "参照プロセス数";
    case TextId::ColumnModuleName:
      return "モジュール名";
    case TextId::InspectorBlockListHint:
      return "プロセス内で確保されているメモリ情報です";
    case TextId::ColumnBlockHandle:
      return "ヒープブロックのハンドル";
    case TextId::ColumnBlockSize:
      return "ブロックのサイズ";
    case TextId::ColumnLockCount:
      return "ロック数";
    case TextId::InspectorThreadListHint:
      return "現在のスレッド情報です";
    case TextId::ColumnThreadId:
      return "スレッドID";
    case TextId::ColumnParentName:
      return "親プロセス名";
    case TextId::ColumnUsageCount:
      return "カウント";
    case TextId::GraphRangeTopUnknown:
      return "???MB ： 100%";
    case TextId::GraphRangeMiddleUnknown:
      return "???MB ：  50%";
    case TextId::GraphRangeTop:
      return "{megabytes} MB：100%";
    case TextId::GraphRangeMiddle:
      return "{megabytes} MB： 50%";
    case TextId::GraphRangeBottom:
      return "0MB：  0%";
    case TextId::GraphLegend:
      return "赤：メモリ残容量\n黄：CPU使用率";
    case TextId::GraphHint:
      return "赤色の線はメモリ残容量、黄色の線はCPU使用率を表します";
    case TextId::ReadCount:
      return "  読込中：{count}";
    case TextId::ClearingList:
      return "リスト消去中";
    case TextId::ConfirmChangeTitle:
      return "強制設定確認";
    case TextId::ConfirmEndTitle:
      return "終了確認";
    case TextId::TerminateQuestion:
      return "選択されたプロセスを強制終了します\n\nどうしても使わざるを得ない場合以外は使わないで"
             "ください\nDLLが管理しているグローバル "
             "データが危険な状態に陥る恐れがあります\n(プロセスの終了により "
             "そのプロセスオブジェクトが必ずしもシステムから除去されるとは限りません)"
             "\n\n強制終了しますか？\n";
    case TextId::PriorityQuestion:
      return "選択されたプロセスの優先度を変更します\n\n（システムに関わるプロセスの場合、優先度を"
             "変更すると全体的な動作に支障をきたす恐れがあります）\n\n強制設定を実行しますか？\n";
    case TextId::WorkingSetQuestion:
      return "選択されたプロセスのワーキングセットサイズを変更します（バイト単位）\n\nこれはプロセ"
             "スに見えている物理RAM内の常駐メモリページ集合です。\n搭載メモリと設定順によりますので"
             "確実に確保される保証はありません。\n設定を間違うとパフォーマンスに悪影響を及ぼす恐れ"
             "があります。\n\n強制設定を実行しますか？\n";
    case TextId::UnknownPriority:
      return "不明な優先度です。設定できません";
    case TextId::UnknownSize:
      return "不明なサイズです。設定できません";
    case TextId::SetFailed:
      return "設定に失敗しました";
    case TextId::TerminateFailed:
      return "強制終了に失敗しました";
    case TextId::ThreadPriorityIdle:
      return "待機({priority})";
    case TextId::ThreadPriorityLow:
      return "低　({priority})";
    case TextId::ThreadPriorityNormal:
      return "普通({priority})";
    case TextId::ThreadPriorityHigh:
      return "高　({priority})";
    case TextId::ThreadPriorityCritical:
      return "連動({priority})";
    case TextId::ThreadPriorityRealtime:
      return "リアルタイム({priority})";
    case TextId::UnknownCount:
      return "(不明)";
    case TextId::SettingTitle:
      return "設定画面";
    case TextId::SettingTabBehaviour:
      return "動作設定";
    case TextId::SettingTabDisplay:
      return "画面設定";
    case TextId::SettingTabSound:
      return "音声設定";
    case TextId::SettingTabExtra:
      return "拡張";
    case TextId::SettingMemoryGroup:
      return "メモリ関連設定";
    case TextId::SettingCleaningShare:
      return " 物理メモリ掃除の割合：{percent} ％";
    case TextId::SettingCleaningShareHint:
      return "メモリクリアボタンを押した際のクリアするサイズを指定します";
    case TextId::SettingMemoryCheck:
      return "メモリ内を検査";
    case TextId::SettingMemoryCheckHint:
      return "不正メモリを検査します。この機能は使用禁止です。";
    case TextId::SettingAutoSize:
      return "メモリ掃除サイズ自動調整";
    case TextId::SettingAutoSizeHint:
      return "残量に応じて動的に取得します。効果は低くなりますが安全性が高くなります。";
    case TextId::SettingAutoClean:
      return "メモリ掃除の自動実行";
    case TextId::SettingAutoCleanHint:
      return "物理メモリが一定値以下になったときにメモリクリアを自動的に行います";
    case TextId::SettingFreeBelowHint:
      return "物理メモリが指定値以下のときに掃除を開始します。搭載量にもよりますが１～１０ＭＢくら"
             "いが適当かと思います（推奨値：２ＭＢ）";
    case TextId::SettingFreeBelow:
      return "物理メモリが";
    case TextId::SettingFreeBelowUnit:
      return "MB以下の時";
    case TextId::SettingLoadDropHint:
      return "使用率が指定値以下の時に掃除を開始します。ＯＳや搭載量により異なりますが、１～３％が"
             "適当かと思います（推奨値：３％）";
    case TextId::SettingLoadDrop:
      return "使用率が";
    case TextId::SettingLoadDropUnit:
      return "％下がった時";
    case TextId::SettingNotAtFullLoad:
      return "使用率が 100% の時は自動実行しない";
    case TextId::SettingNotAtFullLoadHint:
      return "使用率が100％の時は自動掃除を実行しません。これはスワップアウトを回避するために用意し"
             "ています（推奨：チェックする）";
    case TextId::SettingSpeed:
      return "掃除速度";
    case TextId::SettingSpeedHint:
      return "掃除速度（割合）を設定します";
    case TextId::SettingSpeedNormal:
      return "普通（１％単位）※推奨";
    case TextId::SettingSpeedFast:
      return "快速（１０％単位）";
    case TextId::SettingSpeedExclusive:
      return "処理占有（全確保）";
    case TextId::SettingOtherGroup:
      return "その他の設定";
    case TextId::SettingHideHints:
      return "ヒントを表示しない";
    case TextId::SettingHideHintsHint:
      return "メイン画面でヒント（このようにポップアップで出る文字）を表示しないようにします";
    case TextId::SettingStayOnTop:
      return "常に前面に表示";
    case TextId::SettingStayOnTopHint:
      return "メイン画面を他のウィンドウの後ろに隠れないようにします。OSの制限上完全ではありません"
             "。";
    case TextId::SettingHideUnderMouse:
      return "マウスが重なった時に隠す";
    case TextId::SettingHideUnderMouseHint:
      return "マウスが重なりそうになったときに見えなくします。ただし、シフトキーを押しながらだと消"
             "えません。主にNorvaの後ろに隠れてしまうものを見えるようにするためです。";
    case TextId::SettingShowCpu:
      return "ＣＰＵ占有率を表示する";
    case TextId::SettingShowCpuHint:
      return "ＣＰＵの占有率を表示します";
    case TextId::SettingPauseAtFullCpu:
      return "100%の時は掃除を一時停止する";
    case TextId::SettingPauseAtFullCpuHint:
      return "ＣＰＵ占有率が100%"
             "の時に掃除を一時停止します。そのため、見た目はフリーズしたように見えてしまいますがち"
             "ゃんと動いています。これは他のアプリケーションの処理中に掃除を実行すると負荷が高まる"
             "ため、重たくなるのを回避するために用意しています（推奨値：チェック）";
    case TextId::SettingBigDisplay:
      return "掃除状態の大袈裟表示";
    case TextId::SettingBigDisplayHint:
      return "掃除状態を大げさに表現します";
    case TextId::SettingHideTaskbar:
      return "タスクバーを表示しない";
    case TextId::SettingHideTaskbarHint:
      return "タスクバーにタスク表示しません";
    case TextId::SettingMagnet:
      return "マグネット機能（画面吸着）を使う";
    case TextId::SettingWallpaperGroup:
      return "壁紙の設定";
    case TextId::SettingWallpaperPath:
      return "ここにファイルパスが入る（非表示）";
    case TextId::SettingPreviewHint:
      return "ここに壁紙となる画像をプレビュー表示します（200×80）";
    case TextId::SettingPreview:
      return "ここにプレビュー表示されます";
    case TextId::SettingOpenPicture:
      return "読込";
    case TextId::SettingOpenPictureHint:
      return "読み込む画像を指定するファイルダイアログを開きます";
    case TextId::SettingClearPicture:
      return "クリア";
    case TextId::SettingClearPictureHint:
      return "読み込まれた画像を消去し初期状態に戻します";
    case TextId::SettingStretch:
      return "画像サイズを調整";
    case TextId::SettingStretchHint:
      return "画像の縮尺を調整しすべて収まるようにします";
    case TextId::SettingSeeThrough:
      return "通りぬけフープ";
    case TextId::SettingSeeThroughHint:
      return "他のWindowをすべて透過しWindowsの壁紙を透過表示します";
    case TextId::SettingColorGroup:
      return "色の設定";
    case TextId::SettingNormalGroup:
      return "通常時";
    case TextId::SettingColorSample:
      return "文字色表示サンプル";
    case TextId::SettingTextColor:
      return "文字色";
    case TextId::SettingTextColorHint:
      return "通常時の文字色を設定します";
    case TextId::SettingBackColor:
      return "背景色";
    case TextId::SettingBackColorHint:
      return "通常時の背景色を設定します";
    case TextId::SettingClearColor:
      return "クリア";
    case TextId::SettingClearColorHint:
      return "通常時の背景色を設定します";
    case TextId::SettingSeeThroughGroup:
      return "透過または壁紙設定時";
    case TextId::SettingFrontColorHint:
      return "透過または壁紙設定時の前面文字色を設定します";
    case TextId::SettingShadowColor:
      return "文字影色";
    case TextId::SettingShadowColorHint:
      return "透過または壁紙設定時の文字の影の色を設定します";
    case TextId::SettingKeepButtonColors:
      return "ボタン色はそのままにする";
    case TextId::SettingKeepButtonColorsHint:
      return "設定、掃除、情報、▼、×の色は変更したくないときにチェックしてください";
    case TextId::SettingSoundGroup:
      return "警告音声ファイルの設定";
    case TextId::SettingSoundPathHint:
      return "音声ファイルをパスを指定します";
    case TextId::SettingPlayHint:
      return "パスで指定されたファイルを再生します。正しく鳴るかここでテストしてください。";
    case TextId::SettingBrowseHint:
      return "読み込むファイルを参照するダイアログを開きます";
    case TextId::SettingClearPathHint:
      return "読み込まれたパスを消去し初期状態に戻します";
    case TextId::SettingAmountHint:
      return "音声再生を行うメモリ量を設定します";
    case TextId::SettingPlay:
      return "再生";
    case TextId::SettingBrowse:
      return "参照";
    case TextId::SettingClearPath:
      return "クリア";
    case TextId::SettingMemorySound:
      return "メモリ警告音声ファイル名のパス";
    case TextId::SettingMemorySoundBefore:
      return "物理メモリが";
    case TextId::SettingMemorySoundAfter:
      return "MB以下の時";
    case TextId::SettingResourceSound:
      return "リソース音声ファイル名のパス";
    case TextId::SettingResourceSoundBefore:
      return "リソース残量が";
    case TextId::SettingResourceSoundAfter:
      return "％以下の時";
    case TextId::SettingOk:
      return "OK";
    case TextId::SettingOkHint:
      return "設定を反映します";
    case TextId::SettingCancel:
      return "キャンセル";
    case TextId::SettingCancelHint:
      return "設定を行わずに設定画面を抜けます";
    case TextId::SettingOpenSoundTitle:
      return "音声ファイル読込";
    case TextId::SettingOpenSoundFilter:
      return "Wavファイル(*.Wav)|*.Wav";
    case TextId::SettingOpenPictureTitle:
      return "画像ファイル読込";
    case TextId::SettingOpenPictureFilter:
      return "ビットマップ (*.bmp)|*.bmp";
    case TextId::NotAWholeNumber:
      return "'{text}' は正しい整数値ではありません。";
    case TextId::NotABitmap:
      return "'{path}' は読み込めるビットマップ画像ではありません。";
    case TextId::ExtraGroup:
      return "拡張設定";
    case TextId::ExtraFreedNotice:
      return "掃除で空いた量を通知する";
    case TextId::ExtraFreedNoticeHint:
      return "掃除のあとで、空いた物理メモリの量をタスクトレイの吹き出しで知らせます";
    case TextId::ExtraHotKeyHint:
      return "どこからでもこのキーで掃除を開始します（掃除中なら中断します）";
    case TextId::ExtraHotKey:
      return "掃除のホットキー";
    case TextId::ExtraHotKeyClear:
      return "クリア";
    case TextId::ExtraHotKeyClearHint:
      return "ホットキーを使わないようにします";
    case TextId::ExtraIntervalHint:
      return "前回の掃除から指定の分数がたつと掃除します（0 で使わない）";
    case TextId::ExtraInterval:
      return "一定間隔で掃除";
    case TextId::ExtraIntervalUnit:
      return "分ごと（0 で無効）";
    case TextId::ExtraStartup:
      return "Windows 起動時に開始";
    case TextId::StartupRegisterFailed:
      return "Windows "
             "起動時に開始するよう登録できませんでした。\n\nHKEY_CURRENT_USER\\{key}\n\n{reason}";
    case TextId::StartupRemoveFailed:
      return "Windows "
             "起動時に開始する登録を解除できませんでした。\n\nHKEY_CURRENT_USER\\{key}\n\n{reason}";
    case TextId::ExtraStartupHint:
      return "Windows にログオンしたときに Norva を起動します";
    case TextId::ExtraTrayLoad:
      return "タスクトレイにメモリ使用率を表示する";
    case TextId::ExtraTrayLoadHint:
      return "タスクトレイのアイコンにメモリ使用率（％）を数字で表示します";
    case TextId::ExtraBackoff:
      return "効果のない自動掃除の間隔をあける";
    case TextId::ExtraBackoffHint:
      return "自動掃除で空きが増えなかったとき、次の自動掃除まで 1, 2, 4 … 最大 60 分待ちます";
    case TextId::ExtraFullScreenHold:
      return "全画面のプログラムの実行中は自動掃除しない";
    case TextId::ExtraFullScreenHoldHint:
      return "ゲームや動画、プレゼンテーションが全画面で表示されている間は自動掃除を控えます";
    case TextId::ExtraHistoryMenu:
      return "掃除の履歴をタスクトレイのメニューに表示する";
    case TextId::ExtraHistoryMenuHint:
      return "タスクトレイのメニューに「掃除の履歴...」を加えます";
    case TextId::ExtraHistoryFile:
      return "掃除の履歴をファイルに記録する";
    case TextId::ExtraHistoryFileHint:
      return "掃除ごとに norva-history.csv（exe と同じフォルダ）へ 1 行書き加えます";
    case TextId::ExtraLanguage:
      return "表示言語 / Language";
    case TextId::ExtraLanguageHint:
      return "Norva の画面の言語です。自動は Windows "
             "の表示言語が日本語なら日本語、ほかは英語です（OK で切り替わります）";
    case TextId::ExtraLanguageAutomatic:
      return "自動 / Automatic";
  }
  return nullptr;
}

}  // namespace norva::lang
