#!/usr/bin/env bash
# Prints figures about the inspector under Wine; asserts nothing.
#
#   scripts/measure_inspector.sh [--build DIR] [--runs N]
#
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

BUILD=$NORVA_ROOT/build RUNS=20
while (($#)); do
  case $1 in
    --build) BUILD=$(readlink -f "$2"); shift ;;
    --runs) RUNS=$2; shift ;;
    -h | --help) sed -n '2,14p' "$0"; exit 0 ;;
    *) die "unknown option $1" ;;
  esac
  shift
done
EXE=$BUILD/win64/norva.exe PEEK=$BUILD/win64/inspector_peek.exe
[[ -f $EXE && -f $PEEK ]] || die "build the win64 preset first ($EXE, $PEEK)"

WORK=$(mktemp -d /tmp/norva-measure-inspector.XXXXXX)
PREFIX=$WORK/prefix NV_PID=
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
