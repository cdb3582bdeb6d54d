#!/usr/bin/env bash
# Prints figures about the settings dialog of the 64-bit norva.exe; asserts
# nothing.
#
#   scripts/measure_settings.sh [--runs N] [--exe PATH] [--prefix DIR]
#
#   - time from the click on "[設定]" until the dialog is mapped, and until its
#     first tab is painted (the red bar under the track bar is on the screen,
#     with more than 16 colours in the dialog), median of N runs (default 5),
#     each in a freshly started program (the first opening, which also makes
#     the dialog's windows);
#   - private memory and RSS of the program before the first opening and with
#     the dialog open (/proc/PID/smaps_rollup of the Wine process), medians.
#
# Runs on its own Xvfb; the prefix is a new one in /tmp unless --prefix names
# one (created when missing).
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=lib.sh
source "$HERE/lib.sh"

RUNS=5 EXE=$NORVA_ROOT/build/win64/norva.exe PREFIX=
while (($#)); do
  case $1 in
    --runs) RUNS=$2; shift ;;
    --exe) EXE=$(readlink -f "$2"); shift ;;
    --prefix) PREFIX=$2; shift ;;
    -h | --help) sed -n '2,17p' "$0"; exit 0 ;;
    *) die "unknown option $1" ;;
  esac
  shift
done
[[ -f $EXE ]] || die "no $EXE (build it: cmake --preset win64 && cmake --build --preset win64)"

WORK=$(mktemp -d /tmp/norva-measure-settings.XXXXXX)
PREFIX=${PREFIX:-$WORK/prefix}
PID=
cleanup() {
  if [[ -n $PID ]]; then kill "$PID" 2>/dev/null || true; fi
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  stop_xvfb
  remove_tree "$WORK"
}
trap cleanup EXIT

start_xvfb 1280x1024x24
make_prefix "$PREFIX" || die "could not make the prefix $PREFIX"
timeout 60 wineserver -p >/dev/null 2>&1 || true

# "private RSS" in KiB of process $1.
memory_kib() {
  awk '/^Rss:/ {r = $2} /^Private_Clean:/ {c = $2} /^Private_Dirty:/ {d = $2} END {print c + d, r}' "/proc/$1/smaps_rollup"
}
# Pixels of exactly colour $3 in the area $2 (WxH+X+Y) of the screen.
screen_colour_pixels() {
  import -window root -crop "$2" png:- 2>/dev/null |
    convert png:- -fill black +opaque "$1" -fill white -opaque "$1" -format '%[fx:round(mean*w*h)]' info: 2>/dev/null || echo 0
}

X=300 Y=200
cp "$EXE" "$WORK/norva.exe"
t_map=() t_paint=() mem_before=() mem_open=() rss_before=() rss_open=()
for ((r = 1; r <= RUNS; r++)); do
  printf '[SYSTEM]\r\nXPos=%d\r\nYPos=%d\r\n' "$X" "$Y" >"$WORK/norva.ini"
  (cd "$WORK" && exec "$WINE64" "$WORK/norva.exe") >/dev/null 2>&1 </dev/null &
  PID=$!
  wait_window Norva 200x80 60 >/dev/null || die "run $r: no main window"
  sleep 2
  read -r p rss < <(memory_kib "$PID")
  mem_before+=("$p") rss_before+=("$rss")
  t0=$(now_ms)
  xdotool mousemove $((X + 15)) $((Y + 8)) click 1
  map=- paint=- end=$((SECONDS + 30))
  while ((SECONDS < end)); do
    found=$(find_window "設定画面" 523x325)
    if [[ -z $found ]]; then
      sleep 0.01
      continue
    fi
    [[ $map != - ]] || map=$(($(now_ms) - t0))
    read -r _ dx dy <<<"$found"
    # The first tab's red bar (121 x 6 pixels) lies in its group box, which
    # paints after the dialog and the tab control.
    if (($(screen_colour_pixels '#FF0000' "523x325+$dx+$dy") >= 600)); then
      paint=$(($(now_ms) - t0))
      break
    fi
  done
  t_map+=("$map") t_paint+=("$paint")
  sleep 2
  read -r p rss < <(memory_kib "$PID")
  mem_open+=("$p") rss_open+=("$rss")
  timeout 60 "$WINE64" taskkill /im norva.exe >/dev/null 2>&1 || true
  for ((i = 0; i < 100; i++)); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
  kill "$PID" 2>/dev/null || true
  wait "$PID" 2>/dev/null || true
  PID=
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  timeout 60 wineserver -p >/dev/null 2>&1 || true
done

echo "== settings dialog of $EXE, $RUNS runs, Xvfb $DISPLAY, Wine $("$WINE64" --version 2>/dev/null)"
echo "   method: click on [設定] (xdotool), poll xwininfo for the 523x325 window (mapped), then"
echo "   'import -window root -crop' of it until the first tab's red bar shows (painted)."
echo "open, mapped : $(printf '%s\n' "${t_map[@]}" | median) ms   (runs: ${t_map[*]})"
echo "open, painted: $(printf '%s\n' "${t_paint[@]}" | median) ms   (runs: ${t_paint[*]})"
mb=$(printf '%s\n' "${mem_before[@]}" | median) mo=$(printf '%s\n' "${mem_open[@]}" | median)
rb=$(printf '%s\n' "${rss_before[@]}" | median) ro=$(printf '%s\n' "${rss_open[@]}" | median)
echo "private memory (Private_Clean + Private_Dirty): before ${mb} KiB, dialog open ${mo} KiB, +$((mo - mb)) KiB"
echo "RSS: before ${rb} KiB, dialog open ${ro} KiB, +$((ro - rb)) KiB"
