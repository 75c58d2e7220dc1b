#!/usr/bin/env bash
# Installs what is missing (scripts/setup.sh), builds the Windows deliverables and both
# installer packages (x86_64 and i686), installs the x64 package into a Wine prefix of
# its own (upgrading what an earlier run installed; settings saved there stay), and
# starts the installed settings program: on the user's display when there is one,
# otherwise on a private Xvfb, where a screenshot of the dialog is saved and its path
# printed. LANG picks the program's language, e.g. LANG=zh_TW.UTF-8 or LANG=zh_CN.UTF-8.
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

bash scripts/setup.sh

for preset in win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done
echo "Built:"
find build/win64 build/win32 -maxdepth 3 \( -name '*.dll' -o -name '*.exe' \) -not -path '*/tests/*' \
     -not -name '*_tests.exe' -printf '  %p\n' | sort

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
fi
scripts/wine-run.sh "$prefix" cmd /c exit >/dev/null 2>&1 </dev/null
if [ "$headless" = 1 ]; then
  # One server for the program, ended with everything it runs when this script ends.
  wineserver -w
  wineserver -f -p30 &
  server_pid=$!
  scripts/wine-run.sh "$prefix" cmd /c exit >/dev/null 2>&1 </dev/null
fi

package=$(ls build/win64/Pinchwell-*-x64.msi)
echo "Packages:"
ls build/win64/Pinchwell-*-x64.msi build/win32/Pinchwell-*-x86.msi | sed 's/^/  /'
# Each build is a new product of the same version, which the package replaces: a run
# upgrades what the previous one installed, and keeps a config.ini the user changed.
status=0
scripts/wine-run.sh "$prefix" msiexec /i "Z:${root//\//\\}\\${package//\//\\}" /qn \
  >/dev/null 2>&1 </dev/null || status=$?
if [ "$status" -ne 0 ]; then
  echo "msiexec could not install $package (exit status $status)" >&2
  exit 1
fi
folder="$prefix/drive_c/Program Files/Kestrune/Pinchwell"
# Screenshots show the settings the program ships with.
[ "$screenshots" = 1 ] && cp install/config.ini "$folder/config.ini"
echo "Installed into: $folder"

program='C:\Program Files\Kestrune\Pinchwell\PinchwellConfig.exe'
if [ "$headless" = 0 ]; then
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
    shoot "${shot#*:}" "docs/settings-${shot%%:*}.png"
    echo "Screenshot: $root/docs/settings-${shot%%:*}.png"
  done
  exit 0
fi

shot="$root/build/run/PinchwellConfig-${LANG:-C}.png"
shoot "${LANG:-C}" "$shot" whole
echo "Screenshot: $shot"
