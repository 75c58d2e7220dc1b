#!/usr/bin/env bash
# The x86 package beside the x64 one in one 64-bit prefix, as on a 64-bit Windows 7 whose
# two browsers each load their own add-on: each package has its own folder, settings,
# registry view and entry in the installed programs; removing either leaves the other
# whole, and removing both leaves no key of the product. Settings are changed by editing
# config.ini, so that no 32-bit program has to run.
#   PackageSideBySideTest.sh PACKAGE_ENV WORK_FOLDER   (the x86 package's)
set -uo pipefail
source "$1"
work=$2
source "$(dirname "$0")/package-test-lib.sh"
rm -rf "$work" && mkdir -p "$work"
if [ ! -f "$x64_msi" ]; then
  echo "skipped: no x64 package at $x64_msi (build the win64 preset first)"
  exit 77
fi

x86_folder_windows=$windows_folder
x64_folder_windows='C:\Program Files\Kestrune\Pinchwell'
x86_key=$uninstall_key
x64_key='Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\'
fresh_prefix "$work/wineprefix"
x86_folder=$program_folder
x64_folder="$prefix/drive_c/Program Files/Kestrune/Pinchwell"

# The value lines of a package's Registry table that system.reg lacks. HELPDIR is left
# out: both packages write it to the one key the two views share, so the last one wins.
missing_rows() {  # missing_rows PACKAGE WINDOWS_FOLDER
  comm -23 <(windows_folder=$2 expected_registry "$1" "$work/tables" | grep -v '\\helpdir|') <(product_values)
}
whole() {  # whole PACKAGE WINDOWS_FOLDER FOLDER UNINSTALL_KEY MAX_ZOOM: installed, with its settings
  local input rows
  for input in "${inputs[@]}"; do
    case $(basename "$input") in config.ini) continue ;; esac
    test -f "$3/$(basename "$input")" || { echo "  missing: $3/$(basename "$input")"; return 1; }
  done
  test "$(max_zoom_in "$3")" = "$5" || { echo "  MaxZoomRange in $3: $(max_zoom_in "$3")"; return 1; }
  rows=$(missing_rows "$1" "$2")
  test -z "$rows" || { echo "  registry rows missing:"; sed 's/^/    /' <<<"$rows"; return 1; }
  test "$(uninstall_key=$4 product_entries)" -eq 1 || { echo "  no installed-programs entry"; return 1; }
}
gone() {  # gone FOLDER UNINSTALL_KEY: removed, a changed config.ini aside
  test "$(ls -A "$1")" = config.ini && test "$(uninstall_key=$2 product_entries)" -eq 0
}
max_zoom_in() { tr -d '\r' <"$1/config.ini" | sed -n 's/^ *MaxZoomRange=//p'; }
set_max_zoom() {  # set_max_zoom FOLDER N: as an editor saves, a new file
  sed "s/^MaxZoomRange=.*/MaxZoomRange=$2\r/" "$1/config.ini" >"$work/config.ini" && mv "$work/config.ini" "$1/config.ini"
}

echo "== both packages installed"
msiexec_qn /i "$(windows_path "$x64_msi")"
expect "the x64 package installs" test $? -eq 0
msiexec_qn /i "$(windows_path "$msi")"
expect "the x86 package installs beside it" test $? -eq 0
set_max_zoom "$x64_folder" 200
set_max_zoom "$x86_folder" 250
expect "the x64 package is whole in Program Files with its own settings" \
  whole "$x64_msi" "$x64_folder_windows" "$x64_folder" "$x64_key" 200
expect "the x86 package is whole in Program Files (x86) with its own settings" \
  whole "$msi" "$x86_folder_windows" "$x86_folder" "$x86_key" 250

echo "== the x86 package removed"
msiexec_qn /x "$(windows_path "$msi")"
expect "the uninstall succeeds" test $? -eq 0
expect "the x86 package is gone but its changed settings" gone "$x86_folder" "$x86_key"
expect "the x64 package is still whole" whole "$x64_msi" "$x64_folder_windows" "$x64_folder" "$x64_key" 200

echo "== the x86 package installed again, the x64 one removed"
msiexec_qn /i "$(windows_path "$msi")"
expect "the x86 package installs" test $? -eq 0
msiexec_qn /x "$(windows_path "$x64_msi")"
expect "the x64 uninstall succeeds" test $? -eq 0
expect "the x64 package is gone but its changed settings" gone "$x64_folder" "$x64_key"
expect "the x86 package is whole with the settings it kept" \
  whole "$msi" "$x86_folder_windows" "$x86_folder" "$x86_key" 250

echo "== both removed"
msiexec_qn /x "$(windows_path "$msi")"
expect "the uninstall succeeds" test $? -eq 0
expect "no registry key of the product is left" test -z "$(product_registry)"

finish
