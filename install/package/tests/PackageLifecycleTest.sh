#!/usr/bin/env bash
# The package as a user meets it, in a fresh Wine prefix of its own: the package for 64-bit
# Windows in a 64-bit prefix, the one for 32-bit Windows in a 32-bit prefix (skipped where
# 32-bit Wine cannot run). An install that fails half way rolls back, and one for a single
# user is refused; the package replaces each earlier package (one per add-on flavour, built
# here as 1.0.0.0, alone or both), leaving the settings a user changed in the one config.ini
# of the program folder; an earlier package run over it refuses and changes nothing; each
# add-on loads from its own folder in a program of its bitness, which finds that config.ini;
# the installed settings program shows the settings and saves a change to it; a repair
# restores deleted files and keeps the settings; uninstalling keeps only changed settings;
# a fresh install and its uninstall leave nothing at all, and an edit that keeps the file's
# size still counts as a change.
#   PackageLifecycleTest.sh PACKAGE_ENV WORK_FOLDER
set -uo pipefail
source "$1"
work=$2
source "$(dirname "$0")/package-test-lib.sh"
rm -rf "$work" && mkdir -p "$work"
skip_without_32bit_prefix

# The earlier packages as users have them, made from today's binaries (on 64-bit Windows
# the x86 one has the 32-bit add-on, and the 64-bit settings program stands in for the
# 32-bit one) with a marked preview page, so that the upgrade's files can be told apart.
mkdir -p "$work/earlier"
{ cat "${inputs[4]}"; printf '<!-- 1.0.0.0 -->\n'; } >"$work/earlier/Template.html"
earlier_package() {  # earlier_package ARCH: makes the earlier ARCH package once, prints its path
  local files=("${inputs[@]}") upgrade=$upgrade_code_x86 maker=$maker_folder_x86
  local out=$work/earlier/Pinchwell-1.0.0.0-$1.msi
  [ -f "$out" ] && { echo "$out"; return; }
  files[4]=$work/earlier/Template.html
  if [ "$1" = x64 ]; then upgrade=$upgrade_code_x64 maker=$maker_folder_x64; fi
  if [ "$1" = x86 ] && [ "$arch" = x64 ]; then files[0]=$tessel32; fi
  "$earlier_make_package" "$out" "$earlier_wxs" "$1" 1.0.0.0 "$upgrade" "$maker" "$earlier_shared_component" \
    "${identities[@]}" "${files[@]}" >&2 && echo "$out"
}

fresh_prefix "$work/wineprefix"
maker_folders=()
for folder in "${program_folders[@]}"; do maker_folders+=("$(dirname "$folder")"); done
remove_leftovers() { rm -rf "${maker_folders[@]}"; }  # the user removes the settings an uninstall kept
menu_entry() {  # the Start menu entry starts the installed settings program
  local link
  link=$(settings_shortcut)
  test -n "$link" && grep -aqF "$windows_folder\\PinchwellConfig.exe" "$link"
}
no_menu_entry() { test -z "$(settings_shortcut)"; }
no_product_keys() { test -z "$(product_registry)"; }
files_are() {  # files_are FOLDER INPUT...: each installed file equals its input
  local folder=$1 input ok=0
  shift
  for input in "$@"; do
    cmp -s "$input" "$folder/$(basename "$input")" || { echo "  differs: $folder/$(basename "$input")"; ok=1; }
  done
  return $ok
}
package_files_are() {  # every program folder holds the package's files, config.ini aside
  files_are "$program_folder" "${inputs[@]:0:5}" "${inputs[6]}" || return 1
  [ "$arch" = x86 ] && return 0
  # The 32-bit add-on alone: it reads the data files of the 64-bit folder.
  files_are "${program_folders[1]}" "$tessel32" &&
  { test "$(ls -A "${program_folders[1]}")" = Tessel.dll || { echo "  in ${program_folders[1]}: $(ls -A "${program_folders[1]}")"; return 1; }; }
}
registry_is_the_packages() {  # every value of the package's Registry table, and no other
  diff <(expected_registry "$msi" "$work/tables") <(product_values) >"$work/registry.diff" ||
    { cat "$work/registry.diff"; return 1; }
  # The class's Programmable key, which has no value, in each registry view.
  test "$(product_registry | grep -ci '\\Programmable|$')" -eq ${#program_folders[@]}
}
max_zoom() { tr -d '\r' <"$1/config.ini" | sed -n 's/^ *MaxZoomRange=//p'; }
one_settings_file() {  # one_settings_file MAX_ZOOM: the program folder's config.ini holds it, and no other is left
  test "$(max_zoom "$program_folder")" = "$1" || { echo "  MaxZoomRange: $(max_zoom "$program_folder")"; return 1; }
  [ "$arch" = x86 ] || test ! -e "${program_folders[1]}/config.ini" || { echo "  left: ${program_folders[1]}/config.ini"; return 1; }
}
set_max_zoom() {  # set_max_zoom FOLDER N: as an editor saves, a new file
  sed "s/^MaxZoomRange=.*/MaxZoomRange=$2\r/" "$1/config.ini" >"$work/config.ini" && mv "$work/config.ini" "$1/config.ini"
}
shipped_settings() { cmp -s "${inputs[5]}" "$1/config.ini"; }
settings_state() { md5sum <"$program_folder/config.ini"; }
changed_settings() { shipped_settings "$program_folder" || echo "$program_folder"; }
shipped_settings_alone() {
  shipped_settings "$program_folder" && test -z "$(find "${maker_folders[@]}" -name config.ini -not -path "$program_folder/*")"
}
product_state() {  # every file of the product with its checksum, its registry keys and the installed programs
  (cd "$prefix/drive_c" && find "${maker_folders[@]#"$prefix/drive_c/"}" -type f -exec md5sum {} + 2>/dev/null | sort)
  product_registry
  installed_programs
}
left_after_uninstall() {  # left_after_uninstall CHANGED: a changed config.ini stays alone, other folders go
  local folder
  for folder in "${program_folders[@]}"; do
    if grep -qxF "$folder" <<<"$1"; then
      test "$(ls -A "$folder")" = config.ini || { echo "  in $folder: $(ls -A "$folder")"; return 1; }
    elif [ -e "$folder" ]; then
      echo "  left: $folder"; return 1
    fi
  done
}
loads_from() {  # loads_from PROGRAM FOLDER: the program creates the add-on from FOLDER's Tessel.dll
  local loaded
  loaded=$(wine_in "$1" | tr -d '\r') || { echo "  $loaded"; return 1; }
  test "$(head -1 <<<"${loaded,,}")" = "${2,,}\\tessel.dll" || { echo "  loaded: $loaded"; return 1; }
  # and finds the settings in the one config.ini, the program folder's, whatever its bitness
  test "$(tail -1 <<<"${loaded,,}")" = "${windows_folder,,}\\config.ini" || { echo "  settings: $loaded"; return 1; }
}
uninstalled() {
  expect "no registry key of the product is left" no_product_keys
  expect "no entry in the installed programs" test "$(product_entries)" -eq 0
  expect "no Start menu entry" no_menu_entry
}

echo "== an install that cannot write one of its files"
mkdir -p "$program_folder/log4cxx.properties"  # a folder where the file must go
msiexec_qn /i "$(windows_path "$msi")"
expect "the install fails" test $? -ne 0
expect "no file of the product is left" test -z "$(find "${maker_folders[@]}" -type f 2>/dev/null)"
uninstalled
remove_leftovers

echo "== a per-user install (ALLUSERS empty)"
# ALLUSERS="" reaches Wine's msiexec as two backslashes: "ALLUSERS=" is its empty value.
expect "the install is refused by a launch condition" msiexec_refused "$work/per-user.log" /i "$(windows_path "$msi")" ALLUSERS=
expect "ALLUSERS was empty" bash -c "! grep -aq '^Property(S): ALLUSERS = ' '$work/per-user.log'"
expect "the condition asks for an install for all users" \
  bash -c "msiinfo export '$msi' LaunchCondition | grep -a '^Installed OR ALLUSERS = 1' | grep -q 'only for all users'"
expect "no file of the product is installed" test -z "$(find "${maker_folders[@]}" -type f 2>/dev/null)"
uninstalled

# The earlier packages a user may have (one per add-on flavour, alone or both), each with
# the settings of some of them changed: after the upgrade the one config.ini holds the
# user's settings, the 64-bit folder's when both were changed. The last case stays for the
# steps after.
zoom_of() { if [ "$1" = x64 ]; then echo 260; else echo 250; fi; }
folder_of() { if [ "$1" = x64 ]; then echo "$program_folder"; else echo "${program_folders[-1]}"; fi; }
if [ "$arch" = x64 ]; then
  upgrades=("x86|x86" "x64 x86|x86" "x64 x86|x64 x86" "x64|x64")
else
  upgrades=("x86|x86")
fi
for upgrade in "${upgrades[@]}"; do
  installed=${upgrade%|*} changed=${upgrade#*|}
  kept=$(zoom_of "${changed%% *}")
  echo "== the earlier $installed package(s), settings changed in $changed, upgraded to $product_name $version"
  for flavour in $installed; do
    earlier=$(earlier_package "$flavour") || fail "the earlier $flavour package builds"
    msiexec_qn /i "$(windows_path "$earlier")"
    expect "the earlier $flavour package installs" test $? -eq 0
  done
  expect "they are the installed programs, Pinchwell 1.0.0.0" \
    test "$(installed_programs | sort -u)" = "Pinchwell|1.0.0.0|Kestrune" -a "$(product_entries)" -eq "$(wc -w <<<"$installed")"
  for flavour in $changed; do set_max_zoom "$(folder_of "$flavour")" "$(zoom_of "$flavour")"; done
  msiexec_qn /i "$(windows_path "$msi")"
  expect "the upgrade succeeds" test $? -eq 0
  expect "the one installed program is $product_name $version" only_installed_program "$product_name" "$version"
  expect "every file is the new version's" package_files_are
  expect "the one config.ini holds the changed settings ($kept)" one_settings_file "$kept"
  expect "every registry value is the package's" registry_is_the_packages
  expect "the Start menu entry starts the installed settings program" menu_entry
  if [ "$upgrade" != "${upgrades[-1]}" ]; then
    msiexec_qn /x "$(windows_path "$msi")"
    remove_leftovers
  fi
done

# Windows Installer compares three fields of a version: the earlier 1.0.0.0 package finds
# $version newer, so its launch condition refuses it. (The earlier x86 package looks only
# for products of its own upgrade code, which the package for 64-bit Windows does not have.)
earlier_same_code=x64
[ "$arch" = x86 ] && earlier_same_code=x86
echo "== the earlier $earlier_same_code package run over $product_name $version"
before=$(product_state)
expect "it is refused by a launch condition" \
  msiexec_refused "$work/downgrade.log" /i "$(windows_path "$(earlier_package "$earlier_same_code")")"
expect "it found the newer version" grep -aq '^Property(S): WIX_DOWNGRADE_DETECTED = {' "$work/downgrade.log"
expect "its condition for that says a newer version is installed" \
  bash -c "msiinfo export '$(earlier_package "$earlier_same_code")' LaunchCondition | grep -aq 'WIX_DOWNGRADE_DETECTED.A newer version of Pinchwell is already installed.'"
expect "nothing changes: files, registry, installed programs" test "$(product_state)" = "$before"

echo "== the add-ons load from their folders"
expect "a program of the package's bitness creates the add-on from $windows_folder" \
  loads_from "$addon_creator" "$windows_folder"
if [ "$arch" = x64 ]; then
  if [ "$wine32_runs" != yes ]; then
    skip "a 32-bit program creates the add-on from ${program_folders_windows[1]}"
  elif [ ! -f "$addon32_creator" ]; then
    fail "no 32-bit program to create the add-on: $addon32_creator (the win32 build makes it)"
  else
    expect "a 32-bit program creates the add-on from ${program_folders_windows[1]}" \
      loads_from "$addon32_creator" "${program_folders_windows[1]}"
  fi
fi

echo "== the installed settings program"
wine_in "$driver" show
expect "it shows the installed settings" test $? -eq 0
wine_in "$driver" change 275
expect "it saves a change" test $? -eq 0
expect "the change is in the one config.ini" one_settings_file 275

echo "== repair"
settings_before=$(settings_state)
rm "$program_folder/Template.html"
[ "$arch" = x64 ] && rm "${program_folders[1]}/Tessel.dll"
# Wine's msiexec cannot repair by /f (it takes neither a package nor a product code
# there); /f is these two properties, which it honours.
msiexec_qn /i "$(windows_path "$msi")" REINSTALL=ALL REINSTALLMODE=amus
expect "the repair succeeds" test $? -eq 0
expect "every deleted file is back" package_files_are
expect "config.ini is kept" test "$(settings_state)" = "$settings_before"

echo "== uninstall with changed settings"
changed=$(changed_settings)
msiexec_qn /x "$(windows_path "$msi")"
expect "the uninstall succeeds" test $? -eq 0
expect "only the changed config.ini is left" left_after_uninstall "$changed"
uninstalled
remove_leftovers

echo "== uninstall after an edit that keeps the size"
msiexec_qn /i "$(windows_path "$msi")"
expect "the install succeeds" test $? -eq 0
sed 's/^MaxZoomRange=300/MaxZoomRange=250/' "$program_folder/config.ini" >"$work/edited.ini"
mv "$work/edited.ini" "$program_folder/config.ini"  # saved as an editor saves: a new file
expect "the edit keeps the size" test "$(stat -c %s "$program_folder/config.ini")" -eq "$(stat -c %s "${inputs[5]}")"
expect "the edit changes the file" test "$(max_zoom "$program_folder")" = 250
msiexec_qn /x "$(windows_path "$msi")"
expect "the uninstall succeeds" test $? -eq 0
expect "only the edited config.ini is left" left_after_uninstall "$program_folder"
remove_leftovers

echo "== install and uninstall unchanged"
msiexec_qn /i "$(windows_path "$msi")"
expect "the install succeeds" test $? -eq 0
expect "every file is installed" package_files_are
expect "config.ini is the shipped one, in the program folder alone" shipped_settings_alone

expect "every registry value is the package's" registry_is_the_packages
expect "the Start menu entry starts the installed settings program" menu_entry
msiexec_qn /x "$(windows_path "$msi")"
expect "the uninstall succeeds" test $? -eq 0
expect "no folder of the product is left" test -z "$(ls -d "${maker_folders[@]}" 2>/dev/null)"
uninstalled

finish
