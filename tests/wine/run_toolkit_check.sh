#!/usr/bin/env bash
# Runs toolkit_check.exe (the toolkit's Win32 peers against the system
# controls) under Wine on its own Xvfb screen; prints its lines and exits
# with its exit code. With --shots DIR it also shows the check window's
# three views (process list, heap tab, process tree) one after the other and
# saves a screenshot of each as DIR/toolkit-N.png.
#
#   tests/wine/run_toolkit_check.sh [--prefix DIR] [--shots DIR] build/win64/toolkit_check.exe
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"

prefix=$NORVA_ROOT/build/wine-prefix shots=
while [[ $# -gt 1 ]]; do
  case $1 in
    --prefix) prefix=$2; shift 2 ;;
    --shots) shots=$2; shift 2 ;;
    *) die "unknown option $1" ;;
  esac
done
exe=$(realpath "${1:?path to toolkit_check.exe}")
[[ -f $exe ]] || die "$exe does not exist"
bits=$(pe_bits "$exe") || die "$exe is no Windows program"
loader=$(wine_for_bits "$bits")

make_prefix "$prefix" || die "could not make the Wine prefix $prefix"
start_xvfb 1280x1024x24
# A Wine session started earlier without a screen (the INI conformance runs
# before this) keeps a desktop that cannot show windows: start a new one.
timeout 30 wineserver -k 2>/dev/null || true
timeout 30 wineserver -w 2>/dev/null || true
cleanup() {
  wineserver -k 2>/dev/null || true
  stop_xvfb
}
trap cleanup EXIT

timeout 600 "$loader" "$exe" </dev/null 2>/dev/null | tr -d '\r'
rc=${PIPESTATUS[0]}

if [[ -n $shots ]]; then
  mkdir -p "$shots"
  for view in 0 1 2; do
    log=$(mktemp)
    timeout 600 "$loader" "$exe" --show "$view" </dev/null >"$log" 2>/dev/null &
    pid=$!
    # The program says "ready" once the view is painted.
    for ((n = 0; n < 1200; n++)); do
      grep -q '^ready' "$log" && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if grep -q '^ready' "$log"; then
      import -window root "$shots/toolkit-$view.png" && echo "screenshot $shots/toolkit-$view.png"
    else
      warn "the check window did not show view $view"
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    rm -f "$log"
  done
fi
exit "$rc"
