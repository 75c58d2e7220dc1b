#!/usr/bin/env bash
# The package for real (x64, or x86 on 64-bit Windows), in a fresh Wine prefix of its own: an install that fails half
# way rolls back; an older version is installed, its settings program shows the installed
# settings and saves a change; a repair restores a deleted file and keeps the change; the
# current version upgrades it; uninstalling keeps only the changed config.ini; a fresh
# install and its uninstall leave nothing at all, and an edit that keeps the file's size
# still counts as a change. Where the x86 settings program cannot run (no 32-bit Wine), the
# change is made by editing config.ini, and the test ends as skipped after its other checks.
#   PackageLifecycleTest.sh PACKAGE_ENV WORK_FOLDER
set -uo pipefail
source "$1"
work=$2
source "$(dirname "$0")/package-test-lib.sh"
rm -rf "$work" && mkdir -p "$work"

# The older version: the same package at 1.0.0.0 with a marked preview page, so that
# the upgrade's files can be told from the older ones.
older_msi=$work/Pinchwell-1.0.0.0-$arch.msi
older_inputs=("${inputs[@]}")
mkdir -p "$work/older"
{ cat "${inputs[4]}"; printf '<!-- 1.0.0.0 -->\n'; } >"$work/older/Template.html"
older_inputs[4]=$work/older/Template.html
"$make_package" "$older_msi" "$wxs" "$arch" 1.0.0.0 "$upgrade_code" "$maker_folder" "$shared_component" \
  "${identities[@]}" "${older_inputs[@]}" || fail "the older package builds"

fresh_prefix "$work/wineprefix"
maker_folder_path=$(dirname "$program_folder")
menu_entry() {  # the Start menu entry starts the installed settings program
  local link
  link=$(settings_shortcut)
  test -n "$link" && grep -aqF "$windows_folder\\PinchwellConfig.exe" "$link"
}
no_menu_entry() { test -z "$(settings_shortcut)"; }
no_product_keys() { test -z "$(product_registry)"; }
files_are() {  # files_are INPUT...: each installed file equals its input, config.ini aside
  local input ok=0
  for input in "$@"; do
    case $(basename "$input") in config.ini) continue ;; esac
    cmp -s "$input" "$program_folder/$(basename "$input")" || { echo "  differs: $(basename "$input")"; ok=1; }
  done
  return $ok
}
registry_is_the_packages() {  # every value of the package's Registry table, and no other
  diff <(expected_registry "$1" "$work/tables") <(product_values) >"$work/registry.diff" ||
    { cat "$work/registry.diff"; return 1; }
  product_registry | grep -qi '\\Programmable|$'
}
one_entry_of_version() {
  test "$(product_entries)" -eq 1 &&
  installed_programs | grep -qx "\"DisplayVersion\"=\"$1\"" &&
  installed_programs | grep -qx '"Publisher"="Kestrune"'
}
config_max_zoom() { tr -d '\r' <"$program_folder/config.ini" | sed -n 's/^ *MaxZoomRange=//p'; }

echo "== an install that cannot write one of its files"
mkdir -p "$program_folder/log4cxx.properties"  # a folder where the file must go
msiexec_qn /i "$(windows_path "$msi")"
expect "the install fails" test $? -ne 0
expect "no file of the product is left" test -z "$(ls -A "$program_folder" | grep -vx log4cxx.properties)"
expect "no registry key of the product is left" no_product_keys
expect "no entry in the installed programs" test "$(product_entries)" -eq 0
expect "no Start menu entry" no_menu_entry
rm -rf "$maker_folder_path"

echo "== install the older version"
msiexec_qn /i "$(windows_path "$older_msi")"
expect "the install succeeds" test $? -eq 0
expect "every file is installed" files_are "${older_inputs[@]}"
expect "config.ini is the shipped one" cmp -s "${inputs[5]}" "$program_folder/config.ini"
expect "one installed program Pinchwell 1.0.0.0 by Kestrune" one_entry_of_version 1.0.0.0

echo "== the installed settings program"
if runs_here; then
  wine_in "$driver" show
  expect "it shows the installed settings" test $? -eq 0
  wine_in "$driver" change 250
  expect "it saves a change" test $? -eq 0
else
  skip "the installed settings program shows and saves the settings; config.ini edited instead"
  sed 's/^MaxZoomRange=.*/MaxZoomRange=250\r/' "$program_folder/config.ini" >"$work/changed.ini"
  mv "$work/changed.ini" "$program_folder/config.ini"
fi
expect "config.ini holds the change" test "$(config_max_zoom)" = 250

echo "== repair"
rm "$program_folder/Template.html"
# Wine's msiexec cannot repair by /f (it takes neither a package nor a product code
# there); /f is these two properties, which it honours.
msiexec_qn /i "$(windows_path "$older_msi")" REINSTALL=ALL REINSTALLMODE=amus
expect "the repair succeeds" test $? -eq 0
expect "the deleted file is back" cmp -s "$work/older/Template.html" "$program_folder/Template.html"
expect "the changed config.ini is kept" test "$(config_max_zoom)" = 250

echo "== upgrade to $version"
msiexec_qn /i "$(windows_path "$msi")"
expect "the upgrade succeeds" test $? -eq 0
expect "one installed program Pinchwell $version" one_entry_of_version "$version"
expect "every file is the new version's" files_are "${inputs[@]}"
expect "the changed config.ini is kept" test "$(config_max_zoom)" = 250
expect "every registry value is the package's" registry_is_the_packages "$msi"
expect "the Start menu entry starts the installed settings program" menu_entry
if runs_here; then
  wine_in "$driver" show
  expect "the settings program shows the kept settings" test $? -eq 0
else
  skip "the settings program shows the kept settings"
fi

echo "== uninstall with changed settings"
msiexec_qn /x "$(windows_path "$msi")"
expect "the uninstall succeeds" test $? -eq 0
expect "only the changed config.ini is left" test "$(ls -A "$program_folder")" = config.ini
expect "no registry key of the product is left" no_product_keys
expect "no entry in the installed programs" test "$(product_entries)" -eq 0
expect "no Start menu entry" no_menu_entry
rm -rf "$maker_folder_path"  # the user removes the settings

echo "== uninstall after an edit that keeps the size"
msiexec_qn /i "$(windows_path "$msi")"
expect "the install succeeds" test $? -eq 0
sed 's/^MaxZoomRange=300/MaxZoomRange=250/' "$program_folder/config.ini" >"$work/edited.ini"
mv "$work/edited.ini" "$program_folder/config.ini"  # saved as an editor saves: a new file
expect "the edit keeps the size" test "$(stat -c %s "$program_folder/config.ini")" -eq "$(stat -c %s "${inputs[5]}")"
expect "the edit changes the file" test "$(config_max_zoom)" = 250
msiexec_qn /x "$(windows_path "$msi")"
expect "the uninstall succeeds" test $? -eq 0
expect "only the edited config.ini is left" test "$(ls -A "$program_folder")" = config.ini
rm -rf "$maker_folder_path"

echo "== install and uninstall unchanged"
msiexec_qn /i "$(windows_path "$msi")"
expect "the install succeeds" test $? -eq 0
expect "every file is installed" files_are "${inputs[@]}"
expect "config.ini is the shipped one" cmp -s "${inputs[5]}" "$program_folder/config.ini"
expect "every registry value is the package's" registry_is_the_packages "$msi"
expect "the Start menu entry starts the installed settings program" menu_entry
msiexec_qn /x "$(windows_path "$msi")"
expect "the uninstall succeeds" test $? -eq 0
expect "no folder of the product is left" test ! -e "$maker_folder_path"
expect "no registry key of the product is left" no_product_keys
expect "no entry in the installed programs" test "$(product_entries)" -eq 0
expect "no Start menu entry" no_menu_entry

finish
