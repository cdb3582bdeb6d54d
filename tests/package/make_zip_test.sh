#!/usr/bin/env bash
# Checks cmake/make_zip.sh, the writer of the release zips: the same files
# give the same bytes whatever their folder, file times, creation order and
# owner; the entries come out in the order given, with the given time and
# fixed modes, and unpack to the same contents; bad input is refused.
# Ends with "N passed, M failed".
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
ZIP="$ROOT/cmake/make_zip.sh"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export TZ=UTC
EPOCH=1765300000 # 2025-12-09 17:06:40 UTC, an even second (DOS time)
# shellcheck source=checks.sh
source "$ROOT/tests/package/checks.sh"

# Two folders of the same files, made in another order, at other times.
mkdir -p "$WORK/a/pkg/sub" "$WORK/b/pkg/sub"
printf 'norva\r\n' >"$WORK/a/pkg/readme.txt"
head -c 200000 /dev/urandom >"$WORK/a/pkg/prog.exe"
: >"$WORK/a/pkg/sub/empty.txt"
chmod 755 "$WORK/a/pkg/prog.exe"
cp "$WORK/a/pkg/sub/empty.txt" "$WORK/b/pkg/sub/"
cp "$WORK/a/pkg/prog.exe" "$WORK/b/pkg/"
cp "$WORK/a/pkg/readme.txt" "$WORK/b/pkg/"
chmod 700 "$WORK/b/pkg/prog.exe"
chmod 600 "$WORK/b/pkg/readme.txt"
touch -d '2001-02-03 04:05:06' "$WORK/b/pkg/prog.exe" "$WORK/b/pkg/readme.txt"
# Another owner, where this test may give one.
if [[ $(id -u) == 0 ]]; then chown -R 65534:65534 "$WORK/b"; fi
NAMES=(pkg/readme.txt pkg/prog.exe pkg/sub/empty.txt)

check "writes a zip" bash "$ZIP" "$WORK/a.zip" "$EPOCH" "$WORK/a" "${NAMES[@]}"
check "same files elsewhere, other times, modes and owner: same bytes" \
  bash -c "bash '$ZIP' '$WORK/b.zip' $EPOCH '$WORK/b' ${NAMES[*]} && cmp '$WORK/a.zip' '$WORK/b.zip'"
check "a second run: same bytes" \
  bash -c "bash '$ZIP' '$WORK/a2.zip' $EPOCH '$WORK/a' ${NAMES[*]} && cmp '$WORK/a.zip' '$WORK/a2.zip'"

listing() { cmake -E tar tvf "$1" | awk '{print $1, $5, $NF}'; }
check "entries in the given order, modes 755 for executables and 644 else, sizes" \
  diff <(listing "$WORK/a.zip") - <<<"-rw-r--r-- 7 pkg/readme.txt
-rwxr-xr-x 200000 pkg/prog.exe
-rw-r--r-- 0 pkg/sub/empty.txt"

mkdir -p "$WORK/x"
(cd "$WORK/x" && cmake -E tar xf "$WORK/a.zip")
check "unpacks to the same contents" diff -r "$WORK/a/pkg" "$WORK/x/pkg"
check "every entry carries the given time" \
  bash -c "[[ \$(stat -c %Y '$WORK/x/pkg/readme.txt' '$WORK/x/pkg/prog.exe' '$WORK/x/pkg/sub/empty.txt' | sort -u) == $EPOCH ]]"
if command -v unzip >/dev/null; then
  check "unzip -t finds no error" unzip -tq "$WORK/a.zip"
fi

printf 'norvA\r\n' >"$WORK/b/pkg/readme.txt"
check "one changed byte: other bytes" \
  bash -c "bash '$ZIP' '$WORK/c.zip' $EPOCH '$WORK/b' ${NAMES[*]} && ! cmp -s '$WORK/a.zip' '$WORK/c.zip'"
check "another time: other bytes" \
  bash -c "bash '$ZIP' '$WORK/d.zip' $((EPOCH + 2)) '$WORK/a' ${NAMES[*]} && ! cmp -s '$WORK/a.zip' '$WORK/d.zip'"
check "a time before 1980 is written as 1980" \
  bash -c "bash '$ZIP' '$WORK/e.zip' 0 '$WORK/a' pkg/readme.txt && cmake -E tar tvf '$WORK/e.zip' | grep -q ' 1980 '"

check "a missing file is refused" fails bash "$ZIP" "$WORK/f.zip" "$EPOCH" "$WORK/a" pkg/none.txt
check "a name with a space is refused" fails bash "$ZIP" "$WORK/f.zip" "$EPOCH" "$WORK/a" "pkg/a b"
check "an absolute name is refused" fails bash "$ZIP" "$WORK/f.zip" "$EPOCH" / "$WORK/a/pkg/readme.txt"
check "a time that is no number is refused" fails bash "$ZIP" "$WORK/f.zip" yesterday "$WORK/a" pkg/readme.txt
check "a refused run leaves no zip" test ! -e "$WORK/f.zip"

summary
