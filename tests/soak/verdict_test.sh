#!/usr/bin/env bash
# The soak's verdict (scripts/soak.sh --verdict, the same judge a soak run
# ends with) on made-up tables, without Wine: a flat program passes, a leak
# fails, a figure that stepped up once passes, a column without data fails,
# too few rows fail, and the 32-bit limits hold. Ends with
# "N passed, M failed"; exits 1 when any case failed.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
SOAK=$ROOT/scripts/soak.sh
DIR=$(mktemp -d /tmp/norva-verdict.XXXXXX)
trap 'rm -rf "$DIR"' EXIT

# A table as soak.sh writes it: MINUTES minutes, a row every STEP minutes,
# of a program whose private memory swings by up to 1.5 MB either way (as
# Norva's between cleanings) and whose handles wobble by one (the probe
# catches a refresh), changed by KIND:
#   flat | handles_fast (one more every 5 s) | handles_slow (one a minute) |
#   memory (KIB more a minute) | step (10 handles more from minute 8) |
#   no_x (xrestop gave nothing) | probe_gap (no handle count in minute 12)
table() {
  local minutes=$1 step=$2 kind=$3 kib=${4:-0}
  awk -v n="$minutes" -v step="$step" -v kind="$kind" -v kib="$kib" 'BEGIN {
    OFS = "\t"
    print "min", "private_KiB", "fds", "server_fds", "handles", "threads", "unix_threads", "windows",
      "x_windows", "x_pixmaps", "x_pictures", "x_gcs", "busy%", "refreshes", "dialogs"
    for (m = step; m <= n; m += step) {
      priv = 16000 + ((m * 7) % 5 - 2) * 750
      handles = 120 + m % 2
      xw = 10
      if (kind == "handles_fast") handles += 12 * m
      if (kind == "handles_slow") handles += m
      if (kind == "memory") priv += kib * m
      if (kind == "step" && m >= 8) handles += 10
      if (kind == "no_x") xw = "-"
      if (kind == "probe_gap" && m == 12) handles = "-"
      print m, priv, 16, 226, handles, 12, 20, 114, xw, (xw == "-" ? "-" : 0), (xw == "-" ? "-" : 0),
        (xw == "-" ? "-" : 1), 70, 10, 2
    }
  }'
}

# name | soak.sh options | minutes | row every | kind | KiB a minute | verdict | a line it must print
CASES='
flat program passes                  |      | 30 | 1 | flat         |     | PASSED | handles 0.000/min
handle every 5 s fails               |      | 12 | 1 | handles_fast |     | FAILED | handles grows by 12.000
handle a minute fails                |      | 30 | 1 | handles_slow |     | FAILED | handles grows by 1.000
private memory 128 KiB/min fails     |      | 30 | 1 | memory       | 128 | FAILED | private_KiB grows
one step up passes (slope above 0.1) |      | 30 | 1 | step         |     | PASSED | handles 0.177/min (later half -0.021)
no X resources fails                 |      | 30 | 1 | no_x         |     | FAILED | x_windows has no data in minute(s) 6 7
one probe without a count fails      |      | 30 | 1 | probe_gap    |     | FAILED | handles has no data in minute(s) 12
two rows after warm-up fail          |      |  7 | 1 | flat         |     | FAILED | 2 rows after the 5-minute warm-up
three rows of a leak fail            |      |  8 | 1 | handles_fast |     | FAILED | handles grows
32-bit 128 KiB/min within its limit  | --32 | 60 | 3 | memory       | 128 | PASSED | limits 256 KiB and 0.2
32-bit 384 KiB/min fails             | --32 | 60 | 3 | memory       | 384 | FAILED | private_KiB grows
32-bit handle a minute fails         | --32 | 60 | 3 | handles_slow |     | FAILED | handles grows
'

trim() { sed 's/^ *//; s/ *$//' <<<"$1"; }

passed=0 failed=0
while IFS='|' read -r name opts minutes step kind kib expect text; do
  [[ -n ${name// /} ]] || continue
  name=$(trim "$name") opts=$(trim "$opts") kind=$(trim "$kind") kib=$(trim "$kib")
  expect=$(trim "$expect") text=$(trim "$text")
  table "$minutes" "$step" "$kind" "${kib:-0}" >"$DIR/table.tsv"
  # shellcheck disable=SC2086 # the options as words
  out=$("$SOAK" $opts --verdict "$DIR/table.tsv" 2>&1) && rc=0 || rc=$?
  want=0
  [[ $expect == FAILED ]] && want=1
  if ((rc == want)) && grep -q "VERDICT $expect" <<<"$out" && grep -qF -- "$text" <<<"$out"; then
    echo "PASS $name"
    passed=$((passed + 1))
  else
    echo "FAIL $name: exit $rc (want $want), expected \"VERDICT $expect\" and \"$text\" in:"
    sed 's/^/    /' <<<"$out"
    failed=$((failed + 1))
  fi
done <<<"$CASES"
echo "$passed passed, $failed failed"
((failed == 0))
