#!/usr/bin/env bash
# The Wine session that the test programs of one prefix share: wine-session.sh start|stop PREFIX
#
# start (again: nothing to do) makes the prefix if it is missing and leaves running, until
# stop or until no test program has started for PINCHWELL_SESSION_IDLE seconds (900):
# - one wineserver, which started Wine's services once, before any test;
# - the virtual desktop, opened before any test;
# - one idle program (cmd.exe reading a pipe that never ends), which keeps both open.
# Wine closes a desktop a moment after the last program on it ends, and its server ends
# once no program is left: without the idle program, every test that starts after a quiet
# moment opens the desktop anew (seconds of explorer.exe) or starts a new server and with
# it Wine's boot, racing the test beside it.
# stop ends every program of the prefix, then its server.
#
# scripts/wine-test.sh starts the session before each test program (so a plain ctest run
# has one too) and marks PREFIX.session-used, which the idle end reads.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
action=$1 prefix=$2
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all}
state=$prefix.session       # the idle program's process id and the display of its desktop
used=$prefix.session-used
idle_limit=${PINCHWELL_SESSION_IDLE:-900}

# A session on another display (or on none) does not count: its desktop is not where this
# caller's windows must show, so starting one ends it first.
running() {
  local pid display
  read -r pid display 2>/dev/null <"$state" && [ -n "$pid" ] && [ "$display" = "${DISPLAY:-}" ] &&
    kill -0 "$pid" 2>/dev/null
}

# Whether the desktop window of a program of the prefix is on the display.
desktop_shown() {
  local window pid
  for window in $(xdotool search --name '^Default - Wine desktop$' 2>/dev/null); do
    pid=$(xdotool getwindowpid "$window" 2>/dev/null) || continue
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$prefix" && return 0
  done
  return 1
}

stop() {
  rm -f "$state" "$prefix.session-pipe"
  wineserver -k 2>/dev/null
  # The server ends once its programs have.
  timeout 30 wineserver -w 2>/dev/null
  return 0
}

start() {
  mkdir -p "$(dirname "$prefix")"
  touch "$used"
  running && return 0
  # One starter at a time; the programs it leaves running do not hold the lock.
  flock -o "$prefix.session-lock" "$here/wine-session.sh" start-locked "$prefix"
}

start_locked() {
  running && return 0
  # What an earlier session left (its idle program gone) ends first. A first program makes
  # the prefix where it is missing; its server is let end, so that the session's own
  # server is the only one.
  wineserver -k 2>/dev/null
  wineserver -w
  "$here/wine-run.sh" "$prefix" cmd /c exit >/dev/null 2>&1 </dev/null
  wineserver -w
  # Debian's wineserver ends as soon as its last program does (-p0); this one stays a
  # minute longer. It returns once the server is ready, so the next program finds it.
  wineserver -p60 >/dev/null 2>&1 </dev/null
  # Wine boots the session (its services, the desktop) for the first program.
  "$here/wine-run.sh" "$prefix" cmd /c exit >/dev/null 2>&1 </dev/null
  # The pipe is opened for reading and writing, so its reader never sees its end.
  rm -f "$prefix.session-pipe"
  mkfifo "$prefix.session-pipe"
  setsid "$here/wine-run.sh" "$prefix" 'C:\windows\system32\cmd.exe' /q /k \
    0<>"$prefix.session-pipe" >/dev/null 2>&1 &
  echo "$! ${DISPLAY:-}" >"$state"
  # The boot opened the desktop; were it closed again already, this opens it anew (where it
  # is open, explorer.exe ends at once).
  setsid "$here/wine-run.sh" "$prefix" 'C:\windows\system32\explorer.exe' /desktop \
    >/dev/null 2>&1 </dev/null &
  for _ in $(seq 1 300); do
    desktop_shown && break
    sleep 0.1
  done
  desktop_shown || echo "wine-session: the desktop of $prefix did not show within 30 s" >&2
  # Ends the session once it has been idle long enough (or once it ended otherwise).
  setsid bash -c '
    while sleep 10; do
      [ "$(cat "$1" 2>/dev/null)" = "$2" ] || exit 0
      [ $(( $(date +%s) - $(stat -c %Y "$3") )) -lt "$4" ] || exec "$5" stop-idle "$6"
    done' idle "$state" "$(cat "$state")" "$used" "$idle_limit" "$here/wine-session.sh" "$prefix" \
    >/dev/null 2>&1 </dev/null &
  return 0
}

# The idle end, under the starters' lock: a test that started meanwhile keeps the session.
stop_idle() {
  [ $(( $(date +%s) - $(stat -c %Y "$used") )) -ge "$idle_limit" ] && stop
  return 0
}

case $action in
  start) start ;;
  start-locked) start_locked ;;
  stop) stop ;;
  stop-idle) flock -o "$prefix.session-lock" "$here/wine-session.sh" stop-idle-locked "$prefix" ;;
  stop-idle-locked) stop_idle ;;
  *) echo "usage: wine-session.sh start|stop PREFIX" >&2; exit 2 ;;
esac
