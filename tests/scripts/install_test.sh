#!/usr/bin/env bash
# The install logic of scripts/lib.sh (install_packages) against stand-ins
# for dpkg, dpkg-query, apt-get and apt-cache on PATH: a package database in
# a folder, and apt-get behaving as a scenario says (an index that cannot be
# read, a package that cannot be installed as it comes or not at all, a plan
# that removes packages). Each case prints PASS or FAIL with its reason; the
# last line is "N passed, M failed".
#
#   tests/scripts/install_test.sh
set -uo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
LIB=$HERE/../../scripts/lib.sh
WORK=$(mktemp -d /tmp/norva-install-test.XXXXXX)
trap 'rm -rf "$WORK"' EXIT

# --- the stand-ins ------------------------------------------------------------
# $STATE/installed: "name:arch version" lines. $STATE/foreign: the foreign
# architectures. $STATE/update_error: apt-get update's error lines (it fails
# when the file is there). $STATE/broken: "package reason" lines, packages
# whose plan fails as they come; $STATE/fixed_by_pins: those among them that
# install once every amd64 package is held at its version (a preferences
# part that pins them). $STATE/removes: "package victim" lines, a plan that
# removes the victim. $STATE/upgrades: "package library:arch version" lines,
# an install that upgrades the library. $STATE/calls: every apt-get call.
STUBS=$WORK/bin
mkdir -p "$STUBS"
cat >"$STUBS/dpkg-query" <<'EOF'
#!/usr/bin/env bash
# dpkg-query -W -f=FORMAT [PACKAGE]
fmt=${2#-f=}
pkg=${3:-}
while read -r name ver; do
  [[ -n $name ]] || continue
  base=${name%%:*} arch=${name#*:}
  if [[ -n $pkg ]]; then
    [[ $pkg == "$base" || $pkg == "$name" ]] || continue
    [[ $pkg == *:* || $arch == amd64 || $arch == all ]] || continue
  fi
  deps=
  [[ $base == clang ]] && deps="clang-$ver"
  out=${fmt//'${Status}'/install ok installed}
  out=${out//'${db:Status-Abbrev}'/ii }
  out=${out//'${Package}'/$base}
  out=${out//'${Architecture}'/$arch}
  out=${out//'${Version}'/$ver}
  out=${out//'${Depends}'/$deps}
  printf '%b' "$out"
  found=1
done <"$STATE/installed"
[[ -n ${found:-} || -z $pkg ]]
EOF
cat >"$STUBS/dpkg" <<'EOF'
#!/usr/bin/env bash
case $1 in
  --print-architecture) echo amd64 ;;
  --print-foreign-architectures) cat "$STATE/foreign" 2>/dev/null ;;
  --add-architecture) echo "$2" >>"$STATE/foreign" ;;
  *) exit 2 ;;
esac
EOF
cat >"$STUBS/apt-cache" <<'EOF'
#!/usr/bin/env bash
# depends clang; policy NAME:i386 (the versions of $STATE/i386_versions, "name version" lines)
[[ $1 == depends && $2 == clang ]] && printf 'clang\n  Depends: clang-%s\n' "${CLANG_VERSION:-19}"
if [[ $1 == policy ]]; then
  printf '%s:\n  Installed: (none)\n  Version table:\n' "$2"
  awk -v p="${2%:i386}" '$1 == p {print "     " $2 " 500"}' "$STATE/i386_versions" 2>/dev/null
fi
exit 0
EOF
cat >"$STUBS/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STATE/calls"
if [[ $1 == update ]]; then
  [[ -f $STATE/update_error ]] || exit 0
  cat "$STATE/update_error"
  exit 100
fi
shift
sim=0 noremove=0 pinned=0 pkgs=()
while (($#)); do
  case $1 in
    -s) sim=1 ;;
    --no-remove) noremove=1 ;;
    -o) [[ $2 == Dir::Etc::PreferencesParts=* ]] && grep -qs 'Pin-Priority' "${2#*=}"/*.pref && pinned=1; shift ;;
    -t) shift ;;
    -*) ;;
    *) pkgs+=("$1") ;;
  esac
  shift
done
removes=()
for p in "${pkgs[@]}"; do
  reason=$(awk -v p="$p" '$1 == p {$1 = ""; sub(/^ /, ""); print}' "$STATE/broken" 2>/dev/null)
  if [[ -n $reason ]] && ! { ((pinned)) && grep -qx "$p" "$STATE/fixed_by_pins" 2>/dev/null; }; then
    echo "Some packages could not be installed."
    echo "The following packages have unmet dependencies:"
    echo " $p : Depends: $reason"
    echo "E: Unable to correct problems, you have held broken packages."
    exit 100
  fi
  while read -r who victim; do
    [[ $who == "$p" ]] && removes+=("$victim")
  done < <(cat "$STATE/removes" 2>/dev/null)
done
if ((sim)); then
  for v in "${removes[@]}"; do echo "Remv $v [8.0~repack-4]"; done
  for p in "${pkgs[@]}"; do echo "Inst $p (1.0 Debian:12 [amd64])"; done
  exit 0
fi
if ((${#removes[@]} && noremove)); then
  echo "E: Packages need to be removed but remove is disabled."
  exit 100
fi
for v in "${removes[@]}"; do sed -i "/^${v%%:*}:/d" "$STATE/installed"; done
while read -r who lib ver; do
  [[ " ${pkgs[*]} " == *" $who "* ]] && sed -i "s/^$lib .*/$lib $ver/" "$STATE/installed"
done < <(cat "$STATE/upgrades" 2>/dev/null)
for p in "${pkgs[@]}"; do
  [[ $p == *:* ]] || p=$p:amd64
  echo "$p 1.0" >>"$STATE/installed"
done
EOF
chmod +x "$STUBS"/*

# --- the cases ----------------------------------------------------------------

PASSED=0 FAILED=0
check() { # check NAME CONDITION-TEXT; the condition was tested by the caller
  if [[ $2 == ok ]]; then
    echo "PASS $1"
    PASSED=$((PASSED + 1))
  else
    echo "FAIL $1: $2"
    FAILED=$((FAILED + 1))
  fi
}

# Runs install_packages GROUPS in a fresh shell on the stand-ins with the
# state the case laid out; its output goes to $STATE/out, its exit code to
# $STATE/rc, and what the shell knew afterwards to $STATE/vars.
run_install() {
  (
    # As the scripts that call it run.
    set -euo pipefail
    export PATH=$STUBS:$PATH STATE
    # shellcheck source=/dev/null
    source "$LIB"
    # shellcheck disable=SC2317 # the stand-ins of lib.sh's root and Wine checks, called by it
    as_root() { "$@"; }
    wine32_here() { grep -q '^wine32:i386 ' "$STATE/installed"; }
    release_codename() { echo bookworm; }
    install_packages "$@"
    printf 'missing32=%s\nfailed=%s\n' "$NORVA_WINE32_MISSING" "$NORVA_APT_FAILED" >"$STATE/vars"
  ) >"$STATE/out" 2>&1
  echo $? >"$STATE/rc"
}

# A new package database: the base of a machine with 64-bit Wine.
new_state() {
  STATE=$WORK/state.$1
  mkdir -p "$STATE"
  printf '%s\n' "coreutils:amd64 9.1-1" "libc6:amd64 2.36-9+deb12u10" >"$STATE/installed"
  echo i386 >"$STATE/foreign"
}
has_wine64() {
  cat >>"$STATE/installed" <<EOF
wine:all 8.0~repack-4
wine64:amd64 8.0~repack-4
libwine:amd64 8.0~repack-4
EOF
}

installed() { grep -q "^$1[: ]" "$STATE/installed"; }
rc() { cat "$STATE/rc"; }
# "ok" when install_packages exited 0, else its exit code and last lines.
exited_ok() { if [[ $(rc) == 0 ]]; then echo ok; else echo "exit code $(rc): $(tail -2 "$STATE/out")"; fi; }
out_has() { grep -qF -- "$1" "$STATE/out"; }
count_in_out() { grep -cF -- "$1" "$STATE/out"; }

# An index that cannot be read: one warning naming apt's error, the
# packages installed from the indexes that were read, exit 0.
new_state failed_index
printf '%s\n' "Err:5 http://deb.debian.org/debian-security bookworm-security/main i386 Packages" \
  "  File has unexpected size (93412 != 93220). Mirror sync in progress? [IP: 1.2.3.4 80]" \
  "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (93412 != 93220). Mirror sync in progress?" \
  "E: Some index files failed to download. They have been ignored, or old ones used instead." >"$STATE/update_error"
run_install build
why=$(exited_ok)
[[ $why != ok ]] || installed cmake || why="cmake was not installed"
[[ $why != ok ]] || [[ $(count_in_out "could not read every index") == 1 ]] || why="not exactly one warning: $(cat "$STATE/out")"
[[ $why != ok ]] || out_has "Mirror sync in progress" || why="the warning does not give apt's error"
[[ $why != ok ]] || grep -qx 'failed=bookworm-security' "$STATE/vars" || why="failed suites: $(grep failed= "$STATE/vars")"
check "a failed index is told once and the install goes on" "$why"

# wine32:i386 that cannot be had at all: one line naming it and apt's
# reason, exit 0, wine64 kept, the second try held at the amd64 versions of
# the release (-t, a pinning preferences part), nothing removed.
new_state wine32_uninstallable
has_wine64
echo "libwine 8.0~repack-4" >"$STATE/i386_versions"
echo "wine32:i386 libwine:i386 (= 8.0~repack-4) but it is not going to be installed" >"$STATE/broken"
run_install wine wine32
why=$(exited_ok)
[[ $why != ok ]] || installed wine64 || why="wine64 is gone"
[[ $why != ok ]] || ! installed wine32 || why="wine32 is installed"
[[ $why != ok ]] || [[ $(grep -c '^warning: wine32:i386 cannot be installed: wine32:i386 : Depends: libwine:i386' "$STATE/out") == 1 ]] ||
  why="not one line with the package and apt's reason: $(grep -i wine32 "$STATE/out")"
[[ $why != ok ]] || grep -q '^missing32=wine32:i386 cannot be installed' "$STATE/vars" || why="NORVA_WINE32_MISSING not set"
[[ $why != ok ]] || grep -q 'PreferencesParts=.* -t bookworm wine32:i386' "$STATE/calls" || why="no second try at the amd64 versions: $(cat "$STATE/calls")"
[[ $why != ok ]] || ! grep -q -- '-y.*wine32' "$STATE/calls" || why="an install of wine32 was run"
check "an uninstallable wine32:i386 is named with apt's reason and skipped" "$why"

# wine32:i386 that cannot be had because an amd64 library installed is newer
# than any i386 index offers (the i386 index of the suite it came from could
# not be read): the line names that library and both versions.
new_state wine32_skew
has_wine64
echo "libexpat1:amd64 2.5.0-1+deb12u5" >>"$STATE/installed"
printf '%s\n' "libwine 8.0~repack-4" "libexpat1 2.5.0-1+deb12u2" >"$STATE/i386_versions"
echo "wine32:i386 libexpat1:i386 (>= 2.0.1) but it is not going to be installed" >"$STATE/broken"
run_install wine wine32
why=$(exited_ok)
[[ $why != ok ]] || out_has "warning: wine32:i386 cannot be installed: no i386 index has the versions of the amd64 libraries installed: libexpat1 (amd64 2.5.0-1+deb12u5, i386 2.5.0-1+deb12u2)" ||
  why="the library and its versions are not named: $(grep -i wine32 "$STATE/out")"
check "a newer amd64 library than any i386 index offers is named" "$why"

# wine32:i386 that does not install as it comes but does at the amd64
# side's versions.
new_state wine32_by_pins
has_wine64
echo "wine32:i386 libgnutls30:i386 (>= 3.7.2) but it is not going to be installed" >"$STATE/broken"
echo "wine32:i386" >"$STATE/fixed_by_pins"
run_install wine wine32
why=$(exited_ok)
[[ $why != ok ]] || installed wine32 || why="wine32 was not installed: $(cat "$STATE/out")"
[[ $why != ok ]] || installed wine64 || why="wine64 is gone"
[[ $why != ok ]] || ! grep -q 'cannot be installed' "$STATE/out" || why="a failure was told"
check "wine32:i386 is installed at the amd64 versions when it does not install as it comes" "$why"

# A plan that would remove wine64 (the removal apt offers for mismatched
# multi-arch libraries): refused before anything is installed.
new_state wine32_removes_wine64
has_wine64
printf '%s\n' "wine32:i386 wine64:amd64" "wine32:i386 libwine:amd64" >"$STATE/removes"
run_install wine wine32
why=$(exited_ok)
[[ $why != ok ]] || { installed wine64 && installed libwine; } || why="wine64 or libwine was removed"
[[ $why != ok ]] || ! grep -q -- '-y.*wine32' "$STATE/calls" || why="apt-get install of wine32 ran"
[[ $why != ok ]] || out_has "wine32:i386 cannot be installed: apt would remove wine64:amd64 libwine:amd64" ||
  why="the removal is not named: $(cat "$STATE/out")"
check "a plan that would remove wine64 is refused" "$why"

# An install that upgrades amd64 libraries to match their i386 twins (as on
# Debian 13) removes nothing: it goes through.
new_state wine32_upgrades
has_wine64
echo "libssl3t64:amd64 3.5.1-1" >>"$STATE/installed"
echo "wine32:i386 libssl3t64:amd64 3.5.4-1~deb13u1" >"$STATE/upgrades"
run_install wine wine32
why=$(exited_ok)
[[ $why != ok ]] || installed wine32 || why="wine32 was not installed"
[[ $why != ok ]] || grep -qx 'libssl3t64:amd64 3.5.4-1~deb13u1' "$STATE/installed" || why="the stand-in did not upgrade"
check "an upgrade while installing is not taken for a removal" "$why"

# Even past the plan, apt is told never to remove (the plan may change
# between the look and the install): a removal fails the install instead.
new_state no_remove_flag
run_install build
why=ok
grep -- '-y' "$STATE/calls" | grep -q -- '--no-remove' || why="apt-get install without --no-remove: $(cat "$STATE/calls")"
check "every install runs with --no-remove" "$why"

# A package of the rest that cannot be installed stops the script, naming it.
new_state build_fails
echo "cmake cmake-data (= 3.25.1-1) but it is not going to be installed" >"$STATE/broken"
run_install build
why=ok
[[ $(rc) != 0 ]] || why="exit code 0"
[[ $why != ok ]] || out_has "error: could not install cmake make g++-mingw-w64-x86-64: cmake : Depends: cmake-data" ||
  why="the error does not name the packages and the reason: $(tail -2 "$STATE/out")"
check "a failed install of the rest stops the script" "$why"

# Each command installs only its groups: the build chain alone adds no i386
# architecture and no Wine.
new_state build_only
: >"$STATE/foreign"
run_install build build32
why=ok
[[ $(rc) == 0 ]] || why="exit code $(rc)"
[[ $why != ok ]] || ! grep -qi 'wine\|xvfb' "$STATE/calls" || why="installed more: $(cat "$STATE/calls")"
[[ $why != ok ]] || [[ ! -s $STATE/foreign ]] || why="the i386 architecture was added"
[[ $why != ok ]] || installed g++-mingw-w64-i686 || why="the 32-bit compiler is missing"
check "the build chain installs no Wine and no i386 architecture" "$why"

# Everything there: no apt-get at all (and so no root needed).
new_state nothing_missing
for p in cmake make g++-mingw-w64-x86-64 wine wine64 xvfb xauth x11-utils xdotool imagemagick \
  fonts-noto-cjk fonts-ipafont-gothic wine32:i386; do
  [[ $p == *:* ]] || p=$p:amd64
  echo "$p 1.0" >>"$STATE/installed"
done
run_install build wine wine32
why=ok
[[ ! -s $STATE/calls ]] || why="apt-get ran: $(cat "$STATE/calls")"
check "nothing missing: apt-get is not called" "$why"

# clang's sanitizer runtime is the package of clang's own version: of the
# clang installed, else of the one apt offers.
for c in "installed 14 libclang-rt-14-dev" "offered 19 libclang-rt-19-dev"; do
  read -r how v want <<<"$c"
  new_state "clang_$how"
  [[ $how == installed ]] && echo "clang:amd64 $v" >>"$STATE/installed"
  CLANG_VERSION=$v run_install fuzz
  why=$(exited_ok)
  [[ $why != ok ]] || installed "$want" || why="$want not installed: $(cat "$STATE/calls")"
  check "clang's runtime for clang $how ($want)" "$why"
done

echo "$PASSED passed, $FAILED failed"
((FAILED == 0))
