#!/usr/bin/env bash
# Runs one Windows test program under Wine for ctest (the Windows flavours' emulator):
#   wine-test.sh PREFIX PROGRAM [ARGS...]
# - The prefix's session (scripts/wine-session.sh: its server, desktop and services) is
#   started first where it is not running.
# - A program that Wine failed to start (it wrote nothing, Wine only its launch failure:
#   scripts/launch-outcome.sh) is started again, at most twice. Each such start is written
#   to PREFIX.relaunched, which scripts/test.sh counts. A program that ran is never run again.
# - With PINCHWELL_TEST_DEADLINE=SECONDS, a program still running then is described
#   (scripts/wine-hang-report.sh: the prefix's programs and windows, the program's threads)
#   and ended, so that the log says what it waited on.
# The program's output is shown once it has ended, its standard output and error apart.
set -uo pipefail
# Every test pays for what this script starts: it starts no more processes than it must.
if [[ $0 == */* ]]; then here=${0%/*}; else here=.; fi
# shellcheck source=launch-outcome.sh
. "$here/launch-outcome.sh"
prefix=$1; shift
launcher=${PINCHWELL_WINE_RUN:-$here/wine-run.sh}
session=${PINCHWELL_WINE_SESSION:-$here/wine-session.sh}
reporter=${PINCHWELL_HANG_REPORT:-$here/wine-hang-report.sh}
deadline=${PINCHWELL_TEST_DEADLINE:-}
starts=3

run=${TMPDIR:-/tmp}/wine-test.$$
out=$run.out err=$run.err report=$run.report
program_pid="" timer_pid=""
finish() {
  # Only this shell cleans up, not a child that was killed before it became its command.
  [ "$BASHPID" = "$$" ] || return 0
  [ -n "$timer_pid" ] && kill "$timer_pid" 2>/dev/null
  [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
  rm -f "$out" "$err" "$report"
}
trap finish EXIT
trap 'exit 143' TERM INT

for ((start = 1; ; start++)); do
  # The session's idle program still runs on this display (as scripts/wine-session.sh notes
  # it): nothing to start. The mark of its use is what its idle end reads.
  read -r session_pid session_display 2>/dev/null <"$prefix.session" &&
    [ "$session_display" = "${DISPLAY:-}" ] && kill -0 "$session_pid" 2>/dev/null ||
    "$session" start "$prefix"
  : >"$prefix.session-used"
  "$launcher" "$prefix" "$@" >"$out" 2>"$err" &
  program_pid=$!
  if [ -n "$deadline" ]; then
    sleep "$deadline" &
    timer_pid=$!
    wait -n -p ended "$program_pid" "$timer_pid"
    status=$?
    if [ "$ended" = "$timer_pid" ]; then
      # The report first, while the program still waits; then all that it wrote, and the
      # report after it, in one stream.
      timer_pid=""
      "$reporter" "$prefix" "$1" >"$report" 2>&1
      kill -KILL "$program_pid" 2>/dev/null
      wait "$program_pid" 2>/dev/null
      program_pid=""
      cat "$out" "$err"
      echo "wine-test: $* was still running after $deadline s; what it waited on:"
      cat "$report"
      echo "wine-test: ended after $deadline s"
      exit 1
    fi
    kill "$timer_pid" 2>/dev/null
    wait "$timer_pid" 2>/dev/null
    timer_pid=""
  else
    wait "$program_pid"
    status=$?
  fi
  program_pid=""
  if [ "$start" -lt "$starts" ] && never_started "$status" "$out" "$err"; then
    said=$(cat "$out" "$err" | tr -d '\r' | grep -v '^$' | paste -sd ' ')
    echo "wine-test: Wine did not start $1 ($said); starting it again" >&2
    echo "$(date '+%F %T') $*: $said" >>"$prefix.relaunched"
    sleep 1
    continue
  fi
  cat "$out"; cat "$err" >&2
  exit "$status"
done
