# shellcheck shell=bash
# Shared by the release's test scripts (tests/package/): one PASS or FAIL
# line per check and the closing "N passed, M failed". Needs $WORK.
passed=0 failed=0
check() { # name, then a command that must succeed
  local name=$1
  shift
  if "$@" >"$WORK/out" 2>&1; then
    echo "PASS $name"
    passed=$((passed + 1))
  else
    echo "FAIL $name: $(tail -3 "$WORK/out" | tr '\n' ' ')"
    failed=$((failed + 1))
  fi
}
fails() { ! "$@"; }
summary() {
  echo "$passed passed, $failed failed"
  ((failed == 0))
}
