#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   0. the install logic of scripts/lib.sh against stand-ins for apt and dpkg;
#   1. the native build (unit tests under ASan/UBSan) and ctest;
#   2. the 32- and 64-bit Windows builds;
#   3. ini_conformance.exe of both builds under Wine, and toolkit_check.exe
#      of the 64-bit build under Wine + Xvfb;
#   4. the end-to-end tests (tests/e2e/run.sh) on both norva.exe under Wine + Xvfb;
#   5. the fuzz targets (scripts/fuzz.sh): their seeds, then 20 s of fuzzing each;
#   6. the 64-bit exe built a second time from a copy of the sources in
#      another folder, compared byte for byte with the first (reproducible).
# Ends with "N passed, M failed" over all of them and exits non-zero when
# anything failed or could not run. Where the 32-bit exe cannot run (32-bit
# Wine cannot be had, or the kernel cannot run 32-bit programs) its stages
# are skipped: the line before the last names them and the reason, and the
# last one reads "N passed, M failed, K skipped".
#
# Environment:
#   NORVA_JOBS=2                 parallel build jobs
#   NORVA_E2E_CASES="a b"        e2e cases to run (default: all; tests/e2e/run.sh --list)
#   NORVA_E2E_WIN32_CASES        e2e cases for the 32-bit exe where it runs natively
#                                (default: those where the builds differ; "all": every one)
#   NORVA_E2E_WIN32_SLOW_CASES   e2e cases for the 32-bit exe when the kernel cannot run
#                                32-bit programs and it runs under qemu-i386 (slow)
#   NORVA_SKIP_INSTALL=1         don't check the Debian packages
#   NORVA_STAGES="..."           only these stages (default: all): packages
#                                install-logic unit build conformance toolkit e2e
#                                fuzz repro (the Windows builds run for any stage
#                                that needs their exes)
#   NORVA_FUZZ_SECONDS=20        fuzzing time per target (0: only the seeds)
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=lib.sh
source "$HERE/lib.sh"
cd "$NORVA_ROOT"

BUILD=$NORVA_ROOT/build
LOGS=$BUILD/logs
PREFIX=$BUILD/wine-prefix
mkdir -p "$LOGS"
T0=$SECONDS

# Results per stage: "name|passed|failed|skipped|note".
RESULTS=()
record() { RESULTS+=("$1|$2|$3|$4|${5:-}"); }

stage() { printf '\n=== %s\n' "$*"; }

# Whether stage $1 is among those asked for (NORVA_STAGES).
want() { [[ " ${NORVA_STAGES:-$1} " == *" $1 "* ]]; }

# Records a stage by the "N passed, M failed" line its log ends with. A
# non-zero exit code with nothing failed counts as one failure; a log
# without that line is a failure of its own.
record_summary() {
  local name=$1 log=$2 rc=$3 note=${4:-} summary p f
  summary=$(tr -d '\r' <"$log" | grep -E '^[0-9]+ passed, [0-9]+ failed' | tail -1 || true)
  if [[ $summary =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
    p=${BASH_REMATCH[1]} f=${BASH_REMATCH[2]}
    ((rc == 0 || f > 0)) || f=1
    echo "$name: $summary, exit code $rc"
    record "$name" "$p" "$f" 0 "$note"
  else
    echo "FAIL $name: no summary, exit code $rc (log: $log)"
    tail -5 "$log"
    record "$name" 0 1 0 "no summary (exit $rc)"
  fi
}

cleanup() {
  if [[ -d $PREFIX ]]; then
    WINEPREFIX=$PREFIX timeout 30 wineserver -k >/dev/null 2>&1 || true
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# --- 0. packages -----------------------------------------------------------

if [[ ${NORVA_SKIP_INSTALL:-0} != 1 ]] && want packages; then
  stage "packages"
  t=$SECONDS
  install_packages build build32 native wine wine32 fuzz
  echo "[$((SECONDS - t))s]"
fi
ensure_i386_exec
NO_I386=
[[ $NORVA_I386 != none ]] || NO_I386=$(no_i386_reason)
echo "32-bit programs: $NORVA_I386${NO_I386:+ ($NO_I386)}"

if want install-logic; then
  stage "install logic (scripts/lib.sh against stand-ins for apt and dpkg)"
  rc=0
  "$NORVA_ROOT/tests/scripts/install_test.sh" >"$LOGS/install-logic.log" 2>&1 || rc=$?
  grep -E '^FAIL' "$LOGS/install-logic.log" || true
  record_summary "install logic" "$LOGS/install-logic.log" "$rc"
fi

# --- 1. native build and unit tests --------------------------------------

# Builds a preset, logging to build/logs/<preset>.log; prints the log's tail
# on failure.
build() {
  local preset=$1 t=$SECONDS
  if build_preset "$preset" >"$LOGS/build-$preset.log" 2>&1; then
    echo "built $preset in $((SECONDS - t))s"
  else
    echo "BUILD FAILED: $preset (log: $LOGS/build-$preset.log)"
    grep -E 'error|Error' "$LOGS/build-$preset.log" | head -20 || tail -20 "$LOGS/build-$preset.log"
    return 1
  fi
}

if want unit; then
  stage "native build and unit tests"
  if build native; then
    t=$SECONDS
    ctest_rc=0
    ctest --preset native --timeout 300 -j "${NORVA_JOBS:-2}" >"$LOGS/ctest.log" 2>&1 || ctest_rc=$?
    grep -E '(\*\*\*Failed|\*\*\*Exception|Timeout|Not Run)' "$LOGS/ctest.log" | head -40 || true
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$LOGS/ctest.log" | tail -1 || true)
    echo "${summary:-ctest printed no summary (log: $LOGS/ctest.log)}  [$((SECONDS - t))s]"
    if [[ $summary =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
      f=${BASH_REMATCH[1]} n=${BASH_REMATCH[2]}
      ((ctest_rc == 0 || f > 0)) || f=1
      record "unit tests (ctest)" $((n - f)) "$f" 0
    else
      tail -20 "$LOGS/ctest.log"
      record "unit tests (ctest)" 0 1 0 "no summary"
    fi
  else
    record "native build" 0 1 0 "build failed"
  fi
fi

# --- 2. Windows builds ---------------------------------------------------

declare -A BUILT=()
if want build || want conformance || want toolkit || want e2e || want repro; then
  stage "Windows builds"
  for bits in 32 64; do
    if build "win$bits"; then
      BUILT[$bits]=1
    else
      record "win$bits build" 0 1 0 "build failed"
    fi
  done
fi

# Whether the exes of a build can run here, and how slowly.
runnable() {
  [[ $1 == 64 ]] && return 0
  [[ $NORVA_I386 != none ]]
}

# Whether stage $1 can run exe $3 of the $2-bit build here; when not, says
# why and records the stage as skipped (32-bit not runnable) or failed (the
# exe was not built).
exe_ready() {
  if ! runnable "$2"; then
    echo "SKIP $1: $NO_I386"
    record "$1" 0 0 1 "${NO_I386//|//}"
    return 1
  fi
  if [[ ! -f $3 ]]; then
    echo "FAIL $1: $3 was not built"
    record "$1" 0 1 0 "not built"
    return 1
  fi
}

if [[ -n ${BUILT[32]:-}${BUILT[64]:-} ]] && { want conformance || want toolkit || want e2e; }; then
  stage "Wine prefix"
  t=$SECONDS
  rm -rf "$PREFIX" "$PREFIX.boot.log"
  if make_prefix "$PREFIX"; then
    echo "prefix $PREFIX ready in $((SECONDS - t))s"
  else
    echo "could not create the Wine prefix (log: $PREFIX.boot.log)"
    record "Wine prefix" 0 1 0 "wineboot failed"
    BUILT=()
  fi
fi

# --- 3. INI conformance under Wine -----------------------------------------

want conformance && stage "INI conformance (the shared case table against the real profile functions)"
for bits in 32 64; do
  want conformance || continue
  [[ -n ${BUILT[$bits]:-} ]] || continue
  exe=$BUILD/win$bits/ini_conformance.exe
  name="ini conformance win$bits"
  exe_ready "$name" "$bits" "$exe" || continue
  t=$SECONDS
  dir=$(mktemp -d /tmp/norva-conf.XXXXXX)
  cp "$exe" "$dir/"
  rc=0 limit=300
  [[ $bits == 32 && $NORVA_I386 == emulated ]] && limit=1800
  (cd "$dir" && wine_env "$PREFIX" && timeout "$limit" \
    "$(wine_for_bits "$bits")" "$dir/ini_conformance.exe") >"$LOGS/conformance-win$bits.log" 2>&1 </dev/null || rc=$?
  rm -rf "$dir"
  tr -d '\r' <"$LOGS/conformance-win$bits.log" | grep -vE '^[0-9a-f]{4}:(fixme|err|warn)' | grep -iE 'fail|passed' | tail -15 || true
  record_summary "$name" "$LOGS/conformance-win$bits.log" "$rc"
  echo "[$((SECONDS - t))s]"
done

# --- 3b. the toolkit's Win32 peers under Wine + Xvfb (64-bit build) --------

if [[ -n ${BUILT[64]:-} ]] && want toolkit; then
  stage "Toolkit peers (toolkit_check.exe against the system controls)"
  name="toolkit check win64"
  rc=0
  "$NORVA_ROOT/tests/wine/run_toolkit_check.sh" --prefix "$PREFIX" --shots "$BUILD/e2e/win64" \
    "$BUILD/win64/toolkit_check.exe" >"$LOGS/toolkit-check-win64.log" 2>&1 || rc=$?
  grep -E '^(FAIL|figure|screenshot)' "$LOGS/toolkit-check-win64.log" || true
  record_summary "$name" "$LOGS/toolkit-check-win64.log" "$rc"
fi

# --- 4. end-to-end tests under Wine + Xvfb ---------------------------------

for bits in 64 32; do
  want e2e || continue
  [[ -n ${BUILT[$bits]:-} ]] || continue
  stage "end-to-end tests, win$bits"
  exe=$BUILD/win$bits/norva.exe
  name="e2e win$bits"
  exe_ready "$name" "$bits" "$exe" || continue
  args=(--prefix "$PREFIX" --out "$BUILD/e2e/win$bits")
  note=
  if [[ $bits == 32 && $NORVA_I386 == emulated ]]; then
    # Each start of the 32-bit exe takes a minute or more under qemu-i386:
    # run the cases that differ between the builds, with long time-outs.
    cases=${NORVA_E2E_WIN32_SLOW_CASES:-startup_smoke win98_mode exec_speed_2}
    args+=(--slow 10 --cases "$cases")
    note="under qemu-i386: $cases"
    echo "the 32-bit exe runs under qemu-i386 (this kernel has no IA-32 emulation): cases $cases"
  elif [[ -n ${NORVA_E2E_CASES:-} ]]; then
    args+=(--cases "$NORVA_E2E_CASES")
  elif [[ $bits == 32 && ${NORVA_E2E_WIN32_CASES:-} != all ]]; then
    # The two builds share every rule; the 32-bit run covers what the
    # pointer size or the 32-bit loader can change (figures, the cleaning's
    # block, the toolhelp lists, the INI, the tray, the 9x mode, closing),
    # so that the whole run stays well inside CI's time.
    cases=${NORVA_E2E_WIN32_CASES:-startup_smoke ini_written_at_close tray_icon nt_family_probe
      win98_mode exec_speed_0 exec_speed_2 stop_button settings_ok_writes inspector_process_list
      inspector_priority_terminate graph_tab exec_hotkey_held close_after_inspector_and_tray
      extra_history_window}
    cases=$(echo $cases)
    args+=(--cases "$cases")
    note="cases where the builds differ: $cases"
  fi
  t=$SECONDS
  rc=0
  "$NORVA_ROOT/tests/e2e/run.sh" "${args[@]}" "$exe" 2>&1 | tee "$LOGS/e2e-win$bits.log" || rc=$?
  # Cases that passed only when tried again stay in sight in the summary.
  second=$(sed -n 's/^passed only on the second try: \([^ ]*\).*/\1/p' "$LOGS/e2e-win$bits.log" | paste -sd' ')
  [[ -z $second ]] || note="second try: $second${note:+; $note}"
  record_summary "$name" "$LOGS/e2e-win$bits.log" "$rc" "$note"
  echo "[$((SECONDS - t))s]"
done

# --- 5. fuzz targets ---------------------------------------------------------

if want fuzz; then
  stage "fuzz targets (seeds, then ${NORVA_FUZZ_SECONDS:-20}s each)"
  t=$SECONDS
  rc=0
  fuzz_args=("${NORVA_FUZZ_SECONDS:-20}")
  [[ ${NORVA_FUZZ_SECONDS:-20} == 0 ]] && fuzz_args=(--replay)
  NORVA_SKIP_INSTALL=1 "$NORVA_ROOT/scripts/fuzz.sh" "${fuzz_args[@]}" >"$LOGS/fuzz.log" 2>&1 || rc=$?
  grep -E '^(PASS|FAIL)' "$LOGS/fuzz.log" || true
  record_summary "fuzz targets" "$LOGS/fuzz.log" "$rc"
  echo "[$((SECONDS - t))s]"
fi

# --- 6. reproducible build ----------------------------------------------------

if [[ -n ${BUILT[64]:-} ]] && want repro; then
  stage "reproducible build (win64 norva.exe from a second folder)"
  t=$SECONDS
  repro=$BUILD/repro
  rm -rf "$repro"
  mkdir -p "$repro/src"
  tar -C "$NORVA_ROOT" --exclude=./build --exclude=./.git -cf - . | tar -C "$repro/src" -xf -
  if (cmake --preset win64 -S "$repro/src" -B "$repro/win64" &&
    cmake --build "$repro/win64" -j "${NORVA_JOBS:-2}" --target norva) >"$LOGS/repro.log" 2>&1; then
    # The exe's version resource holds the CMake project's version.
    version=$(sed -nE 's/^project\(Norva .*VERSION ([0-9.]+).*/\1/p' "$NORVA_ROOT/CMakeLists.txt")
    if ! strings -el "$BUILD/win64/norva.exe" | grep -qx "$version"; then
      echo "FAIL the version resource of norva.exe does not hold the project's version $version"
      record "reproducible win64" 0 1 0 "version $version not in the exe"
    elif cmp "$BUILD/win64/norva.exe" "$repro/win64/norva.exe" >>"$LOGS/repro.log" 2>&1; then
      echo "PASS norva.exe built in $BUILD/win64 and in $repro/win64 is byte-identical (version $version)" | tee -a "$LOGS/repro.log"
      echo "1 passed, 0 failed" >>"$LOGS/repro.log"
      record_summary "reproducible win64" "$LOGS/repro.log" 0
    else
      echo "FAIL the two builds of norva.exe differ: $(tail -1 "$LOGS/repro.log")"
      record "reproducible win64" 0 1 0 "exes differ"
    fi
  else
    echo "FAIL the second build failed (log: $LOGS/repro.log)"
    record "reproducible win64" 0 1 0 "second build failed"
  fi
  rm -rf "$repro"
  echo "[$((SECONDS - t))s]"
fi

# --- soak verdict ------------------------------------------------------------
# The growth verdict scripts/soak.sh ends with, on made-up tables (no Wine).

stage "soak verdict (tests/soak/verdict_test.sh)"
t=$SECONDS
rc=0
"$NORVA_ROOT/tests/soak/verdict_test.sh" >"$LOGS/soak-verdict.log" 2>&1 || rc=$?
grep -E '^FAIL' "$LOGS/soak-verdict.log" || true
record_summary "soak verdict" "$LOGS/soak-verdict.log" "$rc"
echo "[$((SECONDS - t))s]"

# --- summary -----------------------------------------------------------------

stage "summary"
P=0 F=0 S=0 SKIPPED=()
for r in "${RESULTS[@]}"; do
  IFS='|' read -r name p f s note <<<"$r"
  printf '  %-28s %4s passed %4s failed%s%s\n' "$name" "$p" "$f" \
    "$( ((s > 0)) && echo " $s skipped")" "${note:+  ($note)}"
  P=$((P + p)) F=$((F + f)) S=$((S + s))
  ((s == 0)) || SKIPPED+=("$name")
done
echo "  total time $((SECONDS - T0))s"
if ((S > 0)); then
  # The skipped stages and why, next to the closing line, so that a green
  # run cannot hide them.
  echo "skipped: $(printf '%s, ' "${SKIPPED[@]}" | sed 's/, $//') ($NO_I386)"
  echo "$P passed, $F failed, $S skipped"
else
  echo "$P passed, $F failed"
fi
((F == 0))
