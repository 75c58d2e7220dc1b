#!/usr/bin/env bash
# The package's registry rows against what the add-ons write themselves: one fresh prefix
# gets the package installed, another the same Tessel.dll files copied to the same places
# and registered with regsvr32: for the package for 64-bit Windows the 32-bit add-on with
# the 32-bit regsvr32, then the 64-bit one with the 64-bit regsvr32 (the type library's
# help folder, a key both views share, is then the 64-bit add-on's, as in the package).
# The product's keys and values must be the same, row by row.
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
skip_without_32bit_prefix
if [ "$wine32_runs" != yes ]; then
  skip "the 32-bit Tessel.dll registered by the 32-bit regsvr32"
  finish
fi

fresh_prefix "$work/registered"
register() {  # register REGSVR32 LIBRARY FOLDER_INDEX
  mkdir -p "${program_folders[$3]}"
  cp "$2" "${program_folders[$3]}/Tessel.dll"
  wine_in "$1" /s "${program_folders_windows[$3]}\\Tessel.dll"
  expect "$1 registers $(basename "${program_folders[$3]%/*/*}")\\...\\Tessel.dll" test $? -eq 0
}
if [ "$arch" = x64 ]; then
  register 'C:\windows\syswow64\regsvr32.exe' "$tessel32" 1
fi
register regsvr32 "${inputs[0]}" 0
settle
product_registry | lowered >"$work/registered.txt"
WINEPREFIX=$prefix wineserver -k 2>/dev/null

fresh_prefix "$work/installed"
msiexec_qn /i "$(windows_path "$msi")"
expect "the package installs" test $? -eq 0
product_registry | lowered >"$work/installed.txt"

expect "the add-ons' registration writes keys" test -s "$work/registered.txt"
diff "$work/registered.txt" "$work/installed.txt" >"$work/registry.diff"
expect "the package writes the same keys and values as DllRegisterServer" test $? -eq 0
sed 's/^/  /' "$work/registry.diff"

finish
