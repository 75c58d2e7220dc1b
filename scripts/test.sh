#!/usr/bin/env bash
# Installs what is missing (scripts/setup.sh), builds every flavour and runs every test:
# host (plain and sanitized), the fuzz target over its seeds, the Windows 7 import check
# of the shipped binaries of both Windows flavours (and the check's own cases), and the
# Windows tests under Wine on a private Xvfb display. The i686 build is built and linked
# only. Ends with "N passed, N failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

passed=0
failed=0
xvfb_pid=""
wineserver_pid=""

prefix="$root/build/win64/wineprefix"

cleanup() {
  if [ -n "$wineserver_pid" ]; then
    # Ends the Wine processes of our prefix (services included), then our server.
    WINEPREFIX=$prefix wineserver -k 2>/dev/null
    kill "$wineserver_pid" 2>/dev/null
    wait "$wineserver_pid" 2>/dev/null
  fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  return 0
}
trap cleanup EXIT

build() {  # build PRESET: configure and build; a failure counts as one failed check
  local preset=$1
  echo "== build $preset"
  if cmake --preset "$preset" >"build/$preset.configure.log" 2>&1 &&
     cmake --build --preset "$preset" >"build/$preset.build.log" 2>&1; then
    return 0
  fi
  echo "!! build $preset failed:"
  tail -n 40 "build/$preset.configure.log" "build/$preset.build.log" 2>/dev/null
  failed=$((failed + 1))
  return 1
}

run_tests() {  # run_tests PRESET [ctest args]: adds the preset's results to the totals
  local preset=$1; shift
  echo "== test $preset"
  local out="build/$preset.ctest.log"
  ctest --preset "$preset" "$@" >"$out" 2>&1
  grep -E 'tests passed, ' "$out" || true
  # The output of failing tests, as ctest printed it.
  grep -E -A60 '\*\*\*(Failed|Exception|Timeout)|\(Failed\)|\(Timeout\)' "$out" | head -n 400 || true
  local line total bad
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$out" | tail -n 1)
  if [ -z "$line" ]; then
    if grep -q 'No tests were found' "$out"; then return 0; fi
    echo "!! ctest $preset gave no summary"
    failed=$((failed + 1))
    return
  fi
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

# count_checks LOG: adds a checking script's "ok ..." and "FAIL ..." lines to the totals
# and shows the failures.
count_checks() {
  local log=$1 ok bad
  ok=$(grep -c '^ok ' "$log")
  bad=$(grep -c '^FAIL ' "$log")
  echo "$ok passed, $bad failed"
  grep -A20 '^FAIL ' "$log" | grep -v '^ok ' | head -n 100
  passed=$((passed + ok))
  failed=$((failed + bad))
}

# check_imports FLAVOUR...: every shipped binary of the given Windows builds loads on
# Windows 7. They are taken from where the build puts them (test prefixes in the build
# tree hold installed copies too).
check_imports() {
  local log=build/imports.log flavour file
  local files=()
  echo "== Windows 7 imports"
  : >"$log"
  for flavour in "$@"; do
    for file in config/bin/PinchwellConfig.exe config/bin/PinchkitCHT.dll config/bin/PinchkitCHS.dll \
                addon/bin/Tessel.dll; do
      if [ -f "build/$flavour/$file" ]; then
        files+=("build/$flavour/$file")
      else
        echo "FAIL build/$flavour/$file was not built" >>"$log"
      fi
    done
  done
  [ ${#files[@]} -eq 0 ] || bash scripts/check-imports.sh "${files[@]}" >>"$log" 2>&1
  bash scripts/tests/check-imports-cases.sh >>"$log" 2>&1
  count_checks "$log"
}

mkdir -p build
if ! bash scripts/setup.sh; then
  echo "!! setup failed"
  echo "0 passed, 1 failed"
  exit 1
fi

for preset in host sanitize fuzz; do
  build "$preset" && run_tests "$preset" -j2
done

windows=()
build win32 && windows+=(win32)
build win64 && windows+=(win64)
check_imports "${windows[@]}"

if [[ " ${windows[*]} " == *" win64 "* ]]; then
  # A display of our own (Xvfb picks a free number and writes it once it is ready),
  # and one wineserver kept alive for the whole run.
  display_file=build/xvfb.display
  : >"$display_file"
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  if [ ! -s "$display_file" ]; then
    echo "!! Xvfb did not start: the Windows tests cannot run"
    echo "$passed passed, $((failed + 1)) failed"
    exit 1
  fi
  export DISPLAY=":$(head -n 1 "$display_file")"
  echo "== wine prefix"
  # The prefix is made (or found) with a server of its own, which is let end; then one
  # long-lived server, and one program start under it, so that Wine's own services are
  # started here and do not hold the output pipes of the first test ctest runs.
  scripts/wine-run.sh "$prefix" cmd /c exit >/dev/null 2>&1 </dev/null || true
  WINEPREFIX=$prefix wineserver -w
  WINEPREFIX=$prefix WINEDEBUG=-all wineserver -f -p60 &
  wineserver_pid=$!
  scripts/wine-run.sh "$prefix" cmd /c exit >/dev/null 2>&1 </dev/null || true
  run_tests win64 -j2 </dev/null
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
