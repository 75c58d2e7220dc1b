#!/usr/bin/env bash
# The x86 package cannot be installed here (no 32-bit Windows programs run), so its
# tables are compared with the x64 package's: the same files, folders and registry rows,
# with 32-bit components in the 32-bit Program Files folder. The x86 package is made
# from the same inputs with the x86 settings of the build.
#   PackageTablesTest.sh PACKAGE_ENV WORK_FOLDER
set -uo pipefail
source "$1"
work=$2
source "$(dirname "$0")/package-test-lib.sh"
rm -rf "$work" && mkdir -p "$work"

x86_msi=$work/Pinchwell-$version-x86.msi
"$make_package" "$x86_msi" "$wxs" x86 "$version" "$upgrade_code_x86" "$maker_folder_x86" \
  "$shared_component" "${identities[@]}" "${inputs[@]}" || fail "the x86 package builds"

table() {  # table PACKAGE NAME: its rows without the three header lines, sorted
  msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4 | sort
}
columns() { awk -F'\t' -v OFS='\t' "{ print $1 }"; }

# Files: the same names in the same components, with the same sizes.
expect "the same files" diff <(table "$msi" File | columns '$1, $2, $3, $4') \
                             <(table "$x86_msi" File | columns '$1, $2, $3, $4')
# Folders: the same tree, under the 32-bit Program Files folder.
expect "the same folders, in the 32-bit Program Files" \
  diff <(table "$msi" Directory | sed 's/ProgramFiles64Folder/ProgramFilesFolder/g') <(table "$x86_msi" Directory)
# Components: every one 32-bit (no msidbComponentAttributes64bit), the x64 package's
# all 64-bit but the one that both packages hold, which has one GUID in both.
expect "every x86 component is 32-bit" test -z "$(table "$x86_msi" Component | awk -F'\t' 'int($4 / 256) % 2')"
expect "every x64 component but the shared one is 64-bit" \
  test "$(table "$msi" Component | awk -F'\t' 'int($4 / 256) % 2 == 0 { print $1 }')" = AddonShared
expect "the same components with the same other attributes" \
  diff <(table "$msi" Component | awk -F'\t' -v OFS='\t' '{ print $1, $3, $4 % 256, $6 }') \
       <(table "$x86_msi" Component | awk -F'\t' -v OFS='\t' '{ print $1, $3, $4, $6 }')
expect "the shared component has one GUID in both packages" \
  diff <(table "$msi" Component | awk -F'\t' '$1 == "AddonShared" { print $2 }') \
       <(table "$x86_msi" Component | awk -F'\t' '$1 == "AddonShared" { print $2 }')
expect "config.ini is never overwritten and never removed with its component" \
  test "$(table "$x86_msi" Component | awk -F'\t' '$1 == "Settings" { print $4 }')" = 144
# Registry: the same rows but the x64 package's interface in the 64-bit view; the type
# library's path is recorded under win32; the shared component's interface rows are those
# of the 64-bit view again.
registry_rows() { table "$1" Registry | awk -F'\t' -v OFS='\t' '{ print $2, $3, $4, $5, $6 }' | sort; }
expect "the same registry rows, the library recorded as win32" \
  diff <(registry_rows "$msi" | awk -F'\t' '!($5 == "AddonLibrary" && $2 ~ /^Interface/)' | sed 's/\\0\\win64\t/\\0\\win32\t/') \
       <(registry_rows "$x86_msi")
expect "the x64 package's 64-bit view holds the interface rows of the 32-bit view" \
  diff <(registry_rows "$msi" | awk -F'\t' -v OFS='\t' '$5 == "AddonShared" && $2 ~ /^Interface/ { print $1, $2, $3, $4 }') \
       <(registry_rows "$msi" | awk -F'\t' -v OFS='\t' '$5 == "AddonLibrary" && $2 ~ /^Interface/ { print $1, $2, $3, $4 }')
for t in Shortcut RemoveFile Signature AppSearch DrLocator CustomAction InstallExecuteSequence Upgrade; do
  if [ "$t" = Upgrade ]; then
    expect "the same $t rows but for the upgrade code" \
      diff <(table "$msi" $t | sed "s/$upgrade_code/CODE/") <(table "$x86_msi" $t | sed "s/$upgrade_code_x86/CODE/")
  else
    expect "the same $t rows" diff <(table "$msi" $t) <(table "$x86_msi" $t)
  fi
done
product_property() { table "$1" Property | awk -F'\t' -v name="$2" '$1 == name { print $2 }'; }
for p in ProductName ProductVersion Manufacturer; do
  expect "the same $p" test "$(product_property "$msi" $p)" = "$(product_property "$x86_msi" $p)"
done
expect "an upgrade code of its own" test "$(product_property "$x86_msi" UpgradeCode)" = "$upgrade_code_x86"
expect "the x86 package is marked for Intel" bash -c "msiinfo suminfo '$x86_msi' | grep -q 'Template: Intel;'"
expect "the x64 package is marked for x64" bash -c "msiinfo suminfo '$msi' | grep -q 'Template: x64;'"

finish
