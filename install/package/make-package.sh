#!/usr/bin/env bash
# Builds one Pinchwell MSI package with wixl, then adds with msibuild the rows that
# wixl cannot write (see README.md beside this script).
#
#   make-package.sh OUTPUT.msi WXS ARCH VERSION UPGRADE_CODE MAKER_FOLDER_GUID \
#                   SHARED_GUID CLASS_ID INTERFACE_ID LIBRARY_ID APP_ID FILE...
#
# ARCH is x64 or x86; the GUIDs are braced (UPGRADE_CODE and MAKER_FOLDER_GUID are the
# architecture's own; SHARED_GUID is the component that both packages hold); FILE... are the seven files of
# the program folder, staged under their own names.
set -euo pipefail
out=$(realpath -m "$1") wxs=$(realpath "$2") arch=$3 version=$4 upgrade=$5 maker=$6 shared=$7
clsid=$8 iid=$9 libid=${10} appid=${11}
shift 11

stage="$out.stage"
rm -rf "$stage" && mkdir -p "$stage"
for file in "$@"; do cp "$file" "$stage/"; done
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

if [ "$arch" = x64 ]; then bits64=256; else bits64=0; fi
# Settings: never overwritten by a repair or an upgrade (NeverOverwrite), never removed
# with its component (Permanent); the RemoveFile row below removes it when unchanged.
settings_attributes=$((bits64 | 16 | 128))

wixl -a "$arch" -D Version="$version" -D Arch="$arch" -D UpgradeCode="$upgrade" \
     -D MakerFolderGuid="$maker" -D SharedGuid="$shared" -D SourceDir=. \
     -D ClassId="$clsid" -D InterfaceId="$iid" -D LibraryId="$libid" -D AppId="$appid" \
     -o "$out.tmp" "$wxs"

# Windows Installer compares only the first three fields of a product version, so 1.0.0.1
# is no upgrade of 1.0.0.0 unless the upper bound of the versions it replaces is
# inclusive (WiX's AllowSameVersionUpgrades, which wixl lacks).
msibuild "$out.tmp" -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
msibuild "$out.tmp" -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('$upgrade', '$version', $((1 | 512)), 'WIX_UPGRADE_DETECTED')"
msibuild "$out.tmp" -q "UPDATE \`Component\` SET \`Attributes\` = $settings_attributes WHERE \`Component\` = 'Settings'"
# The class's Programmable key has no value: created at install, removed at uninstall.
msibuild "$out.tmp" -q "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \`Component_\`) VALUES ('ProgrammableKey', 0, 'CLSID\\$clsid\\Programmable', '*', 'AddonLibrary')"
msibuild "$out.tmp" -q "CREATE TABLE \`DrLocator\` (\`Signature_\` CHAR(72) NOT NULL, \`Parent\` CHAR(72), \`Path\` CHAR(255), \`Depth\` SHORT PRIMARY KEY \`Signature_\`, \`Parent\`, \`Path\`)"
msibuild "$out.tmp" -q "INSERT INTO \`DrLocator\` (\`Signature_\`, \`Path\`, \`Depth\`) VALUES ('PristineSettings', '[INSTALLFOLDER]', 0)"
msibuild "$out.tmp" -q "INSERT INTO \`Signature\` (\`Signature\`, \`FileName\`, \`MinSize\`, \`MaxSize\`, \`MinDate\`, \`MaxDate\`) VALUES ('PristineSettings', 'config.ini', $config_size, $config_size, $date_min, $date_max)"
msibuild "$out.tmp" -q "INSERT INTO \`AppSearch\` (\`Property\`, \`Signature_\`) VALUES ('PRISTINESETTINGS', 'PristineSettings')"
msibuild "$out.tmp" -q "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('MarkPristineSettings', 51, 'PRISTINESETTINGSFOLDER', '[INSTALLFOLDER]')"
# The search needs the resolved program folder, so it follows CostFinalize.
msibuild "$out.tmp" -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('AppSearch', 1001)"
msibuild "$out.tmp" -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`) VALUES ('MarkPristineSettings', 'PRISTINESETTINGS', 1002)"
msibuild "$out.tmp" -q "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`) VALUES ('RemovePristineSettings', 'SettingsProgram', 'config.ini', 'PRISTINESETTINGSFOLDER', 2)"

mv "$out.tmp" "$out"
rm -rf "$stage"
