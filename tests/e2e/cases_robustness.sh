# End-to-end cases of the program on today's machines: its text in a prefix
# without the Japanese UI fonts, the magnet under a fast drag, a session end
# during a cleaning, the processor label in a plain prefix, and a save that
# cannot be written (a read-only INI, a full disk). Sourced by tests/e2e/run.sh after
# cases_cleaning_window.sh, whose helpers it uses.

ALL_CASES+=(fonts_without_replacements magnet_fast_drag session_end_during_cleaning
  cpu_label_plain_prefix)
ALL_CASES+=(save_read_only_ini save_full_disk)

# A prefix beside the run's own, made by wineboot alone: none of the font
# replacements and links that make_prefix adds. Kept for later runs.
make_plain_prefix() {
  PLAIN_PREFIX=$PREFIX-plain
  [[ -f $PLAIN_PREFIX/system.reg && -f $PLAIN_PREFIX/.norva-plain ]] && return 0
  boot_prefix "$PLAIN_PREFIX" "$CASE_DIR/plain-boot.log" || failed "wineboot of the plain prefix failed" || return 1
  WINEPREFIX=$PLAIN_PREFIX desktop_taskbar "$VD_NAME" ||
    failed "could not enable the taskbar of the desktop $VD_NAME in the plain prefix" || return 1
  WINEPREFIX=$PLAIN_PREFIX timeout 60 wineserver -w || true
  touch "$PLAIN_PREFIX/.norva-plain"
}

# Starts a copy in $1 (a folder) and shoots the row of buttons once painted;
# closes it. $2 names the screenshot.
shoot_button_row() {
  local dir=$1 name=$2 colours
  write_ini "$dir/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y"
  launch "$dir" "$name"
  local pid=$LAST_PID
  wait_main_window "$dir/$name.log" || return 1
  check_screenshot || return 1
  convert "$SHOT_FILE" -crop 200x17+0+0 +repage "$dir/$name-row.png" || failed "no crop" || return 1
  cp "$SHOT_FILE" "$OUT/$name-win$BITS.png"
  close_and_expect_exit "$pid" "$dir/$name.log" || return 1
}

# With no "ＭＳ Ｐゴシック" / "ＭＳ ゴシック" in the prefix the program draws in
# a stand-in face with the Latin and the Japanese glyphs: its row of buttons
# ("[設定][掃除][情報]", "▼", "×") looks as in the prefix with the
# replacements (the same IPA face stands in there). The tray menu and the
# message box of a second copy are shot for a look.
case_fonts_without_replacements() {
  mkdir -p "$CASE_DIR/normal" "$CASE_DIR/plain"
  cp "$EXE" "$CASE_DIR/normal/norva.exe"
  cp "$EXE" "$CASE_DIR/plain/norva.exe"
  shoot_button_row "$CASE_DIR/normal" with-replacements || return 1
  make_plain_prefix || return 1
  local saved=$WINEPREFIX differ
  export WINEPREFIX=$PREFIX-plain
  plain_prefix_part
  local rc=$?
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  export WINEPREFIX=$saved
  ((rc == 0)) || return 1
  differ=$(compare -metric AE -fuzz 15% "$CASE_DIR/normal/with-replacements-row.png" \
    "$CASE_DIR/plain/plain-row.png" null: 2>&1 || true)
  [[ $differ =~ ^[0-9]+$ ]] || failed "could not compare the rows: $differ" || return 1
  ((differ < 100)) || failed "the row of buttons differs in $differ pixels from the prefix with the fonts ($OUT/plain-win$BITS.png)" || return 1
  REASON="buttons as with the fonts ($differ pixels differ); shots $OUT/plain-win$BITS.png, $OUT/plain-menu-win$BITS.png, $OUT/plain-box-win$BITS.png"
}

plain_prefix_part() {
  local dir=$CASE_DIR/plain
  shoot_button_row "$dir" plain || return 1
  # A second copy's message box.
  write_ini "$dir/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y"
  launch "$dir" first
  local first=$LAST_PID
  wait_main_window "$dir/first.log" || return 1
  mkdir -p "$dir/second"
  cp "$EXE" "$dir/second/norva.exe"
  launch "$dir/second" second msgbox
  local end=$((SECONDS + T_WINDOW))
  until grep -qF 'MSGBOX_OnInit' "$dir/second/second.log" 2>/dev/null; do
    ((SECONDS < end)) || failed "no message box from the second copy" || return 1
    sleep 0.2
  done
  sleep 1
  import -window root "$dir/box.png" 2>/dev/null &&
    convert "$dir/box.png" -crop "480x200+$((SCREEN_W / 2 - 240))+$((SCREEN_H / 2 - 100))" +repage \
      "$OUT/plain-box-win$BITS.png" 2>/dev/null
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  wait "$first" 2>/dev/null || true
  # The tray menu, in a virtual desktop.
  write_ini "$dir/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y"
  launch_desktop "$dir" desktop ""
  wait_tree_window "$dir/desktop.log" || return 1
  find_tray_icon || return 1
  xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
  sleep $((1 * SLOW))
  import -window root "$dir/menu.png" 2>/dev/null &&
    convert "$dir/menu.png" -crop "240x200+$((VD_W - 240))+$((VD_H - 200))" +repage \
      "$OUT/plain-menu-win$BITS.png" 2>/dev/null
  xdotool key Escape
  return 0
}

# Waits up to $3 seconds until window $1 has its left edge at $2; prints its state.
wait_left() {
  local id=$1 want=$2 secs=$3 end st left
  end=$((SECONDS + secs))
  while :; do
    st=$(window_state "$id")
    read -r _ left _ <<<"$st"
    ((left == want)) && { echo "$st"; return 0; }
    ((SECONDS < end)) || { echo "$st"; return 1; }
    sleep 0.05
  done
}

# With Magnet on, a fast drag to the left edge (24 pixels per mouse event, as
# a real mouse reports) snaps the window to 0 and it stays there: the cursor
# moved as far as the window snapped, so the drag does not pull it back. From
# 210 the last step is from 42 to 18 (a fixed 32-pixel jump of the cursor
# would leave the window at 10).
case_magnet_fast_drag() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' 'XPos=210' "YPos=$SHOT_Y" '[DEFAULT]' 'Magnet=1'
  launch "$CASE_DIR" main
  local pid=$LAST_PID st left prev=210 end x1 steps=0
  wait_main_window "$CASE_DIR/main.log" || return 1
  xdotool mousemove $((WIN_X + 100)) $((WIN_Y + 50))
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  while ((prev > 0 && steps < 12)); do
    xdotool mousemove_relative -- -24 0
    steps=$((steps + 1))
    # Each event at a time: wait until the window has followed (or snapped).
    end=$((SECONDS + 5 * SLOW))
    while :; do
      st=$(window_state "$WIN_ID")
      read -r _ left _ <<<"$st"
      ((left != prev || SECONDS >= end)) && break
      sleep 0.05
    done
    ((left != prev)) || { xdotool mouseup 1; failed "the window did not follow the mouse: $st"; return 1; }
    # Within the magnet's reach the snap follows the move: wait for it.
    if ((left > 0 && left < 32)); then
      st=$(wait_left "$WIN_ID" 0 $((5 * SLOW))) || { xdotool mouseup 1; failed "no snap from $left: $st"; return 1; }
      left=0
    fi
    prev=$left
  done
  # The mouse rests a moment before the button goes up.
  sleep 0.5
  x1=$(xdotool getmouselocation | sed -nE 's/^x:([0-9-]+) .*/\1/p')
  xdotool mouseup 1
  sleep 0.3
  st=$(window_state "$WIN_ID")
  [[ $st == "IsViewable 0 $SHOT_Y" ]] || failed "after the drag: $st, expected at 0,$SHOT_Y" || return 1
  ((x1 == 100)) ||
    failed "cursor at x $x1 after the snap, expected 100 (the grab, 100 pixels right of the left edge at 0)" || return 1
  close_and_expect_exit "$pid" "$CASE_DIR/main.log" || return 1
  REASON="$steps moves of 24 pixels: snapped from $((210 - 24 * steps)) to 0 and stayed, cursor at $x1"
}

# A log-off or shutdown (wineboot --end-session) during a cleaning is not
# refused: every window answers WM_QUERYENDSESSION with 1 and the settings
# are written at once. (Wine then ends the processes that agreed.)
case_session_end_during_cleaning() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[DEFAULT]' 'AutoMemSize=1' \
    'Memory=10' 'AutoExeSize=1' 'CleanSpeed=0'
  launch "$CASE_DIR" main relay
  local pid=$LAST_PID log=$CASE_DIR/main.log hex end rc=0 n10 answers refused
  wait_main_window "$log" || return 1
  hex=$(win_pid_hex "$log") || failed "no process id in the trace" || return 1
  rm -f "$CASE_DIR/norva.ini"
  sleep "$T_SETTLE"
  xdotool mousemove $((WIN_X + 57)) $((WIN_Y + 8)) click 1
  end=$((SECONDS + T_WINDOW))
  until (($(sleeps "$log" "$hex" 0000000a) > 0)); do
    ((SECONDS < end)) || failed "no cleaning started by a click on [掃除]" || return 1
    sleep 0.1
  done
  timeout $((60 * SLOW)) "$WINE64" wineboot --end-session >"$CASE_DIR/wineboot.log" 2>&1 || rc=$?
  n10=$(sleeps "$log" "$hex" 0000000a)
  ((n10 < 100)) || failed "the cleaning had ended before the session end came" || return 1
  answers=$(proc_lines "$log" "$hex" | grep -c 'Ret  window proc .*msg=WM_QUERYENDSESSION' || true)
  refused=$(proc_lines "$log" "$hex" | grep 'Ret  window proc .*msg=WM_QUERYENDSESSION' | grep -vc 'retval=00000001' || true)
  ((answers > 0 && refused == 0)) || failed "WM_QUERYENDSESSION answered $answers times, refused $refused times" || return 1
  ((rc == 0)) || failed "the session end was refused (wineboot exit code $rc)" || return 1
  expect_all_keys "$CASE_DIR/norva.ini" || return 1
  if wait_exit "$pid" "$T_EXIT"; then
    REASON="allowed during step $n10 of 100, every key written, Wine ended the program"
  else
    close_and_expect_exit "$pid" "$log" || return 1
    REASON="allowed during step $n10 of 100, every key written, closed normally afterwards"
  fi
}

# The processor label's texts drawn into its rectangle ($2: "49,12" at 96
# DPI, "74,18" at 144) in log $1, one a line.
cpu_label_texts() {
  grep -aoE "trace:text:DrawTextExW L\"[^\"]*\", -?[0-9]+, \[\(0,0\)-\($2\)\]" "$1" 2>/dev/null |
    sed -nE 's/.*L"([^"]*)".*/\1/p'
}

# One start in the plain prefix at $1 DPI (label rectangle $2, window size
# $3): the label shows the word with every load it draws, never a bare number.
cpu_label_at() {
  local dpi=$1 rect=$2 size=$3 dir=$CASE_DIR/dpi$1 found shot texts bare
  mkdir -p "$dir"
  cp "$EXE" "$dir/norva.exe"
  write_ini "$dir/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[DEFAULT]' 'ShowCpuUsePer=1'
  set_log_pixels "$([[ $dpi == 96 ]] || echo "$dpi")"
  launch "$dir" main trace+text
  found=$(wait_window Norva "$size" "$T_WINDOW") || failed "no $size main window at $dpi DPI" || return 1
  read -r WIN_ID WIN_X WIN_Y <<<"$found"
  # A few loads: the first tick primes the probe, the next ones measure.
  labelled() { (($(cpu_label_texts "$dir/main.log" "$rect" | sort -u | wc -l) >= 2)); }
  wait_progress "$T_WINDOW" labelled || failed "the label drew $(cpu_label_texts "$dir/main.log" "$rect" | sort -u | wc -l) texts at $dpi DPI" || return 1
  shot=$OUT/cpu-label-plain-${dpi}dpi-win$BITS.png
  import -window root "$dir/screen.png" 2>/dev/null &&
    convert "$dir/screen.png" -crop "${size}+$WIN_X+$WIN_Y" +repage -scale 200% "$shot" 2>/dev/null
  texts=$(cpu_label_texts "$dir/main.log" "$rect" | sort -u | tr '\n' '|')
  bare=$(cpu_label_texts "$dir/main.log" "$rect" | grep -v '^CPU:\? *[0-9]\+%$' | head -1)
  [[ -z $bare ]] || failed "at $dpi DPI the label drew \"$bare\" (all: $texts; $shot)" || return 1
  close_and_expect_exit "$LAST_PID" "$dir/main.log" || return 1
  LABEL_TEXTS+="$dpi DPI: $texts $shot; "
}

# In a prefix without the Japanese faces (the stand-ins are wider) the
# processor label keeps its word at 96 and 144 DPI.
case_cpu_label_plain_prefix() {
  make_plain_prefix || return 1
  local saved=$WINEPREFIX rc=0
  export WINEPREFIX=$PREFIX-plain
  LABEL_TEXTS=
  cpu_label_at 96 49,12 200x80 && cpu_label_at 144 74,18 300x120 || rc=1
  stop_programs
  set_log_pixels ""
  export WINEPREFIX=$saved
  ((rc == 0)) || return 1
  REASON="label texts ${LABEL_TEXTS% }"
}

# Closes the copy ($1, log $2, started with the msgbox channel) whose save
# must fail: exactly one message box "設定を保存できませんでした。…" naming
# the file ($3) comes up, is shot ($4) and dismissed with Return; the
# program then ends with 0.
close_through_save_failure() {
  local pid=$1 log=$2 ini=$3 shot=$4 box
  close_program "$log" || return 1
  wait_error_box "$log" "the close" || return 1
  local text=$BOX_TEXT
  box=$BOX
  [[ $text == *"$(wine_escape '設定を保存できませんでした。')"* ]] ||
    failed "the box says something else: $text" || return 1
  [[ $text == *"$(wine_escape "$(basename "$ini")")"* ]] || failed "the box does not name the file: $text" || return 1
  # The shot once the box has painted (more than one colour where it lies).
  local geo x y w h
  geo=$(xdotool getwindowgeometry --shell "$box" 2>/dev/null)
  x=$(sed -n 's/^X=//p' <<<"$geo"); y=$(sed -n 's/^Y=//p' <<<"$geo")
  w=$(sed -n 's/^WIDTH=//p' <<<"$geo"); h=$(sed -n 's/^HEIGHT=//p' <<<"$geo")
  box_painted() {
    import -window root "$shot" 2>/dev/null &&
      (($(convert "$shot" -crop "${w}x${h}+$x+$y" +repage -format '%k' info: 2>/dev/null) > 1))
  }
  # Under Xvfb the box can stay unpainted in a root shot; the case does not
  # depend on the picture.
  wait_progress $((5 * SLOW)) box_painted || true
  xdotool windowfocus --sync "$box" key Return 2>/dev/null || xdotool key Return
  wait_exit "$pid" "$T_EXIT" || failed "still running ${T_EXIT}s after the box was dismissed" || return 1
  ((EXIT_CODE == 0)) || failed "exit code $EXIT_CODE" || return 1
  local boxes
  boxes=$(grep -c 'MSGBOX_OnInit' "$log")
  ((boxes == 1)) || failed "$boxes message boxes, expected one" || return 1
}

# A read-only norva.ini: the changes of the run cannot be saved; the file
# stays byte for byte, the close says so once and the program ends.
case_save_read_only_ini() {
  write_ini "$CASE_DIR/norva.ini" '; kept by the user' '[SYSTEM]' 'XPos=100' 'YPos=50' '[Notes]' 'Note1=must survive'
  cp "$CASE_DIR/norva.ini" "$CASE_DIR/before.ini"
  chmod 444 "$CASE_DIR/norva.ini"
  launch "$CASE_DIR" main msgbox
  local pid=$LAST_PID
  wait_main_window "$CASE_DIR/main.log" || return 1
  close_through_save_failure "$pid" "$CASE_DIR/main.log" "$CASE_DIR/norva.ini" "$OUT/save-read-only-win$BITS.png" || return 1
  cmp -s "$CASE_DIR/norva.ini" "$CASE_DIR/before.ini" || failed "the read-only INI changed" || return 1
  [[ ! -e $CASE_DIR/norva.ini.new ]] || failed "norva.ini.new was left behind" || return 1
  REASON="one box naming the file, file unchanged, exit 0; shot $OUT/save-read-only-win$BITS.png"
}

# A full file system (a small tmpfs, filled up): the close cannot write the
# new file; the old one keeps every byte, the close says so once and the
# program ends.
case_save_full_disk() {
  [[ $(id -u) == 0 ]] || { REASON="skipped: mounting a small file system needs root"; return 0; }
  local mnt=$CASE_DIR/small
  mkdir -p "$mnt"
  mount -t tmpfs -o size=2m norva-full "$mnt" || failed "could not mount a tmpfs" || return 1
  cp "$EXE" "$mnt/norva.exe"
  local notes=() i
  for ((i = 0; i < 120; i++)); do notes+=("Note$(printf %03d "$i")=kept by the user, must survive"); done
  write_ini "$mnt/norva.ini" '[SYSTEM]' 'XPos=100' 'YPos=50' '[Notes]' "${notes[@]}" '[Last]' 'k=v'
  cp "$mnt/norva.ini" "$CASE_DIR/before.ini"
  dd if=/dev/zero of="$mnt/fill" bs=4k 2>/dev/null || true
  # As launch does, but with the log outside the full file system.
  (cd "$mnt" && WINEDEBUG="+pid,+loaddll,msgbox" exec timeout -k 5 "$T_LIFE" "$LOADER" "$mnt/norva.exe") \
    >"$CASE_DIR/main.log" 2>&1 </dev/null &
  local pid=$! rc=0
  PIDS+=("$pid")
  wait_main_window "$CASE_DIR/main.log" && close_through_save_failure "$pid" "$CASE_DIR/main.log" "$mnt/norva.ini" "$OUT/save-full-disk-win$BITS.png" || rc=1
  if ((rc == 0)); then
    cmp -s "$mnt/norva.ini" "$CASE_DIR/before.ini" || { failed "norva.ini changed on the full disk"; rc=1; }
    [[ ! -e $mnt/norva.ini.new ]] || { failed "norva.ini.new was left behind"; rc=1; }
  fi
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  umount "$mnt" 2>/dev/null || umount -l "$mnt"
  ((rc == 0)) || return 1
  REASON="one box naming the file, $(wc -c <"$CASE_DIR/before.ini")-byte file unchanged, exit 0; shot $OUT/save-full-disk-win$BITS.png"
}
