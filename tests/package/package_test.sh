#!/usr/bin/env bash
# Checks which packages scripts/package.sh puts in the release, with a
# stand-in `cmake` that configures and "packs" at once: the release holds
# exactly the zips of this run and SHA256SUMS names them, also after a
# version bump with the older packages still lying in the build folders; a
# run whose CPack names no zip, or a zip of another version, or whose build
# fails, stops without a release. Ends with "N passed, M failed".
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
OUT=$WORK/release
mkdir -p "$WORK/bin"

# The stand-in: `cmake --preset ARCH -S SRC -B DIR` writes the cache with
# $FAKE_VERSION; `cmake --build DIR ... --target package` writes the zip
# (its text names version, arch and $FAKE_RUN) and prints CPack's lines as
# $FAKE_CPACK says: "normal", "silent" (no package line) or "other" (a zip
# of version 9.9.9).
cat >"$WORK/bin/cmake" <<'STUB'
#!/usr/bin/env bash
if [[ $1 == --preset ]]; then
  arch=$2 dir=$6
  mkdir -p "$dir"
  printf 'CMAKE_PROJECT_VERSION:STATIC=%s\n' "$FAKE_VERSION" >"$dir/CMakeCache.txt"
  echo "$arch" >"$dir/arch"
  exit 0
fi
[[ $1 == --build ]] || exit 2
dir=$2 arch=$(cat "$2/arch")
[[ ${FAKE_FAIL:-} == "$arch" ]] && { echo "error: the build failed"; exit 1; }
version=$FAKE_VERSION
[[ $FAKE_CPACK == other ]] && version=9.9.9
zip=$dir/norva-$version-$arch.zip
echo "zip of $version $arch run $FAKE_RUN" >"$zip"
echo "CPack: Create package"
echo "CPack: - package: $dir/norva-$version-$arch.json generated."
[[ $FAKE_CPACK == silent ]] || echo "CPack: - package: $zip generated."
STUB
chmod +x "$WORK/bin/cmake"

# shellcheck source=checks.sh
source "$ROOT/tests/package/checks.sh"
package() { # version, run name, CPack's behaviour[, failing arch]
  FAKE_VERSION=$1 FAKE_RUN=$2 FAKE_CPACK=$3 FAKE_FAIL=${4:-} NORVA_SKIP_INSTALL=1 \
    PATH="$WORK/bin:$PATH" bash "$ROOT/scripts/package.sh" --out "$OUT" >"$WORK/package.log" 2>&1
}
# The release's zips and the names SHA256SUMS holds, each sorted, one line.
release_zips() { (cd "$OUT" && ls norva-*.zip 2>/dev/null | tr '\n' ' '); }
sums_names() { awk '{print $2}' "$OUT/SHA256SUMS" | sort | tr '\n' ' '; }
sums_hold() { (cd "$OUT" && sha256sum -c --quiet SHA256SUMS); }
released() { # version, run: both release zips are that run's
  grep -qx "zip of $1 win32 run $2" "$OUT/norva-$1-win32.zip" &&
    grep -qx "zip of $1 win64 run $2" "$OUT/norva-$1-win64.zip"
}

check "a first run succeeds" package 1.0.0 first normal
check "the release holds the two zips of the version" \
  test "$(release_zips)" == "norva-1.0.0-win32.zip norva-1.0.0-win64.zip "
check "SHA256SUMS names them" test "$(sums_names)" == "norva-1.0.0-win32.zip norva-1.0.0-win64.zip "
check "their sums hold" sums_hold
check "they are the zips that run made" released 1.0.0 first

check "after a version bump the run succeeds" package 1.0.1 bumped normal
check "the release holds only the new version's zips" \
  test "$(release_zips)" == "norva-1.0.1-win32.zip norva-1.0.1-win64.zip "
check "SHA256SUMS names only them" test "$(sums_names)" == "norva-1.0.1-win32.zip norva-1.0.1-win64.zip "
check "their sums hold" sums_hold
check "they are the zips of the bumped run" released 1.0.1 bumped
check "no older package is left in the build folders" \
  bash -c "! ls '$OUT'/win32/norva-1.0.0-* '$OUT'/win64/norva-1.0.0-* 2>/dev/null | grep -q ."

check "a run at the same version replaces the zips" package 1.0.1 again normal
check "with that run's zips" released 1.0.1 again

no_release() { [[ -z $(release_zips) && ! -e $OUT/SHA256SUMS ]]; }
check "CPack naming no zip stops the run" fails package 1.0.2 silent silent
check "and leaves no release (not the older one either)" no_release
check "CPack naming a zip of another version stops the run" fails package 1.0.2 other other
check "and leaves no release" no_release
check "a failed build stops the run" fails package 1.0.2 broken normal win64
check "and leaves no release" no_release
check "and says where the log is" grep -q "could not build the win64 package (log: " "$WORK/package.log"

summary
