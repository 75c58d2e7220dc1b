#!/usr/bin/env bash
# Builds one Pinchwell MSI package with wixl, then adds with msibuild the rows that
# wixl cannot write (see README.md beside this script).
#
#   make-package.sh OUTPUT.msi WXS NAME=VALUE... FILE...
#
# NAME=VALUE are the defines of Pinchwell.wxs (Arch, Version, the package's GUIDs, braced,
# and the add-on's COM identities), and for Arch=x64 also ReplacesUpgradeCode (the 32-bit
# package's upgrade code: this package replaces its earlier versions too) and Tessel32
# (the 32-bit Tessel.dll). FILE... are the seven files of the program folder, staged under
# their own names. The binaries' version resources are read with PINCHWELL_WINDRES
# (default x86_64-w64-mingw32-windres, which reads 32-bit and 64-bit files alike).
set -euo pipefail
out=$(realpath -m "$1") wxs=$(realpath "$2")
shift 2
defines=() files=()
declare -A define
for arg in "$@"; do
  if [[ $arg =~ ^([A-Za-z0-9]+)=(.*)$ ]]; then
    define[${BASH_REMATCH[1]}]=${BASH_REMATCH[2]}
  else
    files+=("$arg")
  fi
done
arch=${define[Arch]} version=${define[Version]} upgrade=${define[UpgradeCode]} clsid=${define[ClassId]}

stage="$out.stage"
rm -rf "$stage" && mkdir -p "$stage"
for file in "${files[@]}"; do cp "$file" "$stage/"; done
if [ "$arch" = x64 ]; then
  mkdir "$stage/x86" && cp "${define[Tessel32]}" "$stage/x86/Tessel.dll"
fi
for name in "${!define[@]}"; do
  case $name in Tessel32|ReplacesUpgradeCode) ;; *) defines+=(-D "$name=${define[$name]}") ;; esac
done
cd "$stage"  # wixl finds sources relative to its working folder

# The shipped settings file carries a fixed time stamp, so that an unchanged file can be
# told from one the user saved: the uninstaller removes config.ini only when its size
# and date are still those of the shipped file. The window of a day either side
# absorbs the difference between the build's and the machine's time zones.
touch -d "2010-03-01 12:00:00" "$stage/config.ini"
config_size=$(stat -c %s "$stage/config.ini")
dos_date() {  # MSI packed date: DOS date in the high word, DOS time in the low word
  echo $(( ((($1 - 1980) << 9 | $2 << 5 | $3) << 16) | ($4 << 11) ))
}
date_min=$(dos_date 2010 2 28 12)
date_max=$(dos_date 2010 3 2 12)

wixl -a "$arch" "${defines[@]}" -D SourceDir=. -o "$out.tmp" "$wxs"
sql() { msibuild "$out.tmp" -q "$1"; }

# Each binary's File row carries the version and language of its version resource, so that
# the installer replaces it by the rules for versioned files, not by the dates and hashes
# of data files; a versioned file has no hash row (hashes serve unversioned files only).
# A stand-in that is no program file (trial packages) stays unversioned.
windres=${PINCHWELL_WINDRES:-x86_64-w64-mingw32-windres}
set_file_version() {  # set_file_version FILE_ID STAGED_FILE
  [ "$(head -c 2 "$2")" = MZ ] || return 0
  local resource version language
  resource=$("$windres" -J coff -O rc -i "$2")
  version=$(sed -n 's/^ *FILEVERSION *//p' <<<"$resource" | tr -d ' ' | tr , .)
  language=$(sed -n 's/^ *VALUE "Translation", *\(0x[0-9A-Fa-f]*\).*/\1/p' <<<"$resource")
  if [ -z "$version" ] || [ -z "$language" ]; then
    echo "make-package.sh: $2 has no version resource with a translation" >&2
    return 1
  fi
  sql "UPDATE \`File\` SET \`Version\` = '$version', \`Language\` = '$((language))' WHERE \`File\` = '$1'"
  sql "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = '$1'"
}
set_file_version TesselFile Tessel.dll
set_file_version ConfigProgramFile PinchwellConfig.exe
set_file_version PinchkitCHTFile PinchkitCHT.dll
set_file_version PinchkitCHSFile PinchkitCHS.dll
[ "$arch" = x64 ] && set_file_version Tessel32File x86/Tessel.dll

# Windows Installer compares only the first three fields of a product version, so 1.0.0.1
# is no upgrade of 1.0.0.0 unless the upper bound of the versions it replaces is
# inclusive (WiX's AllowSameVersionUpgrades, which wixl lacks).
sql "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
sql "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('$upgrade', '$version', $((1 | 512)), 'WIX_UPGRADE_DETECTED')"
# Settings: never overwritten by a repair or an upgrade (NeverOverwrite), never removed
# with their component (Permanent); the RemoveFile row below removes them when unchanged.
settings_attributes=$((16 | 128))
[ "$arch" = x64 ] && settings_attributes=$((256 | settings_attributes))
sql "UPDATE \`Component\` SET \`Attributes\` = $settings_attributes WHERE \`Component\` = 'Settings'"
sql "CREATE TABLE \`DrLocator\` (\`Signature_\` CHAR(72) NOT NULL, \`Parent\` CHAR(72), \`Path\` CHAR(255), \`Depth\` SHORT PRIMARY KEY \`Signature_\`, \`Parent\`, \`Path\`)"
# The search needs the resolved program folders, so it follows CostFinalize.
sql "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('AppSearch', 1001)"

# add_settings_search SIGNATURE FOLDER_PROPERTY [shipped]: AppSearch sets the property
# SIGNATURE in upper case when that program folder holds a config.ini; with "shipped" only
# when the file has the size and date of the shipped one.
add_settings_search() {
  sql "INSERT INTO \`DrLocator\` (\`Signature_\`, \`Path\`, \`Depth\`) VALUES ('$1', '[$2]', 0)"
  if [ "${3:-}" = shipped ]; then
    sql "INSERT INTO \`Signature\` (\`Signature\`, \`FileName\`, \`MinSize\`, \`MaxSize\`, \`MinDate\`, \`MaxDate\`) VALUES ('$1', 'config.ini', $config_size, $config_size, $date_min, $date_max)"
  else
    sql "INSERT INTO \`Signature\` (\`Signature\`, \`FileName\`) VALUES ('$1', 'config.ini')"
  fi
  sql "INSERT INTO \`AppSearch\` (\`Property\`, \`Signature_\`) VALUES ('${1^^}', '$1')"
}
# mark_folder ACTION PROPERTY FOLDER_PROPERTY SEQUENCE CONDITION: the action sets PROPERTY
# to the folder only when the condition holds, so a RemoveFile or MoveFile row that names
# PROPERTY as its folder acts only then.
mark_folder() {
  sql "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('$1', 51, '$2', '[$3]')"
  sql "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`) VALUES ('$1', '$5', $4)"
}
# add_programmable_key COMPONENT: the class's Programmable key, which has no value:
# created at install, removed at uninstall (wixl has no empty keys).
add_programmable_key() {
  sql "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \`Component_\`) VALUES ('ProgrammableKey$1', 0, 'CLSID\\$clsid\\Programmable', '*', '$1')"
}
# Uninstalling removes config.ini when it is still the shipped file.
add_settings_search PristineSettings INSTALLFOLDER shipped
mark_folder MarkPristineSettings PRISTINESETTINGSFOLDER INSTALLFOLDER 1002 PRISTINESETTINGS
sql "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`) VALUES ('RemovePristineSettings', 'SettingsProgram', 'config.ini', 'PRISTINESETTINGSFOLDER', 2)"
add_programmable_key AddonLibrary
if [ "$arch" = x64 ]; then
  add_programmable_key AddonLibrary32
  # Both add-ons read the 64-bit folder's config.ini; the earlier x86 package left the
  # user's in the 32-bit folder, where its uninstall (the upgrade's first step) keeps it
  # when changed. The install moves a changed one into the 64-bit folder when that has
  # none or the shipped one (then the 64-bit folder's is the user's), and removes any
  # other, which nothing reads any more. The searches run before the earlier packages are
  # removed; the move (MoveFiles) and the removal (RemoveFiles) come after.
  add_settings_search SettingsFound INSTALLFOLDER
  add_settings_search SettingsFound32 INSTALLFOLDER32
  add_settings_search PristineSettings32 INSTALLFOLDER32 shipped
  mark_folder MarkMigratedSettings MIGRATEDSETTINGSFOLDER INSTALLFOLDER32 1003 \
    'SETTINGSFOUND32 AND NOT PRISTINESETTINGS32 AND (NOT SETTINGSFOUND OR PRISTINESETTINGS)'
  mark_folder MarkLeftSettings LEFTSETTINGSFOLDER INSTALLFOLDER32 1004 'SETTINGSFOUND32 AND NOT MIGRATEDSETTINGSFOLDER'
  sql "CREATE TABLE \`MoveFile\` (\`FileKey\` CHAR(72) NOT NULL, \`Component_\` CHAR(72) NOT NULL, \`SourceName\` CHAR(255) LOCALIZABLE, \`DestName\` CHAR(255) LOCALIZABLE, \`SourceFolder\` CHAR(72), \`DestFolder\` CHAR(72) NOT NULL, \`Options\` SHORT NOT NULL PRIMARY KEY \`FileKey\`)"
  sql "INSERT INTO \`MoveFile\` (\`FileKey\`, \`Component_\`, \`SourceName\`, \`DestName\`, \`SourceFolder\`, \`DestFolder\`, \`Options\`) VALUES ('MigrateSettings', 'SettingsProgram', 'config.ini', 'config.ini', 'MIGRATEDSETTINGSFOLDER', 'INSTALLFOLDER', 1)"
  sql "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('MoveFiles', 3800)"
  sql "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`) VALUES ('RemoveLeftSettings', 'SettingsProgram', 'config.ini', 'LEFTSETTINGSFOLDER', 1)"
  # The package for 64-bit Windows replaces the earlier versions of the 32-bit package too
  # (until then the one for the default browser of 64-bit Windows), keeping their settings.
  sql "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('${define[ReplacesUpgradeCode]}', '$version', $((1 | 512)), 'PINCHWELL32_DETECTED')"
  sql "UPDATE \`Property\` SET \`Value\` = 'PINCHWELL32_DETECTED;WIX_UPGRADE_DETECTED;WIX_DOWNGRADE_DETECTED' WHERE \`Property\` = 'SecureCustomProperties'"
fi

mv "$out.tmp" "$out"
rm -rf "$stage"
