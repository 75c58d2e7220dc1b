# shellcheck shell=bash
# Sourced by scripts/wine-test.sh: tells a program that Wine failed to start from one that
# started and failed.
#
# never_started STATUS OUTPUT_FILE...: true when the program ended with a non-zero STATUS
# and the files (its standard output and error) hold nothing but Wine's own launch failure:
# the loader's "wine: ..." lines, or start.exe's, which Wine runs in place of a program it
# could not map ("Application could not be started, ..." and "ShellExecuteEx failed: ...").
# A program that wrote anything itself ran, whatever it wrote; so did one that ended with 0.
# A program that wrote nothing at all and failed may have run too: it is not counted.
never_started() {
  local status=$1; shift
  [ "$status" -ne 0 ] || return 1
  local line wine_lines=0
  local start_failed='Application could not be started, or no application associated with the specified file.'
  while IFS= read -r line || [ -n "$line" ]; do
    line=${line%$'\r'}
    case $line in
      '') ;;
      'wine: '* | "$start_failed" | 'ShellExecuteEx failed: '*) wine_lines=$((wine_lines + 1)) ;;
      *) return 1 ;;
    esac
  done < <(cat "$@")
  [ "$wine_lines" -gt 0 ]
}
