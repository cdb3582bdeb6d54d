# End-to-end cases of the cleaning and of the window's behaviours: the -exec
# switch at each speed, the stop button, the full-screen progress display,
# dragging, the magnet, hiding under the mouse and the tray icon's menu.
# Sourced by tests/e2e/run.sh, whose helpers and variables it uses.
#
# How a cleaning is seen from outside: the program waits 10 ms before every
# step of a stepped cleaning (100 steps at speed 0, 10 at speed 1), 100 ms
# after the last one, and 300 ms after the single pass of speed 2. A relay
# trace of Sleep (RelayInclude in run.sh) counts those calls in the program's
# own process: the number of steps taken, without timing anything.
#
# The cleanings are kept small: AutoMemSize=1 with Memory=5 (the least share
# there is) sizes a cleaning at 5 % of physical memory, or AutoExeSize MB
# when that is more.

ALL_CASES+=(exec_speed_0 exec_speed_1 exec_speed_2 exec_without_dash exec_second_argument
  stop_button overlay_screenshot drag drag_by_buttons_does_not_move magnet_left_edge
  hide_under_mouse tray_menu_exit minimise_restore exec_hotkey_held close_with_tray_menu_open
  close_after_menu_window_closed
  close_after_tray_and_drags close_after_inspector_and_tray)

# The virtual desktop of the tray cases (Wine's explorer with a taskbar and a
# notification area); it opens at the screen's top-left corner.
VD_NAME=norva-e2e VD_W=1024 VD_H=768

# Like launch, with command-line arguments after the channels.
launch_args() {
  local dir=$1 name=$2 channels=$3
  shift 3
  (cd "$dir" && WINEDEBUG="+pid,+loaddll${channels:+,$channels}" exec timeout -k 5 "$T_LIFE" "$LOADER" "$dir/norva.exe" "$@") \
    >"$dir/$name.log" 2>&1 </dev/null &
  LAST_PID=$!
  PIDS+=("$LAST_PID")
}

# Starts DIR/norva.exe inside a virtual desktop. LAST_PID is the desktop's
# explorer, which ends about a second after the last program on it has ended.
launch_desktop() {
  local dir=$1 name=$2 channels=$3
  shift 3
  (cd "$dir" && WINEDEBUG="+pid,+loaddll${channels:+,$channels}" exec timeout -k 5 "$T_LIFE" "$WINE64" explorer \
    "/desktop=$VD_NAME,${VD_W}x$VD_H" "$(winpath "$dir/norva.exe")" "$@") >"$dir/$name.log" 2>&1 </dev/null &
  LAST_PID=$!
  PIDS+=("$LAST_PID")
}

# Closes the program in a virtual desktop with its "×" (taskkill, on the
# default desktop, does not see the windows of another desktop); waits for
# the desktop's explorer $1 to end.
close_by_x() {
  xdotool mousemove $((WIN_X + 190)) $((WIN_Y + 8)) click 1
  wait_exit "$1" "$T_EXIT" || failed "still running ${T_EXIT}s after a click on ×" || return 1
}

# "ID X Y" of the viewable 200x80 "Norva" window anywhere in the window tree
# (inside a virtual desktop the program's windows are children of the
# desktop's window); the position is absolute.
find_tree_window() {
  local id state x y w h
  while read -r id; do
    read -r state x y w h _ < <(window_look "$id") || continue
    if [[ $state == IsViewable && ${w}x$h == 200x80 ]]; then
      echo "$id $x $y"
      return 0
    fi
  done < <(xwininfo -root -tree 2>/dev/null | sed 's/^ *//' | grep -F '"Norva": (' | awk '{print $1}')
  return 0
}

# Waits for find_tree_window; sets WIN_ID, WIN_X, WIN_Y.
wait_tree_window() {
  local found=
  tree_window_shown() { found=$(find_tree_window) && [[ -n $found ]]; }
  if wait_progress "$T_WINDOW" tree_window_shown; then
    read -r WIN_ID WIN_X WIN_Y <<<"$found"
    return 0
  fi
  failed "no visible 200x80 window \"Norva\" (no progress for ${T_WINDOW}s; $(tail -c 300 "$1" | tr '\n' ' '))"
}

# "STATE X Y" of X window $1 (STATE: IsViewable, IsUnMapped, IsUnviewable).
window_state() { window_look "$1" | cut -d' ' -f1-3; }

# Waits up to $3 seconds until window $1 is in map state $2; prints its "STATE X Y".
wait_state() {
  local id=$1 want=$2 secs=$3 end st
  end=$((SECONDS + secs))
  while :; do
    st=$(window_state "$id")
    [[ ${st%% *} == "$want" ]] && { echo "$st"; return 0; }
    ((SECONDS < end)) || { echo "$st"; return 1; }
    sleep 0.05
  done
}

# The pixels of exactly colour $3 (e.g. #00FF00) in the rectangle $2 (WxH+X+Y) of image $1.
count_colour() {
  convert "$1" -crop "$2" +repage -fill black +opaque "$3" -fill white -opaque "$3" \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null || echo 0
}

# How often the program's own process called Sleep with argument $3 (hex, 8
# digits), from the relay trace in log $1 of process $2.
sleeps() { proc_lines "$1" "$2" | grep -c "Call KERNEL32\.Sleep($3)" || true; }

# A settings file for a small cleaning at speed $2 (least size $3 MB), window
# at the screenshot place, and any further lines.
write_clean_ini() {
  local ini=$1 speed=$2 mb=$3
  shift 3
  write_ini "$ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[DEFAULT]' 'AutoMemSize=1' 'Memory=5' \
    "AutoExeSize=$mb" "CleanSpeed=$speed" "$@"
}

# Runs norva.exe with the arguments given until it ends by itself; checks exit
# code 0, every key written, and the Sleep calls of the cleaning: $1 of 10 ms,
# $2 of 100 ms, $3 of 300 ms. Sets EXEC_HEX.
run_exec_expect() {
  local want10=$1 want100=$2 want300=$3 log=$CASE_DIR/main.log
  shift 3
  launch_args "$CASE_DIR" main relay,systray "$@"
  local pid=$LAST_PID
  wait_exit "$pid" "$T_LIFE" || failed "still running after ${T_LIFE}s" || return 1
  ((EXIT_CODE == 0)) || failed "exit code $EXIT_CODE ($(grep -m3 -iE 'unhandled|err:seh' "$log" | tr '\n' ' '))" || return 1
  EXEC_HEX=$(win_pid_hex "$log" 1) || failed "no process id in the trace" || return 1
  expect_all_keys "$CASE_DIR/norva.ini" || return 1
  local n10 n100 n300 mods
  n10=$(sleeps "$log" "$EXEC_HEX" 0000000a)
  n100=$(sleeps "$log" "$EXEC_HEX" 00000064)
  n300=$(sleeps "$log" "$EXEC_HEX" 0000012c)
  ((n10 == want10 && n100 == want100 && n300 == want300)) ||
    failed "Sleep calls 10/100/300 ms: $n10/$n100/$n300, expected $want10/$want100/$want300" || return 1
  # The tray icon changes at the start and at the end of the cleaning.
  mods=$(proc_lines "$log" "$EXEC_HEX" | grep -c 'Shell_NotifyIconW dwMessage = 1,' || true)
  ((mods >= 2)) || failed "$mods tray icon changes (NIM_MODIFY), expected the cleaning's two" || return 1
  REASON="$* -> exit 0, every key written, $n10 steps of 10 ms, holds $n100 x 100 ms / $n300 x 300 ms, $mods tray changes"
}

# One cleaning of 64 MB in 100 steps, then the program ends.
case_exec_speed_0() {
  write_clean_ini "$CASE_DIR/norva.ini" 0 64
  run_exec_expect 100 1 0 -exec
}

# 10 steps; the switch in mixed case.
case_exec_speed_1() {
  write_clean_ini "$CASE_DIR/norva.ini" 1 64
  run_exec_expect 10 1 0 -Exec
}

# One pass; the slash form in capitals.
case_exec_speed_2() {
  write_clean_ini "$CASE_DIR/norva.ini" 2 64
  run_exec_expect 0 0 1 /EXEC
}

# The program runs normally with the arguments given: no cleaning (no Sleep
# of a cleaning, no tray change), the window stays, a normal close.
expect_no_cleaning() {
  write_clean_ini "$CASE_DIR/norva.ini" 0 64
  launch_args "$CASE_DIR" main relay,systray "$@"
  local pid=$LAST_PID log=$CASE_DIR/main.log hex
  wait_main_window "$log" || return 1
  sleep $((T_SETTLE + 2))
  kill -0 "$pid" 2>/dev/null || failed "the program ended by itself" || return 1
  [[ -n $(find_window Norva 200x80) ]] || failed "the window went away" || return 1
  hex=$(win_pid_hex "$log") || failed "no process id in the trace" || return 1
  local n
  n=$(($(sleeps "$log" "$hex" 0000000a) + $(sleeps "$log" "$hex" 0000012c)))
  ((n == 0)) || failed "a cleaning ran ($n Sleep calls of a cleaning)" || return 1
  ! proc_lines "$log" "$hex" | grep -q 'Shell_NotifyIconW dwMessage = 1,' ||
    failed "the tray icon changed (a cleaning's \"掃除中...\")" || return 1
  close_and_expect_exit "$pid" "$log" || return 1
  expect_all_keys "$CASE_DIR/norva.ini" || return 1
  REASON="$* -> no cleaning, still running after $((T_SETTLE + 2))s, closed normally with every key"
}

case_exec_without_dash() { expect_no_cleaning exec; }
case_exec_second_argument() { expect_no_cleaning other -exec; }

# A click on "中断" during a 1 GB cleaning at speed 0 ends it before its
# 100 steps; the program then saves and ends as after a full cleaning.
case_stop_button() {
  write_clean_ini "$CASE_DIR/norva.ini" 0 1024
  launch_args "$CASE_DIR" main relay -exec
  local pid=$LAST_PID log=$CASE_DIR/main.log shot=$CASE_DIR/cleaning.png end seen=0
  wait_main_window "$log" || return 1
  # The yellow status line over the top row says the cleaning runs.
  end=$((SECONDS + T_WINDOW))
  while ((SECONDS < end)) && kill -0 "$pid" 2>/dev/null; do
    import -window root "$shot" 2>/dev/null || continue
    if (($(count_colour "$shot" "160x15+$((WIN_X + 40))+$WIN_Y" '#FFFF00') > 500)); then
      seen=1
      break
    fi
    sleep 0.1
  done
  ((seen)) || failed "no yellow status line seen during the cleaning" || return 1
  cp "$shot" "$OUT/stop-button-win$BITS.png"
  xdotool mousemove $((WIN_X + 18)) $((WIN_Y + 8)) click 1
  wait_exit "$pid" "$T_LIFE" || failed "still running ${T_LIFE}s after the click" || return 1
  ((EXIT_CODE == 0)) || failed "exit code $EXIT_CODE" || return 1
  expect_all_keys "$CASE_DIR/norva.ini" || return 1
  local hex n10 n100
  hex=$(win_pid_hex "$log" 1) || failed "no process id in the trace" || return 1
  n10=$(sleeps "$log" "$hex" 0000000a)
  n100=$(sleeps "$log" "$hex" 00000064)
  ((n10 > 0 && n10 < 100)) || failed "$n10 steps taken, expected fewer than 100 after the click" || return 1
  ((n100 == 1)) || failed "$n100 holds of 100 ms after the loop, expected 1" || return 1
  REASON="stopped after $n10 of 100 steps, the end hold ran, exit 0 with every key"
}

# With OverAction on, a cleaning started by "[掃除]" paints the green bar and
# " ﾒﾓﾘﾃﾞﾌﾗｸﾞ:" over the lower fifth of the screen and erases the bar band
# at its end (the label's line just above the band is left as it is). In a
# virtual desktop, whose own window repaints there: on the bare X root
# nothing repaints what was drawn.
case_overlay_screenshot() {
  write_clean_ini "$CASE_DIR/norva.ini" 0 512 OverAction=1
  launch_desktop "$CASE_DIR" main ""
  local pid=$LAST_PID log=$CASE_DIR/main.log shot=$CASE_DIR/shot.png end green=0 top
  wait_tree_window "$log" || return 1
  sleep "$T_SETTLE"
  top=$(((VD_H / 5) * 4))
  local band="${VD_W}x$((VD_H - top))+0+$top"
  import -window root "$shot" 2>/dev/null
  (($(count_colour "$shot" "$band" '#00FF00') == 0)) || failed "green in the lower fifth before any cleaning" || return 1
  xdotool mousemove $((WIN_X + 56)) $((WIN_Y + 8)) click 1
  end=$((SECONDS + 20 * SLOW))
  while ((SECONDS < end)); do
    import -window root "$shot" 2>/dev/null || continue
    green=$(count_colour "$shot" "$band" '#00FF00')
    # More than the label and the ten empty squares (some 13,700 pixels at
    # 1024x768): at least one filled square.
    ((green > 16000)) && break
    sleep 0.2
  done
  ((green > 16000)) || failed "no green bar in the lower fifth during the cleaning ($green green pixels)" || return 1
  local during=$OUT/overlay-during-win$BITS.png after=$OUT/overlay-after-win$BITS.png
  cp "$shot" "$during"
  # Its end: the status line gone, the top row's buttons back.
  end=$((SECONDS + 60 * SLOW))
  local left=-1
  while ((SECONDS < end)); do
    import -window root "$shot" 2>/dev/null || continue
    if (($(count_colour "$shot" "160x15+$((WIN_X + 40))+$WIN_Y" '#FFFF00') == 0)); then
      sleep 1
      import -window root "$shot" 2>/dev/null
      left=$(count_colour "$shot" "$band" '#00FF00')
      break
    fi
    sleep 0.2
  done
  cp "$shot" "$after"
  ((left >= 0)) || failed "the cleaning did not end (status line still up)" || return 1
  ((left == 0)) || failed "$left green pixels left in the bar band after the cleaning ($after)" || return 1
  kill -0 "$pid" 2>/dev/null || failed "the desktop ended" || return 1
  close_by_x "$pid" || return 1
  expect_all_keys "$CASE_DIR/norva.ini" || return 1
  REASON="bar seen ($green green pixels in the lower fifth: $during), erased at the end ($after)"
}

# Press at $1,$2 (relative to the window), move by $3,$4 in steps, release.
drag_by() {
  local x=$((WIN_X + $1)) y=$((WIN_Y + $2)) dx=$3 dy=$4 i
  xdotool mousemove "$x" "$y"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  for i in 1 2 3 4 5; do
    xdotool mousemove $((x + dx * i / 5)) $((y + dy * i / 5))
    sleep 0.1
  done
  sleep 0.3
  xdotool mouseup 1
  sleep 0.3
}

# Dragged by its body the window follows the mouse; the position is written
# at close.
case_drag() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y"
  launch "$CASE_DIR" main
  local pid=$LAST_PID st
  wait_main_window "$CASE_DIR/main.log" || return 1
  drag_by 60 50 70 40
  st=$(window_state "$WIN_ID")
  [[ $st == "IsViewable $((SHOT_X + 70)) $((SHOT_Y + 40))" ]] ||
    failed "after a drag by (70,40) from the body: $st, expected at $((SHOT_X + 70)),$((SHOT_Y + 40))" || return 1
  read -r _ WIN_X WIN_Y <<<"$st"
  # The processor-load strip of the top row drags too.
  drag_by 130 8 -30 20
  st=$(window_state "$WIN_ID")
  [[ $st == "IsViewable $((SHOT_X + 40)) $((SHOT_Y + 60))" ]] ||
    failed "after a drag by (-30,20) from the strip at x 130: $st, expected at $((SHOT_X + 40)),$((SHOT_Y + 60))" || return 1
  close_and_expect_exit "$pid" "$CASE_DIR/main.log" || return 1
  local x y
  x=$(ini_value "$CASE_DIR/norva.ini" SYSTEM/XPos) y=$(ini_value "$CASE_DIR/norva.ini" SYSTEM/YPos)
  [[ $x == $((SHOT_X + 40)) && $y == $((SHOT_Y + 60)) ]] ||
    failed "INI after close: XPos=$x YPos=$y, expected $((SHOT_X + 40)) and $((SHOT_Y + 60))" || return 1
  REASON="moved by the body and by the strip to $x,$y; written back"
}

# Pressing where the top row is not a drag area does not move the window:
# on "▼" (then released outside it, so it does not minimise), and on the
# row just above the body (y = 18); one row lower (y = 19) drags.
case_drag_by_buttons_does_not_move() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y"
  launch "$CASE_DIR" main
  local pid=$LAST_PID st
  wait_main_window "$CASE_DIR/main.log" || return 1
  drag_by 174 8 0 120
  st=$(window_state "$WIN_ID")
  [[ $st == "IsViewable $SHOT_X $SHOT_Y" ]] || failed "after pressing on ▼ and moving away: $st, expected unmoved at $SHOT_X,$SHOT_Y" || return 1
  drag_by 100 18 50 50
  st=$(window_state "$WIN_ID")
  [[ $st == "IsViewable $SHOT_X $SHOT_Y" ]] || failed "after pressing at y 18: $st, expected unmoved" || return 1
  drag_by 100 19 50 50
  st=$(window_state "$WIN_ID")
  [[ $st == "IsViewable $((SHOT_X + 50)) $((SHOT_Y + 50))" ]] || failed "after pressing at y 19: $st, expected moved by (50,50)" || return 1
  close_and_expect_exit "$pid" "$CASE_DIR/main.log" || return 1
  REASON="▼ and y 18 do not drag; y 19 does"
}

# With Magnet on, the window dragged leftwards pixel by pixel snaps to the
# left edge when its left side comes within 32 pixels, and the cursor jumps
# 32 pixels left of where it was at the previous move.
case_magnet_left_edge() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' 'XPos=60' "YPos=$SHOT_Y" '[DEFAULT]' 'Magnet=1'
  launch "$CASE_DIR" main
  local pid=$LAST_PID st x y=$((SHOT_Y + 50)) left prev_left=60 prev_x snapped=
  wait_main_window "$CASE_DIR/main.log" || return 1
  x=$((WIN_X + 100))
  xdotool mousemove "$x" "$y"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  local end
  while ((x > 100)); do
    prev_x=$x
    x=$((x - 1))
    xdotool mousemove "$x" "$y"
    # One move at a time: wait until the window has followed (or snapped),
    # so that the program's previous cursor position is the one sent before.
    # Within the magnet's reach, wait for the snap itself: a move sent while
    # the window still shows the step before it would pull it back.
    end=$((SECONDS + 3 * SLOW))
    while :; do
      st=$(window_state "$WIN_ID")
      read -r _ left _ <<<"$st"
      ((left == 0 || (left == prev_left - 1 && left >= 32) || SECONDS >= end)) && break
      sleep 0.05
    done
    if ((left == 0 && prev_left > 1)); then
      snapped=$prev_left
      break
    fi
    if ((left != prev_left - 1)); then
      xdotool mouseup 1
      failed "the window did not follow the mouse: $st after the move to x $x"
      return 1
    fi
    prev_left=$left
  done
  local cursor
  cursor=$(xdotool getmouselocation | sed -nE 's/^x:([0-9-]+) .*/\1/p')
  xdotool mouseup 1
  sleep 0.3
  [[ -n $snapped ]] || failed "no snap to the left edge: the window reached $st" || return 1
  ((snapped == 32)) || failed "snapped from left $snapped, expected from 32 (the move to 31)" || return 1
  ((cursor == prev_x - 32)) || failed "cursor at x $cursor after the snap, expected $((prev_x - 32)) (32 left of $prev_x)" || return 1
  st=$(window_state "$WIN_ID")
  [[ $st == "IsViewable 0 $SHOT_Y" ]] || failed "after the release: $st, expected at 0,$SHOT_Y" || return 1
  close_and_expect_exit "$pid" "$CASE_DIR/main.log" || return 1
  local ix
  ix=$(ini_value "$CASE_DIR/norva.ini" SYSTEM/XPos)
  [[ $ix == 0 ]] || failed "INI XPos=$ix after close, expected 0" || return 1
  REASON="left 32 -> 31 snapped to 0, cursor moved from $prev_x to $cursor, XPos=0 written"
}

# With DontCatch on, the mouse on the window hides it; once the mouse has
# left its rectangle the main timer shows it again.
case_hide_under_mouse() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[DEFAULT]' 'DontCatch=1'
  xdotool mousemove 10 $((SHOT_Y + 300))
  launch "$CASE_DIR" main
  local pid=$LAST_PID st
  wait_main_window "$CASE_DIR/main.log" || return 1
  sleep "$T_SETTLE"
  xdotool mousemove $((WIN_X + 100)) $((WIN_Y + 50))
  st=$(wait_state "$WIN_ID" IsUnMapped $((5 * SLOW))) || failed "still shown with the mouse on it: $st" || return 1
  sleep 1
  st=$(window_state "$WIN_ID")
  [[ ${st%% *} == IsUnMapped ]] || failed "came back while the mouse stayed on its place: $st" || return 1
  xdotool mousemove $((WIN_X + 300)) $((WIN_Y + 50))
  st=$(wait_state "$WIN_ID" IsViewable $((5 * SLOW))) || failed "not shown again after the mouse left: $st" || return 1
  [[ $st == "IsViewable $WIN_X $WIN_Y" ]] || failed "shown again at the wrong place: $st" || return 1
  xdotool mousemove 10 $((SHOT_Y + 300))
  close_and_expect_exit "$pid" "$CASE_DIR/main.log" || return 1
  REASON="hidden under the mouse, shown again at $WIN_X,$WIN_Y after it left"
}

# The tray icon in the desktop's notification area: the bounding box of what
# is not the taskbar's white in the right end of the taskbar. Sets TRAY_X, TRAY_Y.
find_tray_icon() {
  local shot=$CASE_DIR/tray.png end box w h x y
  end=$((SECONDS + 10 * SLOW))
  while ((SECONDS < end)); do
    import -window root "$shot" 2>/dev/null || continue
    box=$(convert "$shot" -crop "100x20+$((VD_W - 100))+$((VD_H - 20))" +repage -fuzz 10% \
      -fill black +opaque white -format '%@' info: 2>/dev/null || true)
    if [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]; then
      w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
      if ((w >= 8 && w <= 24 && h >= 8 && h <= 20)); then
        TRAY_X=$((VD_W - 100 + x + w / 2)) TRAY_Y=$((VD_H - 20 + y + h / 2))
        return 0
      fi
    fi
    sleep 0.5
  done
  failed "no tray icon found in the taskbar's right end (last box: ${box:-none})"
}

# Right-click on the tray icon opens the menu; its last item, "終了", closes
# the program, which removes its icon and writes its settings.
case_tray_menu_exit() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y"
  launch_desktop "$CASE_DIR" main systray
  local pid=$LAST_PID log=$CASE_DIR/main.log hex menu=$OUT/tray-menu-win$BITS.png
  wait_tree_window "$log" || return 1
  hex=$(win_pid_hex "$log") || failed "no process id in the trace" || return 1
  find_tray_icon || return 1
  xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
  sleep $((1 * SLOW))
  import -window root "$CASE_DIR/menu.png" 2>/dev/null
  convert "$CASE_DIR/menu.png" -crop "240x200+$((VD_W - 240))+$((VD_H - 200))" +repage "$menu" 2>/dev/null
  [[ -n $(find_tree_window) ]] || failed "the window went away when the menu opened" || return 1
  # Up from no selection selects the last item.
  xdotool key Up
  sleep 0.3
  xdotool key Return
  local end=$((SECONDS + T_EXIT))
  while [[ -n $(find_tree_window) ]] && ((SECONDS < end)); do sleep 0.2; done
  [[ -z $(find_tree_window) ]] || failed "the window is still shown after \"終了\" (menu: $menu)" || return 1
  wait_exit "$pid" "$T_EXIT" || failed "the desktop still runs ${T_EXIT}s after \"終了\"" || return 1
  ! grep -qiE 'unhandled exception|unhandled page fault' "$log" || failed "$(grep -m1 -iE 'unhandled' "$log")" || return 1
  proc_lines "$log" "$hex" | grep -q 'Shell_NotifyIconW dwMessage = 2,' || failed "no NIM_DELETE: the program did not close normally" || return 1
  expect_all_keys "$CASE_DIR/norva.ini" || return 1
  REASON="icon at $TRAY_X,$TRAY_Y, menu opened ($menu), \"終了\" closed the program, icon removed, every key written"
}

# "▼" hides the window to the tray; a double-click on the tray icon shows it
# again.
case_minimise_restore() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y"
  launch_desktop "$CASE_DIR" main ""
  local pid=$LAST_PID log=$CASE_DIR/main.log st
  wait_tree_window "$log" || return 1
  find_tray_icon || return 1
  sleep "$T_SETTLE"
  xdotool mousemove $((WIN_X + 174)) $((WIN_Y + 8)) click 1
  st=$(wait_state "$WIN_ID" IsUnMapped $((5 * SLOW))) || failed "still shown after ▼: $st" || return 1
  xdotool mousemove "$TRAY_X" "$TRAY_Y" click --repeat 2 --delay 100 1
  st=$(wait_state "$WIN_ID" IsViewable $((5 * SLOW))) || failed "not shown again after a double-click on the tray icon: $st" || return 1
  [[ $st == "IsViewable $WIN_X $WIN_Y" ]] || failed "restored at the wrong place: $st" || return 1
  close_by_x "$pid" || return 1
  expect_all_keys "$CASE_DIR/norva.ini" || return 1
  REASON="▼ hid the window, a double-click on the tray icon at $TRAY_X,$TRAY_Y showed it at $WIN_X,$WIN_Y"
}

# With the stored hotkey held by another program, "-exec" registers none and
# shows no message: it cleans once, saves and ends, the combination still
# stored for a later start.
case_exec_hotkey_held() {
  local holder
  holder=$(dirname "$EXE")/hotkey_holder.exe
  [[ -f $holder ]] || failed "hotkey_holder.exe not built beside $EXE" || return 1
  # Ctrl+Alt+M: MOD_ALT 1 | MOD_CONTROL 2, virtual key 77.
  (timeout -k 5 "$T_LIFE" "$LOADER" "$holder" 3 77 "$T_LIFE" >"$CASE_DIR/holder.log" 2>&1 </dev/null) &
  PIDS+=($!)
  holding() { grep -q '^held' "$CASE_DIR/holder.log" 2>/dev/null; }
  wait_progress "$T_WINDOW" holding || failed "the holder could not take Ctrl+Alt+M: $(head -c 200 "$CASE_DIR/holder.log")" || return 1
  write_clean_ini "$CASE_DIR/norva.ini" 2 16 '[EXTRA]' 'HotKey=1613' 'FreedNotice=1'
  launch_args "$CASE_DIR" main msgbox -exec
  local pid=$LAST_PID log=$CASE_DIR/main.log
  wait_exit "$pid" "$T_EXIT" || failed "-exec still running with the hotkey held elsewhere (no progress for ${T_EXIT}s)" || return 1
  ((EXIT_CODE == 0)) || failed "exit code $EXIT_CODE" || return 1
  ! grep -q 'MSGBOX_OnInit' "$log" || failed "-exec showed a message box: $(grep -m1 'MSGBOX_OnInit' "$log")" || return 1
  expect_all_keys "$CASE_DIR/norva.ini" || return 1
  [[ $(ini_value "$CASE_DIR/norva.ini" EXTRA/HotKey) == 1613 ]] ||
    failed "HotKey after -exec: $(ini_value "$CASE_DIR/norva.ini" EXTRA/HotKey), expected 1613 kept" || return 1
  REASON="Ctrl+Alt+M held by another program: -exec ended with 0, no message box, every key written, HotKey=1613 kept"
}

# WM_CLOSE to the program's windows in the virtual desktop, as taskkill
# sends it (a taskkill on the default desktop does not see them).
close_in_desktop() {
  (cd "$CASE_DIR" && timeout 60 "$WINE64" explorer "/desktop=$VD_NAME,${VD_W}x$VD_H" taskkill /im norva.exe) \
    >>"$CASE_DIR/taskkill.log" 2>&1
}

# Opens the tray menu (right click on the icon); $1 the keys that choose an
# item, or "" to leave it open.
tray_menu() {
  xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
  sleep $((1 * SLOW))
  [[ -z $1 ]] && return 0
  # shellcheck disable=SC2086
  xdotool key --delay 150 $1
  sleep 0.5
}

# The close of every close case: WM_CLOSE ends the program (the desktop's
# explorer $1 ends after it) normally, icon removed and settings written.
expect_close_ends() {
  local pid=$1 hex=$2 log=$3
  import -window root "$CASE_DIR/before-close.png" 2>/dev/null
  close_in_desktop
  wait_exit "$pid" "$T_EXIT" ||
    failed "still running ${T_EXIT}s after WM_CLOSE (windows: $(shown_windows 2>/dev/null | tr '\n' ' '))" || return 1
  ! grep -qiE 'unhandled exception|unhandled page fault' "$log" || failed "$(grep -m1 -iE 'unhandled' "$log")" || return 1
  proc_lines "$log" "$hex" | grep -q 'Shell_NotifyIconW dwMessage = 2,' || failed "no NIM_DELETE: the program did not close normally" || return 1
  expect_all_keys "$CASE_DIR/norva.ini" || return 1
}

# The random-use settings: automatic cleaning at its smallest, the processor
# label, and the extras on.
write_random_use_ini() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[DEFAULT]' 'AutoMemClear=1' \
    'AutoMemMin=1' 'AutoExeSize=1' 'AutoMemUsed=1' 'AutoMemUsePer=3' 'Memory=5' 'AutoMemSize=1' \
    'ShowCpuUsePer=1' 'CleanSpeed=1' '[EXTRA]' 'IntervalClean=1' 'TrayLoadIcon=1' 'FreedNotice=1'
}

# Starts the program in the virtual desktop; sets CLOSE_PID, CLOSE_HEX and
# the tray icon's place.
start_for_close() {
  launch_desktop "$CASE_DIR" main msgbox,systray
  CLOSE_PID=$LAST_PID
  wait_tree_window "$CASE_DIR/main.log" || return 1
  CLOSE_HEX=$(win_pid_hex "$CASE_DIR/main.log") || failed "no process id in the trace" || return 1
  find_tray_icon || return 1
  sleep "$T_SETTLE"
}

# A close while the tray menu is open ends the program: the menu's own loop
# takes the quit request under Wine, the program still ends.
case_close_with_tray_menu_open() {
  write_random_use_ini
  start_for_close || return 1
  tray_menu ""
  import -window root "$CASE_DIR/menu.png" 2>/dev/null
  expect_close_ends "$CLOSE_PID" "$CLOSE_HEX" "$CASE_DIR/main.log" || return 1
  REASON="WM_CLOSE with the tray menu open: ended, icon removed, every key written"
}

# The same close when the menu's own window takes WM_CLOSE first (taskkill
# posts it to every window of the program in z-order, and an open menu is
# often in front): the menu window is gone before the program's own windows
# are asked, and the program must still end.
case_close_after_menu_window_closed() {
  write_random_use_ini
  start_for_close || return 1
  [[ -f $(dirname "$EXE")/desktop_peek.exe ]] || failed "desktop_peek.exe not built beside $EXE" || return 1
  tray_menu ""
  (cd "$CASE_DIR" && timeout 60 "$WINE64" explorer "/desktop=$VD_NAME,${VD_W}x$VD_H" \
    "$(winpath "$(dirname "$EXE")/desktop_peek.exe")" closemenu) >"$CASE_DIR/closemenu.log" 2>&1
  sleep 1
  expect_close_ends "$CLOSE_PID" "$CLOSE_HEX" "$CASE_DIR/main.log" || return 1
  REASON="WM_CLOSE to the open menu's window first, then to the program's: ended, icon removed, every key written"
}

# The first sequence random use ended with: a cleaning from the tray menu,
# drags along the bottom edge by the processor strip, the tray menu opened
# and dismissed by a click outside, a double click on the icon, a drag to the
# top edge and back, a key press; then WM_CLOSE.
case_close_after_tray_and_drags() {
  write_random_use_ini
  start_for_close || return 1
  tray_menu "Down Down Down Return"  # 掃除
  sleep $((2 * SLOW))
  drag_by 130 8 0 $((VD_H - WIN_Y - 60))
  read -r _ WIN_X WIN_Y < <(window_state "$WIN_ID")
  drag_by 130 8 200 10
  read -r _ WIN_X WIN_Y < <(window_state "$WIN_ID")
  drag_by 130 8 -150 10
  read -r _ WIN_X WIN_Y < <(window_state "$WIN_ID")
  tray_menu ""
  xdotool mousemove 300 300 click 1
  sleep 0.5
  xdotool mousemove "$TRAY_X" "$TRAY_Y" click --repeat 2 --delay 100 1
  sleep 0.5
  read -r _ WIN_X WIN_Y < <(window_state "$WIN_ID")
  drag_by 60 50 0 $((-WIN_Y - 20))
  read -r _ WIN_X WIN_Y < <(window_state "$WIN_ID")
  drag_by 60 50 0 200
  xdotool key a
  sleep 0.5
  expect_close_ends "$CLOSE_PID" "$CLOSE_HEX" "$CASE_DIR/main.log" || return 1
  REASON="cleaning from the menu, drags by the strip to the bottom, menu dismissed, double click, drag to the top and back, a key: WM_CLOSE ended it"
}

# The top left "X Y" of the white area around X,Y ($2, $3) in the picture
# $1: left along its row, then up along the column just inside; "0 0" when
# the point is not white.
white_area_corner() {
  local img=$1 x=$2 y=$3 left
  left=$(convert "$img" -crop "${x}x1+0+$y" +repage txt:- 2>/dev/null |
    awk -F'[ ,:]+' 'NR > 1 { white[$1] = ($0 ~ /#FFFFFF/) }
      END { x = '"$x"' - 1; if (!white[x]) { print 0; exit } while (x > 0 && white[x - 1]) x--; print x }')
  ((left > 0)) || { echo "0 0"; return 0; }
  convert "$img" -crop "1x$((y + 1))+$((left + 3))+0" +repage txt:- 2>/dev/null |
    awk -F'[ ,:]+' 'NR > 1 { white[$2] = ($0 ~ /#FFFFFF/) }
      END { y = '"$y"'; while (y > 0 && white[y - 1]) y--; print '"$left"', y }'
}

# The second sequence: the tray menu's restore, the inspector from the menu,
# its working set forced with 65535 typed into the maximum box, rows
# clicked, the tray menu opened; then WM_CLOSE.
case_close_after_inspector_and_tray() {
  write_random_use_ini
  start_for_close || return 1
  tray_menu "Down Return"  # 元の大きさに戻す
  tray_menu "Down Down Down Down Return"  # 情報
  # The inspector opens centred in the virtual desktop, where no X window
  # of its own can be searched for, and its place follows the taskbar's
  # height: its parts are clicked where they lie from the top left of its
  # list's white area, found in a screenshot around the desktop's middle.
  local list_x list_y
  inspector_list() {
    import -window root "$CASE_DIR/insp.png" 2>/dev/null || return 1
    read -r list_x list_y < <(white_area_corner "$CASE_DIR/insp.png" $((VD_W / 2)) $((VD_H * 3 / 4)))
    ((list_x > 0 && list_y > 0))
  }
  wait_progress "$T_WINDOW" inspector_list || failed "no inspector's list from the tray menu" || return 1
  xdotool mousemove $((list_x + 114)) $((list_y + 25)) click 1
  sleep 1
  xdotool mousemove $((list_x + 391)) $((list_y - 37)) click --repeat 3 --delay 80 1
  xdotool key ctrl+a
  xdotool type --delay 80 65535
  import -window root "$CASE_DIR/working-set.png" 2>/dev/null
  xdotool mousemove $((list_x + 462)) $((list_y - 37)) click 1
  sleep $((2 * SLOW))
  # The question, then perhaps the system's refusal ("設定に失敗しました"):
  # each answered with Enter, as a user would.
  xdotool key Return
  sleep $((2 * SLOW))
  import -window root "$CASE_DIR/after-force.png" 2>/dev/null
  xdotool key Return
  grep 'MSGBOX_OnInit' "$CASE_DIR/main.log" | grep -qF "$(wine_escape 'ワーキングセットサイズを変更します')" ||
    failed "the working set's question never came" || return 1
  sleep $((1 * SLOW))
  local y
  for y in 120 140 160; do
    xdotool mousemove 200 "$y" click 1
    sleep 0.3
  done
  tray_menu ""
  expect_close_ends "$CLOSE_PID" "$CLOSE_HEX" "$CASE_DIR/main.log" || return 1
  REASON="restore and inspector from the menu, working set forced with 65535 as the maximum, rows clicked, the menu opened: WM_CLOSE ended it"
}
