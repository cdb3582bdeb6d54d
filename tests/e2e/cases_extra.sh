# End-to-end cases of the opt-in features of the [EXTRA] section: the balloon
# after a cleaning, the hotkey pressed while another program has the focus,
# cleaning on an interval, the start-up entry in the registry, the memory
# load on the tray icon, and the fourth settings tab at 96 and 144 pixels
# per inch. Sourced by tests/e2e/run.sh after cases_cleaning_window.sh and
# cases_settings.sh, whose helpers it uses.
#
# A cleaning is seen, as in the cleaning cases, by the Sleep(300) of a
# speed-2 cleaning in the relay trace of the program's own process.

ALL_CASES+=(extra_startup_entry extra_tray_load extra_tab extra_balloon extra_hotkey extra_interval)

# Places of the fourth tab "拡張" and of its check box "Windows 起動時に開始".
SET_TAB4='210 12' SET_STARTUP='27 138'

# How many speed-2 cleanings the program whose log is $1 has finished.
cleanings_done() { sleeps "$1" "$2" 0000012c; }

# A balloon after a cleaning started with "[掃除]": the program's
# Shell_NotifyIcon carries the text, the taskbar shows it (screenshot).
case_extra_balloon() {
  write_clean_ini "$CASE_DIR/norva.ini" 2 64 '[EXTRA]' 'FreedNotice=1'
  launch_desktop "$CASE_DIR" main relay
  local pid=$LAST_PID log=$CASE_DIR/main.log hex shot=$OUT/extra-balloon-win$BITS.png
  # Wine's taskbar writes no balloon text into a trace: the balloon is seen
  # as the white box it draws above the notification area, which before the
  # cleaning shows only the desktop's blue.
  local corner="400x150+$((VD_W - 400))+$((VD_H - 180))" before after
  wait_tree_window "$log" || return 1
  hex=$(win_pid_hex "$log") || failed "no process id in the trace" || return 1
  sleep "$T_SETTLE"
  import -window root "$CASE_DIR/before.png" 2>/dev/null || failed "no screenshot" || return 1
  before=$(count_colour "$CASE_DIR/before.png" "$corner" '#FFFFFF')
  xdotool mousemove $((WIN_X + 57)) $((WIN_Y + 8)) click 1
  cleaned() { (($(cleanings_done "$log" "$hex") >= 1)); }
  wait_progress "$T_WINDOW" cleaned || failed "no cleaning after a click on [掃除]" || return 1
  balloon() {
    import -window root "$CASE_DIR/screen.png" 2>/dev/null || return 1
    after=$(count_colour "$CASE_DIR/screen.png" "$corner" '#FFFFFF')
    ((after - before > 3000))
  }
  wait_progress "$T_WINDOW" balloon || failed "no balloon above the tray ($before white pixels before, ${after:-0} after)" || return 1
  convert "$CASE_DIR/screen.png" -crop "400x200+$((VD_W - 400))+$((VD_H - 200))" +repage "$shot"
  close_by_x "$pid" || return 1
  REASON="balloon above the tray after one cleaning ($before -> $after white pixels); taskbar corner saved as $shot"
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

# Ticks or unticks "Windows 起動時に開始" on the fourth tab and presses OK.
toggle_startup() {
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
  wait_dialog_closed
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
