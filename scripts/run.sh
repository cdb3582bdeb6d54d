#!/usr/bin/env bash
# Installs what is missing, builds norva.exe and starts it under Wine.
#
#   scripts/run.sh [--64] [--shot-only]
#
#   --64         the 64-bit build instead of the 32-bit one
#   --shot-only  with or without a display: take the screenshot and stop Norva
#
# With a display ($DISPLAY set) Norva opens there and the script waits until
# it is closed. Without one the script starts Xvfb, waits for the window,
# saves a screenshot to build/norva-screenshot.png, closes Norva normally
# (its INI is then written beside the exe) and stops Xvfb.
#
# The Wine prefix is build/wine-run (made on the first run, reused after).
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=lib.sh
source "$HERE/lib.sh"
cd "$NORVA_ROOT"

BITS=32 SHOT_ONLY=0
while (($#)); do
  case $1 in
    --64) BITS=64 ;;
    --32) BITS=32 ;;
    --shot-only) SHOT_ONLY=1 ;;
    -h | --help) sed -n '2,15p' "$0"; exit 0 ;;
    *) die "unknown option $1 (see --help)" ;;
  esac
  shift
done

BUILD=$NORVA_ROOT/build
SHOT=$BUILD/norva-screenshot.png
PREFIX=$BUILD/wine-run
mkdir -p "$BUILD"

install_packages
ensure_i386_exec
if [[ $BITS == 32 && $NORVA_I386 == none ]]; then
  die "this machine cannot run 32-bit programs; try scripts/run.sh --64"
fi
SLOW=1
if [[ $BITS == 32 && $NORVA_I386 == emulated ]]; then
  SLOW=10
  log "the 32-bit exe runs under qemu-i386 on this kernel: expect a few minutes until the window shows (or use --64)"
fi

log "building win$BITS"
build_preset "win$BITS" >"$BUILD/run-build-win$BITS.log" 2>&1 || {
  tail -30 "$BUILD/run-build-win$BITS.log"
  die "build failed (log: $BUILD/run-build-win$BITS.log)"
}
EXE=$BUILD/win$BITS/norva.exe
[[ -f $EXE ]] || die "$EXE was not built"

log "Wine prefix $PREFIX"
make_prefix "$PREFIX" || die "could not create the Wine prefix (log: $PREFIX.boot.log)"

NORVA_PID=
cleanup() {
  if [[ -n $NORVA_PID ]] && kill -0 "$NORVA_PID" 2>/dev/null; then
    timeout 30 wineserver -k >/dev/null 2>&1 || true
  fi
  stop_xvfb
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [[ -z ${DISPLAY:-} ]]; then
  start_xvfb 1280x1024x24
  SHOT_ONLY=1
  log "no display: started Xvfb on $DISPLAY"
fi

log "starting $EXE (INI: ${EXE%exe}ini)"
WINEDEBUG=+pid,+loaddll "$(wine_for_bits "$BITS")" "$EXE" >"$BUILD/norva-run.log" 2>&1 </dev/null &
NORVA_PID=$!

if ((!SHOT_ONLY)); then
  log "Norva runs on $DISPLAY; waiting for it to be closed (Ctrl-C stops it)"
  wait "$NORVA_PID" || true
  NORVA_PID=
  exit 0
fi

WIN=$(wait_window Norva 200x80 $((60 * SLOW))) || {
  tail -20 "$BUILD/norva-run.log" >&2
  die "the Norva window did not appear"
}
read -r _ WIN_X WIN_Y <<<"$WIN"
sleep $((2 * SLOW)) # let the timers paint the figures
import -window root "$SHOT"
convert "$SHOT" -crop "200x80+$WIN_X+$WIN_Y" +repage "$BUILD/norva-window.png"
echo "screenshot of the screen:      $SHOT"
echo "screenshot of the main window: $BUILD/norva-window.png"

# Close the way the system does (WM_CLOSE): Norva writes its INI and ends.
HEX=$(grep -m1 -F 'norva.exe" at ' "$BUILD/norva-run.log" | cut -d: -f1 || true)
if [[ -n $HEX ]]; then
  timeout 60 "$WINE64" taskkill /pid $((16#$HEX)) >/dev/null 2>&1 || true
fi
for ((i = 0; i < 30 * SLOW; i++)); do
  kill -0 "$NORVA_PID" 2>/dev/null || break
  sleep 1
done
if kill -0 "$NORVA_PID" 2>/dev/null; then
  warn "Norva did not close by itself; stopping it"
else
  NORVA_PID=
  echo "Norva closed; its settings: ${EXE%exe}ini"
fi
exit 0
