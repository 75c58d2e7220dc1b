#!/usr/bin/env bash
# The package script of the earlier packages, as shipped (comments left out): one package
# per add-on flavour, x64 or x86, each with its own program folder. Users have them
# installed, so the package tests build them (as version 1.0.0.0, from today's binaries)
# to install before upgrading; nothing else uses this folder. Its arguments:
#   make-package.sh OUTPUT.msi WXS ARCH VERSION UPGRADE_CODE MAKER_FOLDER_GUID \
#                   SHARED_GUID CLASS_ID INTERFACE_ID LIBRARY_ID APP_ID FILE...
set -euo pipefail
out=$(realpath -m "$1") wxs=$(realpath "$2") arch=$3 version=$4 upgrade=$5 maker=$6 shared=$7
clsid=$8 iid=$9 libid=${10} appid=${11}
shift 11
stage="$out.stage"
rm -rf "$stage" && mkdir -p "$stage"
for file in "$@"; do cp "$file" "$stage/"; done
cd "$stage"  # wixl finds sources relative to its working folder
touch -d "2010-03-01 12:00:00" "$stage/config.ini"
config_size=$(stat -c %s "$stage/config.ini")
dos_date() {  # MSI packed date: DOS date in the high word, DOS time in the low word
  echo $(( ((($1 - 1980) << 9 | $2 << 5 | $3) << 16) | ($4 << 11) ))
}
date_min=$(dos_date 2010 2 28 12)
date_max=$(dos_date 2010 3 2 12)
if [ "$arch" = x64 ]; then bits64=256; else bits64=0; fi
settings_attributes=$((bits64 | 16 | 128))
wixl -a "$arch" -D Version="$version" -D Arch="$arch" -D UpgradeCode="$upgrade" \
     -D MakerFolderGuid="$maker" -D SharedGuid="$shared" -D SourceDir=. \
     -D ClassId="$clsid" -D InterfaceId="$iid" -D LibraryId="$libid" -D AppId="$appid" \
     -o "$out.tmp" "$wxs"
msibuild "$out.tmp" -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
msibuild "$out.tmp" -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('$upgrade', '$version', $((1 | 512)), 'WIX_UPGRADE_DETECTED')"
msibuild "$out.tmp" -q "UPDATE \`Component\` SET \`Attributes\` = $settings_attributes WHERE \`Component\` = 'Settings'"
msibuild "$out.tmp" -q "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \`Component_\`) VALUES ('ProgrammableKey', 0, 'CLSID\\$clsid\\Programmable', '*', 'AddonLibrary')"
msibuild "$out.tmp" -q "CREATE TABLE \`DrLocator\` (\`Signature_\` CHAR(72) NOT NULL, \`Parent\` CHAR(72), \`Path\` CHAR(255), \`Depth\` SHORT PRIMARY KEY \`Signature_\`, \`Parent\`, \`Path\`)"
msibuild "$out.tmp" -q "INSERT INTO \`DrLocator\` (\`Signature_\`, \`Path\`, \`Depth\`) VALUES ('PristineSettings', '[INSTALLFOLDER]', 0)"
msibuild "$out.tmp" -q "INSERT INTO \`Signature\` (\`Signature\`, \`FileName\`, \`MinSize\`, \`MaxSize\`, \`MinDate\`, \`MaxDate\`) VALUES ('PristineSettings', 'config.ini', $config_size, $config_size, $date_min, $date_max)"
msibuild "$out.tmp" -q "INSERT INTO \`AppSearch\` (\`Property\`, \`Signature_\`) VALUES ('PRISTINESETTINGS', 'PristineSettings')"
msibuild "$out.tmp" -q "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('MarkPristineSettings', 51, 'PRISTINESETTINGSFOLDER', '[INSTALLFOLDER]')"
msibuild "$out.tmp" -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('AppSearch', 1001)"
msibuild "$out.tmp" -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`) VALUES ('MarkPristineSettings', 'PRISTINESETTINGS', 1002)"
msibuild "$out.tmp" -q "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`) VALUES ('RemovePristineSettings', 'SettingsProgram', 'config.ini', 'PRISTINESETTINGSFOLDER', 2)"
mv "$out.tmp" "$out"
rm -rf "$stage"
