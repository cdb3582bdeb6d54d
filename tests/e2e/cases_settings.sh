# End-to-end cases of the settings dialog: opened from "[設定]", its three
# tabs on screen, OK writing the file and Cancel leaving it alone, a wallpaper
# chosen through the picture file dialog and shown behind the figures, and
# the main window and the dialog on a screen of 144 pixels per inch.
# Sourced by tests/e2e/run.sh, whose helpers and variables it uses.
#
# Clicks go to fixed places of the dialog's layout at 96 pixels per inch
# (the X window of a dialog is its client area: there is no window manager).

ALL_CASES+=(settings_tabs settings_ok_writes settings_cancel_keeps settings_wallpaper
  settings_bad_wallpapers settings_high_dpi)

# Places in the dialog, from its top-left corner.
# shellcheck disable=SC2034 # the tabs are read as SET_TAB$n
SET_TAB1='30 12' SET_TAB2='112 12' SET_TAB3='172 12'
SET_OK='380 302' SET_CANCEL='470 302'
SET_STAY_ON_TOP='307 80'  # the box of "常に前面に表示"
SET_BMP_READ='50 150'     # "読込"

# Clicks at "DX DY" from the dialog's corner.
click_dialog() {
  local dx dy
  read -r dx dy <<<"$1"
  xdotool mousemove $((DLG_X + dx)) $((DLG_Y + dy)) click 1
}

# Starts the program at the screenshot place and opens the dialog with a click
# on "[設定]"; sets PID, DLG_ID, DLG_X, DLG_Y.
open_settings() {
  local found
  [[ -f $CASE_DIR/norva.ini ]] || write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y"
  launch "$CASE_DIR" main
  PID=$LAST_PID
  wait_main_window "$CASE_DIR/main.log" || return 1
  sleep "$T_SETTLE"
  xdotool mousemove $((WIN_X + 15)) $((WIN_Y + 8)) click 1
  found=$(wait_window "設定画面" 523x325 "$T_WINDOW") ||
    failed "no 523x325 dialog \"設定画面\" after a click on [設定]" || return 1
  read -r DLG_ID DLG_X DLG_Y <<<"$found"
}

# Waits up to $2 seconds until X window $1 is no longer shown (unmapped or
# destroyed, as a system dialog's window is).
wait_gone() {
  local end=$((SECONDS + $2))
  while is_shown "$1"; do
    ((SECONDS < end)) || return 1
    sleep 0.1
  done
}

# Waits until the dialog has gone.
wait_dialog_closed() {
  wait_gone "$DLG_ID" "$T_EXIT" || failed "the dialog is still open" || return 1
}

# Takes the screen until the dialog's crop shows more than 16 colours; saves
# the crop as $1.
shoot_dialog() {
  local crop=$1 size=${2:-523x325} end colours=0
  end=$((SECONDS + 10 * SLOW))
  while ((SECONDS < end)); do
    sleep 0.5
    import -window root "$CASE_DIR/screen.png" 2>/dev/null || continue
    convert "$CASE_DIR/screen.png" -crop "$size+$DLG_X+$DLG_Y" +repage "$crop" 2>/dev/null || continue
    colours=$(convert "$crop" -format '%k' info: 2>/dev/null || echo 0)
    ((colours > 16)) && return 0
  done
  failed "the dialog shows only $colours colours: $crop"
}

# Each tab on screen, one screenshot each; the three differ.
case_settings_tabs() {
  open_settings || return 1
  local tab shots=()
  for tab in 1 2 3; do
    local place=SET_TAB$tab
    click_dialog "${!place}"
    shoot_dialog "$OUT/settings-tab$tab-win$BITS.png" || return 1
    shots+=("$OUT/settings-tab$tab-win$BITS.png")
  done
  ! cmp -s "${shots[0]}" "${shots[1]}" && ! cmp -s "${shots[1]}" "${shots[2]}" ||
    failed "clicking the tabs did not change the dialog" || return 1
  click_dialog "$SET_CANCEL"
  wait_dialog_closed || return 1
  close_and_expect_exit "$PID" "$CASE_DIR/main.log" || return 1
  REASON="three tabs shown: ${shots[*]}"
}

# A change and OK: the file holds it at once.
case_settings_ok_writes() {
  open_settings || return 1
  [[ $(ini_value "$CASE_DIR/norva.ini" DEFAULT/StayOnTop) != 1 ]] || failed "StayOnTop=1 before the change" || return 1
  click_dialog "$SET_STAY_ON_TOP"
  click_dialog "$SET_OK"
  wait_dialog_closed || return 1
  local end=$((SECONDS + T_EXIT))
  # OK writes key by key; Magnet is the last one of a full write.
  until [[ $(ini_value "$CASE_DIR/norva.ini" DEFAULT/StayOnTop) == 1 &&
    $(ini_flat "$CASE_DIR/norva.ini") == *DEFAULT/Magnet=* ]]; do
    ((SECONDS < end)) || failed "no full write with StayOnTop=1 after OK" || return 1
    sleep 0.2
  done
  expect_all_keys "$CASE_DIR/norva.ini" || return 1
  close_and_expect_exit "$PID" "$CASE_DIR/main.log" || return 1
  [[ $(ini_value "$CASE_DIR/norva.ini" DEFAULT/StayOnTop) == 1 ]] || failed "StayOnTop lost at the close" || return 1
  REASON="StayOnTop=1 written at OK and kept at the close"
}

# A change and Cancel: the file stays as it was when the dialog opened, and
# the close writes the old value.
case_settings_cancel_keeps() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[DEFAULT]' 'StayOnTop=0' 'Memory=30'
  open_settings || return 1
  cp "$CASE_DIR/norva.ini" "$CASE_DIR/opened.ini"
  click_dialog "$SET_STAY_ON_TOP"
  click_dialog "$SET_CANCEL"
  wait_dialog_closed || return 1
  sleep "$T_SETTLE"
  cmp -s "$CASE_DIR/norva.ini" "$CASE_DIR/opened.ini" || failed "the file changed after Cancel" || return 1
  close_and_expect_exit "$PID" "$CASE_DIR/main.log" || return 1
  [[ $(ini_value "$CASE_DIR/norva.ini" DEFAULT/StayOnTop) == 0 ]] || failed "StayOnTop=1 written at the close after Cancel" || return 1
  [[ $(ini_value "$CASE_DIR/norva.ini" DEFAULT/Memory) == 30 ]] || failed "Memory changed" || return 1
  REASON="file unchanged after Cancel; the close wrote StayOnTop=0"
}

# A bitmap chosen through the picture file dialog: the preview shows it,
# and after OK it lies behind the main window's figures.
case_settings_wallpaper() {
  local colour='#C81E1E' bmp=$CASE_DIR/back.bmp found dlg_file pixels
  convert -size 320x200 "xc:$colour" -type TrueColor "BMP3:$bmp" || failed "could not make $bmp" || return 1
  open_settings || return 1
  click_dialog "$SET_TAB2"
  sleep 0.5
  click_dialog "$SET_BMP_READ"
  found=$(wait_window "画像ファイル読込" '[0-9]+x[0-9]+' "$T_WINDOW") || failed "no file dialog \"画像ファイル読込\"" || return 1
  dlg_file=${found%% *}
  sleep 1
  # The file name box has the focus: type the path and press Enter.
  timeout 20 xdotool windowfocus --sync "$dlg_file" type --delay 20 "$(winpath "$bmp")" ||
    failed "could not type into the file dialog" || return 1
  timeout 20 xdotool windowfocus --sync "$dlg_file" key Return || failed "could not press Enter in the file dialog" || return 1
  wait_gone "$dlg_file" "$T_EXIT" || {
    import -window root "$CASE_DIR/file-dialog.png" 2>/dev/null
    failed "the file dialog is still open (screen: file-dialog.png)"
    return 1
  }
  shoot_dialog "$OUT/settings-wallpaper-preview-win$BITS.png" || return 1
  local preview
  preview=$(count_colour "$OUT/settings-wallpaper-preview-win$BITS.png" 150x60+30+60 "$colour")
  ((preview > 5000)) || failed "the preview shows $preview pixels of the picture" || return 1
  click_dialog "$SET_OK"
  wait_dialog_closed || return 1
  local end=$((SECONDS + 10 * SLOW)) crop=$OUT/settings-wallpaper-main-win$BITS.png
  pixels=0
  while ((SECONDS < end)); do
    sleep 0.5
    shoot_window "$CASE_DIR/screen.png" "$crop" >/dev/null || continue
    pixels=$(count_colour "$crop" 200x80+0+0 "$colour")
    ((pixels > 4000)) && break
  done
  ((pixels > 4000)) || failed "only $pixels pixels of the wallpaper behind the figures: $crop" || return 1
  [[ $(ini_value "$CASE_DIR/norva.ini" DEFAULT/BmpFileName) == "$(winpath "$bmp")" ]] ||
    failed "BmpFileName=$(ini_value "$CASE_DIR/norva.ini" DEFAULT/BmpFileName)" || return 1
  close_and_expect_exit "$PID" "$CASE_DIR/main.log" || return 1
  REASON="chosen in the file dialog, preview $preview px of it, $pixels px behind the figures, BmpFileName written; $crop"
}

# Little-endian bytes of a 32-bit number, as printf escapes.
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }

# A truncated bitmap and one whose header promises 20,000 x 20,000 pixels (in
# a few bytes of run-length data): each is refused at start-up, quickly, the
# window shows normally and the close writes BmpFileName back empty.
case_settings_bad_wallpapers() {
  local truncated=$CASE_DIR/truncated.bmp huge=$CASE_DIR/huge.bmp bmp
  convert -size 320x200 xc:red -type TrueColor "BMP3:$CASE_DIR/whole.bmp" || failed "could not make a bitmap" || return 1
  head -c 5000 "$CASE_DIR/whole.bmp" >"$truncated"
  # File header, info header (8 bits, RLE8), 256 palette entries, end of bitmap.
  # shellcheck disable=SC2059 # le32 gives printf escapes
  {
    printf "BM$(le32 1084)\\0\\0\\0\\0$(le32 1078)"
    printf "$(le32 40)$(le32 20000)$(le32 20000)\\x01\\0\\x08\\0$(le32 1)$(le32 6)$(le32 0)$(le32 0)$(le32 256)$(le32 0)"
    head -c 1024 /dev/zero
    printf '\0\0\0\0\0\x01'
  } >"$huge"
  for bmp in "$truncated" "$huge"; do
    write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[DEFAULT]' "BmpFileName=$(winpath "$bmp")"
    launch "$CASE_DIR" main
    PID=$LAST_PID
    wait_main_window "$CASE_DIR/main.log" || return 1
    sleep "$T_SETTLE"
    [[ -n $(find_window Norva 200x80) ]] || failed "the window went away with $(basename "$bmp")" || return 1
    close_and_expect_exit "$PID" "$CASE_DIR/main.log" || return 1
    [[ -z $(ini_value "$CASE_DIR/norva.ini" DEFAULT/BmpFileName) ]] ||
      failed "BmpFileName of $(basename "$bmp") written back" || return 1
  done
  REASON="truncated and 20000x20000 bitmaps refused; window shown, closed normally, BmpFileName empty"
}

# The screen's pixels per inch of the prefix (96 when the value is removed).
set_log_pixels() {
  if [[ -n $1 ]]; then
    timeout 60 "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  else
    timeout 60 "$WINE64" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
  fi
  timeout 60 wineserver -w || true
}

high_dpi_checks() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y"
  launch "$CASE_DIR" main
  PID=$LAST_PID
  local found crop=$OUT/norva-144dpi-win$BITS.png colours
  found=$(wait_window Norva 300x120 "$T_WINDOW") || failed "no 300x120 main window at 144 DPI ($(list_windows Norva '[0-9]+x[0-9]+'))" || return 1
  read -r WIN_ID WIN_X WIN_Y <<<"$found"
  sleep "$T_SETTLE"
  import -window root "$CASE_DIR/screen.png" && convert "$CASE_DIR/screen.png" -crop "300x120+$WIN_X+$WIN_Y" +repage "$crop"
  colours=$(convert "$crop" -format '%k' info: 2>/dev/null || echo 0)
  ((colours > 16)) || failed "the window shows $colours colours: $crop" || return 1
  # The dialog grows by the same factor; its "[設定]" is 1.5 times further in.
  xdotool mousemove $((WIN_X + 22)) $((WIN_Y + 12)) click 1
  found=$(wait_window "設定画面" '78[4-6]x48[7-9]' "$T_WINDOW") || failed "no dialog of about 785x488 at 144 DPI" || return 1
  read -r DLG_ID DLG_X DLG_Y <<<"$found"
  shoot_dialog "$OUT/settings-144dpi-win$BITS.png" 785x488 || return 1
  click_dialog "$((470 * 3 / 2)) $((302 * 3 / 2))"  # キャンセル
  wait_dialog_closed || return 1
  close_and_expect_exit "$PID" "$CASE_DIR/main.log" || return 1
  REASON="main window 300x120 ($colours colours, $crop), dialog 785x488"
}

# At 144 pixels per inch the main window and the dialog are 1.5 times larger.
case_settings_high_dpi() {
  set_log_pixels 144
  local rc=0
  high_dpi_checks || rc=$?
  stop_programs
  set_log_pixels ""
  return $rc
}
