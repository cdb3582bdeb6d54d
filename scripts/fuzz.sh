#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz": clang with AddressSanitizer
# and UBSan, tests/fuzz/) and runs each: first over its seeds
# (tests/fuzz/seeds/<target>/, every file once), then fuzzing for the given
# seconds, one target after the other. New inputs go to
# build/fuzz/corpus/<target>/ (kept between runs), crashes to
# build/fuzz/crashes/<target>/. Ends with "N passed, M failed" (a target
# passes when neither its seeds nor its fuzzing found a fault) and exits
# non-zero when one failed.
#
#   scripts/fuzz.sh [SECONDS] [--targets "ini bitmap ..."] [--replay]
#
#   SECONDS     fuzzing time per target (default 60)
#   --targets   only these (default: ini bitmap figures process_rows color_text)
#   --replay    only the seeds, no fuzzing
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=lib.sh
source "$HERE/lib.sh"
cd "$NORVA_ROOT"

SECONDS_EACH=60 REPLAY=0
TARGETS=(ini bitmap figures process_rows color_text)
while (($#)); do
  case $1 in
    --targets) read -r -a TARGETS <<<"$2"; shift 2 ;;
    --replay) REPLAY=1; shift ;;
    -h | --help) sed -n '2,16p' "$0"; exit 0 ;;
    [0-9]*) SECONDS_EACH=$1; shift ;;
    *) die "unknown option $1" ;;
  esac
done

[[ ${NORVA_SKIP_INSTALL:-0} == 1 ]] || install_packages native fuzz
command -v clang++ >/dev/null 2>&1 || install_packages fuzz

BUILD=$NORVA_ROOT/build/fuzz
log "building the fuzz targets (log: $BUILD/build.log)"
mkdir -p "$BUILD"
build_preset fuzz >"$BUILD/build.log" 2>&1 || {
  grep -E 'error' "$BUILD/build.log" | head -20
  die "the fuzz build failed (log: $BUILD/build.log)"
}

passed=0 failed=0
for t in "${TARGETS[@]}"; do
  exe=$BUILD/fuzz_$t seeds=$NORVA_ROOT/tests/fuzz/seeds/$t
  corpus=$BUILD/corpus/$t crashes=$BUILD/crashes/$t
  mkdir -p "$corpus" "$crashes"
  [[ -x $exe ]] || { echo "FAIL $t: $exe was not built"; failed=$((failed + 1)); continue; }
  log="$BUILD/$t.log" rc=0
  # Every seed once (a file argument is run, not fuzzed).
  "$exe" -artifact_prefix="$crashes/" "$seeds"/* >"$log" 2>&1 || rc=$?
  if ((rc != 0)); then
    echo "FAIL $t: a seed fails (log: $log)"
    grep -E 'ERROR|runtime error|SUMMARY' "$log" | head -5
    failed=$((failed + 1))
    continue
  fi
  if ((REPLAY)); then
    echo "PASS $t: $(find "$seeds" -type f | wc -l) seeds"
    passed=$((passed + 1))
    continue
  fi
  "$exe" -max_total_time="$SECONDS_EACH" -print_final_stats=1 -timeout=30 -rss_limit_mb=2048 \
    -artifact_prefix="$crashes/" "$corpus" "$seeds" >>"$log" 2>&1 || rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if ((rc != 0)); then
    echo "FAIL $t: fuzzing found a fault after ${execs:-?} runs (log: $log; input in $crashes/)"
    grep -E 'ERROR|runtime error|SUMMARY' "$log" | head -5
    failed=$((failed + 1))
  else
    echo "PASS $t: ${execs:-?} runs in ${SECONDS_EACH}s, corpus $(find "$corpus" -type f | wc -l) inputs"
    passed=$((passed + 1))
  fi
done
echo "$passed passed, $failed failed"
((failed == 0))
