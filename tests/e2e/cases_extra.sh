# End-to-end cases of the opt-in features of the [EXTRA] section: the balloon
# after a cleaning, the hotkey pressed while another program has the focus,
# cleaning on an interval, the start-up entry in the registry, the memory
# load on the tray icon, and the fourth settings tab at 96 and 144 pixels
# per inch. Sourced by tests/e2e/run.sh after cases_cleaning_window.sh and
# cases_settings.sh, whose helpers it uses.
#
# A cleaning is seen, as in the cleaning cases, by the Sleep(300) of a
# speed-2 cleaning in the relay trace of the program's own process, or by
# its line in the history file (HistoryFile=1). desktop_peek.exe, built
# beside norva.exe, puts a full-screen window in front and reads the
# clipboard.

ALL_CASES+=(extra_startup_entry extra_startup_refused extra_tray_load extra_tab extra_balloon extra_hotkey extra_interval
  extra_fullscreen_hold extra_history_window extra_backoff)

# Places of the fourth tab "拡張" and of its check box "Windows 起動時に開始".
SET_TAB4='210 12' SET_STARTUP='27 138'

# How many speed-2 cleanings the program whose log is $1 has finished.
cleanings_done() { sleeps "$1" "$2" 0000012c; }

# A balloon after a cleaning started with "[掃除]": the program's
# Shell_NotifyIcon carries the text, the taskbar shows it (screenshot).
case_extra_balloon() { freed_balloon "$OUT/extra-balloon-win$BITS.png" 'FreedNotice=1'; }

# One cleaning with the [EXTRA] keys $2...: the balloon seen and shot as $1.
freed_balloon() {
  local shot=$1
  # A desktop without the shell's taskbar where the Wine allows it: Wine 10.0
  # draws no balloon over the shell's taskbar, only under its stand-alone
  # tray window at the desktop's top left; Wine 8 keeps its taskbar here and
  # draws the balloon above the notification area at the bottom right.
  local VD_NAME=norva-e2e-tray
  write_clean_ini "$CASE_DIR/norva.ini" 2 64 '[EXTRA]' "${@:2}"
  launch_desktop "$CASE_DIR" main relay
  local pid=$LAST_PID log=$CASE_DIR/main.log hex
  # Wine's tray writes no balloon text into a trace: the balloon is seen as
  # the white box it draws in one of the two corners, where before the
  # cleaning only the desktop's blue and the tray show.
  local corners=("400x150+0+0" "400x150+$((VD_W - 400))+$((VD_H - 180))") before after
  whites() {
    local c n=0
    for c in "${corners[@]}"; do n=$((n + $(count_colour "$1" "$c" '#FFFFFF'))); done
    echo "$n"
  }
  wait_tree_window "$log" || return 1
  hex=$(win_pid_hex "$log") || failed "no process id in the trace" || return 1
  sleep "$T_SETTLE"
  import -window root "$CASE_DIR/before.png" 2>/dev/null || failed "no screenshot" || return 1
  before=$(whites "$CASE_DIR/before.png")
  xdotool mousemove $((WIN_X + 57)) $((WIN_Y + 8)) click 1
  # The mouse away from the window and the corners, so that no hint shows.
  xdotool mousemove $((VD_W / 2)) $((VD_H / 2))
  cleaned() { (($(cleanings_done "$log" "$hex") >= 1)); }
  wait_progress "$T_WINDOW" cleaned || failed "no cleaning after a click on the clean button" || return 1
  balloon() {
    import -window root "$CASE_DIR/screen.png" 2>/dev/null || return 1
    after=$(whites "$CASE_DIR/screen.png")
    ((after - before > 3000))
  }
  wait_progress "$T_WINDOW" balloon || failed "no balloon by the tray ($before white pixels before, ${after:-0} after)" || return 1
  convert "$CASE_DIR/screen.png" -crop "${VD_W}x$VD_H+0+0" +repage "$shot"
  close_by_x "$pid" || return 1
  REASON="balloon by the tray after one cleaning ($before -> $after white pixels); the desktop saved as $shot"
}

# The hotkey Ctrl+Alt+M starts a cleaning while Wine's notepad has the focus.
case_extra_hotkey() {
  write_clean_ini "$CASE_DIR/norva.ini" 2 64 '[EXTRA]' 'HotKey=1613'
  launch "$CASE_DIR" main relay
  local pid=$LAST_PID log=$CASE_DIR/main.log hex note=
  wait_main_window "$log" || return 1
  hex=$(win_pid_hex "$log") || failed "no process id in the trace" || return 1
  (exec timeout -k 5 "$T_LIFE" "$WINE64" notepad) >"$CASE_DIR/notepad.log" 2>&1 </dev/null &
  PIDS+=("$!")
  notepad_shown() {
    note=$(xwininfo -root -children 2>/dev/null | grep -iE '"[^"]*(notepad|メモ帳)[^"]*": \(' | awk '{print $1}' | head -1)
    [[ -n $note ]]
  }
  wait_progress "$T_WINDOW" notepad_shown || failed "notepad did not open" || return 1
  xdotool windowfocus --sync "$note" 2>/dev/null || true
  sleep "$T_SETTLE"
  (($(cleanings_done "$log" "$hex") == 0)) || failed "a cleaning ran before the hotkey" || return 1
  xdotool windowfocus --sync "$note" key ctrl+alt+m
  cleaned() { (($(cleanings_done "$log" "$hex") >= 1)); }
  wait_progress "$T_WINDOW" cleaned || failed "no cleaning after Ctrl+Alt+M in notepad" || return 1
  close_and_expect_exit "$pid" "$log" || return 1
  REASON="Ctrl+Alt+M pressed in notepad: one cleaning (Sleep(300) in the trace)"
}

# IntervalClean=1: a cleaning a minute after the start, another a minute
# after that one ended.
case_extra_interval() {
  write_clean_ini "$CASE_DIR/norva.ini" 2 64 '[EXTRA]' 'IntervalClean=1'
  launch "$CASE_DIR" main relay
  local pid=$LAST_PID log=$CASE_DIR/main.log hex started=$SECONDS first second
  wait_main_window "$log" || return 1
  hex=$(win_pid_hex "$log") || failed "no process id in the trace" || return 1
  # The waits go on while the program runs its timers (its trace grows).
  one() { (($(cleanings_done "$log" "$hex") >= 1)); }
  two() { (($(cleanings_done "$log" "$hex") >= 2)); }
  wait_progress "$T_WINDOW" one || failed "no cleaning within the first minute and a half" || return 1
  first=$((SECONDS - started))
  ((first >= 55)) || failed "the first cleaning came after ${first}s, not a minute" || return 1
  wait_progress "$T_WINDOW" two || failed "no second cleaning" || return 1
  second=$((SECONDS - started))
  ((second - first >= 55)) || failed "the second cleaning came ${second - first}s after the first" || return 1
  close_and_expect_exit "$pid" "$log" || return 1
  REASON="cleanings seen at ${first}s and ${second}s after the start"
}

# The query of the start-up entry: prints its value, fails when missing.
run_entry() {
  timeout 60 "$WINE64" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Norva 2>/dev/null |
    tr -d '\r' | sed -n 's/^ *Norva *REG_SZ *//p' | grep .
}

# Ticks or unticks "Windows 起動時に開始" on the fourth tab, presses OK and
# waits for the dialog to close.
toggle_startup() { click_startup_and_ok && wait_dialog_closed; }

# Opens the dialog, clicks the start-up box on the fourth tab and OK.
click_startup_and_ok() {
  xdotool mousemove $((WIN_X + 15)) $((WIN_Y + 8)) click 1
  local found
  found=$(wait_window "設定画面" 523x325 "$T_WINDOW") || failed "no dialog after a click on [設定]" || return 1
  read -r DLG_ID DLG_X DLG_Y <<<"$found"
  # Clicked once the dialog shows its controls, as a user would.
  shoot_dialog "$CASE_DIR/dialog.png" || return 1
  click_dialog "$SET_TAB4"
  sleep 0.5
  click_dialog "$SET_STARTUP"
  sleep 0.3
  click_dialog "$SET_OK"
}

# The check box writes and removes HKCU\...\Run\Norva (wine reg query).
case_extra_startup_entry() {
  timeout 60 "$WINE64" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Norva /f >/dev/null 2>&1 || true
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y"
  launch "$CASE_DIR" main
  PID=$LAST_PID
  wait_main_window "$CASE_DIR/main.log" || return 1
  sleep "$T_SETTLE"
  local entry want
  want="\"$(winpath "$CASE_DIR/norva.exe")\""
  toggle_startup || return 1
  entry=$(wait_progress 10 run_entry) || failed "no Run entry \"Norva\" after ticking the box" || return 1
  [[ ${entry,,} == "${want,,}" ]] || failed "Run entry $entry, expected $want" || return 1
  toggle_startup || return 1
  sleep 1
  ! run_entry >/dev/null || failed "the Run entry is still there after unticking the box" || return 1
  close_and_expect_exit "$PID" "$CASE_DIR/main.log" || return 1
  [[ $(ini_flat "$CASE_DIR/norva.ini") != *Startup* ]] || failed "the box's state went to the INI" || return 1
  REASON="ticked: Run\\Norva = $entry; unticked: removed"
}

# With changes to the Run key refused (a policy, another program's security
# settings), ticking the box says so once, naming the key and the system's
# reason; nothing is written, the other settings of the dialog still save,
# and the box shows the registry's state when the dialog opens again.
case_extra_startup_refused() {
  local lock
  lock=$(dirname "$EXE")/run_key_lock.exe
  [[ -f $lock ]] || failed "run_key_lock.exe not built beside $EXE" || return 1
  timeout 60 "$WINE64" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Norva /f >/dev/null 2>&1 || true
  local said
  said=$(timeout 60 "$LOADER" "$lock" deny 2>&1 | tr -d '\r')
  [[ $said == denied ]] || failed "could not lock the Run key: $said" || return 1
  startup_refused_part
  local rc=$?
  said=$(timeout 60 "$LOADER" "$lock" allow 2>&1 | tr -d '\r')
  [[ $said == allowed ]] || failed "could not unlock the Run key: $said" || return 1
  return $rc
}

startup_refused_part() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y"
  launch "$CASE_DIR" main msgbox
  PID=$LAST_PID
  local log=$CASE_DIR/main.log
  wait_main_window "$log" || return 1
  sleep "$T_SETTLE"
  local box
  click_startup_and_ok || return 1
  wait_error_box "$log" "OK with the Run key locked" || return 1
  local text=$BOX_TEXT
  box=$BOX
  [[ $text == *"$(wine_escape 'Windows 起動時に開始するよう登録できませんでした。')"* ]] ||
    failed "the box says something else: $text" || return 1
  [[ $text == *'CurrentVersion\\Run'* ]] || failed "the box does not name the key: $text" || return 1
  sleep 1
  import -window root "$OUT/startup-refused-win$BITS.png" 2>/dev/null || true
  xdotool windowfocus --sync "$box" key Return 2>/dev/null || xdotool key Return
  wait_dialog_closed || return 1
  ! run_entry >/dev/null || failed "a Run entry was written through the lock: $(run_entry)" || return 1
  close_and_expect_exit "$PID" "$log" || return 1
  local boxes
  boxes=$(grep -c 'MSGBOX_OnInit' "$log")
  ((boxes == 1)) || failed "$boxes message boxes, expected one" || return 1
  [[ $(ini_value "$CASE_DIR/norva.ini" SYSTEM/XPos) == "$SHOT_X" ]] || failed "the settings were not saved" || return 1
  REASON="one box naming the key and the reason, no entry written, dialog closed, settings saved; shot $OUT/startup-refused-win$BITS.png"
}

# TrayLoadIcon=1: the tray icon is the green chip with the load's digits in
# white (screenshot of the notification area).
case_extra_tray_load() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[EXTRA]' 'TrayLoadIcon=1'
  launch_desktop "$CASE_DIR" main systray
  local pid=$LAST_PID log=$CASE_DIR/main.log shot=$OUT/extra-tray-load-win$BITS.png green white
  wait_tree_window "$log" || return 1
  find_tray_icon || return 1
  sleep 1
  import -window root "$CASE_DIR/screen.png" 2>/dev/null
  convert "$CASE_DIR/screen.png" -crop "20x20+$((TRAY_X - 10))+$((TRAY_Y - 10))" +repage "$shot"
  green=$(count_colour "$shot" 20x20+0+0 '#1E8C3C')
  white=$(count_colour "$shot" 20x20+0+0 '#FFFFFF')
  ((green >= 60)) || failed "only $green pixels of the green chip at the tray icon ($shot)" || return 1
  ((white >= 30)) || failed "only $white white pixels (digits) on the chip ($shot)" || return 1
  close_by_x "$pid" || return 1
  REASON="chip $green green and $white white pixels; saved $shot"
}

# The fourth tab at 96 and at 144 pixels per inch (screenshots), and OK
# with nothing changed writes no [EXTRA] section.
case_extra_tab() {
  open_settings || return 1
  click_dialog "$SET_TAB4"
  shoot_dialog "$OUT/settings-tab4-win$BITS.png" || return 1
  click_dialog "$SET_OK"
  wait_dialog_closed || return 1
  close_and_expect_exit "$PID" "$CASE_DIR/main.log" || return 1
  [[ $(ini_flat "$CASE_DIR/norva.ini") != *EXTRA/* ]] || failed "OK with nothing changed wrote [EXTRA]" || return 1
  set_log_pixels 144
  local rc=0 found
  launch "$CASE_DIR" main
  PID=$LAST_PID
  {
    found=$(wait_window Norva 300x120 "$T_WINDOW") || failed "no 300x120 main window at 144 DPI"
  } && {
    read -r WIN_ID WIN_X WIN_Y <<<"$found"
    sleep "$T_SETTLE"
    xdotool mousemove $((WIN_X + 22)) $((WIN_Y + 12)) click 1
    found=$(wait_window "設定画面" '78[4-6]x48[7-9]' "$T_WINDOW") || failed "no dialog of about 785x488 at 144 DPI"
  } && {
    read -r DLG_ID DLG_X DLG_Y <<<"$found"
    click_dialog '280 18'  # the fourth tab: the tabs grow with their text
    shoot_dialog "$OUT/settings-tab4-144dpi-win$BITS.png" 785x488
  } && {
    click_dialog "$((470 * 3 / 2)) $((302 * 3 / 2))"
    wait_dialog_closed
  } && close_and_expect_exit "$PID" "$CASE_DIR/main.log" || rc=1
  stop_programs
  set_log_pixels ""
  ((rc == 0)) || return 1
  REASON="tab 4 at 96 and 144 DPI: $OUT/settings-tab4-win$BITS.png, $OUT/settings-tab4-144dpi-win$BITS.png"
}

# The cleanings the history file beside the exe in folder $1 records (its
# lines after the header).
history_lines() {
  local f=$1/norva-history.csv n
  [[ -f $f ]] || { echo 0; return; }
  n=$(wc -l <"$f")
  echo $((n > 0 ? n - 1 : 0))
}

peek_desktop() { "$LOADER" "$(dirname "$EXE")/desktop_peek.exe" "$@"; }

# FullScreenHold=1: an interval cleaning that falls due while a full-screen
# window is in front waits, and runs once the window has closed.
case_extra_fullscreen_hold() {
  [[ -f $(dirname "$EXE")/desktop_peek.exe ]] || failed "desktop_peek.exe not built beside $EXE" || return 1
  write_clean_ini "$CASE_DIR/norva.ini" 2 64 '[EXTRA]' 'IntervalClean=1' 'FullScreenHold=1' 'HistoryFile=1'
  launch "$CASE_DIR" main
  local pid=$LAST_PID log=$CASE_DIR/main.log started fpid held after
  wait_main_window "$log" || return 1
  started=$SECONDS
  # In front from a few seconds after the start until well past the minute.
  (exec timeout -k 5 "$T_LIFE" "$LOADER" "$(dirname "$EXE")/desktop_peek.exe" fullscreen 100) \
    >"$CASE_DIR/fullscreen.log" 2>&1 </dev/null &
  fpid=$!
  PIDS+=("$fpid")
  in_front() { grep -q '^shown' "$CASE_DIR/fullscreen.log"; }
  wait_progress "$T_WINDOW" in_front || failed "the full-screen window never came in front" || return 1
  sleep "$T_SETTLE"
  import -window root "$OUT/extra-fullscreen-win$BITS.png" 2>/dev/null
  wait_exit "$fpid" 150 || failed "the full-screen window did not close" || return 1
  held=$(history_lines "$CASE_DIR")
  ((held == 0)) || failed "$held cleaning(s) while the full-screen window was in front ($((SECONDS - started))s)" || return 1
  ((SECONDS - started >= 90)) || failed "the full-screen window closed after $((SECONDS - started))s, before the cleaning was due" || return 1
  cleaned() { (($(history_lines "$CASE_DIR") >= 1)); }
  wait_progress "$T_WINDOW" cleaned || failed "no cleaning after the full-screen window closed" || return 1
  after=$((SECONDS - started))
  close_and_expect_exit "$pid" "$log" || return 1
  REASON="due at 60s, held while the full-screen window was in front, cleaned at ${after}s, once it had gone ($(tail -1 "$CASE_DIR/norva-history.csv" | tr -d '\r'))"
}

# CleanHistory=1: a cleaning from "[掃除]" and one on the interval, then
# "掃除の履歴..." (the last item of the tray menu) opens the list; its copy
# button puts both on the clipboard (screenshot of the window).
case_extra_history_window() {
  [[ -f $(dirname "$EXE")/desktop_peek.exe ]] || failed "desktop_peek.exe not built beside $EXE" || return 1
  write_clean_ini "$CASE_DIR/norva.ini" 2 64 '[EXTRA]' 'IntervalClean=1' 'CleanHistory=1' 'HistoryFile=1'
  launch_desktop "$CASE_DIR" main ""
  local pid=$LAST_PID log=$CASE_DIR/main.log shot=$OUT/extra-history-win$BITS.png found id w h x y copied
  wait_tree_window "$log" || return 1
  find_tray_icon || return 1
  xdotool mousemove $((WIN_X + 57)) $((WIN_Y + 8)) click 1
  one() { (($(history_lines "$CASE_DIR") >= 1)); }
  two() { (($(history_lines "$CASE_DIR") >= 2)); }
  wait_progress "$T_WINDOW" one || failed "no cleaning after a click on the clean button" || return 1
  # The interval's minute passes with an idle program: no progress to follow.
  wait_progress $((T_WINDOW + 60)) two || failed "no interval cleaning a minute later" || return 1
  # The menu opens up and to the left of the icon: the keys go once it is
  # drawn there (a busy host can take seconds).
  local menu_area="220x180+$((TRAY_X - 220))+$((TRAY_Y - 170))"
  import -window root "$CASE_DIR/before-menu.png" 2>/dev/null
  convert "$CASE_DIR/before-menu.png" -crop "$menu_area" +repage "$CASE_DIR/before-menu-area.png" 2>/dev/null
  xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
  local area_x=$((TRAY_X - 220)) area_y=$((TRAY_Y - 170)) box
  # The menu's box: where the area differs from before the click.
  menu_drawn() {
    import -window root "$CASE_DIR/menu.png" 2>/dev/null || return 1
    convert "$CASE_DIR/menu.png" -crop "$menu_area" +repage "$CASE_DIR/menu-area.png" 2>/dev/null || return 1
    box=$(convert "$CASE_DIR/before-menu-area.png" "$CASE_DIR/menu-area.png" -compose difference -composite \
      -threshold 5% -format '%@' info: 2>/dev/null)
    [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] && ((BASH_REMATCH[1] > 60 && BASH_REMATCH[2] > 60))
  }
  wait_progress "$T_WINDOW" menu_drawn || failed "no tray menu drawn after a right click on the icon" || return 1
  sleep 0.5
  menu_drawn || failed "the tray menu went away" || return 1
  # Its last item, "掃除の履歴...", clicked (keys may not reach a menu of a
  # desktop without the focus).
  xdotool mousemove $((area_x + BASH_REMATCH[3] + 30)) $((area_y + BASH_REMATCH[4] + BASH_REMATCH[2] - 8)) click 1
  # Inside the virtual desktop the window is a child of the desktop's window;
  # its state and place come from one look (Wine moves a window before it
  # maps it), and once more after it settled.
  history_look() {
    local id
    for id in $(xwininfo -root -tree 2>/dev/null | sed 's/^ *//' | grep -F '"掃除の履歴": (' | awk '{print $1}'); do
      read -r found x y w h _ < <(window_look "$id") || continue
      [[ $found == IsViewable ]] && return 0
    done
    return 1
  }
  wait_progress "$T_WINDOW" history_look || failed "no window \"掃除の履歴\" after the menu item" || return 1
  sleep "$T_SETTLE"
  history_look || failed "the window \"掃除の履歴\" went away" || return 1
  import -window root "$CASE_DIR/screen.png" 2>/dev/null || failed "no screenshot" || return 1
  convert "$CASE_DIR/screen.png" -crop "${w}x$h+$x+$y" +repage "$shot"
  # The copy button sits in the lower right corner of the window; the
  # clipboard is read until the list is there.
  xdotool mousemove $((x + w - 64)) $((y + h - 21)) click 1
  pasted() {
    copied=$(peek_desktop clipboard 2>/dev/null | tr -d '\r')
    [[ $copied == *$'ボタン'* && $copied == *$'一定間隔'* ]]
  }
  wait_progress "$T_WINDOW" pasted || true
  [[ $copied == *$'ボタン'* && $copied == *$'一定間隔'* ]] || failed "the copied list lacks the two cleanings: ${copied:0:300} ($shot)" || return 1
  [[ $(printf '%s\n' "$copied" | sed -n 2p) == *一定間隔* ]] || failed "the newest (interval) cleaning is not first: ${copied:0:300}" || return 1
  close_by_x "$pid" || return 1
  REASON="history window ${w}x$h lists the button and the interval cleaning, newest first; copied $(printf '%s\n' "$copied" | wc -l) lines; $shot"
}

# AutoBackoff: free memory stays below the free-memory threshold whatever a
# cleaning does: Wine is shown a /proc/meminfo with 1 GB free
# (fake_meminfo.c, preloaded into the program only; a program holding the
# real memory would have to take most of this machine's). The cleanings of 5
# minutes, counted in the history file, without and with the back-off.
backoff_run() {
  local flag=$1 dir=$CASE_DIR/backoff-$1 pid
  mkdir -p "$dir" && cp "$EXE" "$dir/norva.exe"
  write_ini "$dir/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[DEFAULT]' 'AutoMemClear=1' \
    'AutoMemMin=1' 'AutoExeSize=2048' 'AutoMemSize=0' 'Memory=5' 'CleanSpeed=2' \
    '[EXTRA]' "AutoBackoff=$flag" 'HistoryFile=1'
  local -x LD_PRELOAD=$CASE_DIR/fake_meminfo.so NORVA_MEMINFO=$CASE_DIR/meminfo
  launch "$dir" main
  pid=$LAST_PID
  wait_main_window "$dir/main.log" || return 1
  # The measure: five minutes of the program's own choices.
  sleep 300
  BACKOFF_COUNT=$(history_lines "$dir")
  close_and_expect_exit "$pid" "$dir/main.log"
}

case_extra_backoff() {
  local T_LIFE=$((T_LIFE + 360 * SLOW)) without with
  gcc -shared -fPIC -O1 -o "$CASE_DIR/fake_meminfo.so" "$HERE/fake_meminfo.c" -ldl 2>"$CASE_DIR/gcc.log" ||
    failed "could not build fake_meminfo.so ($(head -c 300 "$CASE_DIR/gcc.log"))" || return 1
  # The real total and swap; 1 GB free, nothing cached.
  { grep -E '^(MemTotal|SwapTotal|SwapFree):' /proc/meminfo
    printf 'MemFree: %d kB\nBuffers: 0 kB\nCached: 0 kB\n' $((1024 * 1024)); } >"$CASE_DIR/meminfo"
  backoff_run 0 || return 1
  without=$BACKOFF_COUNT
  backoff_run 1 || return 1
  with=$BACKOFF_COUNT
  # With the back-off: at the start, a minute later, two minutes after that
  # (the next one would wait four).
  ((with >= 2 && with <= 4)) || failed "$with cleanings in 5 minutes with AutoBackoff=1 (without: $without)" || return 1
  ((without >= 5 * with)) || failed "only $without cleanings in 5 minutes without the back-off ($with with it)" || return 1
  REASON="cleanings in 5 minutes with free memory held under the threshold: $without with AutoBackoff=0, $with with AutoBackoff=1"
}
