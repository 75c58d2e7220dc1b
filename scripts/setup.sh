#!/usr/bin/env bash
# Installs everything a fresh Debian machine needs to build and test Pinchwell.
# Idempotent: when every package is present it says nothing and installs nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools
  libwine-dev wine wine64 xvfb xdotool imagemagick x11-utils
  liblog4cxx-dev libinih-dev libsimpleini-dev
  fonts-wqy-microhei fonts-wine locales
  zlib1g-dev libz-mingw-w64-dev
  chromium nodejs wixl msitools
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

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  generate_locales
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root, or install sudo" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
apt=("${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get)
"${apt[@]}" update -qq
"${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
generate_locales
echo "setup: done"
