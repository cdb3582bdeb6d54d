// The English texts: one for each name of TextNames.h.
// Fields in braces ({count}) are filled by lang::Format.
#include "lang/Lang.h"

namespace norva::lang {

const char* EnglishText(TextId id) {
  switch (id) {
    case TextId::MainSettingsButton:
      return "Setup";
    case TextId::MainSettingsHint:
      return "Opens the settings";
    case TextId::MainCleanButton:
      return "Clean";
    case TextId::MainCleanHint:
      return "Cleans the memory to free physical memory";
    case TextId::MainInfoButton:
      return "Info";
    case TextId::MainInfoHint:
      return "Details of the running processes";
    case TextId::MainMinimizeButton:
      return "▼";
    case TextId::MainMinimizeHint:
      return "Hides the window from the desktop";
    case TextId::MainCloseButton:
      return "×";
    case TextId::MainCloseHint:
      return "Exits Norva";
    case TextId::MainLoadUnit:
      return "%";
    case TextId::MainLoadHint:
      return "Memory load (its meaning depends on the system; it can reach 100%)";
    case TextId::MainColumnTitles:
      return "Free  Used   Total  Res";
    case TextId::MainColumnTitlesNoResources:
      return "Free   Used     Total";
    case TextId::MainPhysicalRow:
      return "Phys";
    case TextId::MainPhysicalHint:
      return "Physical memory (the memory installed)";
    case TextId::MainPageRow:
      return "Page";
    case TextId::MainPageHint:
      return "Page file (swap memory)";
    case TextId::MainVirtualRow:
      return "Virt";
    case TextId::MainVirtualHint:
      return "Virtual memory (the address space)";
    case TextId::MainCleaningBar:
      return "Cleaning...";
    case TextId::MainCleaningBarExclusive:
      return "Cleaning (exclusive)";
    case TextId::AccessiblePressAction:
      return "Press";
    case TextId::MainStopButton:
      return "Stop";
    case TextId::MainStopHint:
      return "Stops the cleaning";
    case TextId::MenuRestore:
      return "Restore";
    case TextId::MenuSettings:
      return "Settings";
    case TextId::MenuClean:
      return "Clean now";
    case TextId::MenuInfo:
      return "Information";
    case TextId::MenuExit:
      return "Exit";
    case TextId::MenuHistory:
      return "Cleaning history...";
    case TextId::TrayTipFree:
      return "{megabytes}MB Free";
    case TextId::TrayTipCleaning:
      return "Cleaning...";
    case TextId::TrayTipCleaned:
      return "Cleaning done";
    case TextId::TrayTipProgress:
      return "Cleaning {percent}% ";
    case TextId::OverlayLabel:
      return " Cleaning:";
    case TextId::OutOfMemory:
      return "Not enough memory. Try a smaller cleaning size.\n\n(Check the free space of the page "
             "file, too.)";
    case TextId::AlreadyRunning:
      return "Norva is already running.";
    case TextId::ErrorTitle:
      return "Error";
    case TextId::BackoffTipLine:
      return "Auto cleaning waits {minutes} min";
    case TextId::FreedBalloon:
      return "Freed {freed} MB ({free} MB free)";
    case TextId::HotKeyTakenAtStart:
      return "The hotkey {hotkey} could not be registered: another program uses it.";
    case TextId::HotKeyTakenInDialog:
      return "{hotkey} cannot be the hotkey: another program uses it.";
    case TextId::HistoryWriteFailed:
      return "The cleaning history could not be written to norva-history.csv. Check that no other "
             "program has the file open and that the disk has free space.";
    case TextId::SaveFailed:
      return "The settings could not be saved.\n\n{path}\n\n{reason}\n\nThe settings file keeps "
             "its earlier contents.";
    case TextId::ErrorCode:
      return "Error code {code}";
    case TextId::HistoryTitle:
      return "Cleaning history";
    case TextId::HistoryCopy:
      return "Copy";
    case TextId::HistoryCopyHint:
      return "Copies the list to the clipboard as tab-separated text";
    case TextId::HistoryCopyFailed:
      return "The clipboard could not be used, so nothing was copied.";
    case TextId::HistoryColumnStarted:
      return "Started";
    case TextId::HistoryColumnTrigger:
      return "Trigger";
    case TextId::HistoryColumnSize:
      return "Size";
    case TextId::HistoryColumnDuration:
      return "Time";
    case TextId::HistoryColumnFreeBefore:
      return "Free before";
    case TextId::HistoryColumnFreeAfter:
      return "Free after";
    case TextId::HistoryColumnFreed:
      return "Freed";
    case TextId::HistoryColumnResult:
      return "Result";
    case TextId::HistoryKindButton:
      return "Button";
    case TextId::HistoryKindMenu:
      return "Menu";
    case TextId::HistoryKindHotKey:
      return "Hotkey";
    case TextId::HistoryKindInterval:
      return "Interval";
    case TextId::HistoryKindFreeMemory:
      return "Free memory";
    case TextId::HistoryKindLoad:
      return "Load";
    case TextId::HistorySeconds:
      return "{seconds} s";
    case TextId::HistoryStopped:
      return "Stopped";
    case TextId::HistoryCompleted:
      return "Done";
    case TextId::HistoryTotal:
      return "Today: {count} cleanings, {freed} freed";
    case TextId::InspectorTitle:
      return "System information";
    case TextId::InspectorRefresh:
      return "Refresh";
    case TextId::InspectorRefreshHint:
      return "Reads the lists again";
    case TextId::InspectorTabProcesses:
      return "Processes";
    case TextId::InspectorTabHeaps:
      return "Heaps";
    case TextId::InspectorTabThreads:
      return "Threads";
    case TextId::InspectorTabGraph:
      return "Graph";
    case TextId::InspectorTabList:
      return "List";
    case TextId::InspectorTabTree:
      return "Tree";
    case TextId::InspectorPriorityLabel:
      return "Priority class";
    case TextId::InspectorPriorityHint:
      return "The priority class of the process";
    case TextId::PriorityRealtime:
      return "Top";
    case TextId::PriorityHigh:
      return "High";
    case TextId::PriorityNormal:
      return "Normal";
    case TextId::PriorityIdle:
      return "Low";
    case TextId::PriorityUnknown:
      return "N/A";
    case TextId::InspectorSetPriority:
      return "Apply";
    case TextId::InspectorSetPriorityHint:
      return "Sets the priority class of the process";
    case TextId::InspectorFullPath:
      return "Full paths";
    case TextId::InspectorFullPathHint:
      return "Shows the file names with their full paths (Windows 9x only)";
    case TextId::InspectorMinimum:
      return "Min";
    case TextId::InspectorMinimumHint:
      return "The minimum working set size, in bytes";
    case TextId::InspectorMaximum:
      return "Max";
    case TextId::InspectorMaximumHint:
      return "The maximum working set size, in bytes";
    case TextId::InspectorSetWorkingSet:
      return "Apply";
    case TextId::InspectorSetWorkingSetHint:
      return "Sets the working set size of the process, its resident memory pages (NT family only)";
    case TextId::InspectorTerminate:
      return "●End task";
    case TextId::InspectorTerminateHint:
      return "Ends the chosen process";
    case TextId::InspectorProcessListHint:
      return "The process chosen here is chosen on the Heaps tab too";
    case TextId::ColumnProcessId:
      return "Process ID";
    case TextId::ColumnParentId:
      return "Parent ID";
    case TextId::ColumnThreadCount:
      return "Threads";
    case TextId::ColumnFileName:
      return "File name";
    case TextId::ColumnPriority:
      return "Priority";
    case TextId::ColumnMinimumSize:
      return "Min size";
    case TextId::ColumnMaximumSize:
      return "Max size";
    case TextId::InspectorExpandAll:
      return "Expand all";
    case TextId::InspectorCollapseAll:
      return "Collapse all";
    case TextId::InspectorTargetLabel:
      return "Process";
    case TextId::InspectorTargetHint:
      return "Choose the process whose heaps to list (some cannot be listed)";
    case TextId::InspectorStopReading:
      return "Stop";
    case TextId::InspectorHeapListHint:
      return "The heaps of the chosen process";
    case TextId::ColumnHeapOwnerId:
      return "Process";
    case TextId::ColumnHeapId:
      return "Heap ID";
    case TextId::ColumnFlags:
      return "Flags";
    case TextId::InspectorModuleListHint:
      return "The modules (DLLs and the like) in use";
    case TextId::ColumnModuleId:
      return "Module ID";
    case TextId::ColumnUseCount:
      return "Uses";
    case TextId::ColumnProcessUseCount:
      return "Process uses";
    case TextId::ColumnModuleName:
      return "Module name";
    case TextId::InspectorBlockListHint:
      return "The memory blocks the process holds";
    case TextId::ColumnBlockHandle:
      return "Block handle";
    case TextId::ColumnBlockSize:
      return "Block size";
    case TextId::ColumnLockCount:
      return "Locks";
    case TextId::InspectorThreadListHint:
      return "The threads running now";
    case TextId::ColumnThreadId:
      return "Thread ID";
    case TextId::ColumnParentName:
      return "Process name";
    case TextId::ColumnUsageCount:
      return "Usage";
    case TextId::GraphRangeTopUnknown:
      return "???MB : 100%";
    case TextId::GraphRangeMiddleUnknown:
      return "???MB :  50%";
    case TextId::GraphRangeTop:
      return "{megabytes} MB: 100%";
    case TextId::GraphRangeMiddle:
      return "{megabytes} MB:  50%";
    case TextId::GraphRangeBottom:
      return "0MB:   0%";
    case TextId::GraphLegend:
      return "Red: free memory\nYellow: CPU load";
    case TextId::GraphHint:
      return "The red line is the free memory, the yellow line the CPU load";
    case TextId::ReadCount:
      return "  Reading: {count}";
    case TextId::ClearingList:
      return "Clearing the list";
    case TextId::ConfirmChangeTitle:
      return "Confirm change";
    case TextId::ConfirmEndTitle:
      return "Confirm end task";
    case TextId::TerminateQuestion:
      return "This ends the chosen process.\n\nUse it only when nothing else helps:\nthe global "
             "data of its DLLs can be left in a dangerous state\n(and ending a process does not "
             "always remove its object from the system).\n\nEnd the process?\n";
    case TextId::PriorityQuestion:
      return "This changes the priority class of the chosen process.\n\n(For a system process, a "
             "new priority can disturb the whole system.)\n\nChange it?\n";
    case TextId::WorkingSetQuestion:
      return "This changes the working set size of the chosen process (in bytes).\n\nIt is the set "
             "of memory pages the process keeps in physical RAM.\nDepending on the memory and the "
             "order of the settings, it may not be granted.\nA wrong size can slow the system "
             "down.\n\nChange it?\n";
    case TextId::UnknownPriority:
      return "Unknown priority class; it cannot be set.";
    case TextId::UnknownSize:
      return "Invalid size; it cannot be set.";
    case TextId::SetFailed:
      return "The change failed.";
    case TextId::TerminateFailed:
      return "The process could not be ended.";
    case TextId::ThreadPriorityIdle:
      return "Idle ({priority})";
    case TextId::ThreadPriorityLow:
      return "Low ({priority})";
    case TextId::ThreadPriorityNormal:
      return "Normal ({priority})";
    case TextId::ThreadPriorityHigh:
      return "High ({priority})";
    case TextId::ThreadPriorityCritical:
      return "Critical ({priority})";
    case TextId::ThreadPriorityRealtime:
      return "Realtime ({priority})";
    case TextId::UnknownCount:
      return "(unknown)";
    case TextId::SettingTitle:
      return "Settings";
    case TextId::SettingTabBehaviour:
      return "Behavior";
    case TextId::SettingTabDisplay:
      return "Display";
    case TextId::SettingTabSound:
      return "Sounds";
    case TextId::SettingTabExtra:
      return "Extras";
    case TextId::SettingMemoryGroup:
      return "Memory";
    case TextId::SettingCleaningShare:
      return " Cleaning size: {percent} %";
    case TextId::SettingCleaningShareHint:
      return "The share of physical memory the Clean button cleans";
    case TextId::SettingMemoryCheck:
      return "Check memory";
    case TextId::SettingMemoryCheckHint:
      return "Checks the memory for faults. This feature is disabled.";
    case TextId::SettingAutoSize:
      return "Adjust the cleaning size";
    case TextId::SettingAutoSizeHint:
      return "Takes an amount that follows the free memory: less effect, more safety.";
    case TextId::SettingAutoClean:
      return "Clean automatically";
    case TextId::SettingAutoCleanHint:
      return "Cleans on its own when physical memory runs low";
    case TextId::SettingFreeBelowHint:
      return "Starts a cleaning when free physical memory falls to this amount. Depending on the "
             "memory installed, 1 to 10 MB suits (suggested: 2 MB).";
    case TextId::SettingFreeBelow:
      return "Free memory";
    case TextId::SettingFreeBelowUnit:
      return "MB or less";
    case TextId::SettingLoadDropHint:
      return "Starts a cleaning when the load drops by this amount. Depending on the system and "
             "memory, 1 to 3 % suits (suggested: 3 %).";
    case TextId::SettingLoadDrop:
      return "Load drops";
    case TextId::SettingLoadDropUnit:
      return "% or more";
    case TextId::SettingNotAtFullLoad:
      return "Not while the load is 100%";
    case TextId::SettingNotAtFullLoadHint:
      return "No automatic cleaning while the load is 100%, to avoid swapping out (suggested: on).";
    case TextId::SettingSpeed:
      return "Speed";
    case TextId::SettingSpeedHint:
      return "How fast a cleaning takes memory";
    case TextId::SettingSpeedNormal:
      return "Normal (1% steps, suggested)";
    case TextId::SettingSpeedFast:
      return "Fast (10% steps)";
    case TextId::SettingSpeedExclusive:
      return "Exclusive (all at once)";
    case TextId::SettingOtherGroup:
      return "Other";
    case TextId::SettingHideHints:
      return "Hide tooltips";
    case TextId::SettingHideHintsHint:
      return "Shows no tooltips (pop-up texts like this one) on the main window";
    case TextId::SettingStayOnTop:
      return "Always on top";
    case TextId::SettingStayOnTopHint:
      return "Keeps the main window above other windows. The system does not always allow it.";
    case TextId::SettingHideUnderMouse:
      return "Hide under the mouse";
    case TextId::SettingHideUnderMouseHint:
      return "Hides the window when the mouse comes over it, unless Shift is held down, so that "
             "what lies behind Norva can be seen.";
    case TextId::SettingShowCpu:
      return "Show the CPU load";
    case TextId::SettingShowCpuHint:
      return "Shows the processor load";
    case TextId::SettingPauseAtFullCpu:
      return "Pause cleaning at 100%";
    case TextId::SettingPauseAtFullCpuHint:
      return "Pauses the cleaning while the CPU load is 100%. The window then looks frozen but "
             "keeps working. This avoids adding load while other programs are busy (suggested: "
             "on).";
    case TextId::SettingBigDisplay:
      return "Big cleaning display";
    case TextId::SettingBigDisplayHint:
      return "Shows the cleaning's progress large across the screen";
    case TextId::SettingHideTaskbar:
      return "Hide from the taskbar";
    case TextId::SettingHideTaskbarHint:
      return "Shows no button on the taskbar";
    case TextId::SettingMagnet:
      return "Snap to screen edges";
    case TextId::SettingWallpaperGroup:
      return "Wallpaper";
    case TextId::SettingWallpaperPath:
      return "(file path, hidden)";
    case TextId::SettingPreviewHint:
      return "A preview of the wallpaper picture (200×80)";
    case TextId::SettingPreview:
      return "The preview appears here";
    case TextId::SettingOpenPicture:
      return "Open...";
    case TextId::SettingOpenPictureHint:
      return "Opens a file dialog to choose the picture";
    case TextId::SettingClearPicture:
      return "Clear";
    case TextId::SettingClearPictureHint:
      return "Removes the picture";
    case TextId::SettingStretch:
      return "Fit the picture";
    case TextId::SettingStretchHint:
      return "Scales the picture to fit the window";
    case TextId::SettingSeeThrough:
      return "See-through window";
    case TextId::SettingSeeThroughHint:
      return "Shows the desktop wallpaper through the window";
    case TextId::SettingColorGroup:
      return "Colors";
    case TextId::SettingNormalGroup:
      return "Normal";
    case TextId::SettingColorSample:
      return "Sample text";
    case TextId::SettingTextColor:
      return "Text";
    case TextId::SettingTextColorHint:
      return "Sets the normal text color";
    case TextId::SettingBackColor:
      return "Back";
    case TextId::SettingBackColorHint:
      return "Sets the normal background color";
    case TextId::SettingClearColor:
      return "Clear";
    case TextId::SettingClearColorHint:
      return "Resets the normal background color";
    case TextId::SettingSeeThroughGroup:
      return "See-through or wallpaper";
    case TextId::SettingFrontColorHint:
      return "Sets the text color over a see-through window or wallpaper";
    case TextId::SettingShadowColor:
      return "Shadow";
    case TextId::SettingShadowColorHint:
      return "Sets the text shadow color over a see-through window or wallpaper";
    case TextId::SettingKeepButtonColors:
      return "Keep the button colors";
    case TextId::SettingKeepButtonColorsHint:
      return "Check to keep the colors of the Setup, Clean, Info, ▼ and × buttons";
    case TextId::SettingSoundGroup:
      return "Warning sounds";
    case TextId::SettingSoundPathHint:
      return "The path of the sound file";
    case TextId::SettingPlayHint:
      return "Plays the file, to test that it sounds right.";
    case TextId::SettingBrowseHint:
      return "Opens a dialog to choose the file";
    case TextId::SettingClearPathHint:
      return "Clears the path";
    case TextId::SettingAmountHint:
      return "The amount at which the sound plays";
    case TextId::SettingPlay:
      return "Play";
    case TextId::SettingBrowse:
      return "Browse";
    case TextId::SettingClearPath:
      return "Clear";
    case TextId::SettingMemorySound:
      return "Low memory warning sound";
    case TextId::SettingMemorySoundBefore:
      return "Free memory";
    case TextId::SettingMemorySoundAfter:
      return "MB or less";
    case TextId::SettingResourceSound:
      return "Low resources warning sound";
    case TextId::SettingResourceSoundBefore:
      return "Resources";
    case TextId::SettingResourceSoundAfter:
      return "% or less";
    case TextId::SettingOk:
      return "OK";
    case TextId::SettingOkHint:
      return "Applies the settings";
    case TextId::SettingCancel:
      return "Cancel";
    case TextId::SettingCancelHint:
      return "Closes the settings without changes";
    case TextId::SettingOpenSoundTitle:
      return "Open sound file";
    case TextId::SettingOpenSoundFilter:
      return "Wave files (*.wav)|*.Wav";
    case TextId::SettingOpenPictureTitle:
      return "Open picture";
    case TextId::SettingOpenPictureFilter:
      return "Bitmaps (*.bmp)|*.bmp";
    case TextId::NotAWholeNumber:
      return "'{text}' is not a valid whole number.";
    case TextId::NotABitmap:
      return "'{path}' is not a bitmap that can be read.";
    case TextId::ExtraGroup:
      return "Extras";
    case TextId::ExtraFreedNotice:
      return "Notify the amount freed";
    case TextId::ExtraFreedNoticeHint:
      return "After each cleaning, a balloon at the tray icon tells how much physical memory was "
             "freed";
    case TextId::ExtraHotKeyHint:
      return "Starts a cleaning from anywhere (stops one that runs)";
    case TextId::ExtraHotKey:
      return "Clean hotkey";
    case TextId::ExtraHotKeyClear:
      return "Clear";
    case TextId::ExtraHotKeyClearHint:
      return "Turns the hotkey off";
    case TextId::ExtraIntervalHint:
      return "Cleans when this many minutes have passed since the last cleaning (0: off)";
    case TextId::ExtraInterval:
      return "Clean every";
    case TextId::ExtraIntervalUnit:
      return "minutes (0: off)";
    case TextId::ExtraStartup:
      return "Start with Windows";
    case TextId::StartupRegisterFailed:
      return "Norva could not be set to start with "
             "Windows.\n\nHKEY_CURRENT_USER\\{key}\n\n{reason}";
    case TextId::StartupRemoveFailed:
      return "Norva could not be kept from starting with "
             "Windows.\n\nHKEY_CURRENT_USER\\{key}\n\n{reason}";
    case TextId::ExtraStartupHint:
      return "Starts Norva when you sign in to Windows";
    case TextId::ExtraTrayLoad:
      return "Show the memory load in the tray";
    case TextId::ExtraTrayLoadHint:
      return "Shows the memory load (%) as a number on the tray icon";
    case TextId::ExtraBackoff:
      return "Wait longer after automatic cleanings that free nothing";
    case TextId::ExtraBackoffHint:
      return "When an automatic cleaning frees nothing, waits 1, 2, 4 … up to 60 minutes before "
             "the next";
    case TextId::ExtraFullScreenHold:
      return "No automatic cleaning while a full-screen program runs";
    case TextId::ExtraFullScreenHoldHint:
      return "Holds automatic cleaning while a game, video or presentation fills the screen";
    case TextId::ExtraHistoryMenu:
      return "Show the cleaning history in the tray menu";
    case TextId::ExtraHistoryMenuHint:
      return "Adds \"Cleaning history...\" to the tray menu";
    case TextId::ExtraHistoryFile:
      return "Record the cleaning history in a file";
    case TextId::ExtraHistoryFileHint:
      return "Adds a line to norva-history.csv (beside the exe) for each cleaning";
    case TextId::ExtraLanguage:
      return "Language";
    case TextId::ExtraLanguageHint:
      return "The language of Norva's windows. Automatic: Japanese on a Japanese Windows, else "
             "English (switches on OK)";
    case TextId::ExtraLanguageAutomatic:
      return "Automatic";
  }
  return nullptr;
}

}  // namespace norva::lang
