#!/usr/bin/env bash
# A long run of norva.exe under Wine + Xvfb with everything that allocates
# busy at once, to show that nothing grows:
#   - automatic cleaning firing back to back: the free-memory rule with the
#     highest threshold the settings allow, and the falling-load rule (one
#     point) fed by soak_load.exe, which holds and frees 3 % of physical
#     memory every 1.5 s;
#   - the processor load shown (ShowCpuUsePer=1);
#   - the inspector open, refreshed every 5 s while its tabs cycle (processes,
#     heaps, threads, graph), driven through inspector_peek.exe;
#   - the settings dialog opened and cancelled every 30 s.
#
#   scripts/soak.sh [--minutes N] [--32] [--warmup M] [--out DIR]
#
# Each minute prints one row (under emulation, where one turn of the driving
# loop can take longer, when the turn ends; a row is labelled with the
# minutes run so far and the slopes are per minute of the run): Norva's
# private memory between cleanings (the
# least of the samples taken every second: a cleaning's block would
# hide a leak), the file descriptors of its Wine process and of the
# wineserver, the handles it holds (soak_probe.exe: its entries in the
# system's handle list, which Wine's server keeps — not the process list's
# HandleCount, which Wine fills with the size of the handle table) and its
# threads, the windows it owns (USER objects), the X resources of its X
# connections (xrestop: windows, pixmaps, graphics contexts — where GDI
# objects that reach the X server show), the share of samples taken while a
# cleaning held its block, and the number of inspector refreshes and
# settings dialogs. Wine 8 answers 0 for GetProcessHandleCount and
# GetGuiResources; GDI objects that stay inside the process show only as
# private memory.
#
# It fails (exit 1) when Norva exits or stops answering (no WM_NULL answered
# within 10 s for 2 minutes, or the inspector or dialog no longer opening), or
# on the table's verdict after the warm-up (default 5 minutes):
#   - fewer than 3 rows after the warm-up: nothing to judge, a failure;
#   - a judged column without a number in a row after the warm-up (xrestop
#     missing, a probe that failed): a failure, never a figure of 0;
#   - a figure that keeps growing: its least-squares slope over the minutes
#     after the warm-up, and over the later half of them (at least 3 rows)
#     alike, above the limit (a figure that stepped up once and stayed is no
#     leak). The limits: 64 KiB a minute for private memory (about 4 MB an
#     hour) and 0.1 a minute for a count (6 an hour); for the 32-bit build
#     (under qemu-i386 where the kernel has no IA-32 emulation, where a row
#     can come minutes late and the heap swings further) 256 KiB a minute
#     (15 MB an hour) and 0.2 a minute (12 an hour).
#
#   --minutes N   length of the run (default 60)
#   --32          the 32-bit build (runs under qemu-i386 where the kernel has no
#                 IA-32 emulation: very slow); the 64-bit helpers drive it
#   --warmup M    minutes left out of the slopes (default 5)
#   --out DIR     where the table and logs go (default build/soak-win64|win32,
#                 build/soak-leak)
#   --leak        soaks soak_leak.exe (tests/soak/: a window that opens an event
#                 every 5 s and never closes it) in Norva's place, without the
#                 load, the inspector or the dialog: the same rows and the same
#                 verdict, which must fail on its handles
#   --verdict TABLE  judges a table this script wrote (with --warmup and --32
#                 as for the run) and exits: 0 passed, 1 failed; no Wine
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=lib.sh
source "$HERE/lib.sh"
cd "$NORVA_ROOT"

MINUTES=60 BITS=64 WARMUP=5 OUT= LEAK=0 VERDICT=
while (($#)); do
  case $1 in
    --minutes) MINUTES=$2; shift 2 ;;
    --32) BITS=32; shift ;;
    --warmup) WARMUP=$2; shift 2 ;;
    --out) OUT=$2; shift 2 ;;
    --leak) LEAK=1; shift ;;
    --verdict) VERDICT=$2; shift 2 ;;
    -h | --help) sed -n '2,60p' "$0"; exit 0 ;;
    *) die "unknown option $1" ;;
  esac
done
[[ $WARMUP =~ ^[0-9]+$ && $MINUTES =~ ^[0-9]+$ ]] || die "--minutes and --warmup take whole minutes"
((LEAK == 0 || BITS == 64)) || die "--leak soaks the 64-bit soak_leak.exe; it takes no --32"

# Limits of the growth check (per minute of the run). The 32-bit build under
# emulation is noisier: a turn of the driving loop can take minutes, so rows
# are fewer and later, and its heap swings further between cleanings.
SLOPE_PRIVATE_KIB=64 SLOPE_COUNT=0.1
((BITS == 32)) && SLOPE_PRIVATE_KIB=256 SLOPE_COUNT=0.2
# The columns judged (by name); the others (busy%, refreshes, dialogs) say
# how busy the run was.
JUDGED="private_KiB fds server_fds handles threads unix_threads windows x_windows x_pixmaps x_pictures x_gcs"

# The least-squares slope (per minute) of the "minute value" pairs on stdin.
slope() {
  awk '{ n++; x = $1; sx += x; sy += $2; sxx += x * x; sxy += x * $2 }
       END { d = n * sxx - sx * sx; if (n < 2 || d == 0) print 0; else printf "%.3f\n", (n * sxy - sx * sy) / d }'
}

# The verdict on table $1 (a header line, then a row a minute): prints a
# line of slopes and, for each fault, a line "FAIL: why"; returns 1 when any.
judge() {
  local table=$1 rows n col name values s late half limit faults=() slopes=() bad
  rows=$(awk -F '\t' -v w="$WARMUP" 'NR > 1 && $1 ~ /^[0-9]+$/ && $1 > w' "$table")
  n=0
  [[ -n $rows ]] && n=$(wc -l <<<"$rows")
  if ((n < 3)); then
    echo "FAIL: $n rows after the ${WARMUP}-minute warm-up, at least 3 are needed to judge growth"
    return 1
  fi
  # The later half, but at least 3 rows: a slope of fewer says nothing.
  half=$((n / 2))
  ((half >= 3)) || half=3
  for name in $JUDGED; do
    col=$(head -1 "$table" | tr '\t' '\n' | grep -nx -- "$name" | cut -d: -f1 || true)
    if [[ -z $col ]]; then
      faults+=("the table has no column $name")
      continue
    fi
    bad=$(cut -f "1,$col" <<<"$rows" | grep -vE $'^[0-9]+\t[0-9]+$' | cut -f 1 | tr '\n' ' ' || true)
    if [[ -n $bad ]]; then
      faults+=("$name has no data in minute(s) ${bad% }")
      slopes+=("$name -")
      continue
    fi
    values=$(cut -f "1,$col" <<<"$rows")
    s=$(slope <<<"$values")
    late=$(tail -n "$half" <<<"$values" | slope)
    limit=$SLOPE_COUNT
    [[ $name == private_KiB ]] && limit=$SLOPE_PRIVATE_KIB
    if awk -v s="$s" -v t="$late" -v l="$limit" 'BEGIN { exit !(s > l && t > l) }'; then
      faults+=("$name grows by $s a minute after minute $WARMUP, by $late over the last $half rows (limit $limit)")
    fi
    slopes+=("$name $s/min (later half $late)")
  done
  echo "slopes over $n rows after the ${WARMUP}-minute warm-up (limits $SLOPE_PRIVATE_KIB KiB and $SLOPE_COUNT a minute): ${slopes[*]}"
  ((${#faults[@]} == 0)) && return 0
  printf 'FAIL: %s\n' "${faults[@]}"
  return 1
}

if [[ -n $VERDICT ]]; then
  [[ -r $VERDICT ]] || die "no table $VERDICT"
  if judge "$VERDICT"; then
    echo "VERDICT PASSED"
    exit 0
  fi
  echo "VERDICT FAILED"
  exit 1
fi

# The run's name: of its log, its table and its folder.
NAME=norva RUN=win$BITS
((LEAK)) && NAME=leak RUN=leak
OUT=${OUT:-$NORVA_ROOT/build/soak-$RUN}
mkdir -p "$OUT"
OUT=$(readlink -f "$OUT")

[[ ${NORVA_SKIP_INSTALL:-0} == 1 ]] || install_packages
# The X resource columns are judged: without xrestop the run cannot pass.
command -v xrestop >/dev/null 2>&1 || apt_install xrestop || die "no xrestop: the X resource columns could not be counted"
[[ $BITS == 64 ]] || ensure_i386_exec
log "building win64${BITS/64/} (helpers and exe)"
build_preset win64 >"$OUT/build-win64.log" 2>&1 || die "win64 build failed (log: $OUT/build-win64.log)"
if [[ $BITS == 32 ]]; then
  build_preset win32 >"$OUT/build-win32.log" 2>&1 || die "win32 build failed (log: $OUT/build-win32.log)"
fi
EXE=$NORVA_ROOT/build/win$BITS/norva.exe
TOOLS=$NORVA_ROOT/build/win64
IMAGE=norva.exe
((LEAK)) && EXE=$TOOLS/soak_leak.exe IMAGE=soak_leak.exe
LOADER=$(wine_for_bits "$BITS")
SLOW=1
[[ $BITS == 32 && ${NORVA_I386:-native} == emulated ]] && SLOW=10

PREFIX=$NORVA_ROOT/build/wine-soak
((LEAK)) && PREFIX=$NORVA_ROOT/build/wine-soak-leak
WORK=$(mktemp -d /tmp/norva-soak.XXXXXX)
NPID= LOADPID= SAMPLER=
cleanup() {
  [[ -n $SAMPLER ]] && kill "$SAMPLER" 2>/dev/null
  [[ -n $NPID ]] && kill "$NPID" 2>/dev/null
  [[ -n $LOADPID ]] && kill "$LOADPID" 2>/dev/null
  WINEPREFIX=$PREFIX timeout 30 wineserver -k >/dev/null 2>&1 || true
  stop_xvfb
  remove_tree "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb 1280x1024x24
make_prefix "$PREFIX" || die "could not create the Wine prefix $PREFIX"
wine_env "$PREFIX"

# The main window sits in the lower right, clear of the inspector and the
# dialog, which open near the middle of the screen.
WIN_X=1040 WIN_Y=900
TOTAL_MB=$(awk '/^MemTotal:/ {print int($2 / 1024)}' /proc/meminfo)
LOAD_MB=$((TOTAL_MB * 3 / 100))
printf '%s\r\n' '[SYSTEM]' "XPos=$WIN_X" "YPos=$WIN_Y" '[DEFAULT]' 'ShowCpuUsePer=1' \
  'AutoMemClear=1' 'AutoMemMin=1' 'AutoExeSize=32767' 'AutoMemUsed=1' 'AutoMemUsePer=1' \
  'AutoMemSize=1' 'Memory=5' 'CleanSpeed=1' >"$WORK/norva.ini"
cp "$EXE" "$WORK/$IMAGE"

(cd "$WORK" && exec "$LOADER" "$WORK/$IMAGE") >"$OUT/$NAME.log" 2>&1 </dev/null &
NPID=$!
if ((LEAK)); then
  log "soak_leak.exe in Norva's place as process $NPID on $DISPLAY: one handle more every 5 s; this run must fail"
  wait_window soak_leak '[0-9]+x[0-9]+' 60 >/dev/null || die "no soak_leak window within 60s"
else
  (exec "$WINE64" "$TOOLS/soak_load.exe" "$LOAD_MB" 1500) >"$OUT/soak_load.log" 2>&1 </dev/null &
  LOADPID=$!
  log "norva.exe ($BITS-bit) as process $NPID on $DISPLAY; soak_load holds $LOAD_MB MB every other 1.5 s"
  wait_window Norva 200x80 $((60 * SLOW)) >/dev/null || die "no main window within $((60 * SLOW))s"
fi

peek() { timeout $((60 * SLOW)) "$WINE64" "$TOOLS/inspector_peek.exe" "$@" 2>>"$OUT/peek.log" | tr -d '\r'; }
probe() { timeout $((60 * SLOW)) "$WINE64" "$TOOLS/soak_probe.exe" "$IMAGE" 2>>"$OUT/probe.log" | tr -d '\r' | tee -a "$OUT/probe.log"; }

# Clicks at ($1, $2) of the main window until a window titled $3 of size $4
# shows (a cleaning covers the top buttons with its status line, so a click
# may land on that); prints "ID X Y".
click_until_window() {
  local dx=$1 dy=$2 title=$3 size=$4 n found
  for ((n = 0; n < 60; n++)); do
    xdotool mousemove $((WIN_X + dx)) $((WIN_Y + dy)) click 1
    if found=$(wait_window "$title" "$size" $((2 * SLOW))); then
      echo "$found"
      return 0
    fi
  done
  return 1
}

INSPECTOR_TITLE='システム情報 詳細表示'
((LEAK)) || click_until_window 95 9 "$INSPECTOR_TITLE" '[0-9]+x[0-9]+' >/dev/null || die "the inspector did not open"

# Private memory (KiB) of the Wine process, Private_Clean + Private_Dirty.
private_kib() { awk '/^Private_(Clean|Dirty):/ {s += $2} END {print s + 0}' "/proc/$NPID/smaps_rollup" 2>/dev/null; }
unix_threads() { awk '/^Threads:/ {print $2}' "/proc/$NPID/status" 2>/dev/null; }
fd_count() { find "/proc/$1/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l; }

# The wineserver of this prefix (its environment names the prefix).
server_pid() {
  local p
  for p in $(pgrep -x 'wineserver|wineserver64'); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$PREFIX" && { echo "$p"; return 0; }
  done
  return 1
}

# "windows pixmaps pictures gcs" summed over the X clients that xrestop ties
# to process $NPID (by the _NET_WM_PID of their windows); "- - - -" when
# xrestop fails or ties no client to it (the program has windows, so that is
# a reading that failed, not zero resources).
x_resources() {
  { timeout 30 xrestop -b -m 1 2>/dev/null || true; } | awk -v pid="$NPID" '
    /^[0-9]+ - / { mine = 0; if (match($0, /PID: *[0-9]+/)) { s = substr($0, RSTART, RLENGTH); gsub(/[^0-9]/, "", s); mine = (s == pid); found += mine } }
    mine && $1 == "windows" { W += $3 }
    mine && $1 == "pixmaps" { P += $3 }
    mine && $1 == "pictures" { R += $3 }
    mine && $1 == "GCs" { G += $3 }
    END { if (found) printf "%d %d %d %d\n", W, P, R, G; else print "- - - -" }'
}

# Private memory sampled every second by a process of its own, so that the
# slow calls of the driving loop below do not thin the samples out.
SAMPLES=$WORK/private.samples
(
  while kill -0 "$NPID" 2>/dev/null; do
    echo "$SECONDS $(private_kib)"
    sleep 1
  done
) >"$SAMPLES" 2>/dev/null &
SAMPLER=$!

TABLE=$OUT/soak-$RUN.tsv
HEADER="min	private_KiB	fds	server_fds	handles	threads	unix_threads	windows	x_windows	x_pixmaps	x_pictures	x_gcs	busy%	refreshes	dialogs"
FORMAT='%4s %11s %4s %10s %7s %7s %12s %7s %9s %9s %10s %6s %5s %9s %7s\n'
echo "$HEADER" >"$TABLE"
# shellcheck disable=SC2086,SC2059 # the header's fields as printf arguments
printf "$FORMAT" $HEADER

FAIL=
start=$SECONDS
end=$((start + MINUTES * 60))
minute=1 next_row=$((start + 60)) next_refresh=$start next_dialog=$((start + 30)) last_refresh=$start
tab=0 refreshes=0 dialogs=0 row_start=$SECONDS rows_done=0
while ((SECONDS < end)); do
  if ! kill -0 "$NPID" 2>/dev/null; then
    FAIL="$IMAGE exited (minute $minute)"
    break
  fi
  if ((!LEAK && SECONDS >= next_refresh)); then
    next_refresh=$((SECONDS + 5))
    # A refresh that fails once (a busy machine, a peek that timed out) is
    # tried again at the next turn; only an inspector that answers no
    # refresh for 2 minutes has stopped answering.
    if peek click '最新の情報に更新' >/dev/null && read -r x y < <(peek tab "$tab"); then
      xdotool mousemove "$x" "$y" click 1
      tab=$(((tab + 1) % 4))
      refreshes=$((refreshes + 1))
      last_refresh=$SECONDS
    elif ((SECONDS - last_refresh > 120)); then
      FAIL="the inspector no longer answers (minute $minute)"
      break
    else
      echo "minute $minute: a refresh of the inspector failed; tried again in 5 s" >>"$OUT/peek.log"
    fi
  fi
  if ((!LEAK && SECONDS >= next_dialog)); then
    next_dialog=$((SECONDS + 30))
    if dlg=$(click_until_window 15 8 設定画面 523x325); then
      read -r dlg_id dlg_x dlg_y <<<"$dlg"
      sleep 1
      # Clicked again every 5 s while the dialog stays: a click lost on a
      # busy machine does not end the run.
      n=0
      while is_shown "$dlg_id"; do
        ((n % 25 == 0)) && xdotool mousemove $((dlg_x + 470)) $((dlg_y + 302)) click 1
        ((++n < 300)) || break
        sleep 0.2
      done
      if ((n >= 300)); then
        import -window root "$OUT/dialog-stuck-$minute.png" 2>/dev/null || true
        FAIL="the settings dialog did not close on its cancel button (minute $minute)"
        break
      fi
      dialogs=$((dialogs + 1))
    else
      FAIL="the settings dialog did not open (minute $minute)"
      break
    fi
  fi
  if ((SECONDS >= next_row)); then
    next_row=$((SECONDS + 60))
    # A loaded machine (the soak runs under nice beside other work), or a
    # long refresh of the inspector's heap tab, delays answers: the program
    # has stopped answering only when no probe gets an answer for 2 minutes.
    give_up=$((SECONDS + 120))
    while :; do
      answers=0
      read -r _ _ _ handles _ threads _ windows _ answers _ < <(probe) || true
      [[ $answers == 1 ]] && break
      echo "minute $minute, ${SECONDS}s: no answer to WM_NULL within 10 s (last tab clicked: $(((tab + 3) % 4)))" >>"$OUT/probe.log"
      ((SECONDS < give_up)) || break
    done
    if [[ $answers != 1 ]]; then
      import -window root "$OUT/no-answer-$minute.png" 2>/dev/null || true
      FAIL="$IMAGE answered no WM_NULL for 2 minutes (minute $minute)"
      break
    fi
    spid=$(server_pid) || spid=
    read -r xw xp xr xg < <(x_resources)
    # The least private memory of the minute's samples, and the share of
    # them taken while a cleaning held its block (more than 256 MB above the
    # least): how busy the cleaning kept the program.
    read -r least busy < <(awk -v from="$row_start" -v to="$SECONDS" '$1 >= from && $1 < to && $2 > 0 { v[++n] = $2; if (!l || $2 < l) l = $2 }
      END { for (i = 1; i <= n; i++) if (v[i] > l + 262144) b++; printf "%s %d\n", n ? l : "-", n ? 100 * b / n : 0 }' "$SAMPLES")
    row_start=$SECONDS
    sfds=-
    [[ -n $spid ]] && sfds=$(fd_count "$spid")
    # A row is labelled with the minutes run so far: under emulation one turn
    # of this loop can take longer than a minute, and the slopes are per
    # minute of the run, not per row.
    minute=$(((SECONDS - start + 30) / 60))
    ut=$(unix_threads) || ut=
    row="$minute	${least:--}	$(fd_count "$NPID")	$sfds	${handles:--}	${threads:--}	${ut:--}	${windows:--}	$xw	$xp	$xr	$xg	$busy	$refreshes	$dialogs"
    echo "$row" >>"$TABLE"
    # shellcheck disable=SC2086,SC2059 # the row's fields as printf arguments
    printf "$FORMAT" $row
    rows_done=$((rows_done + 1)) minute=$((minute + 1)) refreshes=0 dialogs=0
  fi
  sleep 1
done

# Growth after the warm-up, column by column, by the same verdict that
# --verdict gives a table.
if [[ -z $FAIL ]]; then
  verdict=$(judge "$TABLE") || FAIL=$(grep '^FAIL: ' <<<"$verdict" | sed 's/^FAIL: //' | paste -sd ';' | sed 's/;/; /g')
  grep -v '^FAIL: ' <<<"$verdict" >"$OUT/verdict.txt" || true
else
  : >"$OUT/verdict.txt"
fi
cat "$OUT/verdict.txt"
if [[ -n $FAIL ]]; then
  echo "SOAK FAILED: $FAIL" | tee -a "$OUT/verdict.txt"
  exit 1
fi
echo "SOAK PASSED: $(((SECONDS - start) / 60)) minutes, $rows_done rows, table in $TABLE" | tee -a "$OUT/verdict.txt"
