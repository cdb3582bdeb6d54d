#!/usr/bin/env bash
# Makes the release: norva-<version>-win32.zip and norva-<version>-win64.zip
# (norva.exe, LICENSE.txt and the Japanese guide readme-ja.txt in a folder of
# the same name) and SHA256SUMS beside them, in build/release/.
#
#   scripts/package.sh [--out DIR]
#
# Each package is built by CPack from a build folder of its own
# (build/release/win32|win64, configured from the win32 and win64 presets),
# the same as `cmake --build --preset win64 --target package` does in
# build/win64. The version is the CMake project's (CMakeLists.txt). The exes
# are reproducible: the same commit gives the same bytes in any folder.
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=lib.sh
source "$HERE/lib.sh"
cd "$NORVA_ROOT"

OUT=$NORVA_ROOT/build/release
while (($#)); do
  case $1 in
    --out) OUT=$2; shift 2 ;;
    -h | --help) sed -n '2,12p' "$0"; exit 0 ;;
    *) die "unknown option $1" ;;
  esac
done
mkdir -p "$OUT"
OUT=$(readlink -f "$OUT")

[[ ${NORVA_SKIP_INSTALL:-0} == 1 ]] || install_packages build build32

zips=()
for arch in win32 win64; do
  dir=$OUT/$arch
  log "building and packing $arch in $dir"
  cmake --preset "$arch" -S "$NORVA_ROOT" -B "$dir" >"$OUT/$arch.log" 2>&1 ||
    die "could not configure $arch (log: $OUT/$arch.log)"
  cmake --build "$dir" -j "${NORVA_JOBS:-2}" --target package >>"$OUT/$arch.log" 2>&1 ||
    die "could not build the $arch package (log: $OUT/$arch.log)"
  zip=$(find "$dir" -maxdepth 1 -name "norva-*-$arch.zip" -newer "$OUT/$arch.log" -print -quit)
  [[ -n $zip ]] || zip=$(find "$dir" -maxdepth 1 -name "norva-*-$arch.zip" -print -quit)
  [[ -n $zip ]] || die "no package made for $arch (log: $OUT/$arch.log)"
  cp "$zip" "$OUT/"
  zips+=("$(basename "$zip")")
done
(cd "$OUT" && sha256sum "${zips[@]}" >SHA256SUMS)
log "release in $OUT:"
(cd "$OUT" && ls -l "${zips[@]}" SHA256SUMS && cat SHA256SUMS)
