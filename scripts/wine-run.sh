#!/usr/bin/env bash
# Runs a Windows program under Wine in the given prefix: wine-run.sh PREFIX PROGRAM [ARGS...]
# Creates the prefix on first use. Every Wine program of the prefix runs inside one
# virtual desktop, where hiding and destroying windows is fast without a window manager.
set -euo pipefail
prefix=$1; shift
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEARCH=win64
# No Mono or Gecko installer prompts: nothing here needs them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=}

if [ ! -f "$prefix/.pinchwell-ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  exec 9>"$prefix.lock"
  flock 9
  if [ ! -f "$prefix/.pinchwell-ready" ]; then
    wine wineboot --init >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
    # The desktop that booting started is not the virtual one: let this server end, so
    # that the next program starts the desktop anew (callers start a long-lived server
    # only after the prefix exists).
    wineserver -w
    touch "$prefix/.pinchwell-ready"
  fi
  exec 9>&-
fi
exec wine "$@"
