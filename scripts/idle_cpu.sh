#!/usr/bin/env bash
# Prints Norva's own processor use while idle under Wine, beside Wine's
# taskmgr in the same run; asserts nothing.
#
#   scripts/idle_cpu.sh [--secs N] [--rounds R] [--prefix DIR] [--ini LINES] [--texts]
#                       [--server] [EXE]
#
# Starts EXE (default build/win64/norva.exe) with its main window shown and
# Wine's taskmgr, both in one prefix on one Xvfb screen, lets them settle,
# then reads the user and system ticks of each one's Wine process from
# /proc/PID/stat over N seconds (default 60). Prints the ticks, the share of
# one core and the ratio Norva / taskmgr (the goal is 0.5 or less), and the
# wineserver's ticks over the same time (it serves both).
#
#   --rounds R   instead, R alternating rounds of N seconds with only one of the
#                two programs running in the prefix: Norva plus the prefix's
#                wineserver against taskmgr plus the wineserver (what each
#                costs the machine, its server's share included); the ratio
#                of the sums (goal: 0.5 or less)
#   --server     afterwards, 10 s of each program alone with Wine's server
#                trace (WINEDEBUG=+server): requests per second, by kind
#   --ini LINES  extra [DEFAULT] lines for the INI, e.g. "ShowCpuUsePer=1"
#   --texts      afterwards, a second run of 10 s with Wine's text trace: how
#                many texts Norva drew per second while idle (what repaints)
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=lib.sh
source "$HERE/lib.sh"

SECS=60 PREFIX= INI_LINES=() TEXTS=0 ROUNDS=0 SERVER=0 EXE=$NORVA_ROOT/build/win64/norva.exe
while (($#)); do
  case $1 in
    --secs) SECS=$2; shift 2 ;;
    --prefix) PREFIX=$2; shift 2 ;;
    --ini) INI_LINES+=("$2"); shift 2 ;;
    --texts) TEXTS=1; shift ;;
    --rounds) ROUNDS=$2; shift 2 ;;
    --server) SERVER=1; shift ;;
    -h | --help) sed -n '2,25p' "$0"; exit 0 ;;
    -*) die "unknown option $1" ;;
    *) EXE=$1; shift ;;
  esac
done
[[ -f $EXE ]] || die "no exe at $EXE (build it: cmake --preset win64 && cmake --build --preset win64)"
EXE=$(readlink -f "$EXE")
BITS=$(pe_bits "$EXE") || die "$EXE is not a PE file"
LOADER=$(wine_for_bits "$BITS")

WORK=$(mktemp -d /tmp/norva-idle.XXXXXX)
PREFIX=${PREFIX:-$WORK/prefix}
mkdir -p "$PREFIX"
PREFIX=$(readlink -f "$PREFIX")
PIDS=()
cleanup() {
  local p
  for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  stop_xvfb
  remove_tree "$WORK"
}
trap cleanup EXIT

start_xvfb 1280x1024x24
make_prefix "$PREFIX" || die "could not create the Wine prefix $PREFIX"
CLK=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }

# The Linux process of ours whose command line holds $1 and that runs in our
# prefix (other Wine prefixes on the machine may run the same programs).
wine_process() {
  local dir pid
  for dir in /proc/[0-9]*; do
    pid=${dir#/proc/}
    { tr '\0' ' ' <"$dir/cmdline"; } 2>/dev/null | grep -qiF -- "$1" || continue
    { tr '\0' '\n' <"$dir/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$PREFIX" || continue
    echo "$pid"
    return 0
  done
  echo 0
}

# Starts norva.exe in its own folder with the INI; sets NORVA_PID. $1: extra
# WINEDEBUG channels.
start_norva() {
  local dir=$WORK/norva
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$EXE" "$dir/norva.exe"
  {
    printf '[SYSTEM]\r\nXPos=300\r\nYPos=100\r\n[DEFAULT]\r\n'
    local line
    for line in "${INI_LINES[@]}"; do printf '%s\r\n' "$line"; done
  } >"$dir/norva.ini"
  (cd "$dir" && WINEDEBUG=${1:--all} exec "$LOADER" "$dir/norva.exe") >"$dir/log.txt" 2>&1 </dev/null &
  PIDS+=($!)
  wait_window Norva 200x80 60 >/dev/null || die "Norva's window did not appear"
  NORVA_PID=$(wine_process "$dir/norva.exe")
}

if ((ROUNDS == 0)); then
start_norva
"$WINE64" taskmgr >/dev/null 2>&1 </dev/null &
PIDS+=($!)
end=$((SECONDS + 60))
until xwininfo -root -children 2>/dev/null | grep -qi 'task manager' || ((SECONDS >= end)); do sleep 0.5; done
xwininfo -root -children 2>/dev/null | grep -qi 'task manager' || warn "taskmgr's window not seen"
sleep 5 # both past their start-up work
TASKMGR_PID=$(wine_process taskmgr.exe)
SERVER_PID=$(wine_process wineserver)
((NORVA_PID && TASKMGR_PID)) || die "processes not found (norva $NORVA_PID, taskmgr $TASKMGR_PID)"

n0=$(ticks "$NORVA_PID") t0=$(ticks "$TASKMGR_PID") w0=$(ticks "$SERVER_PID")
sleep "$SECS"
n1=$(ticks "$NORVA_PID") t1=$(ticks "$TASKMGR_PID") w1=$(ticks "$SERVER_PID")
dn=$((n1 - n0)) dt=$((t1 - t0)) dw=$((w1 - w0))

share() { awk -v t="$1" -v s="$SECS" -v c="$CLK" 'BEGIN {printf "%.2f %%", 100 * t / c / s}'; }
echo "== idle processor use over ${SECS} s (${CLK} ticks a second, $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg))"
echo "INI [DEFAULT]: ${INI_LINES[*]:-(defaults)}"
printf '%-12s %6s ticks  %s of one core\n' "norva.exe" "$dn" "$(share "$dn")"
printf '%-12s %6s ticks  %s of one core\n' "taskmgr" "$dt" "$(share "$dt")"
printf '%-12s %6s ticks  %s of one core (serves both)\n' "wineserver" "$dw" "$(share "$dw")"
if ((dt > 0)); then
  awk -v n="$dn" -v t="$dt" 'BEGIN {printf "ratio norva / taskmgr: %.2f (goal: 0.50 or less)\n", n / t}'
else
  echo "ratio norva / taskmgr: - (taskmgr used no ticks)"
fi
fi

if ((TEXTS)); then
  kill "${NORVA_PID:-0}" 2>/dev/null || true
  sleep 1
  start_norva trace+text
  sleep 3
  : >"$WORK/norva/log.txt"
  sleep 10
  # Every paint of the main window draws the "[設定]" button, whatever area
  # it repaints (the clip keeps the rest off the screen).
  log=$WORK/norva/log.txt
  echo "== 10 s idle with Wine's text trace: $(grep -ac 'DrawTextExW L"\[\\8a2d\\5b9a\]"' "$log") paints of the main window; texts drawn, by count:"
  grep -a 'trace:text:DrawTextExW L' "$log" | sed -E 's/.*DrawTextExW (L"[^"]*").*/\1/' |
    sort | uniq -c | sort -rn | head -8
fi

# Stops the Wine process of our prefix whose command line holds $1 and waits
# until it is gone.
stop_program() {
  local pid
  pid=$(wine_process "$1")
  ((pid)) || return 0
  timeout 60 "$WINE64" taskkill /im "$(basename "$1")" >/dev/null 2>&1 || true
  for ((i = 0; i < 100; i++)); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
}

start_taskmgr() {
  "$WINE64" taskmgr >"$WORK/taskmgr.log" 2>&1 </dev/null &
  PIDS+=($!)
  local end=$((SECONDS + 60))
  until xwininfo -root -children 2>/dev/null | grep -qi 'task manager' || ((SECONDS >= end)); do sleep 0.5; done
}

if ((ROUNDS > 0)); then
  stop_program norva.exe
  stop_program taskmgr.exe
  # The server stays up between the rounds (one process for all of them).
  timeout 30 wineserver -p >/dev/null 2>&1 || true
  nv_sum=0 tm_sum=0
  echo
  echo "== $ROUNDS alternating rounds of ${SECS} s, one program alone in the prefix, each with the"
  echo "   prefix's wineserver (ticks of the program + ticks of the server over the round)"
  for ((r = 1; r <= ROUNDS; r++)); do
    start_norva
    sleep 5
    server=$(wine_process wineserver)
    a0=$(ticks "$NORVA_PID") s0=$(ticks "$server")
    sleep "$SECS"
    a1=$(ticks "$NORVA_PID") s1=$(ticks "$server")
    stop_program norva.exe
    nv=$((a1 - a0)) nvs=$((s1 - s0))
    start_taskmgr
    sleep 5
    tm_pid=$(wine_process taskmgr.exe)
    server=$(wine_process wineserver)
    b0=$(ticks "$tm_pid") s0=$(ticks "$server")
    sleep "$SECS"
    b1=$(ticks "$tm_pid") s1=$(ticks "$server")
    stop_program taskmgr.exe
    tm=$((b1 - b0)) tms=$((s1 - s0))
    printf 'round %d: norva.exe %4d + wineserver %4d = %4d ticks;  taskmgr %4d + wineserver %4d = %4d ticks\n' \
      "$r" "$nv" "$nvs" $((nv + nvs)) "$tm" "$tms" $((tm + tms))
    nv_sum=$((nv_sum + nv + nvs)) tm_sum=$((tm_sum + tm + tms))
  done
  if ((tm_sum > 0)); then
    awk -v n="$nv_sum" -v t="$tm_sum" 'BEGIN {printf "all rounds: norva + server %d ticks, taskmgr + server %d ticks, ratio %.2f (goal: 0.50 or less)\n", n, t, n / t}'
  fi
fi

# Prints the server requests per second that program $1 (norva or taskmgr)
# causes over 10 s of idle, by kind. The server prints its trace when it was
# started with +server, so it is started anew; only the requests of the
# program's own threads count (the trace names each thread's Unix process
# when the thread starts).
server_requests() {
  local log=$WORK/server-$1.txt start pid
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  sleep 1
  if [[ $1 == norva ]]; then
    start_norva +server
    log=$WORK/norva/log.txt
    pid=$NORVA_PID
  else
    WINEDEBUG=+server "$WINE64" taskmgr >"$log" 2>&1 </dev/null &
    PIDS+=($!)
    local end=$((SECONDS + 60))
    until xwininfo -root -children 2>/dev/null | grep -qi 'task manager' || ((SECONDS >= end)); do sleep 0.5; done
    pid=$(wine_process taskmgr.exe)
  fi
  sleep 5
  start=$(wc -l <"$log")
  sleep 10
  { grep -aoE '^[0-9a-f]+: init_(first_)?thread\( unix_pid=[0-9]+' "$log" || true; } |
    awk -v pid="$pid" '{split($0, a, "unix_pid="); if (a[2] == pid) {sub(/:.*/, ""); print}}' |
    sort -u >"$WORK/threads-$1.txt"
  # Requests only: the trace prints each request as "name( args )" and its
  # reply as "name() = ..."; counting both would double every figure.
  { tail -n +"$start" "$log" | grep -aoE '^[0-9a-f]+: [a-z_]+\( ' || true; } |
    awk 'NR == FNR {mine[$1] = 1; next} {t = $1; sub(/:$/, "", t); if (t in mine) {sub(/\(/, "", $2); print $2}}' \
      "$WORK/threads-$1.txt" - | sort | uniq -c | sort -rn >"$WORK/counts-$1.txt"
  awk '{n += $1} END {printf "%s: %.1f requests a second in all; by kind (per second):\n", "'"$1"'", n / 10}' "$WORK/counts-$1.txt"
  awk '{printf "   %7.1f %s\n", $1 / 10, $2}' "$WORK/counts-$1.txt" | head -12
  if [[ $1 == norva ]]; then stop_program norva.exe; else stop_program taskmgr.exe; fi
}

if ((SERVER)); then
  stop_program norva.exe
  stop_program taskmgr.exe
  echo
  echo "== server requests while idle, 10 s of each program alone (WINEDEBUG=+server, after 5 s to settle)"
  server_requests norva
  server_requests taskmgr
fi
