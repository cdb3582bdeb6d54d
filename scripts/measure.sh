#!/usr/bin/env bash
# Prints figures about both builds of norva.exe; asserts nothing.
#
#   scripts/measure.sh [--runs N] [--no-build] [--build DIR] [--prefix DIR] [--only "size startup cleaning"]
#
#   - size and imported DLLs of each exe (objdump -p);
#   - start-up time under Wine until the first painted window, beside Wine's
#     own taskmgr and beside onewindow.exe (bench/wine/: a program that only
#     opens one window, the floor) started the same way (same prefix, same
#     Xvfb, same loader), median of N runs (default 5), and the ratios;
#   - private memory and RSS of the running process (/proc/PID/smaps_rollup),
#     beside taskmgr's;
#   - cleaning: wall time of `norva.exe -exec` at CleanSpeed 2 with a 1 GiB
#     cleaning, beside firsttouch.exe (the same block reserved the same way and
#     written once with memset) and beside `-exec` with a 1 MiB cleaning (what
#     starting and ending costs); median of N runs (default 3), the ratios.
#
# --build DIR takes the exes from DIR/win32 and DIR/win64 and builds nothing;
# --only runs the named sections; --prefix reuses (or makes) that Wine prefix.
#
# Runs on its own Xvfb with a fresh prefix in /tmp. The 32-bit figures are
# skipped when this kernel runs 32-bit programs only under qemu-i386
# (NORVA_MEASURE_EMULATED=1 measures them anyway, with one run).
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=lib.sh
source "$HERE/lib.sh"
cd "$NORVA_ROOT"

RUNS=5 BUILD_FIRST=1 BUILD=$NORVA_ROOT/build ONLY="size startup cleaning" CLEAN_RUNS=3 PREFIX_ARG=
while (($#)); do
  case $1 in
    --runs) RUNS=$2 CLEAN_RUNS=$2; shift ;;
    --build) BUILD=$(readlink -f "$2") BUILD_FIRST=0; shift ;;
    --only) ONLY=$2; shift ;;
    --prefix) PREFIX_ARG=$(readlink -m "$2"); shift ;;
    --no-build) BUILD_FIRST=0 ;;
    -h | --help) sed -n '2,25p' "$0"; exit 0 ;;
    *) die "unknown option $1" ;;
  esac
  shift
done

ensure_i386_exec
section() { [[ " $ONLY " == *" $1 "* ]]; }

if ((BUILD_FIRST)); then
  for bits in 32 64; do
    build_preset "win$bits" >"$BUILD/measure-build-win$bits.log" 2>&1 ||
      warn "win$bits build failed (log: $BUILD/measure-build-win$bits.log)"
  done
fi

# --- size and imports ----------------------------------------------------

section size && echo "== size and imported DLLs"
section size && for bits in 32 64; do
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
PREFIX=${PREFIX_ARG:-$WORK/prefix}
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
  local id state x y w h
  while read -r id; do
    read -r state x y w h _ < <(window_look "$id") || continue
    if [[ $state == IsViewable ]] && ((w > 1 && h > 1)); then
      echo "$id $x $y $w $h"
      return 0
    fi
  done < <(top_windows -F "(\"$1\" ")
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

section startup && echo
section startup && echo "== start-up until the first painted window (ms), $RUNS runs, Xvfb $DISPLAY, prefix $PREFIX"
section startup && echo "   method: launch '\$loader <exe>' in the background, poll 'xwininfo -root -children' for the"
section startup && echo "   window (mapped), then 'import -window root -crop' of it until it shows >16 colours (painted)."
section startup && echo "   The prefix's wineserver stays up between runs (wineserver -p); one warm-up run each first."
section startup && for bits in 64 32; do
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
  # The floor: a program that only opens one window (bench/wine/onewindow.cpp).
  floor=
  if [[ -f $BUILD/win$bits/onewindow.exe ]]; then
    floor=$WORK/win$bits/onewindow.exe
    cp "$BUILD/win$bits/onewindow.exe" "$floor"
  fi
  fl_map=() fl_paint=()
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
    if [[ -n $floor ]]; then
      time_start "$loader" "$floor" onewindow.exe "$limit"
      stop_started "$loader" "$LAST_PID" onewindow.exe
      if ((r > 0)); then fl_map+=("$T_MAP") fl_paint+=("$T_PAINT"); fi
    fi
  done
  nm=$(printf '%s\n' "${nv_map[@]}" | median)
  np=$(printf '%s\n' "${nv_paint[@]}" | median)
  tm=$(printf '%s\n' "${tm_map[@]}" | median)
  tp=$(printf '%s\n' "${tm_paint[@]}" | median)
  echo "win$bits norva.exe : mapped ${nm} ms, painted ${np} ms   (runs: ${nv_paint[*]})"
  echo "win$bits taskmgr   : mapped ${tm} ms, painted ${tp} ms   (runs: ${tm_paint[*]})"
  if [[ $np =~ ^[0-9]+$ && $tp =~ ^[0-9]+$ ]] && ((tp > 0)); then
    awk -v a="$np" -v b="$tp" 'BEGIN {printf "win%s ratio norva/taskmgr (painted): %.2f\n", "'"$bits"'", a / b}'
  fi
  if [[ -n $floor ]]; then
    fm=$(printf '%s\n' "${fl_map[@]}" | median)
    fp=$(printf '%s\n' "${fl_paint[@]}" | median)
    echo "win$bits onewindow : mapped ${fm} ms, painted ${fp} ms   (runs: ${fl_paint[*]})"
    if [[ $np =~ ^[0-9]+$ && $fp =~ ^[0-9]+$ ]] && ((fp > 0)); then
      awk -v a="$np" -v b="$fp" 'BEGIN {printf "win%s ratio norva/onewindow (painted): %.2f\n", "'"$bits"'", a / b}'
    fi
  fi
  echo "win$bits memory 3 s after the last start (\$ cat /proc/<pid of the wine process>/smaps_rollup):"
  echo "   norva.exe : $nv_mem"
  echo "   taskmgr   : $tm_mem"
done

# --- a cleaning of 1 GiB against first-touching 1 GiB ----------------------

# Runs "$loader $exe args..." in the exe's folder until it ends; prints the
# wall time in ms (or "-" when it failed), its output goes to $OUTFILE.
wall_ms() {
  local loader=$1 exe=$2 t0 rc=0
  shift 2
  t0=$(now_ms)
  (cd "$(dirname "$exe")" && timeout 600 "$loader" "$exe" "$@") >"$OUTFILE" 2>&1 </dev/null || rc=$?
  if ((rc == 0)); then echo $(($(now_ms) - t0)); else echo -; fi
}

# A settings file for one speed-2 cleaning of exactly $2 MiB: with AutoMemSize
# and Memory 0 in the file a cleaning reserves its least size, AutoExeSize MB
# (allowed up to a quarter of physical memory).
clean_ini() {
  printf '[SYSTEM]\r\nXPos=300\r\nYPos=200\r\n[DEFAULT]\r\nAutoMemSize=1\r\nMemory=0\r\nAutoExeSize=%s\r\nCleanSpeed=2\r\n' "$2" >"$1"
}

if section cleaning; then
  echo
  total_kib=$(awk '/^MemTotal:/ {print $2}' /proc/meminfo)
  echo "== cleaning 1 GiB at CleanSpeed 2 against first touch of 1 GiB (wall ms), $CLEAN_RUNS runs, prefix $PREFIX"
  echo "   host physical memory $((total_kib / 1024)) MiB; settings AutoMemSize=1 Memory=0 AutoExeSize=1024 CleanSpeed=2"
  echo "   (a self-sizing cleaning never goes below AutoExeSize MB: exactly 1073741824 bytes on any host"
  echo "   with 4 GiB or more). Timed: '\$loader norva.exe -exec' from launch to its end (start, first"
  echo "   tick, cleaning with its 300 ms hold, save, exit); the same with AutoExeSize=1 (1 MiB) as the"
  echo "   cost of starting and ending; 'firsttouch.exe 1024' (GlobalAlloc + GlobalLock + memset) with"
  echo "   its own memset time. The prefix's wineserver stays up; one warm-up run each first."
  OUTFILE=$WORK/out.txt
  for bits in 64 32; do
    exe=$BUILD/win$bits/norva.exe ft=$BUILD/win$bits/firsttouch.exe
    if [[ ! -f $exe || ! -f $ft ]]; then
      echo "win$bits: $exe or $ft missing"
      continue
    fi
    runs=$CLEAN_RUNS
    if [[ $bits == 32 && $NORVA_I386 != native ]]; then
      if [[ $NORVA_I386 == emulated && ${NORVA_MEASURE_EMULATED:-0} == 1 ]]; then
        runs=1
        echo "win32: under qemu-i386 emulation: figures not comparable"
      else
        echo "win32: skipped (32-bit programs run here only under qemu-i386; NORVA_MEASURE_EMULATED=1 to measure anyway)"
        continue
      fi
    fi
    loader=$(wine_for_bits "$bits")
    dir=$WORK/clean$bits
    mkdir -p "$dir"
    cp "$exe" "$ft" "$dir/"
    # The size the program really reserved, from one run with a relay trace
    # of GlobalAlloc (the reservation may shrink when memory is short).
    timeout 60 "$WINE64" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d 'GlobalAlloc' /f >/dev/null 2>&1 || true
    clean_ini "$dir/norva.ini" 1024
    (cd "$dir" && WINEDEBUG=+relay timeout 600 "$loader" "$dir/norva.exe" -exec) >"$WORK/relay.txt" 2>&1 </dev/null || true
    size_hex=$(grep -oE 'Call KERNEL32\.GlobalAlloc\(00000002,[0-9a-f]+\)' "$WORK/relay.txt" |
      sed -E 's/.*,([0-9a-f]+)\)/\1/' | sort | tail -1)
    timeout 60 "$WINE64" reg delete 'HKCU\Software\Wine\Debug' /v RelayInclude /f >/dev/null 2>&1 || true
    if [[ -n $size_hex ]]; then
      echo "win$bits: the cleaning reserved $((16#$size_hex)) bytes (GlobalAlloc(GMEM_MOVEABLE, 0x$size_hex), relay trace)"
    else
      echo "win$bits: the reserved size could not be read from the relay trace"
    fi
    big=() small=() ftw=() ftm=()
    for ((r = 0; r <= runs; r++)); do
      clean_ini "$dir/norva.ini" 1024
      t=$(wall_ms "$loader" "$dir/norva.exe" -exec)
      ((r > 0)) && big+=("$t")
      clean_ini "$dir/norva.ini" 1
      t=$(wall_ms "$loader" "$dir/norva.exe" -exec)
      ((r > 0)) && small+=("$t")
      t=$(wall_ms "$loader" "$dir/firsttouch.exe" 1024)
      if ((r > 0)); then
        ftw+=("$t")
        ftm+=("$(sed -nE 's/.*memset ([0-9.]+) ms.*/\1/p' "$OUTFILE" | tr -d '\r' | head -1)")
      fi
    done
    b=$(printf '%s\n' "${big[@]}" | median)
    sm=$(printf '%s\n' "${small[@]}" | median)
    fw=$(printf '%s\n' "${ftw[@]}" | median)
    fm=$(printf '%s\n' "${ftm[@]}" | awk 'NF {printf "%d\n", $1}' | median)
    echo "win$bits norva.exe -exec, 1 GiB : ${b} ms   (runs: ${big[*]})"
    echo "win$bits norva.exe -exec, 1 MiB : ${sm} ms   (runs: ${small[*]})"
    echo "win$bits firsttouch.exe 1024    : ${fw} ms wall, memset alone ${fm} ms   (wall runs: ${ftw[*]}; memset runs: ${ftm[*]})"
    if [[ $b =~ ^[0-9]+$ && $sm =~ ^[0-9]+$ && $fw =~ ^[0-9]+$ && $fm =~ ^[0-9]+$ ]] && ((fw > 0 && fm > 0)); then
      awk -v b="$b" -v s="$sm" -v fw="$fw" -v fm="$fm" -v bits="$bits" 'BEGIN {
        printf "win%s ratio exec 1 GiB / firsttouch (wall): %.2f\n", bits, b / fw
        printf "win%s ratio (exec 1 GiB - exec 1 MiB) / firsttouch memset: %.2f  (the cleaning alone, incl. its 300 ms hold, against the memset)\n", bits, (b - s) / fm
      }'
    fi
  done
fi
