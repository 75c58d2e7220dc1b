#!/usr/bin/env bash
# The Flash control's subkey that a save creates is still there after the
# registry's server restarts, while a volatile key is gone: the user's choice
# survives what a Windows restart does to volatile keys.
# FlashSwitchRestartTest.sh WINE_RUN PREFIX PROBE_EXE
set -uo pipefail
wine_run=$1 prefix=$2 probe=$3
export WINEPREFIX=$prefix WINEDEBUG=-all
run() { "$wine_run" "$prefix" "$probe" "$1" 2>/dev/null </dev/null | tr -d '\r'; }
expect() {  # expect WHAT COMMAND
  local got
  got=$(run "$2")
  if [ "$got" != "$1" ]; then echo "FAIL: '$2' gave '$got', expected '$1'"; exit 1; fi
  echo "ok: $2 -> $got"
}
expect reset reset
# From here only the test restarts the server: Debian's ends it as soon as a program ends.
wineserver -w 2>/dev/null
trap 'wineserver -k 2>/dev/null' EXIT
wineserver -p
expect allowed query
expect absent flags    # reading creates nothing
expect written allow
expect 0 flags
expect created volatile
expect present marker
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
wineserver -p
expect absent marker   # the restart really happened
expect 0 flags         # the subkey outlived it
expect allowed query
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
echo "passed"
