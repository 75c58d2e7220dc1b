#!/usr/bin/env bash
# Runs a Windows program under Wine in the given prefix: wine-run.sh PREFIX PROGRAM [ARGS...]
# Creates the prefix on first use, with the fonts of Windows 7 that Wine has: a 64-bit one,
# or with WINEARCH=win32 a 32-bit one (32-bit Windows). Every Wine program of the prefix
# runs inside one virtual desktop, where hiding and destroying windows is fast without a
# window manager.
# Where 32-bit Wine runs, a prefix made before it could (it has no syswow64 folder) does
# not start at all ("could not load kernel32.dll"): it is made anew, the old one kept
# beside it as PREFIX.old.
set -euo pipefail
prefix=$1; shift
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEARCH=${WINEARCH:-win64}
# No Mono or Gecko installer prompts: nothing here needs them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=}
# shellcheck source=wine-loader.sh
. "$(dirname "$0")/wine-loader.sh"

fonts="$prefix/drive_c/windows/Fonts"
# Wine's own fonts that Windows 7 has: Marlett draws the caption buttons (a fresh prefix
# draws them from a substitute as "0 1 r"), Tahoma is the dialog font of Western locales.
# Chinese locales draw dialogs in their own fonts, which Wine finds among the system's.
wine_fonts=(marlett.ttf tahoma.ttf tahomabd.ttf)

fonts_missing() {
  local font
  for font in "${wine_fonts[@]}"; do [ -f "$fonts/$font" ] || return 0; done
  return 1
}

install_fonts() {
  local font file files
  files=$(dpkg -L fonts-wine 2>/dev/null || true)
  mkdir -p "$fonts"
  for font in "${wine_fonts[@]}"; do
    file=$(grep -m1 "/$font\$" <<<"$files" || true)
    if [ -z "$file" ]; then
      echo "wine-run: $font not found (package fonts-wine): windows will not look as on Windows" >&2
      continue
    fi
    cp "$file" "$fonts/$font.tmp" && mv "$fonts/$font.tmp" "$fonts/$font"
  done
}

without_wow64() {
  [ "$wine32_runs" = yes ] && [ "$WINEARCH" = win64 ] && [ -d "$prefix/drive_c" ] &&
    [ ! -d "$prefix/drive_c/windows/syswow64" ]
}

if [ ! -f "$prefix/.pinchwell-ready" ] || fonts_missing || without_wow64; then
  mkdir -p "$(dirname "$prefix")"
  exec 9>"$prefix.lock"
  flock 9
  if without_wow64; then
    echo "wine-run: $prefix was made without 32-bit Wine: making it anew (the old one is $prefix.old)" >&2
    wineserver -k 2>/dev/null || true
    rm -rf "$prefix.old"
    mv "$prefix" "$prefix.old"
  fi
  if [ ! -f "$prefix/.pinchwell-ready" ]; then
    wine wineboot --init >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
    # 64-bit Windows 7 has the browser's key in both registry views (the Flash switch lies
    # below it); Wine writes the 32-bit view's only where 32-bit Wine runs.
    [ "$WINEARCH" = win64 ] && wine reg add 'HKLM\Software\Microsoft\Internet Explorer\ActiveX Compatibility' \
      /reg:32 /f >/dev/null 2>&1
    # The desktop that booting started is not the virtual one: let this server end, so
    # that the next program starts the desktop anew (callers start a long-lived server
    # only after the prefix exists).
    wineserver -w
    touch "$prefix/.pinchwell-ready"
  fi
  fonts_missing && install_fonts
  exec 9>&-
fi
exec "$wine_loader" "$@"
