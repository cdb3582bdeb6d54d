# End-to-end cases of the processor load and the inspector's graph. Sourced by
# tests/e2e/run.sh, whose helpers and variables it uses.
#
# How the label is read: it is a windowless label drawn with DrawTextW, so it
# has no window text to ask for. Wine's "text" trace channel logs every
# DrawTextExW call with its string (trace:text:DrawTextExW L"CPU: 37%", ...);
# a caption change repaints the label, so the last "CPU:" line of the log is
# what the window shows. Nothing is added to the program for the test.
#
# The processor load comes from NtQuerySystemInformation, which Wine answers
# from the host's /proc/stat: the load is the whole machine's. So the burner
# is a plain Linux busy loop per core (it starts and stops at once, with no
# Wine start-up of its own inside the three seconds), and /proc/stat over the
# same seconds is the reference the label is compared with.

ALL_CASES+=(cpu_label_follows_load graph_tab)

# The latest value the processor-load label showed, from log $1 ("" if none):
# the texts drawn into its 49 x 12 rectangle, "CPU:%3d%" or, in a face too
# wide for that, a shorter form that keeps the word ("CPU:%d%", "CPU%d%").
cpu_label() {
  grep -aE 'trace:text:DrawTextExW L"CPU:? *[0-9]+%", [0-9]+, \[\(0,0\)-\(49,12\)\]' "$1" 2>/dev/null |
    tail -1 | sed -nE 's/.*L"CPU:? *([0-9]+)%".*/\1/p'
}

# Reads /proc/stat's first line as "busy total" jiffies.
proc_stat() {
  local _ user nice system idle iowait irq softirq steal _
  read -r _ user nice system idle iowait irq softirq steal _ </proc/stat
  echo "$((user + nice + system + irq + softirq + steal)) $((user + nice + system + idle + iowait + irq + softirq + steal))"
}

# The machine's load in percent between two proc_stat readings.
stat_load() {
  local b1 t1 b2 t2
  read -r b1 t1 <<<"$1"
  read -r b2 t2 <<<"$2"
  ((t2 > t1)) || { echo 0; return; }
  echo $((100 * (b2 - b1) / (t2 - t1)))
}

BURNERS=()
start_burners() {
  local n
  for ((n = 0; n < $(nproc); n++)); do
    # Each ends by itself too, should the run be cut short.
    timeout 30 bash -c 'while :; do :; done' &
    BURNERS+=($!)
  done
}
stop_burners() {
  local p
  for p in "${BURNERS[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${BURNERS[@]}"; do wait "$p" 2>/dev/null || true; done
  BURNERS=()
}

# Polls the label in log $1 until test $2 ("ge 90", "lt 20") holds, at most
# $3 seconds. Sets LABEL (the last value seen), LABEL_SECS (when it held, in
# tenths of a second) and STAT_TRACE (/proc/stat load per second meanwhile).
wait_label() {
  local log=$1 op=$2 limit=$3 tenths=0 v s0 s1
  s0=$(proc_stat)
  LABEL= STAT_TRACE=
  while ((tenths <= limit * 10)); do
    v=$(cpu_label "$log")
    [[ -n $v ]] && LABEL=$v
    case $op in
      ge*) [[ -n $LABEL ]] && ((LABEL >= ${op#ge })) && break ;;
      lt*) [[ -n $LABEL ]] && ((LABEL < ${op#lt })) && break ;;
    esac
    sleep 0.1
    tenths=$((tenths + 1))
    if ((tenths % 10 == 0)); then
      s1=$(proc_stat)
      STAT_TRACE+="$(stat_load "$s0" "$s1")% "
      s0=$s1
    fi
  done
  LABEL_SECS=$tenths
  ((tenths <= limit * 10))
}

# With ShowCpuUsePer the label shows the load once a second: a busy loop on
# every core drives it to 90 % or more within 3 s, and it falls below 20 %
# within 3 s after the loops end (unless the host itself stays busy: then it
# must agree with /proc/stat).
case_cpu_label_follows_load() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y" '[DEFAULT]' 'ShowCpuUsePer=1'
  launch "$CASE_DIR" main trace+text
  local pid=$LAST_PID log=$CASE_DIR/main.log end
  wait_main_window "$log" || return 1
  # The label is painted; the first tick only primes the probe (100 %): give
  # the next ticks a few seconds to show a measured value (a busy host stays
  # at 100 %).
  end=$((SECONDS + T_WINDOW))
  until [[ -n $(cpu_label "$log") ]] || ((SECONDS >= end)); do sleep 0.2; done
  [[ -n $(cpu_label "$log") ]] || failed "the label never showed \"CPU:%3d%\"" || return 1
  end=$((SECONDS + 3 * SLOW))
  until (($(cpu_label "$log") < 100)) || ((SECONDS >= end)); do sleep 0.2; done
  local idle_label
  idle_label=$(cpu_label "$log")

  start_burners
  local burn_ok=0 up up_secs up_stat
  wait_label "$log" "ge 90" $((3 * SLOW)) && burn_ok=1
  up=$LABEL up_secs=$LABEL_SECS up_stat=$STAT_TRACE
  local s0 s1 burn_stat
  s0=$(proc_stat)
  sleep 1
  s1=$(proc_stat)
  burn_stat=$(stat_load "$s0" "$s1")
  stop_burners
  ((burn_ok)) || failed "under a busy loop per core the label reached only $up % in 3 s (/proc/stat each second: $up_stat$burn_stat%)" || return 1

  local down_ok=0 down down_secs down_stat after_stat
  s0=$(proc_stat)
  wait_label "$log" "lt 20" $((3 * SLOW)) && down_ok=1
  down=$LABEL down_secs=$LABEL_SECS down_stat=$STAT_TRACE
  s1=$(proc_stat)
  after_stat=$(stat_load "$s0" "$s1")
  close_and_expect_exit "$pid" "$log" || return 1
  local summary="idle $idle_label %; burning: $up % after $((up_secs / 10)).$((up_secs % 10)) s (/proc/stat $burn_stat %); stopped: $down % after $((down_secs / 10)).$((down_secs % 10)) s (/proc/stat each second: ${down_stat:-$after_stat%})"
  if ((!down_ok)); then
    # Other work on the host keeps the machine busy: then the label must
    # follow /proc/stat instead. The label's own second does not line up
    # with the harness's, so it is held against the last two seconds read.
    local seconds=(${down_stat//%/}) last_stat near=1000 s d
    ((${#seconds[@]})) || seconds=("$after_stat")
    last_stat=${seconds[-1]}
    for s in "${seconds[@]: -2}"; do
      d=$((down - s))
      ((d < 0)) && d=$((-d))
      ((d < near)) && near=$d
      ((s > last_stat)) && last_stat=$s
    done
    ((last_stat >= 20)) || failed "the label stayed at $down % though /proc/stat fell to $last_stat % ($summary)" || return 1
    ((near <= 20)) || failed "the host stayed busy ($last_stat % by /proc/stat) and the label shows $down % ($summary)" || return 1
    REASON="$summary; the host stayed busy, the label agrees with /proc/stat"
    return 0
  fi
  REASON=$summary
}

# The inspector's graph tab after 30 s: the grid, the red free-memory line
# and the yellow processor-load line, fed once a second. Saves the screenshot.
case_graph_tab() {
  write_ini "$CASE_DIR/norva.ini" '[SYSTEM]' "XPos=$SHOT_X" "YPos=$SHOT_Y"
  launch "$CASE_DIR" main
  local pid=$LAST_PID log=$CASE_DIR/main.log found id x y
  wait_main_window "$log" || return 1
  # The "[情報]" button opens the inspector.
  xdotool mousemove $((WIN_X + 95)) $((WIN_Y + 8)) click 1
  found=$(wait_window "$(printf 'システム情報 詳細表示')" '[0-9]+x[0-9]+' "$T_WINDOW") ||
    failed "the inspector did not open after a click on [情報]" || return 1
  read -r id x y <<<"$found"
  local w h
  read -r w h < <(xwininfo -id "$id" | awk '/^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print w, h}')
  # The graph is on the inspector's fourth tab, "グラフ".
  local tx ty
  read -r tx ty < <(peek tab 3) || failed "the graph tab was not found" || return 1
  xdotool mousemove "$tx" "$ty" click 1
  sleep 30
  local shot=$OUT/graph-win$BITS.png full=$CASE_DIR/screen.png
  import -window root "$full" 2>/dev/null || failed "no screenshot" || return 1
  convert "$full" -crop "${w}x$h+$x+$y" +repage "$shot" 2>/dev/null || failed "could not crop the inspector" || return 1
  local red yellow green
  red=$(count_colour "$shot" "${w}x$h+0+0" '#FF0000')
  yellow=$(count_colour "$shot" "${w}x$h+0+0" '#FFFF00')
  green=$(count_colour "$shot" "${w}x$h+0+0" '#008000')
  close_and_expect_exit "$pid" "$log" || return 1
  # 30 steps of 10 pixels: each line is at least 250 pixels long.
  ((green > 2000)) || failed "no grid: $green green pixels ($shot)" || return 1
  ((yellow >= 250)) || failed "no yellow processor-load line: $yellow yellow, $red red pixels ($shot)" || return 1
  # The red line stands at the free share of physical memory; under 1 % free
  # it lies on the picture's bottom edge, just below the last row, as drawn
  # by design. Wine counts free, buffered and cached pages as free.
  local free_pct
  free_pct=$(awk '/^MemTotal:/ {t = $2} /^(MemFree|Buffers|Cached):/ {f += $2}
                  END {if (t) printf "%d", 100 * f / t; else print 100}' /proc/meminfo)
  if ((red < 250)); then
    ((free_pct < 2)) || failed "no red free-memory line: $red red, $yellow yellow pixels, $free_pct % of physical memory free ($shot)" || return 1
    REASON="after 30 s: $yellow yellow, $green grid pixels; red on the bottom edge with $free_pct % free; saved $shot"
    return 0
  fi
  REASON="after 30 s: $red red, $yellow yellow, $green grid pixels ($free_pct % free); saved $shot"
}
