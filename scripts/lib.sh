# Shared by scripts/run.sh, scripts/test.sh, scripts/measure.sh and
# tests/e2e/run.sh: installing what is missing, building, Wine prefixes,
# Xvfb screens. Source it from bash; it defines functions and a few
# variables and runs nothing by itself.

NORVA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Debian packages the build and the tests need. wine32:i386 runs the 32-bit
# exe, fonts-noto-cjk gives Wine a font with the Japanese glyphs, and
# fonts-ipafont-gothic the Gothic faces that stand in for the MS Gothic fonts
# the program asks for (prefix_fonts). clang and libclang-rt-14-dev build the
# fuzz targets (scripts/fuzz.sh); xrestop counts X resources (scripts/soak.sh).
NORVA_PACKAGES=(g++ cmake make googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64
  xvfb xauth x11-utils xdotool imagemagick fonts-noto-cjk fonts-ipafont-gothic
  clang libclang-rt-14-dev xrestop)

# The Wine loaders, called directly: /usr/bin/wine is a script that always
# prefers the 32-bit loader, which would put every 64-bit tool call (reg,
# taskkill, wineboot) through the 32-bit loader first.
WINE32=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64
# Where the kernel has no IA-32 emulation the 32-bit loader runs under
# qemu-i386, which hands its guest a reserved 4 GB only when asked; without
# it, Wine's fixed mapping of the shared user data (0x7ffe0000) can meet
# qemu's own mappings and every 32-bit start fails with "failed to map the
# shared user data". Harmless where 32-bit programs run natively.
export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0xffff0000}
command -v wine >/dev/null 2>&1 && [[ ! -x $WINE32 ]] && WINE32=$(command -v wine)
command -v wine64 >/dev/null 2>&1 && [[ ! -x $WINE64 ]] && WINE64=$(command -v wine64)

log() { printf '==> %s\n' "$*" >&2; }
warn() { printf 'warning: %s\n' "$*" >&2; }
die() {
  printf 'error: %s\n' "$*" >&2
  exit 1
}

# Runs a command as root: directly when we are root, else through sudo.
as_root() {
  if [[ $(id -u) == 0 ]]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    warn "need root (or sudo) for: $*"
    return 1
  fi
}

pkg_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

apt_install() {
  log "installing: $*"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"
}

# Installs the packages that are missing; does nothing (and needs no root)
# when everything is there already.
install_packages() {
  local missing=() p
  command -v dpkg-query >/dev/null 2>&1 || die "not a Debian system (no dpkg-query); install by hand: ${NORVA_PACKAGES[*]}"
  for p in "${NORVA_PACKAGES[@]}"; do
    pkg_installed "$p" || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386 || die "could not enable the i386 architecture"
  fi
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q || die "apt-get update failed"
  apt_install "${missing[@]}" || die "could not install: ${missing[*]}"
}

# How this machine runs 32-bit Linux programs (the 32-bit Wine loader is
# one): "native", "emulated" (a kernel without IA-32 emulation, with
# qemu-i386 registered through binfmt_misc) or "none". Some kernels are built
# or booted with IA-32 emulation off; Wine 8 then cannot start a 32-bit exe
# at all. ensure_i386_exec sets NORVA_I386 to one of the three.
NORVA_BINFMT=/proc/sys/fs/binfmt_misc
NORVA_BINFMT_ENTRY=$NORVA_BINFMT/norva-i386

i386_runs() { [[ -x $WINE32 ]] && timeout 120 "$WINE32" --version >/dev/null 2>&1; }

# An enabled binfmt_misc entry not of ours that hands i386 programs to qemu.
foreign_i386_emulation() {
  local e
  for e in "$NORVA_BINFMT"/*; do
    [[ -f $e && $e != */register && $e != */status && $e != "$NORVA_BINFMT_ENTRY" ]] || continue
    grep -qx enabled "$e" 2>/dev/null && grep -q '^interpreter .*qemu-i386' "$e" 2>/dev/null && return 0
  done
  return 1
}

ensure_i386_exec() {
  NORVA_I386=none
  [[ -x $WINE32 ]] || return 0
  # binfmt_misc takes precedence over the kernel's own 32-bit loader: switch
  # our emulation entry off to see whether the kernel can do without it.
  if [[ -e $NORVA_BINFMT_ENTRY ]]; then
    as_root sh -c "echo 0 > $NORVA_BINFMT_ENTRY" 2>/dev/null || true
  fi
  if foreign_i386_emulation; then
    i386_runs && NORVA_I386=emulated
    return 0
  fi
  if i386_runs; then
    NORVA_I386=native
    return 0
  fi
  if [[ -e $NORVA_BINFMT_ENTRY ]]; then
    as_root sh -c "echo 1 > $NORVA_BINFMT_ENTRY" 2>/dev/null || true
    i386_runs && NORVA_I386=emulated
    return 0
  fi
  warn "this kernel cannot run 32-bit programs (IA-32 emulation is off): the 32-bit exe will run under qemu-i386, much slower"
  if ! pkg_installed qemu-user-static; then
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q && apt_install qemu-user-static || return 0
  fi
  [[ -e $NORVA_BINFMT/register ]] || as_root mount -t binfmt_misc binfmt_misc "$NORVA_BINFMT" || return 0
  # i386 ELF executables and shared objects (e_type 2 or 3, e_machine 3).
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  as_root sh -c "printf '%s' ':norva-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F' > $NORVA_BINFMT/register" || return 0
  i386_runs && NORVA_I386=emulated
  return 0
}

# rm -rf that tolerates Wine processes still letting go of files in it.
remove_tree() {
  local n
  for ((n = 0; n < 10; n++)); do
    rm -rf "$1" 2>/dev/null && return 0
    sleep 1
  done
  rm -rf "$1"
}

# Prints "32" or "64" for a PE file (the machine field of its COFF header).
pe_bits() {
  local off machine
  off=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((off + 4)) -N2 "$1" | tr -d ' ')
  case $machine in
    014c) echo 32 ;;
    8664) echo 64 ;;
    *) return 1 ;;
  esac
}

# The loader for an exe of the given bitness.
wine_for_bits() { if [[ $1 == 32 ]]; then echo "$WINE32"; else echo "$WINE64"; fi; }

# Configures a CMake preset's build (CMakePresets.json) and builds it.
build_preset() {
  local preset=$1
  cmake --preset "$preset" -S "$NORVA_ROOT" >/dev/null &&
    cmake --build --preset "$preset" -j "${NORVA_JOBS:-2}"
}

# The environment every Wine call of ours runs in. The overrides keep Wine
# from offering to download Mono and Gecko.
wine_env() {
  export WINEPREFIX=$1
  export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  unset WINELOADER WINESERVER
}

# Gives the named virtual desktop NAME (explorer /desktop=NAME,WxH) its
# taskbar with the notification area: Wine 8 shows it on every named desktop,
# Wine 10 only where the prefix enables the desktop's shell. Needs wine_env.
desktop_taskbar() {
  timeout 60 "$WINE64" reg add "HKCU\\Software\\Wine\\Explorer\\Desktops\\$1" /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1
}

# Japanese text in a prefix. The program asks for "ＭＳ Ｐゴシック" and
# "ＭＳ ゴシック" at 12 pixels; without them Wine falls back to Noto CJK,
# whose line is much taller than 12 pixels and cuts the bottoms of the
# figures: the IPA Gothic faces replace them. Menus and message boxes are
# drawn in Tahoma, which has no Japanese glyphs: a system link gives it IPA
# Gothic's. The value names are not ASCII, so they go through a UTF-16 .reg
# file rather than the command line (whose conversion depends on the
# locale). Done once per prefix (marker .norva-fonts).
prefix_fonts() {
  local dir=$1 reg link
  [[ -f $dir/.norva-fonts ]] && return 0
  reg=$dir/norva-fonts.reg
  # REG_MULTI_SZ as a .reg file writes it: UTF-16LE bytes, two NULs at the end.
  link=$(printf 'ipag.ttf,IPAGothic\0\0' | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 |
    tr -s ' \n' ',,' | sed 's/^,//; s/,$//')
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    printf '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n"ＭＳ ゴシック"="IPAGothic"\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
    printf '"Tahoma"=hex(7):%s\r\n' "$link"
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg" || return 1
  timeout 120 "$WINE64" regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1 || return 1
  # As after wineboot: no server left running (callers may start their own).
  timeout 60 wineserver -w || true
  touch "$dir/.norva-fonts"
}

# Makes a new prefix in $1 with wineboot alone, logging to $2. Under
# qemu-i386 the 32-bit half of a prefix takes minutes to set up, and longer
# on a busy machine.
boot_prefix() {
  local dir=$1 bootlog=$2
  rm -rf "$dir"
  mkdir -p "$dir"
  WINEPREFIX=$dir timeout 900 "$WINE64" wineboot -i >"$bootlog" 2>&1 || return 1
  WINEPREFIX=$dir timeout 300 wineserver -w || true
}

# Creates (or reuses) a Wine prefix at $1 and waits until it is ready.
make_prefix() {
  local dir=$1
  wine_env "$dir"
  if [[ -f $dir/system.reg && -f $dir/.norva-ready ]]; then
    prefix_fonts "$dir" || warn "could not set the Japanese fonts of the prefix $dir"
    return 0
  fi
  boot_prefix "$dir" "$dir.boot.log" || {
    tail -20 "$dir.boot.log" >&2
    return 1
  }
  prefix_fonts "$dir" || warn "could not set the Japanese fonts of the prefix $dir"
  touch "$dir/.norva-ready"
}

# Starts Xvfb on a free display and exports DISPLAY. Xvfb picks the number
# itself (-displayfd), so parallel runs never collide. Sets XVFB_PID; stop it
# with stop_xvfb.
start_xvfb() {
  local size=${1:-1280x1024x24} fdfile n
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  for ((n = 0; n < 100; n++)); do
    [[ -s $fdfile ]] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [[ ! -s $fdfile ]]; then
    rm -f "$fdfile"
    die "Xvfb did not start"
  fi
  export DISPLAY=":$(tr -dc 0-9 <"$fdfile")"
  rm -f "$fdfile"
  for ((n = 0; n < 100; n++)); do
    if xdpyinfo >/dev/null 2>&1; then
      start_wm_state
      return 0
    fi
    sleep 0.1
  done
  die "Xvfb on $DISPLAY does not answer"
}

# Starts tests/e2e/wm_state.c on $DISPLAY (built once into build/tools):
# the WM_STATE a window manager would keep, without which Wine 10 leaves a
# window it hides mapped. Sets WM_STATE_PID.
start_wm_state() {
  local tool=$NORVA_ROOT/build/tools/wm_state src=$NORVA_ROOT/tests/e2e/wm_state.c
  if [[ ! -x $tool || $src -nt $tool ]]; then
    mkdir -p "${tool%/*}" &&
      gcc -O1 -o "$tool.new" "$src" -l:libX11.so.6 && mv "$tool.new" "$tool" ||
      die "could not build $tool (gcc and libX11 are needed)"
  fi
  "$tool" &
  WM_STATE_PID=$!
}

stop_xvfb() {
  if [[ -n ${WM_STATE_PID:-} ]]; then
    kill "$WM_STATE_PID" 2>/dev/null || true
    wait "$WM_STATE_PID" 2>/dev/null || true
    WM_STATE_PID=
  fi
  if [[ -n ${XVFB_PID:-} ]]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}

# One look at X window $1: "STATE X Y W H NAME" (map state, absolute place,
# size, the quoted name if it has one). State and place must come from the
# same look: Wine makes a form's X window hidden at the place it was created
# and moves it before it maps it, so a place read apart from the state can be
# one the window was never shown at.
window_look() {
  xwininfo -id "$1" 2>/dev/null | awk '
    NR <= 2 && /Window id:/ {sub(/^[^"]*/, ""); name = $0}
    /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} /Map State/ {s = $NF}
    END {if (s != "") print s, x, y, w, h, name}'
}

# The IDs of the top-level X windows whose line in the root's listing
# matches; the arguments are grep's.
top_windows() {
  xwininfo -root -children 2>/dev/null | sed 's/^ *//' | { grep "$@" || true; } | awk '{print $1}'
}

# Lists the visible top-level X windows of the given title and size, one
# "ID X Y" line each (absolute position). The title's case is not compared:
# Wine 8 names a virtual desktop "NAME - Wine desktop", Wine 10 "NAME - Wine
# Desktop".
list_windows() {
  local title=$1 size=$2 id state x y w h
  while read -r id; do
    read -r state x y w h _ < <(window_look "$id") || continue
    [[ $state == IsViewable && ${w}x$h =~ ^($size)$ ]] && echo "$id $x $y"
  done < <(top_windows -iF "\"$title\": (")
  return 0
}

find_window() { list_windows "$@" | head -1; }

# Whether X window $1 is shown (mapped, with its ancestors).
is_shown() { [[ $(window_look "$1") == IsViewable* ]]; }

# The visible top-level X windows that have a name: one '"NAME" WxH+X+Y'
# line each.
shown_windows() {
  local id state x y w h name
  while read -r id; do
    read -r state x y w h name < <(window_look "$id") || continue
    [[ $state == IsViewable ]] && echo "$name ${w}x$h+$x+$y"
  done < <(top_windows -E '^0x[0-9a-f]+ "')
  return 0
}

# Waits up to $3 seconds for find_window; prints its answer.
wait_window() {
  local title=$1 size=$2 secs=$3 end found
  end=$((SECONDS + secs))
  while ((SECONDS < end)); do
    found=$(find_window "$title" "$size")
    if [[ -n $found ]]; then
      echo "$found"
      return 0
    fi
    sleep 0.2
  done
  return 1
}

# --- figures of the measuring scripts ---------------------------------------

# Milliseconds of the wall clock.
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# The median of the whole numbers on stdin, one a line ("-" when none).
# The median of the numbers on stdin; lines that are not numbers ("-" for a
# run that saw nothing) are left out, and no number at all prints "-".
median() { { grep -E '^-?[0-9]+([.][0-9]+)?$' || true; } | sort -n | awk '{a[NR] = $1} END {if (NR) print (NR % 2 ? a[(NR + 1) / 2] : int((a[NR / 2] + a[NR / 2 + 1]) / 2)); else print "-"}'; }
# Private memory and RSS of process $1, from its smaps_rollup.
memory_of() {
  awk '/^Rss:/ {r = $2} /^Private_Clean:/ {c = $2} /^Private_Dirty:/ {d = $2}
       END {printf "private %d KiB (Private_Clean %d + Private_Dirty %d), RSS %d KiB", c + d, c, d, r}' "/proc/$1/smaps_rollup"
}
