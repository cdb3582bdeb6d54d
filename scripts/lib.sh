# Shared by scripts/run.sh, scripts/test.sh, scripts/measure.sh and
# tests/e2e/run.sh: installing what is missing, building, Wine prefixes,
# Xvfb screens. Source it from bash; it defines functions and a few
# variables and runs nothing by itself.

NORVA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Debian packages by what they serve. Each command installs the groups it
# needs (install_packages GROUP...), so one that needs no 32-bit Wine never
# stops on it.
#   build    CMake and the 64-bit MinGW-w64 compiler
#   build32  the 32-bit MinGW-w64 compiler
#   native   g++ and the libraries of the native build (unit tests, benchmarks)
#   wine     64-bit Wine, Xvfb and the X tools the scripts use, and the
#            Japanese fonts: fonts-noto-cjk has the glyphs, fonts-ipafont-gothic
#            the faces that stand in for the MS Gothic fonts the program asks
#            for (prefix_fonts)
#   wine32   32-bit Wine (wine32:i386), which runs the 32-bit exe; installed
#            apart from the rest (install_wine32), as on a bad day it cannot be
#            had
#   fuzz     clang and its sanitizer runtime (scripts/fuzz.sh); the runtime's
#            package carries clang's version, so it is looked up (clang_rt)
#   soak     xrestop (X resources) and procps (pgrep) of scripts/soak.sh
declare -gA NORVA_PACKAGES=(
  [build]="cmake make g++-mingw-w64-x86-64"
  [build32]="g++-mingw-w64-i686"
  [native]="g++ cmake make googletest libgtest-dev libbenchmark-dev"
  [wine]="wine wine64 xvfb xauth x11-utils xdotool imagemagick fonts-noto-cjk fonts-ipafont-gothic"
  [wine32]="wine32:i386"
  [fuzz]="clang libclang-rt-dev"
  [soak]="xrestop procps"
)
NORVA_GROUPS=(build build32 native wine wine32 fuzz soak)

# The Wine loaders, called directly: /usr/bin/wine is a script that always
# prefers the 32-bit loader, which would put every 64-bit tool call (reg,
# taskkill, wineboot) through the 32-bit loader first. The 32-bit exe runs
# under Debian's 32-bit loader (wine32:i386, on bookworm's Wine 8 and
# trixie's Wine 10 alike); a Wine built for WoW64 (its 64-bit library tree
# holds the 32-bit ntdll.dll) runs it from the 64-bit loader instead, and
# needs no i386 packages. WINE32 names no file when neither is there.
# Chosen again after an install.
choose_wine_loaders() {
  local w
  WINE64=/usr/lib/wine/wine64
  if [[ ! -x $WINE64 ]] && w=$(command -v wine64); then WINE64=$w; fi
  WINE32=/usr/lib/wine/wine
  if [[ -f /usr/lib/x86_64-linux-gnu/wine/i386-windows/ntdll.dll && -x $WINE64 ]]; then
    WINE32=$WINE64
  elif [[ ! -x $WINE32 ]] && w=$(command -v wine) && [[ $(head -c4 "$w" 2>/dev/null) == $'\x7fELF' ]]; then
    # Elsewhere "wine" may be the 32-bit loader itself rather than Debian's script.
    WINE32=$w
  fi
}
choose_wine_loaders

# Where the kernel has no IA-32 emulation the 32-bit loader runs under
# qemu-i386, which hands its guest a reserved 4 GB only when asked; without
# it, Wine's fixed mapping of the shared user data (0x7ffe0000) can meet
# qemu's own mappings and every 32-bit start fails with "failed to map the
# shared user data". Harmless where 32-bit programs run natively.
export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0xffff0000}

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

# Every installed package, one "name:arch version" a line, sorted.
installed_list() {
  dpkg-query -W -f='${db:Status-Abbrev} ${Package}:${Architecture} ${Version}\n' 2>/dev/null |
    awk '$1 ~ /^[hi]i/ {print $2, $3}' | sort
}

# apt's reason for a failed install, in one line, from its output: the first
# unmet dependency, else its last error.
apt_reason() {
  local r
  r=$(grep -m1 -E '^ +[^ ]+ : (Depends|PreDepends|Conflicts|Breaks):' <<<"$1" | sed -E 's/^ +//; s/ +/ /g' || true)
  [[ -n $r ]] || r=$(grep -E '^E: ' <<<"$1" | grep -v 'Unable to correct problems' | tail -1 | sed 's/^E: //' || true)
  echo "${r:-apt-get install failed}"
}

# Among the i386 packages apt's output names, the libraries whose installed
# amd64 version no i386 index offers (a Multi-Arch: same library must have
# one version on both): "libexpat1 (amd64 2.5.0-1+deb12u5, i386 2.5.0-1+deb12u2)".
multiarch_skew() {
  local p v64 versions arch skew=()
  arch=$(dpkg --print-architecture)
  for p in $(grep -oE '[a-z0-9][a-z0-9.+-]*:i386' <<<"$1" | sort -u); do
    p=${p%:i386}
    v64=$(dpkg-query -W -f='${Version}' "$p:$arch" 2>/dev/null) && [[ -n $v64 ]] || continue
    versions=$(apt-cache policy "$p:i386" 2>/dev/null |
      awk '/Version table:/ {t = 1; next} t && $1 == "***" {print $2; next} t && $1 ~ /^[0-9]/ {print $1}')
    grep -qxF -- "$v64" <<<"$versions" && continue
    skew+=("$p ($arch $v64, i386 $(head -1 <<<"$versions" | grep . || echo none))")
  done
  ((${#skew[@]} == 0)) || printf '%s, ' "${skew[@]}" | sed 's/, $//'
}

# apt-get update. An index that cannot be read (a mirror in mid-sync, a
# suite gone) is told once, and the install goes on with the indexes that
# were read: only an install that then fails stops the script.
# NORVA_APT_FAILED holds the suites whose indexes failed.
NORVA_APT_FAILED=
apt_update() {
  local out rc=0 first
  out=$(as_root env DEBIAN_FRONTEND=noninteractive LC_ALL=C apt-get update -q 2>&1) || rc=$?
  NORVA_APT_FAILED=$({ grep -E '^(Err:|[EW]: Failed to fetch)' <<<"$out" || true; } |
    sed -nE 's#^Err:[0-9]+ [^ ]+ ([^ /]+).*#\1#p; s#.*/dists/([^/]+)/.*#\1#p' | sort -u | tr '\n' ' ')
  NORVA_APT_FAILED=${NORVA_APT_FAILED% }
  if ((rc != 0)) || [[ -n $NORVA_APT_FAILED ]]; then
    first=$(grep -m1 -E '^[EW]: ' <<<"$out" || tail -1 <<<"$out")
    warn "apt-get update could not read every index (${first:-exit code $rc}); installing from the indexes it could read"
  fi
  return 0
}

# apt-get install of the packages named, never removing one: the plan is
# checked first (apt-get -s) and refused when it has a removal, apt-get is
# told --no-remove, and the installed set is compared before and after.
# NORVA_APT_OPTS holds further options (target release, preferences). On a
# failure returns 1 with apt's reason in NORVA_APT_REASON (and the failed
# plan's whole output in NORVA_APT_PLAN).
NORVA_APT_OPTS=()
NORVA_APT_REASON=
NORVA_APT_PLAN=
apt_install() {
  local plan removed before gone out rc=0
  NORVA_APT_PLAN=
  out=$(mktemp)
  plan=$(LC_ALL=C apt-get install -s -q --no-install-recommends "${NORVA_APT_OPTS[@]}" "$@" 2>&1) || {
    NORVA_APT_PLAN=$plan
    NORVA_APT_REASON=$(apt_reason "$plan")
    return 1
  }
  removed=$(sed -nE 's/^Remv ([^ ]+).*/\1/p' <<<"$plan" | tr '\n' ' ')
  if [[ -n $removed ]]; then
    NORVA_APT_REASON="apt would remove ${removed% } to make room"
    return 1
  fi
  before=$(installed_list)
  log "installing: $*"
  as_root env DEBIAN_FRONTEND=noninteractive LC_ALL=C apt-get install -y -q --no-install-recommends \
    --no-remove "${NORVA_APT_OPTS[@]}" "$@" 2>&1 | tee "$out" >&2 || rc=$?
  gone=$(comm -23 <(cut -d' ' -f1 <<<"$before") <(installed_list | cut -d' ' -f1) | tr '\n' ' ')
  [[ -z $gone ]] || die "apt removed ${gone% } while installing $* (log above); reinstall them"
  ((rc == 0)) || NORVA_APT_REASON=$(apt_reason "$(cat "$out")")
  rm -f "$out"
  return $((rc != 0))
}

# The package of clang's sanitizer runtime for the clang installed, else for
# the one apt would install: libclang-rt-14-dev on bookworm, -19- on trixie.
clang_rt() {
  local v
  v=$(dpkg-query -W -f='${Depends}' clang 2>/dev/null | grep -oE 'clang-[0-9]+' | head -1 || true)
  [[ -n $v ]] || v=$(apt-cache depends clang 2>/dev/null | grep -oE 'Depends: clang-[0-9]+' | head -1 || true)
  [[ -n $v ]] && echo "libclang-rt-${v##*-}-dev"
}

# This Debian's release name (bookworm, trixie).
release_codename() { (. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}"); }

# Whether 32-bit Wine is here (whichever way: see choose_wine_loaders).
wine32_here() { [[ -x $WINE32 ]]; }

# 32-bit Wine (wine32:i386), installed apart from the rest. Its libraries
# must have the versions of their amd64 twins, so on a day when a suite's
# i386 index cannot be read they may not match the amd64 ones installed,
# and apt would then make room by removing the amd64 ones, wine64 with them.
# Tried as it comes first; then from the release itself (-t) with every
# package held at the version the amd64 side has, so nothing is upgraded;
# never removing anything. When it still cannot be had, one line says why
# (also in NORVA_WINE32_MISSING) and the callers go on without the 32-bit exe.
NORVA_WINE32_MISSING=
install_wine32() {
  local first codename prefs rc=0 had64=0 skew
  wine32_here && return 0
  pkg_installed wine64 && had64=1
  if ! apt_install wine32:i386; then
    first=$NORVA_APT_REASON
    # The cause behind apt's unmet dependencies, where it is the case above.
    skew=$(multiarch_skew "$NORVA_APT_PLAN")
    [[ -z $skew ]] || first="no i386 index has the versions of the amd64 libraries installed: $skew"
    codename=$(release_codename)
    prefs=$(mktemp -d)
    cp /etc/apt/preferences.d/* "$prefs/" 2>/dev/null || true
    installed_list | awk -v arch="$(dpkg --print-architecture)" '{
      split($1, p, ":"); if (p[2] == arch || p[2] == "all")
        printf "Package: %s:any\nPin: version %s\nPin-Priority: 995\n\n", p[1], $2}' >"$prefs/norva-amd64-versions.pref"
    local NORVA_APT_OPTS=(-o "Dir::Etc::PreferencesParts=$prefs")
    [[ -n $codename && " $NORVA_APT_FAILED " != *" $codename "* ]] && NORVA_APT_OPTS+=(-t "$codename")
    log "wine32:i386 does not install as it comes; trying ${codename:-the release} at the amd64 side's versions"
    apt_install wine32:i386 || rc=1
    rm -rf "$prefs"
    if ((rc)); then
      NORVA_WINE32_MISSING="wine32:i386 cannot be installed: $first"
      warn "$NORVA_WINE32_MISSING"
      return 0
    fi
  fi
  ((!had64)) || pkg_installed wine64 || die "wine64 is gone after installing wine32:i386"
  choose_wine_loaders
}

# Why the 32-bit exe cannot run here (ensure_i386_exec found NORVA_I386
# none), in one line.
no_i386_reason() {
  if ! wine32_here; then
    echo "${NORVA_WINE32_MISSING:-32-bit Wine (wine32:i386) is not installed}"
  else
    echo "this kernel cannot run 32-bit programs (no IA-32 emulation, and qemu-i386 could not be set up)"
  fi
}

# Installs what the named groups (NORVA_PACKAGES; all when none is named)
# need and is missing; does nothing, and needs no root, when all is there. A
# package that cannot be installed stops the script, but for 32-bit Wine
# (install_wine32).
install_packages() {
  local groups=("$@") wanted=() missing=() p g want32=0 rt
  ((${#groups[@]})) || groups=("${NORVA_GROUPS[@]}")
  for g in "${groups[@]}"; do
    [[ -n ${NORVA_PACKAGES[$g]+set} ]] || die "no package group $g"
    if [[ $g == wine32 ]]; then want32=1; else read -r -a p <<<"${NORVA_PACKAGES[$g]}" && wanted+=("${p[@]}"); fi
  done
  command -v dpkg-query >/dev/null 2>&1 ||
    die "not a Debian system (no dpkg-query); install by hand: ${wanted[*]}$( ((want32)) && echo " and 32-bit Wine")"
  for p in $(printf '%s\n' "${wanted[@]}" | awk '!seen[$0]++'); do
    [[ $p == libclang-rt-dev ]] && { p=$(clang_rt) || p=libclang-rt-dev; }
    pkg_installed "$p" || missing+=("$p")
  done
  ((want32)) && wine32_here && want32=0
  ((${#missing[@]} || want32)) || return 0
  if ((want32)) && ! dpkg --print-foreign-architectures | grep -qx i386; then
    if ! as_root dpkg --add-architecture i386; then
      NORVA_WINE32_MISSING="wine32:i386 cannot be installed: the i386 architecture could not be enabled"
      warn "$NORVA_WINE32_MISSING"
      want32=0
    fi
  fi
  apt_update
  if ((${#missing[@]})); then
    for g in "${!missing[@]}"; do
      if [[ ${missing[$g]} == libclang-rt-dev ]]; then
        rt=$(clang_rt) || die "found no sanitizer runtime package (libclang-rt-N-dev) for clang"
        missing[g]=$rt
      fi
    done
    apt_install "${missing[@]}" || die "could not install ${missing[*]}: $NORVA_APT_REASON"
    choose_wine_loaders
  fi
  ((want32)) && install_wine32
  return 0
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
    apt_update
    apt_install qemu-user-static || return 0
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
