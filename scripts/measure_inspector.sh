#!/usr/bin/env bash
# Prints figures about the inspector under Wine; asserts nothing.
#
#   scripts/measure_inspector.sh [--build DIR] [--runs N] [--opens N] [--prefix DIR]
#
#   - the first opening of the inspector: time from the click on "[情報]"
#     until its window is mapped and until it is painted (more than 16
#     colours in it), median of N fresh starts (--opens, default 5), with
#     the private memory before and after each opening;
#   - the process-list rebuild ("最新の情報に更新" on the process tab: list,
#     target combo and tree from one snapshot, every process opened) for the
#     prefix's processes: ms per rebuild over N rebuilds (default 20), timed by
#     inspector_peek.exe, which sends the clicks and waits for each;
#   - private memory and RSS of norva.exe (/proc/PID/smaps_rollup) before the
#     inspector is opened and after its first rebuild.
#
# Takes DIR/win64/norva.exe and inspector_peek.exe (default build/); runs on
# its own Xvfb with a fresh prefix in /tmp.
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=lib.sh
source "$HERE/lib.sh"

BUILD=$NORVA_ROOT/build RUNS=20 OPENS=5 PREFIX=
while (($#)); do
  case $1 in
    --opens) OPENS=$2; shift ;;
    --prefix) PREFIX=$(readlink -f "$2"); shift ;;
    --build) BUILD=$(readlink -f "$2"); shift ;;
    --runs) RUNS=$2; shift ;;
    -h | --help) sed -n '2,18p' "$0"; exit 0 ;;
    *) die "unknown option $1" ;;
  esac
  shift
done
EXE=$BUILD/win64/norva.exe PEEK=$BUILD/win64/inspector_peek.exe
[[ -f $EXE && -f $PEEK ]] || die "build the win64 preset first ($EXE, $PEEK)"

WORK=$(mktemp -d /tmp/norva-measure-inspector.XXXXXX)
PREFIX=${PREFIX:-$WORK/prefix} NV_PID=
cleanup() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  [[ -n $NV_PID ]] && kill "$NV_PID" 2>/dev/null || true
  stop_xvfb
  remove_tree "$WORK"
}
trap cleanup EXIT

start_xvfb 1280x1024x24
make_prefix "$PREFIX" || die "could not create the Wine prefix"
cp "$EXE" "$PEEK" "$WORK/"

# "private RSS" in KiB of process $1.
private_kib() {
  awk '/^Private_Clean:/ {c = $2} /^Private_Dirty:/ {d = $2} END {print c + d}' "/proc/$1/smaps_rollup"
}

# The first opening, in fresh starts.
t_map=() t_paint=() mem_start=() mem_open=()
for ((r = 1; r <= OPENS; r++)); do
  (cd "$WORK" && exec "$WINE64" "$WORK/norva.exe" >"$WORK/norva.log" 2>&1) &
  NV_PID=$!
  main=$(wait_window Norva 200x80 60) || die "no main window"
  read -r _ x y <<<"$main"
  sleep 3
  mem_start+=("$(private_kib "$NV_PID")")
  t0=$(now_ms)
  xdotool mousemove $((x + 95)) $((y + 9)) click 1
  map=- paint=- end=$((SECONDS + 60))
  while ((SECONDS < end)); do
    found=$(find_window 'システム情報 詳細表示' '[0-9]+x[0-9]+')
    if [[ -z $found ]]; then
      sleep 0.01
      continue
    fi
    [[ $map != - ]] || map=$(($(now_ms) - t0))
    read -r id wx wy <<<"$found"
    size=$(xwininfo -id "$id" | awk '/^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print w "x" h}')
    colours=$(import -window root -crop "$size+$wx+$wy" png:- 2>/dev/null | convert png:- -format '%k' info: 2>/dev/null || echo 0)
    if ((colours > 16)); then
      paint=$(($(now_ms) - t0))
      break
    fi
  done
  t_map+=("$map") t_paint+=("$paint")
  sleep 2
  mem_open+=("$(private_kib "$NV_PID")")
  timeout 60 "$WINE64" taskkill /im norva.exe >/dev/null 2>&1 || true
  for ((i = 0; i < 100; i++)); do kill -0 "$NV_PID" 2>/dev/null || break; sleep 0.1; done
  kill "$NV_PID" 2>/dev/null || true
  wait "$NV_PID" 2>/dev/null || true
done
echo "== first opening of the inspector, $OPENS fresh starts: click on [情報] (xdotool) until the window"
echo "   is mapped (xwininfo) and painted (>16 colours in 'import -window root -crop' of it)"
echo "open, mapped : $(printf '%s\n' "${t_map[@]}" | median) ms   (runs: ${t_map[*]})"
echo "open, painted: $(printf '%s\n' "${t_paint[@]}" | median) ms   (runs: ${t_paint[*]})"
mb=$(printf '%s\n' "${mem_start[@]}" | median) mo=$(printf '%s\n' "${mem_open[@]}" | median)
echo "private memory (Private_Clean + Private_Dirty), medians: after start ${mb} KiB, inspector open ${mo} KiB, +$((mo - mb)) KiB"

(cd "$WORK" && exec "$WINE64" "$WORK/norva.exe" >"$WORK/norva.log" 2>&1) &
NV_PID=$!
main=$(wait_window Norva 200x80 60) || die "no main window"
read -r _ x y <<<"$main"
sleep 3
before=$(memory_of "$NV_PID")
xdotool mousemove $((x + 95)) $((y + 9)) click 1
wait_window 'システム情報 詳細表示' '[0-9]+x[0-9]+' 60 >/dev/null || die "no inspector window"
sleep 2
after=$(memory_of "$NV_PID")
rows=$(timeout 60 "$WINE64" "$WORK/inspector_peek.exe" rows | wc -l)
ms=$(timeout 300 "$WINE64" "$WORK/inspector_peek.exe" refresh "$RUNS" | tr -d '\r')
echo "== inspector under Wine ($("$WINE64" --version)), Xvfb $DISPLAY, prefix $PREFIX"
echo "process-list rebuild: ${ms} ms per rebuild, $rows processes, mean of $RUNS (inspector_peek.exe refresh $RUNS)"
echo "norva.exe memory before opening the inspector: $before"
echo "norva.exe memory after its first rebuild:      $after"
