# End-to-end cases of the English interface ([EXTRA] Language=en): the main
# window, each tab of the inspector and of the settings dialog shot for a
# look, the tray menu shot in a virtual desktop, then 日本語 chosen on the extras tab and OK changing the main
# window's texts without a restart. Sourced by tests/e2e/run.sh, whose
# helpers and variables it uses (and those of cases_settings.sh and
# cases_inspector.sh).

ALL_CASES+=(language_english language_english_tray_menu language_english_high_dpi
  language_english_balloon language_english_message)

# The English tabs are narrower than the Japanese ones: their places, and
# the language combo's on the extras tab, from the dialog's corner.
# shellcheck disable=SC2034 # read as LANG_TAB$n
LANG_TAB1='28 12' LANG_TAB2='84 12' LANG_TAB3='134 12' LANG_TAB4='182 12'
LANG_COMBO='420 80'

# Whether the captions of the three top buttons keep clear of the edges
# they share, in the shot $1 of the main window at $2 DPI: the real font's
# letters leave the two columns either side of each shared edge blank (the
# buttons have no frame of their own, so touching words read as one).
buttons_apart() {
  local img=$1 dpi=$2 edge x c ink
  ink=$(convert "$img" -crop "$((116 * dpi / 96))x$((12 * dpi / 96))+0+$((3 * dpi / 96))" +repage \
    -colorspace gray -threshold 60% txt:- 2>/dev/null |
    awk -F'[ ,:]+' 'NR > 1 && /#000000|gray\(0\)/ { ink[$1] = 1 } END { for (x in ink) print x }')
  [[ -n $ink ]] || { echo "no captions"; return 1; }
  for edge in 38 76; do
    x=$((edge * dpi / 96))
    for c in $((x - 2)) $((x - 1)) "$x" $((x + 1)); do
      if grep -qx "$c" <<<"$ink"; then
        echo "letters at column $c, by the edge at $edge"
        return 1
      fi
    done
  done
}

# The real font's measure of the shown buttons, check boxes, group boxes and
# static texts of the window titled $1 against their boxes (dpi_peek fit):
# FIT_FAULTS gets the ones too wide, FIT_COUNT adds the number measured.
FIT_FAULTS= FIT_COUNT=0
fit_window() {
  local out n
  out=$(dpi_peek fit "$1")
  n=$(sed -nE 's/^measured ([0-9]+) .*/\1/p' <<<"$out")
  [[ -n $n ]] || { FIT_FAULTS+="no measure of \"$1\"; "; return 0; }
  FIT_COUNT=$((FIT_COUNT + n))
  FIT_FAULTS+=$(grep '^too wide' <<<"$out" | sed "s/^/$1: /" | tr '\n' ';')
}

case_language_english() {
  FIT_FAULTS= FIT_COUNT=0
  # Apart from the centred inspector and dialog.
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' 'XPos=40' 'YPos=40' '[EXTRA]' 'Language=en'
  launch "$CASE_DIR" main
  PID=$LAST_PID
  wait_main_window "$CASE_DIR/main.log" || return 1
  sleep "$T_SETTLE"
  local english=$OUT/lang-en-main-win$BITS.png japanese=$OUT/lang-ja-main-win$BITS.png
  shoot_window "$CASE_DIR/full.png" "$english" >/dev/null || failed "no screenshot of the main window" || return 1
  local apart
  apart=$(buttons_apart "$english" 96) || failed "the top buttons' words run together: $apart ($english)" || return 1

  # The inspector, each tab, from "Info".
  [[ -f $(dirname "$EXE")/inspector_peek.exe ]] || failed "inspector_peek.exe not built beside $EXE" || return 1
  xdotool mousemove $((WIN_X + 95)) $((WIN_Y + 9)) click 1
  local found n x y shot names=(processes heaps threads graph)
  found=$(wait_window 'System information' '[0-9]+x[0-9]+' "$T_WINDOW") ||
    failed "no inspector \"System information\" after a click on Info" || return 1
  read -r INSP_ID INSP_X INSP_Y <<<"$found"
  for n in 0 1 2 3; do
    read -r x y < <(peek tab "$n") || failed "inspector tab $n not found" || return 1
    xdotool mousemove "$x" "$y" click 1
    sleep 1
    fit_window 'System information'
    shot=$OUT/lang-en-inspector-${names[n]}-win$BITS.png
    import -window root "$CASE_DIR/full.png" &&
      convert "$CASE_DIR/full.png" -crop "660x480+$((INSP_X - 8))+$((INSP_Y - 8))" +repage "$shot" ||
      failed "no screenshot of inspector tab ${names[n]}" || return 1
  done

  # The settings dialog, each tab, from "Setup".
  xdotool mousemove $((WIN_X + 15)) $((WIN_Y + 8)) click 1
  found=$(wait_window Settings 523x325 "$T_WINDOW") || failed "no 523x325 dialog \"Settings\" after a click on Setup" || return 1
  read -r DLG_ID DLG_X DLG_Y <<<"$found"
  for n in 1 2 3 4; do
    local place=LANG_TAB$n
    click_dialog "${!place}"
    shoot_dialog "$OUT/lang-en-settings-tab$n-win$BITS.png" || return 1
    fit_window Settings
  done
  [[ -z $FIT_FAULTS ]] || failed "English texts wider than their boxes in the real font: $FIT_FAULTS" || return 1

  # 日本語 in the language combo, then OK: the main window speaks Japanese.
  # The keys can reach the list before Wine has dropped it, and the OK click
  # then only closes the list: the choice is made again until OK closes the
  # dialog, and the dialog opened again until the file holds the choice.
  local try end
  for try in 1 2 3; do
    if ((try > 1)) && ! is_shown "$DLG_ID"; then
      xdotool mousemove $((WIN_X + 15)) $((WIN_Y + 8)) click 1
      found=$(wait_window Settings 523x325 "$T_WINDOW") || failed "no dialog \"Settings\" again" || return 1
      read -r DLG_ID DLG_X DLG_Y <<<"$found"
      click_dialog "$LANG_TAB4"
      sleep 0.5
    fi
    click_dialog "$LANG_COMBO"
    sleep 1
    xdotool key Home Return
    sleep 0.5
    click_dialog "$SET_OK"
    wait_gone "$DLG_ID" 5 || continue
    end=$((SECONDS + T_EXIT))
    until [[ $(ini_value "$CASE_DIR/norva.ini" EXTRA/Language) == ja ]] || ((SECONDS >= end)); do sleep 0.2; done
    [[ $(ini_value "$CASE_DIR/norva.ini" EXTRA/Language) == ja ]] && break
  done
  [[ $(ini_value "$CASE_DIR/norva.ini" EXTRA/Language) == ja ]] ||
    failed "no Language=ja after OK: $(ini_value "$CASE_DIR/norva.ini" EXTRA/Language)" || return 1
  sleep "$T_SETTLE"
  shoot_window "$CASE_DIR/full.png" "$japanese" >/dev/null || failed "no screenshot of the main window after OK" || return 1
  local changed
  changed=$(compare -metric AE "$english" "$japanese" null: 2>&1 || true)
  ((${changed%% *} > 200)) || failed "the main window hardly changed after OK ($changed pixels): $english $japanese" || return 1
  find_window 'システム情報 詳細表示' '[0-9]+x[0-9]+' >/dev/null || failed "the inspector's title did not turn Japanese" || return 1
  close_and_expect_exit "$PID" "$CASE_DIR/main.log" || return 1
  REASON="English shots in $OUT/lang-en-*, the top buttons' words apart, $FIT_COUNT texts of the inspector and the dialog within their boxes; OK with 日本語 changed $changed pixels of the main window and the inspector's title"
}

# The tray menu in English, in a virtual desktop with a taskbar (the tray).
case_language_english_tray_menu() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[EXTRA]' 'Language=en'
  launch_desktop "$CASE_DIR" main ""
  local pid=$LAST_PID shot=$OUT/lang-en-tray-menu-win$BITS.png
  wait_tree_window "$CASE_DIR/main.log" || return 1
  find_tray_icon || return 1
  sleep "$T_SETTLE"
  tray_menu ""
  # Off the icon, whose tip would cover the menu's last item.
  xdotool mousemove $((TRAY_X - 60)) $((TRAY_Y - 60))
  sleep 1
  import -window root "$CASE_DIR/full.png" &&
    convert "$CASE_DIR/full.png" -crop "320x200+$((TRAY_X - 300))+$((TRAY_Y - 190))" +repage "$shot" ||
    failed "no screenshot of the tray menu" || return 1
  xdotool key Escape
  sleep 0.5
  close_by_x "$pid" || return 1
  REASON="tray menu at $TRAY_X,$TRAY_Y: $shot"
}

# At 144 and 192 pixels per inch, in English: the main window at its scaled
# size and the extras tab, shot for a look at the real fonts.
english_at_dpi() {
  local dpi=$1 found
  scaled() { echo $(($1 * dpi / 96)); }
  # Clear of Wine's tray window, which grows with the scale too.
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[EXTRA]' 'Language=en'
  launch "$CASE_DIR" main
  PID=$LAST_PID
  found=$(wait_window Norva "$(scaled 200)x$(scaled 80)" "$T_WINDOW") || failed "no $(scaled 200)x$(scaled 80) main window at $dpi DPI" || return 1
  read -r WIN_ID WIN_X WIN_Y <<<"$found"
  sleep "$T_SETTLE"
  import -window root "$CASE_DIR/full.png" &&
    convert "$CASE_DIR/full.png" -crop "$(scaled 200)x$(scaled 80)+$WIN_X+$WIN_Y" +repage "$OUT/lang-en-main-${dpi}dpi-win$BITS.png" ||
    failed "no screenshot of the main window at $dpi DPI" || return 1
  local apart
  apart=$(buttons_apart "$OUT/lang-en-main-${dpi}dpi-win$BITS.png" "$dpi") ||
    failed "the top buttons' words run together at $dpi DPI: $apart" || return 1
  xdotool mousemove $((WIN_X + $(scaled 15))) $((WIN_Y + $(scaled 8))) click 1
  found=$(wait_window Settings '[0-9]+x[0-9]+' "$T_WINDOW") || failed "no dialog \"Settings\" at $dpi DPI" || return 1
  local size
  read -r DLG_ID DLG_X DLG_Y <<<"$found"
  size=$(xwininfo -id "$DLG_ID" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
  click_dialog "$(scaled 182) $(scaled 12)"
  shoot_dialog "$OUT/lang-en-settings-tab4-${dpi}dpi-win$BITS.png" "$size" || return 1
  FIT_FAULTS= FIT_COUNT=0
  fit_window Settings
  [[ -z $FIT_FAULTS ]] || failed "English texts of the extras tab wider than their boxes at $dpi DPI: $FIT_FAULTS" || return 1
  click_dialog "$(scaled 470) $(scaled 302)"
  wait_dialog_closed || return 1
  close_and_expect_exit "$PID" "$CASE_DIR/main.log"
}

case_language_english_high_dpi() {
  local rc=0 dpi
  for dpi in 144 192; do
    set_log_pixels "$dpi"
    english_at_dpi "$dpi" || rc=1
    stop_programs
    ((rc == 0)) || break
  done
  set_log_pixels ""
  ((rc == 0)) || return 1
  REASON="main window and extras tab in English at 144 and 192 DPI, their texts within their boxes: $OUT/lang-en-*dpi-win$BITS.png"
}

# The balloon after a cleaning, in English (cases_extra.sh).
case_language_english_balloon() {
  freed_balloon "$OUT/lang-en-balloon-win$BITS.png" 'FreedNotice=1' 'Language=en'
}

# A message box in English: a letter typed into the free-memory box of the
# first tab ("Clean automatically" ticked first, which enables it).
case_language_english_message() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[EXTRA]' 'Language=en'
  launch "$CASE_DIR" main
  PID=$LAST_PID
  wait_main_window "$CASE_DIR/main.log" || return 1
  sleep "$T_SETTLE"
  xdotool mousemove $((WIN_X + 15)) $((WIN_Y + 8)) click 1
  local found box shot=$OUT/lang-en-message-win$BITS.png
  found=$(wait_window Settings 523x325 "$T_WINDOW") || failed "no 523x325 dialog \"Settings\"" || return 1
  read -r DLG_ID DLG_X DLG_Y <<<"$found"
  # Clicked once the dialog shows its controls, as a user would.
  shoot_dialog "$CASE_DIR/dialog.png" || return 1
  click_dialog '26 150'
  # The box is enabled by the tick; a click that came before it took no focus
  # is made again.
  local try
  for try in 1 2 3; do
    sleep 1
    click_dialog '148 169'
    sleep 0.3
    # The keys go to the X window that has the input focus, which Wine 10
    # does not always move to the dialog on a click (no window manager runs).
    timeout 10 xdotool windowfocus --sync "$DLG_ID" 2>/dev/null || true
    xdotool key --delay 100 End BackSpace x
    box=$(wait_window Error '[0-9]+x[0-9]+' $((5 * SLOW))) && break
  done
  [[ -n $box ]] || failed "no message box \"Error\" after a letter in a number box" || return 1
  local bx by bw bh
  read -r _ bx by <<<"$box"
  read -r bw bh < <(xwininfo -id "${box%% *}" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
  sleep 0.5
  import -window root "$CASE_DIR/full.png" && convert "$CASE_DIR/full.png" -crop "${bw}x$bh+$bx+$by" +repage "$shot" ||
    failed "no screenshot of the message box" || return 1
  timeout 20 xdotool windowfocus --sync "${box%% *}" key Return || failed "could not answer the box" || return 1
  click_dialog "$SET_CANCEL"
  wait_dialog_closed || return 1
  close_and_expect_exit "$PID" "$CASE_DIR/main.log" || return 1
  REASON="message box \"Error\" shot: $shot"
}
