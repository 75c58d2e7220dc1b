#!/usr/bin/env bash
# The package's registry rows against what the add-on writes itself: one fresh prefix
# gets the package installed, another the same Tessel.dll copied to the same place and
# registered with regsvr32 (the 32-bit one for the x86 package); the product's keys and
# values must be the same, row by row.
# Both record the library where it lies, so the library is registered from the installed
# path: from anywhere else, InprocServer32, the type library's path and HELPDIR would
# name that other place.
#   RegistrationCompareTest.sh PACKAGE_ENV WORK_FOLDER
set -uo pipefail
source "$1"
work=$2
source "$(dirname "$0")/package-test-lib.sh"
rm -rf "$work" && mkdir -p "$work"
lowered() { awk -F'|' '{ print tolower($1) "|" substr($0, length($1) + 2) }' | sort; }

if ! runs_here; then
  skip "the x86 Tessel.dll registered by the 32-bit regsvr32"
  finish
fi
regsvr32=regsvr32
[ "$arch" = x86 ] && regsvr32='C:\windows\syswow64\regsvr32.exe'

fresh_prefix "$work/registered"
mkdir -p "$program_folder"
cp "${inputs[0]}" "$program_folder/Tessel.dll"
wine_in "$regsvr32" /s "$windows_folder\\Tessel.dll"
expect "regsvr32 registers the add-on" test $? -eq 0
settle
product_registry | lowered >"$work/registered.txt"
WINEPREFIX=$prefix wineserver -k 2>/dev/null

fresh_prefix "$work/installed"
msiexec_qn /i "$(windows_path "$msi")"
expect "the package installs" test $? -eq 0
product_registry | lowered >"$work/installed.txt"

expect "the add-on's registration writes keys" test -s "$work/registered.txt"
diff "$work/registered.txt" "$work/installed.txt" >"$work/registry.diff"
expect "the package writes the same keys and values as DllRegisterServer" test $? -eq 0
sed 's/^/  /' "$work/registry.diff"

finish
