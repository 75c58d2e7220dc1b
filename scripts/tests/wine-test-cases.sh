#!/usr/bin/env bash
# The Wine test runner (scripts/wine-test.sh) starts again only a program that Wine never
# started, at most three starts in all, and says what a program past its deadline waits
# on. Wine is played by a stub that answers each start as its case says. Prints "ok CASE"
# or "FAIL CASE" per case; exits non-zero on any FAIL.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The stub's answers, start after start (the last one repeats), each "STATUS TEXT": it
# writes TEXT (WINE stands for start.exe's answer to a program it could not start) and
# ends with STATUS, or waits ("hang"). Then the runner's status (0 or not), how often the
# stub was started, and a text that the runner's output must hold.
cases='
1 WINE; 0 Running main()                           | 0   | 2 | Running main()
1 Running main()                                   | not | 1 | Running main()
1 WINE                                             | not | 3 | ShellExecuteEx failed: Internal error.
1 wine: could not load kernel32.dll; 0 ran         | 0   | 2 | ran
1; 0 ran                                           | not | 1 |
0 WINE                                             | 0   | 1 |
1 WINE\nRunning main()                             | not | 1 |
hang                                               | not | 1 | reported PREFIX PROGRAM
'

cat >"$work/stub" <<'EOF_STUB'
#!/usr/bin/env bash
n=$(($(cat "$STUB_DIR/starts" 2>/dev/null || echo 0) + 1))
echo "$n" >"$STUB_DIR/starts"
IFS=';' read -ra answers <"$STUB_DIR/answers"
[ "$n" -le ${#answers[@]} ] || n=${#answers[@]}
read -r status text <<<"${answers[$((n - 1))]}"
[ "$status" = hang ] && exec sleep 30
wine='Application could not be started, or no application associated with the specified file.\nShellExecuteEx failed: Internal error.\r\n'
[ -n "$text" ] && printf '%b\n' "${text//WINE/$wine}"
exit "$status"
EOF_STUB
printf '#!/bin/sh\necho reported "$@"\n' >"$work/report"
chmod +x "$work/stub" "$work/report"

status=0
n=0
while IFS='|' read -r answers expected_status expected_starts expected_text; do
  answers=$(xargs -0 <<<"$answers" | sed 's/^ *//; s/ *$//')
  [ -n "$answers" ] || continue
  expected_status=$(xargs <<<"$expected_status"); expected_starts=$(xargs <<<"$expected_starts")
  expected_text=$(sed 's/^ *//; s/ *$//' <<<"$expected_text")
  n=$((n + 1))
  dir="$work/$n"; mkdir -p "$dir"
  printf '%s' "$answers" >"$dir/answers"
  STUB_DIR=$dir PINCHWELL_WINE_RUN="$work/stub" PINCHWELL_WINE_SESSION=true \
    PINCHWELL_HANG_REPORT="$work/report" PINCHWELL_TEST_DEADLINE=2 \
    "$root/scripts/wine-test.sh" "$dir/prefix" "$dir/program.exe" >"$dir/out" 2>&1
  ran=$?
  starts=$(cat "$dir/starts" 2>/dev/null || echo 0)
  noted=$(cat "$dir/prefix.relaunched" 2>/dev/null | grep -c .)
  expected_text=${expected_text//PREFIX PROGRAM/$dir/prefix $dir/program.exe}
  if [ "$expected_status" = 0 ] && [ "$ran" -ne 0 ] || [ "$expected_status" != 0 ] && [ "$ran" -eq 0 ]; then
    echo "FAIL $answers: ended with $ran"; status=1
  elif [ "$starts" != "$expected_starts" ] || [ "$noted" != $((expected_starts - 1)) ]; then
    echo "FAIL $answers: started $starts times, $noted noted as started again"; status=1
  elif [ -n "$expected_text" ] && ! grep -qF -- "$expected_text" "$dir/out"; then
    echo "FAIL $answers: the output lacks \"$expected_text\":"; sed 's/^/  /' "$dir/out"; status=1
  else
    echo "ok $answers"
  fi
done <<<"$cases"

# The session is started only where none runs on the caller's display: one left by a run
# on another display (or none) would put every window where no test looks.
sleep 60 &
idle=$!
printf '#!/bin/sh\necho "$@" >>"%s/session-starts"\n' "$work" >"$work/session"
chmod +x "$work/session"
printf '0 ran' >"$work/answers"
for display in :1 :2 ""; do
  echo "$idle :1" >"$work/prefix.session"
  rm -f "$work/starts"
  STUB_DIR=$work DISPLAY=$display PINCHWELL_WINE_RUN="$work/stub" PINCHWELL_WINE_SESSION="$work/session" \
    "$root/scripts/wine-test.sh" "$work/prefix" "$work/program.exe" >/dev/null 2>&1
done
kill "$idle"
if [ "$(cat "$work/session-starts" 2>/dev/null)" = "start $work/prefix"$'\n'"start $work/prefix" ]; then
  echo "ok a session on another display or none is started anew, one on the display is used"
else
  echo "FAIL session starts for displays :1 :2 none: $(paste -sd '|' "$work/session-starts" 2>/dev/null)"; status=1
fi
exit $status
