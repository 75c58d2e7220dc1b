#!/usr/bin/env bash
# Installs what is missing (scripts/setup.sh), builds every flavour and runs every test:
# host (plain and sanitized), the fuzz target over its seeds, the Windows 7 import check
# of the shipped binaries of both Windows flavours (and the check's own cases), the Wine
# test runner's cases, and the Windows tests of both Windows flavours under Wine on a
# private Xvfb display. The x86 tests need 32-bit Wine, which runs only where the kernel
# runs 32-bit programs: elsewhere they are counted as skipped, with one notice saying why.
# Ends with "N started again after a failed launch" (when Windows tests ran) and
# "N passed, N failed, N skipped".
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

passed=0
failed=0
skipped=0
relaunched=0
xvfb_pid=""
session_prefix=""

cleanup() {
  [ -n "$session_prefix" ] && scripts/wine-session.sh stop "$session_prefix"
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

run_tests() {  # run_tests NAME CTEST_ARGS...: runs ctest, adds its results to the totals
  local preset=$1; shift
  echo "== test $preset"
  local out="build/$preset.ctest.log"
  ctest "$@" >"$out" 2>&1
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
  # ctest counts a skipped test among the passed ones.
  local skip
  skip=$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$out")
  passed=$((passed + total - bad - skip))
  failed=$((failed + bad))
  skipped=$((skipped + skip))
}

# run_wine_tests PRESET: the preset's tests in its prefix's Wine session (its server, desktop
# and services), started before the first test and ended after the last, so that the
# desktop of one prefix never lies over the windows of the next; adds the launches that the
# runner started again (scripts/wine-test.sh) to relaunched.
run_wine_tests() {
  local preset=$1 prefix=$root/build/$1/wineprefix
  session_prefix=$prefix
  echo "== wine session $preset"
  scripts/wine-session.sh start "$prefix"
  : >"$prefix.relaunched"
  run_tests "$preset" --preset "$preset" -j2 </dev/null
  relaunched=$((relaunched + $(grep -c . "$prefix.relaunched")))
  sed 's/^/   started again: /' "$prefix.relaunched"
  scripts/wine-session.sh stop "$prefix"
  session_prefix=""
}

# test_programs PRESET: how many test programs and test scripts the preset's build declares,
# the package tests aside.
test_programs() {
  find "build/$1" -name CTestTestfile.cmake -not -path '*/googletest/*' -not -path '*/install/package/*' \
    -exec grep -hE '^(include\(.*_include\.cmake"\)|add_test\()' {} + | wc -l
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

# check_imports FLAVOUR...: every binary that the packages of the given Windows builds
# ship loads on Windows 7. They are taken from where the build puts the shipped copies,
# without their debug information (test prefixes in the build tree hold installed copies
# too); the package for 64-bit Windows ships the 32-bit add-on as well.
check_imports() {
  local log=build/imports.log flavour file
  local files=()
  echo "== Windows 7 imports"
  : >"$log"
  for flavour in "$@"; do
    for file in shipped/PinchwellConfig.exe shipped/PinchkitCHT.dll shipped/PinchkitCHS.dll \
                shipped/Tessel.dll $([ "$flavour" = win64 ] && echo shipped/x86/Tessel.dll); do
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
  echo "0 passed, 1 failed, 0 skipped"
  exit 1
fi

for preset in host sanitize fuzz; do
  build "$preset" && run_tests "$preset" --preset "$preset" -j2
done

windows=()
build win32 && windows+=(win32)
build win64 && windows+=(win64)
check_imports "${windows[@]}"

# The Wine test runner's own cases (Wine played by a stub).
echo "== Wine test runner"
bash scripts/tests/wine-test-cases.sh >build/wine-test-cases.log 2>&1
count_checks build/wine-test-cases.log

# The x86 tests run where 32-bit Wine runs (scripts/wine-loader.sh decides).
wine32_runs=$(. scripts/wine-loader.sh && echo "$wine32_runs")
# Where it does not, the win32 build's package tests still run: the refusal of 64-bit
# Windows (64-bit msiexec) runs, the others say they are skipped.
wine_presets=()
x86_packages_only=0
for preset in win64 win32; do
  [[ " ${windows[*]} " == *" $preset "* ]] || continue
  if [ "$preset" = win32 ] && [ "$wine32_runs" != yes ]; then
    n=$(test_programs win32)
    echo "== test win32: skipped, this kernel does not run 32-bit programs, so 32-bit Wine cannot: $n x86 test programs not run"
    skipped=$((skipped + n))
    [ -f build/win32/install/package/tests/CTestTestfile.cmake ] && x86_packages_only=1
    continue
  fi
  wine_presets+=("$preset")
done

if [ ${#wine_presets[@]} -gt 0 ] || [ "$x86_packages_only" = 1 ]; then
  # A display of our own (Xvfb picks a free number and writes it once it is ready).
  display_file=build/xvfb.display
  : >"$display_file"
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  if [ ! -s "$display_file" ]; then
    echo "!! Xvfb did not start: the Windows tests cannot run"
    echo "$passed passed, $((failed + 1)) failed, $skipped skipped"
    exit 1
  fi
  export DISPLAY=":$(head -n 1 "$display_file")"
  for preset in "${wine_presets[@]}"; do
    run_wine_tests "$preset"
  done
  if [ "$x86_packages_only" = 1 ]; then
    run_tests win32-packages --test-dir build/win32/install/package/tests --output-on-failure -j2 </dev/null
  fi
  echo "$relaunched started again after a failed launch"
fi

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
