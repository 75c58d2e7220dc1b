#!/usr/bin/env bash
# Settings given to the package as properties, in a fresh Wine prefix of its own: a silent
# install writes each given setting into config.ini (and the Flash switch into both
# registry views) and leaves the others as they are; a bad value refuses the install, naming
# the property, before anything changes; an upgrade writes the given settings over the
# user's file and keeps the rest of it, and without properties keeps the file as it is; an
# upgrade over the unchanged shipped file leaves it in place; the installed settings program
# shows what was given.
#   PackageSettingsTest.sh PACKAGE_ENV WORK_FOLDER
set -uo pipefail
source "$1"
work=$2
source "$(dirname "$0")/package-test-lib.sh"
rm -rf "$work" && mkdir -p "$work"
skip_without_32bit_prefix

fresh_prefix "$work/wineprefix"
package=$(windows_path "$msi")
shipped=${inputs[5]}
uninstall() {
  msiexec_qn /x "$package"
  rm -rf "$(dirname "$program_folder")"
  local view
  for view in 64 32; do  # the switch that the install wrote, which uninstalling keeps
    wine_in reg delete 'HKLM\SOFTWARE\Microsoft\Internet Explorer\ActiveX Compatibility' /f /reg:$view >/dev/null 2>&1
  done
  settle
}
settings_are() {  # settings_are KEY=VALUE...: the installed config.ini holds each
  local pair ok=0
  for pair in "$@"; do
    [ "$(setting "$program_folder" "${pair%%=*}")" = "${pair#*=}" ] ||
      { echo "  ${pair%%=*}: '$(setting "$program_folder" "${pair%%=*}")'"; ok=1; }
  done
  return $ok
}
flash_switch_is() {  # flash_switch_is FLAGS: in every registry view the browsers read
  local view
  for view in 64 32; do
    [ "$prefix_arch" = win32 ] && [ "$view" = 64 ] && continue
    [ "$(flash_flags "$view")" = "$1" ] || { echo "  $view-bit view: '$(flash_flags "$view")'"; return 1; }
  done
}

# refusal_names PROPERTY TEXT: the launch condition on PROPERTY refuses with TEXT (Wine
# shows the message only in a message box, so it is read from the package).
refusal_names() {
  msiinfo export "$msi" LaunchCondition | tr -d '\r' | awk -F'\t' -v p="$1" -v t="$2" '
    index($1, p) && index($2, t) == 1 { found = 1 } END { exit !found }'
}

echo "== bad values"
# Each refuses the install, naming the property and what it accepts, before anything changes.
while IFS='|' read -r what properties named; do
  log=$work/refused-${what// /-}.log
  expect "$what ($properties) is refused" msiexec_refused "$log" /i "$package" $properties
  expect "the refusal names $named" refusal_names "$named" "$named accepts"
  expect "nothing is installed" test ! -e "$program_folder"
  expect "the Flash switch is untouched" test -z "$(flash_flags 64)$(flash_flags 32)"
done <<'EOF'
not a number|MINZOOM=abc MAXZOOM=300|MINZOOM
below 100|MINZOOM=150 MAXZOOM=99|MAXZOOM
above 500|MINZOOM=150 MAXZOOM=501|MAXZOOM
a minimum above the maximum|MINZOOM=300 MAXZOOM=200|MINZOOM
a minimum equal to the maximum|MINZOOM=200 MAXZOOM=200|MINZOOM
a switch other than 1 or 0|ENABLE=yes|ENABLE
a two-finger tap other than 1 or 0|TAPRESET=2|TAPRESET
a Flash word other than allow or block|FLASH=off|FLASH
EOF
log=$work/refused-one-bound.log
expect "one zoom bound alone is refused" msiexec_refused "$log" /i "$package" MAXZOOM=400
expect "the refusal asks for both bounds" refusal_names MAXZOOM "MINZOOM and MAXZOOM are given together"

echo "== a silent install without properties"
msiexec_qn /i "$package"
expect "the install succeeds" test $? -eq 0
expect "config.ini is the shipped file" cmp -s "$shipped" "$program_folder/config.ini"
expect "the Flash switch is not written" test -z "$(flash_flags 64)$(flash_flags 32)"
uninstall

echo "== a silent install with every property"
msiexec_qn /i "$package" ENABLE=0 MINZOOM=150 MAXZOOM=350 TAPRESET=0 FLASH=Block
expect "the install succeeds" test $? -eq 0
expect "config.ini holds every given setting" \
  settings_are Enable=FALSE MinZoomRange=150 MaxZoomRange=350 TwoFingerTap2Zoom100=FALSE EnableFlash=FALSE
expect "the Flash switch blocks in every view" flash_switch_is dword:00000400
wine_in "$driver" show
expect "the installed settings program shows them" test $? -eq 0
expect "the same package with properties over the installed product is refused" \
  msiexec_refused "$work/maintenance.log" /i "$package" MINZOOM=200 MAXZOOM=400
expect "the refusal says when the properties take effect" refusal_names Installed "ENABLE, MINZOOM, MAXZOOM, TAPRESET and FLASH take effect when"
expect "config.ini keeps the settings" settings_are MinZoomRange=150 MaxZoomRange=350
msiexec_qn /i "$package" REINSTALL=ALL REINSTALLMODE=amus
expect "a repair succeeds" test $? -eq 0
expect "it keeps config.ini" settings_are Enable=FALSE MinZoomRange=150 EnableFlash=FALSE
expect "it keeps the Flash switch" flash_switch_is dword:00000400
msiexec_qn /x "$package"
expect "uninstalling keeps the given settings" settings_are Enable=FALSE MinZoomRange=150
expect "and the Flash switch" flash_switch_is dword:00000400
uninstall

echo "== a silent install with one property"
msiexec_qn /i "$package" TAPRESET=0
expect "the install succeeds" test $? -eq 0
expect "config.ini holds it and the shipped settings" \
  diff <(tr -d '\r' <"$shipped" | sed 's/^TwoFingerTap2Zoom100=.*/TwoFingerTap2Zoom100=FALSE/') <(tr -d '\r' <"$program_folder/config.ini")
expect "the Flash switch is not written" test -z "$(flash_flags 64)$(flash_flags 32)"
uninstall

echo "== upgrades over the user's settings"
upgrade=$work/upgrade.msi
msiexec_qn /i "$package"
sed 's/^MaxZoomRange=.*/MaxZoomRange=420\r/; s/^TwoFingerTap2Zoom100=.*/TwoFingerTap2Zoom100=FALSE\r/' \
  "$program_folder/config.ini" >"$work/config.ini" && mv "$work/config.ini" "$program_folder/config.ini"
users=$(md5sum <"$program_folder/config.ini")
another_build "$msi" "$upgrade" || fail "another build of the package"
msiexec_qn /i "$(windows_path "$upgrade")"
expect "an upgrade without properties succeeds" test $? -eq 0
expect "it keeps the user's file as it is" test "$(md5sum <"$program_folder/config.ini")" = "$users"
another_build "$msi" "$upgrade" || fail "another build of the package"
msiexec_qn /i "$(windows_path "$upgrade")" ENABLE=0 FLASH=allow
expect "an upgrade with properties succeeds" test $? -eq 0
expect "it writes the given settings and keeps the user's others" \
  settings_are Enable=FALSE EnableFlash=TRUE MaxZoomRange=420 TwoFingerTap2Zoom100=FALSE MinZoomRange=100
expect "the Flash switch allows in every view" flash_switch_is dword:00000000
wine_in "$driver" show
expect "the installed settings program shows the file" test $? -eq 0
uninstall

echo "== an upgrade over the unchanged shipped file"
msiexec_qn /i "$package"
relaid_absent() { ! component_registered "$msi" RelaidSettings; }
expect "an install lays config.ini with the component that never overwrites it" relaid_absent
another_build "$msi" "$upgrade" || fail "another build of the package"
msiexec_qn /i "$(windows_path "$upgrade")" MINZOOM=120 MAXZOOM=480 /l "$(windows_path "$work/relaid.log")"
expect "the upgrade succeeds" test $? -eq 0
expect "the upgrade decided before costing to lay the shipped file again" component_registered "$msi" RelaidSettings
expect "config.ini is there, with the given settings and the shipped others" \
  settings_are MinZoomRange=120 MaxZoomRange=480 Enable=TRUE TwoFingerTap2Zoom100=TRUE
uninstall

finish
