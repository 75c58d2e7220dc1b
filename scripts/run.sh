#!/usr/bin/env bash
# Builds the Windows deliverables (x86_64 and i686), lays out the program folder
# "Program Files\Kestrune\Pinchwell" (config.ini, PinchwellConfig.exe and the language
# libraries) in a Wine prefix of its own, and starts the settings program: on the
# user's display when there is one, otherwise on a private Xvfb, where a screenshot
# of the dialog is saved and its path printed. LANG picks the program's language,
# e.g. LANG=zh_TW.UTF-8 or LANG=zh_CN.UTF-8.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
for preset in win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done
echo "Built:"
find build/win64 build/win32 -maxdepth 3 \( -name '*.dll' -o -name '*.exe' \) -not -path '*/tests/*' \
     -not -name '*_tests.exe' -printf '  %p\n' | sort

prefix="$root/build/run/wineprefix"
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
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then headless=0; fi
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

folder="$prefix/drive_c/Program Files/Kestrune/Pinchwell"
mkdir -p "$folder"
cp build/win64/config/bin/PinchwellConfig.exe build/win64/config/bin/PinchkitCHT.dll \
   build/win64/config/bin/PinchkitCHS.dll "$folder/"
# The settings the user saved in an earlier run stay.
[ -f "$folder/config.ini" ] || cp install/config.ini "$folder/config.ini"
echo "Program folder: $folder"

program='C:\Program Files\Kestrune\Pinchwell\PinchwellConfig.exe'
if [ "$headless" = 0 ]; then
  exec scripts/wine-run.sh "$prefix" "$program"
fi

scripts/wine-run.sh "$prefix" "$program" >/dev/null 2>&1 </dev/null &
for _ in $(seq 1 300); do
  xwininfo -root -tree 2>/dev/null | grep -q '("pinchwellconfig.exe"' && break
  sleep 0.2
done
sleep 2  # let the dialog finish painting
shot="$root/build/run/PinchwellConfig-${LANG:-C}.png"
import -window root "$shot"
echo "Screenshot: $shot"
