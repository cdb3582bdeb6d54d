#!/usr/bin/env bash
# Writes a ZIP archive whose bytes depend only on the files' names and
# contents and on the time given:
#
#   cmake/make_zip.sh OUT.zip EPOCH DIR NAME...
#
# Each NAME (a path relative to DIR, ASCII) becomes one deflated entry, in
# the order given. Every entry carries the same time (EPOCH, seconds since
# 1970, written as its UTC date and time, 1980 at the earliest), and mode
# 755 if the file is executable, else 644. No owner, no extra fields, no
# directory entries. The deflate data and the CRC come from gzip (-9 -n).
set -euo pipefail

die() {
  printf 'make_zip: %s\n' "$*" >&2
  exit 1
}

(($# >= 4)) || die "usage: make_zip.sh OUT.zip EPOCH DIR NAME..."
out=$1 epoch=$2 dir=$3
shift 3
[[ $epoch =~ ^[0-9]+$ ]] || die "the time must be whole seconds since 1970, not '$epoch'"
[[ -d $dir ]] || die "no folder $dir"

# Little-endian fields.
u16() { printf '%b' "$(printf '\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)))"; }
u32() { u16 $(($1 & 65535)); u16 $((($1 >> 16) & 65535)); }
# Reads a little-endian 32-bit number at byte $2 of file $1.
read_u32() {
  local b
  read -r -a b < <(od -An -tu1 -j "$2" -N 4 "$1")
  echo $((b[0] | b[1] << 8 | b[2] << 16 | b[3] << 24))
}

# The DOS date and time of the epoch in UTC (the format starts in 1980).
((epoch >= 315532800)) || epoch=315532800
read -r year month day hour minute second < <(date -u -d "@$epoch" '+%Y %-m %-d %-H %-M %-S')
dos_date=$(((year - 1980) << 9 | month << 5 | day))
dos_time=$((hour << 11 | minute << 5 | second / 2))

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: >"$work/central"
offset=0 count=0
for name in "$@"; do
  file=$dir/$name
  [[ -f $file ]] || die "no file $file"
  [[ $name =~ ^[A-Za-z0-9._/-]+$ && $name != /* ]] || die "not a plain relative name: $name"
  size=$(stat -c %s "$file")
  ((size < 0xFFFFFFFF)) || die "$name is too large for a ZIP without ZIP64"
  # gzip -n: a 10-byte header, the raw deflate data, then CRC-32 and size.
  gzip -9 -n -c <"$file" >"$work/gz" || die "gzip failed on $name"
  gz_size=$(stat -c %s "$work/gz")
  packed=$((gz_size - 18))
  crc=$(read_u32 "$work/gz" $((gz_size - 8)))
  [[ $(read_u32 "$work/gz" $((gz_size - 4))) == "$size" ]] || die "gzip's size of $name is wrong"
  mode=644
  [[ -x $file ]] && mode=755
  attributes=$(((0100000 | 8#$mode) << 16))
  {
    u32 0x04034b50; u16 20; u16 0; u16 8; u16 "$dos_time"; u16 "$dos_date"
    u32 "$crc"; u32 "$packed"; u32 "$size"; u16 ${#name}; u16 0
    printf '%s' "$name"
    tail -c +11 "$work/gz" | head -c "$packed"
  } >>"$work/body"
  {
    u32 0x02014b50; u16 $((3 << 8 | 20)); u16 20; u16 0; u16 8; u16 "$dos_time"; u16 "$dos_date"
    u32 "$crc"; u32 "$packed"; u32 "$size"; u16 ${#name}; u16 0; u16 0; u16 0; u16 0
    u32 "$attributes"; u32 "$offset"
    printf '%s' "$name"
  } >>"$work/central"
  offset=$((offset + 30 + ${#name} + packed))
  count=$((count + 1))
done
central_size=$(stat -c %s "$work/central")
{
  cat "$work/body" "$work/central"
  u32 0x06054b50; u16 0; u16 0; u16 "$count"; u16 "$count"
  u32 "$central_size"; u32 "$offset"; u16 0
} >"$work/out.zip"
mv -f "$work/out.zip" "$out" || die "could not write $out"
