# End-to-end cases of what a screen reader reads and of the keyboard: the
# main window read through oleacc by accessible_peek.exe (built beside the
# exe), its figures compared with the peek's own memory sample, and Tab to
# [掃除] with Enter starting a cleaning. Sourced by tests/e2e/run.sh, whose
# helpers and variables it uses (count_colour and history_lines come from
# the cleaning's and the extras' case files).

ALL_CASES+=(accessible_tree keyboard_clean)

peek_accessible() { timeout -k 5 $((60 * SLOW)) "$LOADER" "$(dirname "$EXE")/accessible_peek.exe" "$@"; }

# The main window read as a reader reads it: the client object, then the
# memory load, the processor load, the nine figures by row and column, and
# the five buttons. Wine is shown a /proc/meminfo that holds still
# (fake_meminfo.c, preloaded into both programs; a 32-bit Wine under
# qemu-i386 is not reached by it, and there each figure need only be within
# 1 % of physical memory of the peek's sample), so the figures the window
# shows are the ones the peek samples itself. Then a reader presses [情報].
case_accessible_tree() {
  [[ -f $(dirname "$EXE")/accessible_peek.exe ]] || failed "accessible_peek.exe not built beside $EXE" || return 1
  gcc -shared -fPIC -O1 -o "$CASE_DIR/fake_meminfo.so" "$HERE/fake_meminfo.c" -ldl 2>"$CASE_DIR/gcc.log" ||
    failed "could not build fake_meminfo.so ($(head -c 300 "$CASE_DIR/gcc.log"))" || return 1
  printf '%s: %d kB\n' MemTotal $((8 << 20)) MemFree $((3 << 20)) Buffers 0 Cached 0 \
    SwapTotal $((2 << 20)) SwapFree $((2 << 20)) >"$CASE_DIR/meminfo"
  local -x LD_PRELOAD=$CASE_DIR/fake_meminfo.so NORVA_MEMINFO=$CASE_DIR/meminfo
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[DEFAULT]' 'ShowCpuUsePer=1'
  launch "$CASE_DIR" main
  local pid=$LAST_PID tree=$CASE_DIR/tree.txt
  wait_main_window "$CASE_DIR/main.log" || return 1
  sleep "$T_SETTLE"
  peek_accessible 2>"$CASE_DIR/peek.log" | tr -d '\r' >"$tree" || true
  cp "$tree" "$OUT/accessible_tree.txt"
  local want got
  want=$(printf '%s\n' メモリ使用率 CPU '物理メモリ 空き' '物理メモリ 使用' '物理メモリ 合計' \
    'ページメモリ 空き' 'ページメモリ 使用' 'ページメモリ 合計' '仮想メモリ 空き' '仮想メモリ 使用' \
    '仮想メモリ 合計' '[設定]' '[掃除]' '[情報]' '▼' '×')
  got=$(awk -F'\t' '$1 == "child" {print $3}' "$tree")
  grep -qP '^client\tNorva\t10\t16$' "$tree" ||
    failed "no client object named Norva with 16 children: $(head -c 300 "$tree" | tr '\n\t' '| ')" || return 1
  [[ $got == "$want" ]] || failed "children $(tr '\n' '|' <<<"$got"), expected $(tr '\n' '|' <<<"$want")" || return 1
  # Figures are read-only texts with a value; buttons are push buttons with an action.
  local bad
  bad=$(awk -F'\t' '$1 == "child" && (($2 <= 11 && ($4 != 41 || $5 == "" || $7 != "")) ||
    ($2 > 11 && ($4 != 43 || $7 == "")))' "$tree")
  [[ -z $bad ]] || failed "wrong role, value or action: $(tr '\n\t' '| ' <<<"$bad")" || return 1
  # Near (within 1 % of physical memory) only where the figures cannot be held still.
  local held='^figures OK 6 '
  ((BITS == 32)) && held='^figures (OK|NEAR) 6 '
  grep -qE "$held" "$tree" || failed "$(grep '^figures' "$tree" || echo "no figures line")" || return 1
  # A reader presses [情報]: the inspector opens.
  local pressed info
  info=$(awk -F'\t' '$1 == "child" && $3 == "[情報]" {print $2}' "$tree")
  pressed=$(peek_accessible press "$info" 2>&1 | tr -d '\r') || failed "the default action of [情報] (child $info) failed: $pressed" || return 1
  inspector_shown() { [[ -n $(find_window 'システム情報 詳細表示' '[0-9]+x[0-9]+') ]]; }
  wait_progress "$T_WINDOW" inspector_shown || failed "no inspector after a reader pressed [情報] ($pressed)" || return 1
  close_and_expect_exit "$pid" "$CASE_DIR/main.log" || return 1
  REASON="16 children in reading order, roles and actions right, figures $(grep -oE '(OK|NEAR) 6 \([^)]*\)' "$tree") ($(awk -F'\t' '$2 == 3 {print $3 "=" $5}' "$tree")); a reader's press of [情報] opened the inspector"
}

# The keyboard alone: Tab marks [設定] and Enter opens the settings, Escape
# closes them and the window has the keyboard again (the system's active
# window is the main one, read by accessible_peek.exe); Tab marks [掃除] (a
# frame in its green inside the button, on the screenshot) and Enter starts
# a cleaning, recorded as a button's. Then the value-change events a WinEvent
# hook hears in 6 s of live figures: some, never two within a second.
case_keyboard_clean() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[DEFAULT]' 'AutoMemSize=1' \
    'Memory=5' 'AutoExeSize=16' 'CleanSpeed=2' '[EXTRA]' 'HistoryFile=1'
  launch "$CASE_DIR" main
  local pid=$LAST_PID shot=$OUT/keyboard_mark.png full=$CASE_DIR/full.png line active
  wait_main_window "$CASE_DIR/main.log" || return 1
  sleep "$T_SETTLE"
  # The body (a caption hit) activates the window; the keys go to it.
  xdotool mousemove $((WIN_X + 100)) $((WIN_Y + 70)) click 1
  xdotool windowfocus --sync "$WIN_ID" 2>/dev/null || true
  xdotool key Tab
  sleep 0.3
  xdotool key Return
  settings_shown() { [[ -n $(find_window 設定画面 '[0-9]+x[0-9]+') ]]; }
  wait_progress "$T_WINDOW" settings_shown || failed "no settings dialog after Tab, Enter" || return 1
  xdotool key Escape
  main_active() {
    active=$(peek_accessible focus 2>/dev/null | tr -d '\r' | grep '^active' || true)
    [[ $active == *'"Norva"' && $active == *NorvaWindow* ]] && ! settings_shown
  }
  wait_progress "$T_WINDOW" main_active || failed "the main window is not the active one after Escape (${active:-no answer})" || return 1
  xdotool key Tab
  # The frame's top line, one pixel inside [掃除] (38..75, from y 1).
  marked() {
    import -window root "$full" 2>/dev/null || return 1
    line=$(count_colour "$full" "34x1+$((WIN_X + 40))+$((WIN_Y + 2))" '#008000')
    ((line >= 30))
  }
  wait_progress "$T_WINDOW" marked || failed "no mark on [掃除] after Tab ($line green pixels on its top line)" || return 1
  convert "$full" -crop "200x80+$WIN_X+$WIN_Y" +repage -scale 400% "$shot" 2>/dev/null
  ((($(history_lines "$CASE_DIR")) == 0)) || failed "a cleaning before Enter" || return 1
  xdotool key Return
  cleaned() { (($(history_lines "$CASE_DIR") >= 1)); }
  wait_progress "$T_WINDOW" cleaned || failed "no cleaning after Enter on the marked [掃除]" || return 1
  local record
  record=$(tail -1 "$CASE_DIR/norva-history.csv" | tr -d '\r')
  [[ $record == *,button,* ]] || failed "the cleaning is not recorded as a button's: $record" || return 1
  # The live figures move: their change is told, at most once a second.
  local events count gap
  events=$(peek_accessible events 6 2>&1 | tr -d '\r')
  read -r _ count _ _ _ _ _ gap _ <<<"$events"
  [[ $count =~ ^[0-9]+$ && $gap =~ ^-?[0-9]+$ ]] || failed "no value-change events heard: $events" || return 1
  ((count >= 1 && count <= 7 && (gap < 0 || gap >= 990))) || failed "value changes told too often or never: $events" || return 1
  close_and_expect_exit "$pid" "$CASE_DIR/main.log" || return 1
  REASON="Tab, Enter opened the settings, Escape gave the window the keyboard back, Tab marked [掃除] ($line green pixels on its frame's top line; $shot), Enter cleaned ($record); $events"
}
