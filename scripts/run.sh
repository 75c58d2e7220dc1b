#!/usr/bin/env bash
# Installs what is missing (scripts/setup.sh), builds the Windows deliverables and both
# installer packages (i686 first: the package for 64-bit Windows carries its 32-bit add-on),
# installs the package for 64-bit Windows, which serves both browsers of 64-bit Windows 7,
# into a Wine prefix of its own (upgrading what an earlier run installed; settings saved
# there stay), and starts the installed settings program.
# The program shows on the user's display when there is one, otherwise on a private Xvfb,
# where a screenshot of the dialog is saved and its path printed. Each step says what it
# does and how long it took. LANG picks the program's language, e.g. LANG=zh_TW.UTF-8.
#
# run.sh --screenshots saves the dialog in each of its languages, as it looks with the
# settings it ships with, to docs/settings-en.png, docs/settings-zh-TW.png and
# docs/settings-zh-CN.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

screenshots=0
case "${1:-}" in
  "") ;;
  --screenshots) screenshots=1 ;;
  *) echo "usage: $0 [--screenshots]" >&2; exit 2 ;;
esac

# step WHAT COMMAND...: says what it does, runs it and says how long it took.
step() {
  local what=$1 start status=0 ms
  shift
  echo "-- $what"
  start=$(date +%s%N)
  "$@" || status=$?
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  printf -- '   %s: %d.%d s%s\n' "$what" $((ms / 1000)) $((ms % 1000 / 100)) \
    "$([ "$status" -eq 0 ] || echo ", failed (exit status $status)")"
  return $status
}

# build PRESET: configures and builds, its output in build/run/PRESET.log (shown on failure).
build() {
  local log=build/run/$1.log
  if ! { cmake --preset "$1" && cmake --build --preset "$1"; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    return 1
  fi
}

mkdir -p build/run
step "setup: the packages this machine needs" bash scripts/setup.sh
step "build win32: the x86 deliverables and the package for 32-bit Windows" build win32
step "build win64: the x64 deliverables and the package for 64-bit Windows" build win64
echo "Built:"
find build/win64 build/win32 -maxdepth 3 \( -name '*.dll' -o -name '*.exe' \) -not -path '*/tests/*' \
     -not -name '*_tests.exe' -printf '  %p\n' | sort

# One package serves both browsers: the 64-bit add-on in "Program Files", the 32-bit one
# (for the default browser) in "Program Files (x86)", the settings program 64-bit. A build
# tree may still hold the package of an earlier version: the newest is this build's.
package=$(ls -t build/win64/Pinchwell-*-64-bit-Windows.msi | head -1)
program_files='Program Files'
echo "Installing the package for 64-bit Windows: both add-ons, one settings program."

# The screenshots get a prefix of their own, so that settings saved in a run never show.
if [ "$screenshots" = 1 ]; then
  prefix="$root/build/screenshots/wineprefix"
else
  prefix="$root/build/run/wineprefix"
fi
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all}

# Headless: a display of our own; the prefix's virtual desktop stands in for a window manager.
xvfb_pid=""
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && { wineserver -k 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; }
  [ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
  return 0
}
trap cleanup EXIT
headless=1
if [ "$screenshots" = 0 ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then headless=0; fi
if [ "$headless" = 1 ]; then
  # Xvfb picks a free display number and writes it once it is ready.
  mkdir -p build/run
  display_file=build/run/xvfb.display
  : >"$display_file"
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  [ -s "$display_file" ] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n 1 "$display_file")"
  echo "-- display: a private Xvfb at $DISPLAY"
fi
start_wine() {
  scripts/wine-run.sh "$prefix" cmd /c exit >/dev/null </dev/null
  if [ "$headless" = 1 ]; then
    # One server for the program, ended with everything it runs when this script ends.
    wineserver -w
    wineserver -f -p30 &
    server_pid=$!
    scripts/wine-run.sh "$prefix" cmd /c exit >/dev/null 2>&1 </dev/null
  fi
}
step "Wine prefix $prefix (made on first use)" start_wine

echo "Packages:"
ls build/win64/Pinchwell-*-64-bit-Windows.msi build/win32/Pinchwell-*-32-bit-Windows.msi | sed 's/^/  /'
# Each build is a new product of the same version, which the package replaces: a run
# upgrades what the previous one installed, and keeps a config.ini the user changed.
install_package() {
  local status=0
  scripts/wine-run.sh "$prefix" msiexec /i "Z:${root//\//\\}\\${package//\//\\}" /qn \
    >/dev/null 2>&1 </dev/null || status=$?
  [ "$status" -eq 0 ] || echo "msiexec could not install $package (exit status $status)" >&2
  return $status
}
step "install $(basename "$package") (msiexec /i /qn)" install_package
folder="$prefix/drive_c/$program_files/Kestrune/Pinchwell"
# Screenshots show the settings the program ships with.
[ "$screenshots" = 1 ] && cp install/config.ini "$folder/config.ini"
echo "Installed into: $folder"

program="C:\\$program_files\\Kestrune\\Pinchwell\\PinchwellConfig.exe"
if [ "$headless" = 0 ]; then
  echo "-- start $program"
  exec scripts/wine-run.sh "$prefix" "$program"
fi

# shoot LANG FILE [whole]: starts the program in LANG, saves its dialog to FILE (or the
# whole screen with "whole") and ends the program.
shoot() {
  local lang=$1 file=$2 area=${3:-dialog} pid window="" geometry
  LANG=$lang scripts/wine-run.sh "$prefix" "$program" >/dev/null 2>&1 </dev/null &
  pid=$!
  for _ in $(seq 1 300); do
    window=$(xwininfo -root -tree 2>/dev/null | grep '("pinchwellconfig.exe"' | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.2
  done
  [ -n "$window" ] || { echo "the settings program did not show its dialog" >&2; kill "$pid"; return 1; }
  sleep 2  # let the dialog finish painting
  if [ "$area" = whole ]; then
    import -window root "$file"
  else
    # "WxH+x+y  +X+Y": the size, then the place on the screen.
    geometry=$(sed -E 's/.* ([0-9]+x[0-9]+)[+-][0-9]+[+-][0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\1+\2+\3/' <<<"$window")
    import -window root -crop "$geometry" +repage -strip "$file"
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

if [ "$screenshots" = 1 ]; then
  mkdir -p docs
  for shot in en:C.UTF-8 zh-TW:zh_TW.UTF-8 zh-CN:zh_CN.UTF-8; do
    step "screenshot of the settings program in ${shot#*:}" shoot "${shot#*:}" "docs/settings-${shot%%:*}.png"
    echo "Screenshot: $root/docs/settings-${shot%%:*}.png"
  done
  exit 0
fi

shot="$root/build/run/PinchwellConfig-${LANG:-C}.png"
step "start $program and take a screenshot" shoot "${LANG:-C}" "$shot" whole
echo "Screenshot: $shot"
