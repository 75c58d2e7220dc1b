# shellcheck shell=bash
# Sourced by the scripts that watch a prefix's programs.
# prefix_processes PREFIX: the Linux process ids of the prefix's Wine programs and server.
prefix_processes() {
  local dir
  for dir in /proc/[0-9]*; do
    case $(readlink "$dir/exe" 2>/dev/null) in */wine*) ;; *) continue ;; esac
    { tr '\0' '\n' <"$dir/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$1" && echo "${dir#/proc/}"
  done
}
