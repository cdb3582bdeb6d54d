#!/usr/bin/env bash
# Installs what is missing, builds norva.exe and starts it under Wine.
#
#   scripts/run.sh [--64] [--shot-only]
#
#   --64         the 64-bit build instead of the 32-bit one (also taken, and
#                said, when 32-bit Wine cannot be had or run here)
#   --shot-only  with or without a display: take the screenshot and stop Norva
#
# With a display ($DISPLAY set) Norva opens there and the script waits until
# it is closed. Without one the script starts Xvfb and runs Norva in a Wine
# virtual desktop (with a taskbar and its notification area), waits for it,
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
    -h | --help) sed -n '2,16p' "$0"; exit 0 ;;
    *) die "unknown option $1 (see --help)" ;;
  esac
  shift
done

BUILD=$NORVA_ROOT/build
SHOT=$BUILD/norva-screenshot.png
PREFIX=$BUILD/wine-run
mkdir -p "$BUILD"

# The 64-bit build needs nothing 32-bit. Where the 32-bit exe cannot run
# (no 32-bit Wine to be had, or a kernel that cannot run 32-bit programs)
# the 64-bit build runs instead, and the script says so.
INSTEAD=
if [[ $BITS == 64 ]]; then
  install_packages build wine
else
  install_packages build build32 wine wine32
  ensure_i386_exec
  if [[ $NORVA_I386 == none ]]; then
    INSTEAD=$(no_i386_reason)
    # A missing 32-bit Wine was told by the install already.
    if [[ -n $NORVA_WINE32_MISSING ]]; then
      warn "running the 64-bit build instead"
    else
      warn "$INSTEAD: running the 64-bit build instead"
    fi
    BITS=64
  fi
fi
# Said again at the end, where it is seen.
said_instead() {
  [[ -z $INSTEAD ]] || echo "ran the 64-bit build, not the 32-bit one: $INSTEAD"
}
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

INI=${EXE%exe}ini
if ((!SHOT_ONLY)); then
  log "starting $EXE (settings: $INI)"
  "$(wine_for_bits "$BITS")" "$EXE" >"$BUILD/norva-run.log" 2>&1 </dev/null &
  NORVA_PID=$!
  log "Norva runs on $DISPLAY; waiting for it to be closed (Ctrl-C stops it)"
  wait "$NORVA_PID" || true
  NORVA_PID=
  said_instead
  exit 0
fi

# For the screenshot Norva runs in a Wine virtual desktop: a desktop window
# with a taskbar whose notification area shows the tray icon (a bare X
# server has neither, and Wine's stand-alone tray window would cover the
# top-left corner, where Norva opens without a settings file).
log "starting $EXE in a Wine virtual desktop (settings: $INI)"
desktop_taskbar norva || die "could not enable the taskbar of the Wine desktop in the prefix"
WINEDEBUG=+pid,+loaddll "$WINE64" explorer /desktop=norva,1024x768 "$EXE" >"$BUILD/norva-run.log" 2>&1 </dev/null &
NORVA_PID=$!
# Wine 8 names the desktop window "norva - Wine desktop", Wine 10 "norva - Wine Desktop".
for ((i = 0; i < 300 * SLOW; i++)); do
  [[ -n $(find_window "norva - Wine desktop" 1024x768)$(find_window "norva - Wine Desktop" 1024x768) ]] && break
  sleep 0.2
done
((i < 300 * SLOW)) || die "the Wine desktop did not appear"
HEX=
for ((i = 0; i < 600 * SLOW; i++)); do
  HEX=$(grep -m1 -F 'norva.exe" at ' "$BUILD/norva-run.log" | cut -d: -f1 || true)
  [[ -n $HEX ]] && break
  sleep 0.1
done
[[ -n $HEX ]] || die "Norva did not start (log: $BUILD/norva-run.log)"
sleep $((4 * SLOW)) # the window, its first figures and the tray icon
import -window root -crop 1024x768+0+0 +repage "$SHOT"
echo "screenshot: $SHOT"

# Close the way the system does (WM_CLOSE): Norva writes its settings file
# and ends; then the desktop is ended.
before=$(stat -c %Y.%s "$INI" 2>/dev/null || echo none)
# taskkill must run on the same desktop: it only sees the windows of its own.
timeout 60 "$WINE64" explorer /desktop=norva,1024x768 taskkill /pid $((16#$HEX)) >/dev/null 2>&1 || true
for ((i = 0; i < 30 * SLOW; i++)); do
  [[ $(stat -c %Y.%s "$INI" 2>/dev/null || echo none) != "$before" ]] && break
  sleep 1
done
sleep 2
if [[ -f $INI ]]; then
  echo "Norva closed; its settings: $INI"
else
  warn "Norva wrote no settings file at close"
fi
said_instead
exit 0
