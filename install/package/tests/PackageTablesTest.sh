#!/usr/bin/env bash
# The two packages' tables side by side. The package for 32-bit Windows (made here from the
# same inputs with the settings of the build) is the program folder of the package for
# 64-bit Windows, all of it 32-bit, with the rows of the 32-bit add-on; the package for
# 64-bit Windows adds the 32-bit add-on alone in the 32-bit Program Files folder, with the
# component that lays it in the 32-bit package and in the earlier x86 package. Each names
# its Windows, and the one for 64-bit Windows replaces the earlier versions of both. Every
# program file carries the version and language of its version resource.
#   PackageTablesTest.sh PACKAGE_ENV WORK_FOLDER   (the package for 64-bit Windows)
set -uo pipefail
source "$1"
work=$2
source "$(dirname "$0")/package-test-lib.sh"
rm -rf "$work" && mkdir -p "$work"

x86_msi=$work/Pinchwell-$version-32-bit-Windows.msi
"$make_package" "$x86_msi" "$wxs" "${defines_x86[@]}" "${inputs[@]}" || fail "the package for 32-bit Windows builds"

table() { msi_table "$@"; }
columns() { awk -F'\t' -v OFS='\t' "{ print $1 }"; }
# The components of the 64-bit package's 32-bit folder, and the rest.
folder32_components=$(table "$msi" Component | awk -F'\t' '$3 ~ /32$/ { print $1 }')
of_folder32() { awk -F'\t' -v list="$folder32_components" -v col="$1" -v want="$2" '
  BEGIN { n = split(list, c, "\n"); for (i = 1; i <= n; i++) in32[c[i]] = 1 }
  (($col in in32) ? "yes" : "no") == want'; }

expect "the same program folder's files" diff <(table "$msi" File | of_folder32 2 no | columns '$1, $2, $3, $4') \
                                              <(table "$x86_msi" File | columns '$1, $2, $3, $4')
expect "the 32-bit folder holds the 32-bit add-on alone" \
  test "$(table "$msi" File | of_folder32 2 yes | columns '$3, $4')" = "$(printf 'Tessel.dll\t%s' "$(stat -c %s "$tessel32")")"
expect "the same folders, the 32-bit package's in the 32-bit Program Files" \
  diff <(table "$msi" Directory | awk -F'\t' '$1 !~ /32$/ && $1 != "ProgramFilesFolder"' | sed 's/ProgramFiles64Folder/ProgramFilesFolder/g') \
       <(table "$x86_msi" Directory)
# Components: 64-bit (msidbComponentAttributes64bit) exactly outside the 32-bit folder.
expect "every component of the 32-bit package is 32-bit" test -z "$(table "$x86_msi" Component | awk -F'\t' 'int($4 / 256) % 2')"
expect "the 64-bit package's 32-bit components are those of the 32-bit folder" \
  test "$(table "$msi" Component | awk -F'\t' 'int($4 / 256) % 2 == 0 { print $1 }')" = "$folder32_components"
expect "the same components with the same other attributes" \
  diff <(table "$msi" Component | of_folder32 1 no | awk -F'\t' -v OFS='\t' '{ print $1, $3, $4 % 256, $6 }') \
       <(table "$x86_msi" Component | awk -F'\t' -v OFS='\t' '{ print $1, $3, $4, $6 }')
expect "config.ini is never overwritten and never removed with its component" \
  test "$({ table "$msi" Component; table "$x86_msi" Component; } | awk -F'\t' '$1 ~ /^Settings/ && $1 != "SettingsProgram" { print $1, int($4 / 16) % 16 }' | paste -sd' ')" = "Settings 9 Settings 9"
# Registry: the 32-bit package's rows are the 64-bit package's rows of the 32-bit add-on,
# of the keys both views share, without the 64-bit library's path, and of the Flash switch
# in the package's own view.
registry_rows() { table "$1" Registry | awk -F'\t' -v OFS='\t' '{ print $2, $3, $4, $5, $6 }' | sort; }
as_32bit() { sed 's/\[#Tessel32File\]/[#TesselFile]/; s/\tAddonLibrary32$/\tAddonLibrary/' | sort; }
expect "the 32-bit package's rows are those of the 32-bit add-on and the shared keys" \
  diff <(registry_rows "$msi" | awk -F'\t' '$5 != "AddonLibrary" && $5 != "SettingFlash32" && $2 !~ /\\win64$/' | as_32bit) \
       <(registry_rows "$x86_msi")
expect "the 64-bit add-on's rows are the 32-bit add-on's, in its own view" \
  diff <(registry_rows "$msi" | awk -F'\t' '$5 == "AddonLibrary"') \
       <(registry_rows "$msi" | awk -F'\t' '$5 == "AddonLibrary32"' | as_32bit)
# One component is one resource: the 32-bit add-on's file, bitness and rows have one GUID
# whichever package lays them.
earlier_x86=$work/Pinchwell-1.0.0.0-x86.msi
"$earlier_make_package" "$earlier_x86" "$earlier_wxs" x86 1.0.0.0 "$upgrade_code_x86" "$maker_folder_x86" \
  "$earlier_shared_component" "${identities[@]}" "$tessel32" "${inputs[@]:1}" || fail "the earlier x86 package builds"
component_id() { table "$1" Component | awk -F'\t' -v c="$2" '$1 == c { print $2 }'; }
expect "the 32-bit add-on's component is that of the 32-bit package and of the earlier x86 package" \
  test "$(component_id "$msi" AddonLibrary32)" = "$(component_id "$x86_msi" AddonLibrary)" -a \
       "$(component_id "$msi" AddonLibrary32)" = "$(component_id "$earlier_x86" AddonLibrary)"
# Program files: each File row holds the version of the file's version resource, read here
# from the file itself, and the language of its texts; none has a hash row, which serves
# unversioned files only.
declare -A language=([Tessel.dll]=1033 [PinchwellConfig.exe]=1033 [PinchkitCHT.dll]=1028 [PinchkitCHS.dll]=2052)
program_rows() { table "$1" File | awk -F'\t' -v OFS='\t' '$3 ~ /\.(dll|exe)$/ { print $1, $3, $5, $6 }'; }
resource_rows() {  # resource_rows PACKAGE: the program files' rows as the files themselves say
  local id name file
  while IFS=$'\t' read -r id name; do
    file=$(printf '%s\n' "${inputs[@]}" | grep "/$name\$")
    [ "$id" = Tessel32File ] && file=$tessel32
    printf '%s\t%s\t%s\t%s\n' "$id" "$name" "$(fixed_file_version "$file")" "${language[$name]}"
  done < <(program_rows "$1" | cut -f1,2)
}
for package in "$msi" "$x86_msi"; do
  expect "$(basename "$package"): every program file has its version and language" \
    diff <(program_rows "$package") <(resource_rows "$package")
  expect "$(basename "$package"): no program file has a hash" \
    test -z "$(table "$package" MsiFileHash | cut -f1 | grep -xF -f <(program_rows "$package" | cut -f1))"
done
# The searches look in each package's own Program Files folder.
for t in Shortcut RemoveFile Signature AppSearch DrLocator CustomAction InstallExecuteSequence; do
  expect "every $t row of the 32-bit package is the 64-bit package's" \
    test -z "$(comm -23 <(table "$x86_msi" $t) <(table "$msi" $t | sed 's/ProgramFiles64Folder/ProgramFilesFolder/g' | sort))"
done
replaced() { table "$1" Upgrade | awk -F'\t' -v v="$version" '$3 == v && $5 == 513 { print $1 }' | sort | paste -sd' '; }
expect "the 64-bit package replaces the earlier versions of both packages" \
  test "$(replaced "$msi")" = "$(printf '%s\n' "$upgrade_code_x64" "$upgrade_code_x86" | sort | paste -sd' ')"
expect "the 32-bit package replaces its own earlier versions" test "$(replaced "$x86_msi")" = "$upgrade_code_x86"
expect "only the 32-bit package refuses 64-bit Windows" \
  test "$(table "$msi" LaunchCondition | grep -c VersionNT64)$(table "$x86_msi" LaunchCondition | grep -c VersionNT64)" = 01
product_property() { table "$1" Property | awk -F'\t' -v name="$2" '$1 == name { print $2 }'; }
expect "the names say which Windows" test "$(product_property "$msi" ProductName)|$(product_property "$x86_msi" ProductName)" = \
  "Pinchwell for 64-bit Windows|Pinchwell for 32-bit Windows"
for p in ProductVersion Manufacturer; do
  expect "the same $p" test "$(product_property "$msi" $p)" = "$(product_property "$x86_msi" $p)"
done
expect "the 32-bit package is marked for Intel" bash -c "msiinfo suminfo '$x86_msi' | grep -q 'Template: Intel;'"
expect "the 64-bit package is marked for x64" bash -c "msiinfo suminfo '$msi' | grep -q 'Template: x64;'"

finish
