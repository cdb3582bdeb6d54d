#!/usr/bin/env bash
# Prints figures about both builds of norva.exe; asserts nothing.
#
#   scripts/measure.sh [--runs N] [--no-build]
#
#   - size and imported DLLs of each exe (objdump -p);
#   - start-up time under Wine until the first painted window, beside Wine's
#     own taskmgr started the same way (same prefix, same Xvfb, same loader),
#     median of N runs (default 5), and the ratio;
#   - private memory and RSS of the running process (/proc/PID/smaps_rollup),
#     beside taskmgr's.
#
# Runs on its own Xvfb with a fresh prefix in /tmp. The 32-bit figures are
# skipped when this kernel runs 32-bit programs only under qemu-i386
# (NORVA_MEASURE_EMULATED=1 measures them anyway, with one run).
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=lib.sh
source "$HERE/lib.sh"
cd "$NORVA_ROOT"

RUNS=5 BUILD_FIRST=1
while (($#)); do
  case $1 in
    --runs) RUNS=$2; shift ;;
    --no-build) BUILD_FIRST=0 ;;
    -h | --help) sed -n '2,17p' "$0"; exit 0 ;;
    *) die "unknown option $1" ;;
  esac
  shift
done

BUILD=$NORVA_ROOT/build
ensure_i386_exec

if ((BUILD_FIRST)); then
  for bits in 32 64; do
    build_preset "win$bits" >"$BUILD/measure-build-win$bits.log" 2>&1 ||
      warn "win$bits build failed (log: $BUILD/measure-build-win$bits.log)"
  done
fi

now_ms() { echo $(($(date +%s%N) / 1000000)); }
median() { sort -n | awk '{a[NR] = $1} END {if (NR) print (NR % 2 ? a[(NR + 1) / 2] : int((a[NR / 2] + a[NR / 2 + 1]) / 2)); else print "-"}'; }

# --- size and imports ----------------------------------------------------

echo "== size and imported DLLs"
for bits in 32 64; do
  exe=$BUILD/win$bits/norva.exe
  if [[ ! -f $exe ]]; then
    echo "win$bits: $exe missing"
    continue
  fi
  objdump=i686-w64-mingw32-objdump
  [[ $bits == 64 ]] && objdump=x86_64-w64-mingw32-objdump
  printf 'win%s: %s  %d bytes (%d KiB)\n' "$bits" "$exe" "$(stat -c %s "$exe")" $(($(stat -c %s "$exe") / 1024))
  echo "  \$ $objdump -p $exe | grep 'DLL Name'"
  $objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: /    /p'
done

# --- start-up and memory under Wine -----------------------------------------

WORK=$(mktemp -d /tmp/norva-measure.XXXXXX)
PREFIX=$WORK/prefix
LAUNCHED=()
cleanup() {
  local p
  if [[ -d $PREFIX ]]; then
    WINEPREFIX=$PREFIX timeout 30 wineserver -k >/dev/null 2>&1 || true
  fi
  for p in "${LAUNCHED[@]}"; do kill "$p" 2>/dev/null || true; done
  stop_xvfb
  remove_tree "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb 1280x1024x24
make_prefix "$PREFIX" || die "could not create the Wine prefix"
# Keep the server and the prefix's own processes (services, the desktop's
# explorer) alive between runs, so each run measures the program's start and
# not Wine's.
wineserver -p
timeout 60 "$WINE64" reg query 'HKCU\Software\Wine' >/dev/null 2>&1 || true

# Prints "ID X Y W H" of the first visible top-level window of X class $1
# that is larger than 1x1, or nothing.
window_of_class() {
  xwininfo -root -children 2>/dev/null | sed 's/^ *//' | { grep -F "(\"$1\" " || true; } |
    sed -nE 's/^(0x[0-9a-f]+) .* ([0-9]+)x([0-9]+)[+-]-?[0-9]+[+-]-?[0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\1 \4 \5 \2 \3/p' |
    while read -r id x y w h; do
      ((w > 1 && h > 1)) || continue
      [[ $(xwininfo -id "$id" 2>/dev/null | sed -n 's/^ *Map State: //p') == IsViewable ]] || continue
      echo "$id $x $y $w $h"
      break
    done
}

# Starts $2 with loader $1, waits for its window (class $3) to be mapped and
# then painted (more than 16 colours in it); sets T_MAP and T_PAINT (ms, or
# "-") and LAST_PID (the process is left running).
time_start() {
  local loader=$1 exe=$2 class=$3 limit=$4 t0 found id x y w h colours end
  T_MAP=- T_PAINT=-
  t0=$(now_ms)
  (cd "$(dirname "$exe")" && exec "$loader" "$exe") >/dev/null 2>&1 </dev/null &
  LAST_PID=$!
  LAUNCHED+=("$LAST_PID")
  end=$((SECONDS + limit))
  while ((SECONDS < end)); do
    found=$(window_of_class "$class")
    if [[ -n $found ]]; then
      [[ $T_MAP != - ]] || T_MAP=$(($(now_ms) - t0))
      read -r id x y w h <<<"$found"
      colours=$(import -window root -crop "${w}x$h+$x+$y" png:- 2>/dev/null | convert png:- -format '%k' info: 2>/dev/null || echo 0)
      if ((colours > 16)); then
        T_PAINT=$(($(now_ms) - t0))
        break
      fi
    else
      sleep 0.02
    fi
  done
}

stop_started() {
  local loader=$1 pid=$2
  timeout 120 "$loader" taskkill /im "$3" >/dev/null 2>&1 || true
  for ((i = 0; i < 100; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

memory_of() {
  awk '/^Rss:/ {r = $2} /^Private_Clean:/ {c = $2} /^Private_Dirty:/ {d = $2}
       END {printf "private %d KiB (Private_Clean %d + Private_Dirty %d), RSS %d KiB", c + d, c, d, r}' "/proc/$1/smaps_rollup"
}

echo
echo "== start-up until the first painted window (ms), $RUNS runs, Xvfb $DISPLAY, prefix $PREFIX"
echo "   method: launch '\$loader <exe>' in the background, poll 'xwininfo -root -children' for the"
echo "   window (mapped), then 'import -window root -crop' of it until it shows >16 colours (painted)."
echo "   The prefix's wineserver stays up between runs (wineserver -p); one warm-up run each first."
for bits in 64 32; do
  exe=$BUILD/win$bits/norva.exe
  [[ -f $exe ]] || continue
  runs=$RUNS limit=60
  if [[ $bits == 32 && $NORVA_I386 != native ]]; then
    if [[ $NORVA_I386 == emulated && ${NORVA_MEASURE_EMULATED:-0} == 1 ]]; then
      runs=1 limit=900
      echo "win32: under qemu-i386 emulation (this kernel has no IA-32 emulation): figures not comparable"
    else
      echo "win32: skipped (32-bit programs run here only under qemu-i386; NORVA_MEASURE_EMULATED=1 to measure anyway)"
      continue
    fi
  fi
  loader=$(wine_for_bits "$bits")
  sysdir=system32
  [[ $bits == 32 ]] && sysdir=syswow64
  taskmgr=$PREFIX/drive_c/windows/$sysdir/taskmgr.exe
  copy=$WORK/win$bits/norva.exe
  mkdir -p "$(dirname "$copy")"
  cp "$exe" "$copy"
  nv_map=() nv_paint=() tm_map=() tm_paint=() nv_mem= tm_mem=
  for ((r = 0; r <= runs; r++)); do
    time_start "$loader" "$copy" norva.exe "$limit"
    if ((r == runs)); then
      sleep 3
      nv_mem=$(memory_of "$LAST_PID" 2>/dev/null || echo "unreadable")
    fi
    stop_started "$loader" "$LAST_PID" norva.exe
    if ((r > 0)); then nv_map+=("$T_MAP") nv_paint+=("$T_PAINT"); fi
    time_start "$loader" "$taskmgr" taskmgr.exe "$limit"
    if ((r == runs)); then
      sleep 3
      tm_mem=$(memory_of "$LAST_PID" 2>/dev/null || echo "unreadable")
    fi
    stop_started "$loader" "$LAST_PID" taskmgr.exe
    if ((r > 0)); then tm_map+=("$T_MAP") tm_paint+=("$T_PAINT"); fi
  done
  nm=$(printf '%s\n' "${nv_map[@]}" | grep -v -- - | median)
  np=$(printf '%s\n' "${nv_paint[@]}" | grep -v -- - | median)
  tm=$(printf '%s\n' "${tm_map[@]}" | grep -v -- - | median)
  tp=$(printf '%s\n' "${tm_paint[@]}" | grep -v -- - | median)
  echo "win$bits norva.exe : mapped ${nm} ms, painted ${np} ms   (runs: ${nv_paint[*]})"
  echo "win$bits taskmgr   : mapped ${tm} ms, painted ${tp} ms   (runs: ${tm_paint[*]})"
  if [[ $np =~ ^[0-9]+$ && $tp =~ ^[0-9]+$ ]] && ((tp > 0)); then
    awk -v a="$np" -v b="$tp" 'BEGIN {printf "win%s ratio norva/taskmgr (painted): %.2f\n", "'"$bits"'", a / b}'
  fi
  echo "win$bits memory 3 s after the last start (\$ cat /proc/<pid of the wine process>/smaps_rollup):"
  echo "   norva.exe : $nv_mem"
  echo "   taskmgr   : $tm_mem"
done
