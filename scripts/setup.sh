#!/usr/bin/env bash
# Installs everything a fresh Debian machine needs to build and test Pinchwell.
# Idempotent: when every package is present it says nothing and installs nothing.
# Where the kernel runs 32-bit programs it adds Debian's i386 architecture and the 32-bit
# Wine, which runs the x86 build; elsewhere it leaves them out: there they could not run,
# and with them installed the `wine` command would start a loader that cannot start.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  libwine-dev wine wine64 xvfb xdotool imagemagick x11-utils
  liblog4cxx-dev libinih-dev libsimpleini-dev
  fonts-wqy-microhei fonts-wine locales
  zlib1g-dev libz-mingw-w64-dev
  chromium nodejs wixl msitools osslsigncode openssl
)

# Wine takes the user's locale from LANG, and only from locales the C library has:
# the settings program's Chinese screenshots need these two.
generate_locales() {
  local loc
  for loc in zh_TW zh_CN; do
    locale -a 2>/dev/null | grep -qx "$loc.utf8" && continue
    local cmd=(localedef -i "$loc" -f UTF-8 "$loc.UTF-8")
    [ "$(id -u)" -ne 0 ] && cmd=(sudo "${cmd[@]}")
    "${cmd[@]}"
  done
}

# Whether the kernel runs 32-bit x86 programs: a tiny static i386 program that exits 0.
runs_32bit() {
  local dir status=1
  command -v as >/dev/null && command -v ld >/dev/null || return 1
  dir=$(mktemp -d) || return 1
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/probe.s"
  if as --32 -o "$dir/probe.o" "$dir/probe.s" 2>/dev/null &&
     ld -m elf_i386 -o "$dir/probe" "$dir/probe.o" 2>/dev/null; then
    "$dir/probe" 2>/dev/null && status=0
  fi
  rm -rf "$dir"
  return $status
}

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
# The probe needs binutils, which the compilers bring: on a fresh machine it runs after them.
add_i386=0
i386_pending() {
  runs_32bit || return 1
  installed wine32:i386 && return 1
  dpkg --print-foreign-architectures | grep -qx i386 || add_i386=1
  return 0
}
wine32=0
[ ${#missing[@]} -eq 0 ] && i386_pending && wine32=1
if [ ${#missing[@]} -eq 0 ] && [ "$wine32" = 0 ]; then
  generate_locales
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root, or install sudo" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
apt=("${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get)
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${apt[@]}" update -qq
  "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  i386_pending && wine32=1
fi
if [ "$wine32" = 1 ]; then
  echo "setup: installing wine32:i386 (32-bit Windows programs)"
  [ "$add_i386" = 1 ] && "${sudo_cmd[@]}" dpkg --add-architecture i386
  "${apt[@]}" update -qq
  "${apt[@]}" install -y -qq --no-install-recommends wine32:i386 >/dev/null
fi
generate_locales
echo "setup: done"
