# Per-monitor DPI: the main window, the settings dialog and the inspector,
# moved to a monitor of 120 and 144 pixels per inch, back to 96, then to 192,
# are what a start at that DPI gives. Sourced by tests/e2e/run.sh, whose helpers
# and variables it uses (set_log_pixels from cases_settings.sh).
#
# Wine keeps one DPI for all monitors and never sends WM_DPICHANGED, so
# dpi_peek.exe (built beside norva.exe) sends it by hand, with a suggested
# rectangle placed in norva's memory, and prints each window's shape: its
# size, its client size and every child window's place, size, font height
# and list columns. The fresh starts run with the prefix's LogPixels at that
# DPI; the moved windows in a start at 96. Wine draws every frame at the
# prefix's DPI, so the windows' outer sizes are printed, not compared.

ALL_CASES+=(dpi_change)

DPI_TITLES=(Norva 設定画面 "$INSPECTOR_TITLE")

dpi_peek() { timeout 60 "$LOADER" "$(dirname "$EXE")/dpi_peek.exe" "$@" 2>>"$CASE_DIR/peek.log" | tr -d '\r'; }

# Starts the program ($1 pixels per inch from the prefix) and opens the
# inspector, then the settings dialog, with clicks on their buttons where
# that DPI puts them ([情報] at 95,9 and [設定] at 15,8 at 96), posted to the
# window (at 192 the inspector covers the screen).
dpi_open_all() {
  local dpi=$1 found
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y"
  launch "$CASE_DIR" "main$dpi"
  PID=$LAST_PID
  local size="$((200 * dpi / 96))x$((80 * dpi / 96))"
  found=$(wait_window Norva "$size" "$T_WINDOW") || failed "no $size main window at $dpi DPI" || return 1
  read -r WIN_ID WIN_X WIN_Y <<<"$found"
  sleep "$T_SETTLE"
  dpi_peek click Norva $(((95 * dpi + 48) / 96)) $(((9 * dpi + 48) / 96))
  wait_window "$INSPECTOR_TITLE" '[0-9]+x[0-9]+' "$T_WINDOW" >/dev/null ||
    failed "no inspector after the click on [情報] at $dpi DPI" || return 1
  dpi_peek click Norva $(((15 * dpi + 48) / 96)) $(((8 * dpi + 48) / 96))
  wait_window "設定画面" '[0-9]+x[0-9]+' "$T_WINDOW" >/dev/null ||
    failed "no settings dialog after the click on [設定] at $dpi DPI" || return 1
  sleep "$T_SETTLE"
}

# The shapes of the three windows into file $1.
dpi_shapes() {
  local title
  for title in "${DPI_TITLES[@]}"; do
    echo "== $title"
    dpi_peek shape "$title"
  done >"$1"
}

dpi_shoot() {
  sleep "$T_SETTLE"
  import -window root "$1" 2>/dev/null || failed "no screenshot $1"
}

case_dpi_change() {
  [[ -f $(dirname "$EXE")/dpi_peek.exe ]] || failed "dpi_peek.exe not built beside $EXE" || return 1
  local dpi rc=0 from title figures=
  # A fresh start at each DPI.
  for dpi in 120 144 192; do
    set_log_pixels "$dpi"
    if dpi_open_all "$dpi"; then
      dpi_shapes "$CASE_DIR/fresh-$dpi.txt"
      dpi_shoot "$OUT/dpi-fresh-$dpi-win$BITS.png" || rc=1
    else
      rc=1
    fi
    stop_programs
    set_log_pixels ""
    ((rc == 0)) || return 1
  done
  # One start at 96, its windows moved from DPI to DPI.
  dpi_open_all 96 || return 1
  dpi_shapes "$CASE_DIR/fresh-96.txt"
  from=96
  # 192 comes last: there the inspector is larger than the 1280 × 1024
  # screen, which holds it to the screen (a fresh start too); back at 96 it
  # would keep that smaller size, as a window the user made smaller does.
  for dpi in 120 144 96 192; do
    for title in "${DPI_TITLES[@]}"; do
      dpi_peek send "$title" "$from" "$dpi" >>"$CASE_DIR/sent.txt" ||
        failed "WM_DPICHANGED $from -> $dpi not delivered to \"$title\" ($(tail -1 "$CASE_DIR/peek.log"))" || return 1
    done
    from=$dpi
    dpi_shoot "$OUT/dpi-moved-$dpi-win$BITS.png" || return 1
    dpi_shapes "$CASE_DIR/moved-$dpi.txt"
    # The frame is Wine's own, drawn at the prefix's DPI whatever the
    # window's: the outer sizes are reported, not compared; so is a list's
    # header, which the list view sizes itself beside its scroll bar (Wine's,
    # of the prefix's DPI). The lists' columns are compared.
    if ! diff <(grep -vE '^(window|SysHeader32) ' "$CASE_DIR/fresh-$dpi.txt") \
      <(grep -vE '^(window|SysHeader32) ' "$CASE_DIR/moved-$dpi.txt") \
      >"$CASE_DIR/diff-$dpi.txt"; then
      cp "$CASE_DIR/fresh-$dpi.txt" "$CASE_DIR/moved-$dpi.txt" "$CASE_DIR/diff-$dpi.txt" "$OUT/" 2>/dev/null
      failed "moved to $dpi DPI, the windows differ from a start at $dpi: $(head -c 600 "$CASE_DIR/diff-$dpi.txt" | tr '\n' ' ')" || return 1
    fi
    figures+="$dpi: clients $(grep '^client' "$CASE_DIR/moved-$dpi.txt" | awk '{print $2}' | paste -sd/); "
  done
  stop_programs
  REASON="main/dialog/inspector as a fresh start at each DPI: $figures screenshots $OUT/dpi-*-win$BITS.png"
}
