#!/usr/bin/env bash
# Says what a Windows program that does not end waits on: wine-hang-report.sh PREFIX PROGRAM
# The programs of the prefix as Linux sees them (state and age) and as Wine does (with
# their threads), the windows of the desktop, and a backtrace of every thread of each running copy of PROGRAM,
# its own frames and those of libraries beside it named by function, file and line. Each
# part is given a bounded time: Wine itself may be what hangs.
set -uo pipefail
prefix=$1 program=$2
export WINEPREFIX=$prefix WINEDEBUG=-all
# shellcheck source=wine-loader.sh
. "$(dirname "$0")/wine-loader.sh"
winedbg='C:\windows\system32\winedbg.exe'
name=$(basename "$program")
folder=$(dirname "$program")

echo "-- the prefix's processes (pid, state, age, command line)"
for dir in /proc/[0-9]*; do
  case $(readlink "$dir/exe" 2>/dev/null) in */wine*) ;; *) continue ;; esac
  { tr '\0' '\n' <"$dir/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$prefix" || continue
  pid=${dir#/proc/}
  echo "$pid $(ps -o stat=,etime= -p "$pid") $({ tr '\0' ' ' <"$dir/cmdline"; } 2>/dev/null)"
done

echo "-- Wine's processes and their threads"
threads=$(timeout 20 "$wine_loader" "$winedbg" --command "info thread" 2>&1)
echo "$threads"
echo "-- the desktop's windows"
timeout 20 "$wine_loader" "$winedbg" --command "info wnd" 2>&1

# The frames of a module with a file beside the program ("in NAME (+0xOFFSET)"), named.
symbolize() {
  local line module offset file base
  while IFS= read -r line; do
    echo "$line"
    [[ $line =~ \ in\ ([A-Za-z0-9_.-]+)\ \(\+0x([0-9a-fA-F]+)\) ]] || continue
    module=${BASH_REMATCH[1]} offset=${BASH_REMATCH[2]}
    file=""
    for file in "$folder/$module.exe" "$folder/$module.dll" "$folder/$module"; do [ -f "$file" ] && break; done
    [ -f "$file" ] || continue
    base=$(objdump -p "$file" 2>/dev/null | awk '$1 == "ImageBase" { print $2 }')
    [ -n "$base" ] || continue
    addr2line -f -C -i -p -e "$file" "$(printf '0x%x' $((0x$base + 0x$offset - 1)))" 2>/dev/null |
      sed 's/^/        at /'
  done
}

# "info thread" lists each process ("PID NAME") with its threads below it (tab, TID).
for pid in $(awk -v n="$name" '/^[0-9a-f]+ / && tolower($2) == tolower(n) { print $1 }' <<<"$threads"); do
  echo "-- the threads of $name (process 0x$pid)"
  awk -v p="$pid" '/^[0-9a-f]+ / { inside = ($1 == p); next } inside && /^\t/ { print "bt 0x" $1 } END { print "detach" }' \
    <<<"$threads" | timeout 50 "$wine_loader" "$winedbg" "0x$pid" 2>&1 | symbolize
done
