#!/usr/bin/env bash
# The registry rules that the package tests place every row by (registry-views.txt)
# against Microsoft's list for Windows 7, without Wine: each rule is a row of that list, and
# every row of the package for 64-bit Windows (made here from stand-in files) lands where
# the list puts it. Every row of a 32-bit component lands in the 32-bit view: the keys both
# views share sit in 64-bit components, which every Wine's 64-bit msiexec writes to the
# shared key as Windows 7 does.
#   RegistryViewsTest.sh PACKAGE_ENV WORK_FOLDER
set -uo pipefail
source "$1"
work=$2
arch=x64
source "$(dirname "$0")/package-test-lib.sh"
rm -rf "$work" && mkdir -p "$work"

# "Registry Keys Affected by WOW64", Windows 7 column: its rows for HKEY_LOCAL_MACHINE\
# SOFTWARE, its Classes and the branch of Windows\CurrentVersion where the Browser Helper
# Objects are. A key the list does not name takes the view of its nearest parent there.
windows7=$work/windows7.txt
sed 's/^SOFTWARE\t/.\t/; s/^SOFTWARE\\//' >"$windows7" <<'EOF'
SOFTWARE	redirected
SOFTWARE\Classes	shared
SOFTWARE\Classes\Appid	shared
SOFTWARE\Classes\CLSID	redirected
SOFTWARE\Classes\DirectShow	redirected
SOFTWARE\Classes\HCP	shared
SOFTWARE\Classes\Interface	redirected
SOFTWARE\Classes\Media Type	redirected
SOFTWARE\Classes\MediaFoundation	redirected
SOFTWARE\Classes\TypeLib	shared
SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths	shared
SOFTWARE\Microsoft\Windows\CurrentVersion\Control Panel\Cursors\Schemes	shared
SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\AutoplayHandlers	shared
SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\DriveIcons	shared
SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\KindMap	shared
SOFTWARE\Microsoft\Windows\CurrentVersion\Group Policy	shared
SOFTWARE\Microsoft\Windows\CurrentVersion\Policies	shared
SOFTWARE\Microsoft\Windows\CurrentVersion\PreviewHandlers	shared
SOFTWARE\Microsoft\Windows\CurrentVersion\Setup	shared
SOFTWARE\Microsoft\Windows\CurrentVersion\Telephony\Locations	shared
EOF
rules() { grep -v '^#' "$1" | awk -F'\t' 'NF == 2 { print tolower($0) }' | sort; }
expect "every rule is a row of Windows 7's list" test -z "$(comm -23 <(rules "$registry_views") <(rules "$windows7"))"

mkdir -p "$work/standins/x86"
for name in Tessel.dll PinchwellConfig.exe PinchkitCHT.dll PinchkitCHS.dll Template.html config.ini log4cxx.properties x86/Tessel.dll; do
  echo "$name" >"$work/standins/$name"
done
package=$work/Pinchwell-64-bit-Windows.msi
(cd "$work/standins" && "$make_package" "$package" "$wxs" "${defines[@]}" Tessel32=x86/Tessel.dll \
   Tessel.dll PinchwellConfig.exe PinchkitCHT.dll PinchkitCHS.dll Template.html config.ini log4cxx.properties) ||
  fail "the package for 64-bit Windows builds from stand-ins"

conditional=1 expected_registry "$package" "$work/by-rules" >"$work/by-rules.txt"
conditional=1 expected_registry "$package" "$work/by-windows7" "$windows7" >"$work/by-windows7.txt"
expect "the package has registry rows" test -s "$work/by-rules.txt"
expect "every row of the package lands where Windows 7 puts it" diff "$work/by-windows7.txt" "$work/by-rules.txt"
components32=$(msiinfo export "$package" Component | tr -d '\r' | tail -n +4 | awk -F'\t' 'int($4 / 256) % 2 == 0 { print $1 "|" }')
rows32=$(conditional=1 components=1 expected_registry "$package" "$work/by-component" | grep -F "$components32")
expect "the 32-bit components have registry rows" test -n "$rows32"
expect "every row of a 32-bit component lands in the 32-bit view" \
  test -z "$(grep -v '^[^|]*|software\\\\\(classes\\\\\)\?wow6432node\\\\' <<<"$rows32")"

finish
