#!/usr/bin/env bash
# Makes the release: norva-<version>-win32.zip and norva-<version>-win64.zip
# (norva.exe, LICENSE.txt and the guides readme-ja.txt and readme-en.txt in a folder of
# the same name) and SHA256SUMS beside them, in build/release/.
#
#   scripts/package.sh [--out DIR]
#
# Each package is built by CPack from a build folder of its own
# (build/release/win32|win64, configured from the win32 and win64 presets),
# the same as `cmake --build --preset win64 --target package` does in
# build/win64. The version is the CMake project's (CMakeLists.txt). The
# release holds exactly the packages this run made: older ones are removed
# from the build folders and from DIR first, and each package is the file
# CPack names. Exes and zips are reproducible: the same commit gives the
# same bytes in any folder (the zip entries carry the commit's time, or
# SOURCE_DATE_EPOCH when set).
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=lib.sh
source "$HERE/lib.sh"
cd "$NORVA_ROOT"

OUT=$NORVA_ROOT/build/release
while (($#)); do
  case $1 in
    --out) OUT=$2; shift 2 ;;
    -h | --help) sed -n '2,16p' "$0"; exit 0 ;;
    *) die "unknown option $1" ;;
  esac
done
mkdir -p "$OUT"
OUT=$(readlink -f "$OUT")

[[ ${NORVA_SKIP_INSTALL:-0} == 1 ]] || install_packages build build32

# Nothing from an earlier run may reach this release.
rm -f "$OUT"/norva-*.zip "$OUT/SHA256SUMS"

made_zips=()
for arch in win32 win64; do
  dir=$OUT/$arch
  log "building and packing $arch in $dir"
  rm -rf "$dir/_CPack_Packages"
  rm -f "$dir"/norva-*.zip "$dir"/norva-*.json
  cmake --preset "$arch" -S "$NORVA_ROOT" -B "$dir" >"$OUT/$arch.log" 2>&1 ||
    die "could not configure $arch (log: $OUT/$arch.log)"
  cmake --build "$dir" -j "${NORVA_JOBS:-2}" --target package >>"$OUT/$arch.log" 2>&1 ||
    die "could not build the $arch package (log: $OUT/$arch.log)"
  # The package CPack reports having made ("CPack: - package: PATH generated.").
  made=$(sed -nE 's/^CPack: - package: (.*[.]zip) generated[.]$/\1/p' "$OUT/$arch.log")
  [[ -n $made && $made != *$'\n'* ]] || die "CPack named no single zip for $arch (log: $OUT/$arch.log)"
  version=$(sed -nE 's/^CMAKE_PROJECT_VERSION:STATIC=(.*)$/\1/p' "$dir/CMakeCache.txt")
  [[ $(basename "$made") == "norva-$version-$arch.zip" && -f $made ]] ||
    die "CPack made $made, not norva-$version-$arch.zip (log: $OUT/$arch.log)"
  made_zips+=("$made")
done
# Into the release only once both packages are made.
cp "${made_zips[@]}" "$OUT/"
zips=()
for made in "${made_zips[@]}"; do zips+=("$(basename "$made")"); done
(cd "$OUT" && sha256sum "${zips[@]}" >SHA256SUMS)
log "release in $OUT:"
(cd "$OUT" && ls -l "${zips[@]}" SHA256SUMS && cat SHA256SUMS)
