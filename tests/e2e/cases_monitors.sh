# Two monitors: a window stored on the second monitor stays there, and the
# magnet snaps to that monitor's edge. Sourced by tests/e2e/run.sh, whose
# helpers and variables it uses.
#
# The case runs on a screen of its own, 2560 pixels wide, with two heads: the
# primary 1280x1024 at X 1280 and a second one, 1280x800, at X 0, reported
# under Wine 8 by the stand-in libXinerama of fake_xinerama.c (Wine's RandR
# use off: UseXRandR=N) and under Wine 10 by the stand-in libXrandr of
# fake_xrandr.c. Wine puts the primary at 0,0, so the second monitor lies
# left of it, from -1280 to 0: an X-window position is the program's one
# plus 1280. Everything is put back for the next case, whatever happens.

ALL_CASES+=(two_monitors)

# The Wine's major version (8 on Debian 12, 10 on Debian 13).
WINE_MAJOR=$("$WINE64" --version 2>/dev/null | sed -nE 's/^wine-([0-9]+).*/\1/p')
WINE_MAJOR=${WINE_MAJOR:-0}

MON_SHIFT=1280 # root X of the program's X 0

case_two_monitors() {
  local lib=$WORK/xinerama saved_display=$DISPLAY saved_xvfb=$XVFB_PID saved_wm=$WM_STATE_PID ok=0
  mkdir -p "$lib"
  if ! gcc -shared -fPIC -O1 -o "$lib/libXinerama.so.1" "$HERE/fake_xinerama.c" 2>"$CASE_DIR/gcc.log" ||
    ! gcc -shared -fPIC -O1 -o "$lib/libXrandr.so.2" "$HERE/fake_xrandr.c" -ldl 2>>"$CASE_DIR/gcc.log"; then
    failed "could not build the stand-in libXinerama and libXrandr ($(head -c 300 "$CASE_DIR/gcc.log"))"
    return 1
  fi
  stop_programs
  start_xvfb 2560x1024x24
  export LD_LIBRARY_PATH=$lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
  export NORVA_XINERAMA_HEADS=1280x1024+1280+0,1280x800+0+0 NORVA_XRANDR_HEADS=1280x1024+1280+0,1280x800+0+0
  NORVA_REAL_XRANDR=$(/sbin/ldconfig -p | awk '/libXrandr\.so\.2 .*x86-64/ {print $NF; exit}')
  export NORVA_REAL_XRANDR
  # Wine 8 takes the monitors from Xinerama with its RandR use off; Wine 10
  # takes their places from RandR's CRTCs.
  if ((WINE_MAJOR < 10)); then
    timeout 120 "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1 &&
      timeout 60 wineserver -k >/dev/null 2>&1
  fi
  two_monitors_body && ok=1
  stop_programs
  unset NORVA_XINERAMA_HEADS NORVA_XRANDR_HEADS NORVA_REAL_XRANDR
  LD_LIBRARY_PATH=${LD_LIBRARY_PATH#"$lib"}
  LD_LIBRARY_PATH=${LD_LIBRARY_PATH#:}
  [[ -n $LD_LIBRARY_PATH ]] || unset LD_LIBRARY_PATH
  timeout 120 "$WINE64" reg delete 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /f >/dev/null 2>&1 || true
  stop_programs
  stop_xvfb
  XVFB_PID=$saved_xvfb WM_STATE_PID=$saved_wm
  export DISPLAY=$saved_display
  ((ok))
}

two_monitors_body() {
  # Stored at -260, 300: on the second monitor, 60 pixels short of the magnet.
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' 'XPos=-260' 'YPos=300' '[DEFAULT]' 'Magnet=1'
  launch "$CASE_DIR" main
  local pid=$LAST_PID st x y=350 left prev_left prev_x snapped= end
  wait_main_window "$CASE_DIR/main.log" || return 1
  ((WIN_X == MON_SHIFT - 260 && WIN_Y == 300)) ||
    failed "stored at -260,300 on the second monitor, shown at $((WIN_X - MON_SHIFT)),$WIN_Y" || return 1
  sleep "$T_SETTLE"
  shoot_window "$CASE_DIR/screen_start.png" "$OUT/two_monitors_start.png" >/dev/null || true
  # Dragged right pixel by pixel: the second monitor's right edge is at 0,
  # so the window (200 wide) snaps to -200 from -231, the first place within
  # 32 pixels of it, and the cursor moves on by 31.
  prev_left=$((WIN_X - MON_SHIFT))
  x=$((WIN_X + 100))
  xdotool mousemove "$x" "$y"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  while ((prev_left < -200)); do
    prev_x=$x
    x=$((x + 1))
    xdotool mousemove "$x" "$y"
    end=$((SECONDS + 3 * SLOW))
    while :; do
      st=$(window_state "$WIN_ID")
      read -r _ left _ <<<"$st"
      left=$((left - MON_SHIFT))
      ((left == -200 || (left == prev_left + 1 && left <= -232) || SECONDS >= end)) && break
      sleep 0.05
    done
    if ((left == -200)); then
      snapped=$prev_left
      break
    fi
    if ((left != prev_left + 1)); then
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
  [[ -n $snapped ]] || failed "no snap to the second monitor's right edge: the window reached $st" || return 1
  ((snapped == -232)) || failed "snapped from left $snapped, expected from -232 (the move to -231)" || return 1
  ((cursor == prev_x + 32)) || failed "cursor at x $cursor after the snap, expected $((prev_x + 32))" || return 1
  WIN_X=$((MON_SHIFT - 200)) shoot_window "$CASE_DIR/screen_snapped.png" "$OUT/two_monitors_snapped.png" >/dev/null || true
  close_and_expect_exit "$pid" "$CASE_DIR/main.log" || return 1
  local ix
  ix=$(ini_value "$CASE_DIR/norva.ini" SYSTEM/XPos)
  [[ $ix == -200 ]] || failed "INI XPos=$ix after close, expected -200" || return 1
  # Started again: the window comes back where it was, on the second monitor.
  launch "$CASE_DIR" again
  pid=$LAST_PID
  wait_main_window "$CASE_DIR/again.log" || return 1
  ((WIN_X == MON_SHIFT - 200 && WIN_Y == 300)) ||
    failed "restarted at $((WIN_X - MON_SHIFT)),$WIN_Y, expected -200,300 (XPos=-200 stored)" || return 1
  close_and_expect_exit "$pid" "$CASE_DIR/again.log" || return 1
  REASON="kept at -260,300 on the monitor left of the primary, snapped from -232 to its edge -200 (cursor +32), restarted at -200,300"
}
