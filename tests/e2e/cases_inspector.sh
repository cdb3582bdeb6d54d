# End-to-end cases of the inspector window: opened from the main window's
# "[情報]", its process list against the system's own view of the processes,
# a priority change and a forced termination of a helper process seen in the
# list, and a screenshot of each tab. Sourced by tests/e2e/run.sh, whose
# helpers and variables it uses.
#
# The list view's texts live in norva's own memory: inspector_peek.exe (built
# beside norva.exe, same bitness) reads the rows and drives the controls from
# outside. Wine 8's tasklist is a stub that prints nothing; its wmic lists the
# processes from the same toolhelp snapshot Windows' tasklist uses.

ALL_CASES+=(inspector_process_list inspector_priority_terminate)

INSPECTOR_TITLE='システム情報 詳細表示'

peek() { timeout 60 "$LOADER" "$(dirname "$EXE")/inspector_peek.exe" "$@" 2>>"$CASE_DIR/peek.log" | tr -d '\r'; }

# Starts norva, clicks "[情報]" and waits for the inspector; sets INSP_PID,
# INSP_X, INSP_Y (its client area on the screen).
open_inspector() {
  [[ -f $(dirname "$EXE")/inspector_peek.exe ]] || failed "inspector_peek.exe not built beside $EXE" || return 1
  launch "$CASE_DIR" main
  INSP_PID=$LAST_PID
  wait_main_window "$CASE_DIR/main.log" || return 1
  sleep "$T_SETTLE"
  xdotool mousemove $((WIN_X + 95)) $((WIN_Y + 9)) click 1
  local found
  found=$(wait_window "$INSPECTOR_TITLE" '[0-9]+x[0-9]+' "$T_WINDOW") ||
    failed "no inspector window within ${T_WINDOW}s of the click on [情報]" || return 1
  read -r _ INSP_X INSP_Y <<<"$found"
}

# File $1 as UTF-8, whether it holds UTF-16 with a byte-order mark or 8-bit
# text: wmic writes the first into a pipe under Wine 8, the second under
# Wine 10.
either_encoding() {
  local text=$1
  if LC_ALL=C grep -qaP '\x00' "$text"; then iconv -f UTF-16 -t UTF-8 "$text"; else cat "$text"; fi
}

# "ID name" lines of the system's processes (wmic), IDs as the inspector
# writes them; wmic's own start-up processes left out.
system_processes() {
  timeout 60 "$WINE64" wmic process get Name,ProcessId >"$CASE_DIR/wmic.out" 2>/dev/null
  either_encoding "$CASE_DIR/wmic.out" | tr -d '\r' |
    awk 'NR > 1 && NF >= 2 { printf "%08X %s\n", $NF, $1 }' |
    grep -vE ' (wmic|start|conhost|inspector_peek)\.exe$' | sort
}

# The same from the inspector's list (the peek that clicked the refresh may
# still have been running).
inspector_processes() {
  peek rows | awk -F '\t' 'NF >= 5 && $4 != "inspector_peek.exe" { print $1, $4 }' | sort
}

# Waits until the rows (after refreshes) satisfy grep -E $1 (or, with "!", do not).
wait_rows() {
  local want=$1 end=$((SECONDS + T_WINDOW))
  while ((SECONDS < end)); do
    peek click '最新の情報に更新' >/dev/null
    sleep 1
    if [[ ${want:0:1} == '!' ]]; then
      peek rows | grep -qE "${want:1}" || return 0
    else
      peek rows | grep -qE "$want" && return 0
    fi
  done
  return 1
}

# Waits for a message box titled $1 and presses Return (its Yes).
answer_box() {
  local box
  box=$(wait_window "$1" '[0-9]+x[0-9]+' "$T_WINDOW") || failed "no \"$1\" question within ${T_WINDOW}s" || return 1
  timeout 20 xdotool windowfocus --sync "${box%% *}" key Return || failed "could not answer \"$1\"" || return 1
}

# The process list holds exactly the processes the system lists; a
# screenshot of each tab, with rows on the process, tree and thread tabs.
case_inspector_process_list() {
  open_inspector || return 1
  system_processes >/dev/null # services that wmic starts on first use run from here on
  peek click '最新の情報に更新' || failed "no refresh button" || return 1
  sleep 1
  local mine theirs
  mine=$(inspector_processes) theirs=$(system_processes)
  [[ -n $mine ]] || failed "the inspector lists no process" || return 1
  if [[ $mine != "$theirs" ]]; then
    diff <(echo "$theirs") <(echo "$mine") >"$CASE_DIR/processes.diff" || true
    failed "inspector and wmic differ (< wmic > inspector): $(head -8 "$CASE_DIR/processes.diff" | tr '\n' ' ')" || return 1
  fi
  local n x y shot colours names=(processes heaps threads graph)
  for n in 0 1 2 3; do
    read -r x y < <(peek tab "$n") || failed "tab $n not found" || return 1
    xdotool mousemove "$x" "$y" click 1
    sleep 1
    shot=$OUT/inspector-${names[n]}-win$BITS.png
    import -window root "$CASE_DIR/full.png" && convert "$CASE_DIR/full.png" -crop "660x480+$((INSP_X - 8))+$((INSP_Y - 8))" +repage "$shot" ||
      failed "screenshot of tab ${names[n]} failed" || return 1
    colours=$(convert "$shot" -format '%k' info:)
    ((colours > 8)) || failed "tab ${names[n]} looks blank ($colours colours)" || return 1
  done
  close_and_expect_exit "$INSP_PID" "$CASE_DIR/main.log" || return 1
  REASON="$(wc -l <<<"$mine") processes as wmic lists them; 4 tabs shot"
}

# A helper process: its priority raised to "高" shows in the list; forced
# termination removes it from the list and from the system.
case_inspector_priority_terminate() {
  open_inspector || return 1
  (exec timeout -k 5 "$T_LIFE" "$WINE64" notepad >"$CASE_DIR/notepad.log" 2>&1 </dev/null) &
  PIDS+=("$!")
  local id=
  local end=$((SECONDS + T_WINDOW))
  until [[ -n $id ]]; do
    ((SECONDS < end)) || failed "notepad.exe did not start" || return 1
    sleep 1
    id=$(system_processes | awk '$2 == "notepad.exe" { print $1; exit }')
  done
  wait_rows "^$id	.*	notepad\.exe	標準$" || failed "notepad.exe ($id) not in the refreshed list as 標準" || return 1
  peek select "$id" >/dev/null || failed "could not select $id" || return 1
  peek priority 1 || failed "could not choose 高" || return 1
  peek click '強制設定' 1 || failed "priority button not clickable" || return 1
  answer_box '強制設定確認' || return 1
  wait_rows "^$id	.*	notepad\.exe	高$" || failed "the priority column of $id does not show 高: $(peek rows | grep "^$id" | tr '\t' ' ')" || return 1
  peek select "$id" >/dev/null || failed "could not select $id again" || return 1
  peek click '●強制終了' || failed "terminate button not clickable" || return 1
  answer_box '終了確認' || return 1
  wait_rows "!^$id	" || failed "$id still listed after the forced termination" || return 1
  system_processes | grep -q " notepad\.exe$" && { failed "notepad.exe still runs" || return 1; }
  close_and_expect_exit "$INSP_PID" "$CASE_DIR/main.log" || return 1
  REASON="notepad.exe $id: 標準 -> 高 in the list, then terminated and gone"
}
