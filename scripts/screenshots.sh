#!/usr/bin/env bash
# Takes the README's screenshots from the real exe under Wine + Xvfb:
# docs/norva-main.png (the main window) and docs/norva-inspector.png (the
# inspector's process list), with the program's defaults on a 1280 × 1024
# screen.
#
#   scripts/screenshots.sh [--32] [--out DIR]
#
# Builds the win64 preset (win32 with --32), uses the Wine prefix
# build/wine-shots (made when missing) and leaves nothing running.
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=lib.sh
source "$HERE/lib.sh"
cd "$NORVA_ROOT"

BITS=64 OUT=$NORVA_ROOT/docs
while (($#)); do
  case $1 in
    --32) BITS=32; shift ;;
    --out) OUT=$2; shift 2 ;;
    -h | --help) sed -n '2,11p' "$0"; exit 0 ;;
    *) die "unknown option $1" ;;
  esac
done
mkdir -p "$OUT"

[[ ${NORVA_SKIP_INSTALL:-0} == 1 ]] || install_packages
[[ $BITS == 64 ]] || ensure_i386_exec
build_preset "win$BITS" >/dev/null || die "the win$BITS build failed"
EXE=$NORVA_ROOT/build/win$BITS/norva.exe
LOADER=$(wine_for_bits "$BITS")
PREFIX=$NORVA_ROOT/build/wine-shots
WORK=$(mktemp -d /tmp/norva-shots.XXXXXX)
cleanup() {
  WINEPREFIX=$PREFIX timeout 30 wineserver -k >/dev/null 2>&1 || true
  stop_xvfb
  remove_tree "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb 1280x1024x24
make_prefix "$PREFIX" || die "could not create the Wine prefix $PREFIX"
wine_env "$PREFIX"

# The main window at (40, 40): nothing else on the screen overlaps it.
cp "$EXE" "$WORK/norva.exe"
printf '%s\r\n' '[SYSTEM]' 'XPos=40' 'YPos=40' >"$WORK/norva.ini"
(cd "$WORK" && exec timeout 600 "$LOADER" "$WORK/norva.exe") >"$WORK/norva.log" 2>&1 </dev/null &
found=$(wait_window Norva 200x80 300) || die "no main window"
read -r _ x y <<<"$found"
# A few ticks of the timers: figures and the load label filled in.
sleep 3
import -window root "$WORK/screen.png"
convert "$WORK/screen.png" -crop "200x80+$x+$y" +repage "$OUT/norva-main.png"

# The inspector, opened with "[情報]" as a user does, on its process list.
xdotool mousemove $((x + 95)) $((y + 9)) click 1
found=$(wait_window 'システム情報 詳細表示' '[0-9]+x[0-9]+' 120) || die "no inspector window"
read -r id ix iy <<<"$found"
sleep 3
read -r w h < <(xwininfo -id "$id" | awk '/^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print w, h}')
import -window root "$WORK/screen.png"
# The X window is the client area only: with no window manager under Xvfb
# nobody draws the title bar and frame, so the 8 pixels kept around it show
# the bare (black) root window.
convert "$WORK/screen.png" -crop "$((w + 16))x$((h + 16))+$((ix - 8))+$((iy - 8))" +repage "$OUT/norva-inspector.png"
log "wrote $OUT/norva-main.png and $OUT/norva-inspector.png"
