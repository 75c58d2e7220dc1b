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
# The searches decide which component lays config.ini, so they come before costing, and
# look in the folders where the add-ons and the settings program find the file (the
# settings store builds its path from the Program Files folder, whatever INSTALLFOLDER is).
sql "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('AppSearch', 50)"
program_folder='[ProgramFilesFolder]Kestrune\Pinchwell\'
[ "$arch" = x64 ] && program_folder='[ProgramFiles64Folder]Kestrune\Pinchwell\'
program_folder32='[ProgramFilesFolder]Kestrune\Pinchwell\'

# add_settings_search SIGNATURE FOLDER [shipped]: AppSearch sets the property SIGNATURE in
# upper case when that program folder holds a config.ini; with "shipped" only when the
# file has the size and date of the shipped one.
add_settings_search() {
  sql "INSERT INTO \`DrLocator\` (\`Signature_\`, \`Path\`, \`Depth\`) VALUES ('$1', '$2', 0)"
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
add_settings_search PristineSettings "$program_folder" shipped
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
  add_settings_search SettingsFound "$program_folder"
  add_settings_search SettingsFound32 "$program_folder32"
  add_settings_search PristineSettings32 "$program_folder32" shipped
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

# An upgrade removes the earlier version after costing has decided, by NeverOverwrite, not
# to lay config.ini over the one that exists; when that one is still the shipped file, the
# earlier version's removal deletes it. So the shipped file found before costing (and not
# about to be replaced by a moved one) is laid by a component that overwrites it.
relaid='WIX_UPGRADE_DETECTED AND PRISTINESETTINGS'
[ "$arch" = x64 ] && relaid="$relaid AND NOT (SETTINGSFOUND32 AND NOT PRISTINESETTINGS32)"
sql "UPDATE \`Component\` SET \`Condition\` = 'NOT ($relaid)' WHERE \`Component\` = 'Settings'"
sql "UPDATE \`Component\` SET \`Condition\` = '$relaid', \`Attributes\` = $((settings_attributes & ~128)) WHERE \`Component\` = 'RelaidSettings'"
# Unversioned and without a hash, it replaces the file whose dates say it was not changed.
sql "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = 'RelaidConfigFile'"

# Settings given as properties (see README.md): each is checked by a launch condition before
# anything changes, and written by a component of its own, installed only when it is given,
# at a first install or an upgrade. The components are permanent: removing the product, or
# the earlier version at an upgrade, keeps the settings, as it keeps config.ini.
declare -A setting_guid
if [ "$arch" = x64 ]; then
  setting_guid=([SettingEnable]='{C26EA768-9D37-4CDB-ABC8-28D4C568E871}' [SettingZoom]='{E9FDE752-452F-407E-9DCF-DABF2FD51432}'
                [SettingTapReset]='{09661470-F2E9-4542-AFD8-2676813E8809}' [SettingFlash]='{5C967B20-CB7D-4CEC-A287-3E5A379AAF06}'
                [SettingFlash32]='{3A29F85E-F07F-40E2-9C33-AE15F36FAF79}')
else
  setting_guid=([SettingEnable]='{648D7EA4-B6A7-4424-A3D4-424C7B9062DD}' [SettingZoom]='{9CC5C594-4E55-4938-811A-2C7B0C3DD42F}'
                [SettingTapReset]='{7C483F2A-9044-49FF-84B9-7B297E49FC33}' [SettingFlash]='{58D09B13-0DAD-41FA-9D55-9243C33E20C3}')
fi
setting_attributes=16
[ "$arch" = x64 ] && setting_attributes=$((256 | 16))
add_setting_component() {  # add_setting_component NAME CONDITION [FOLDER [ATTRIBUTES]]
  sql "INSERT INTO \`Component\` (\`Component\`, \`ComponentId\`, \`Directory_\`, \`Attributes\`, \`Condition\`) VALUES ('$1', '${setting_guid[$1]}', '${3:-INSTALLFOLDER}', ${4:-$setting_attributes}, '$2')"
  sql "INSERT INTO \`FeatureComponents\` (\`Feature_\`, \`Component_\`) VALUES ('Pinchwell', '$1')"
}
add_setting_line() {  # add_setting_line COMPONENT KEY VALUE
  sql "INSERT INTO \`IniFile\` (\`IniFile\`, \`FileName\`, \`DirProperty\`, \`Section\`, \`Key\`, \`Value\`, \`Action\`, \`Component_\`) VALUES ('$2', 'config.ini', 'INSTALLFOLDER', 'Pinchwell', '$2', '$3', 0, '$1')"
}
refuse_unless() {  # refuse_unless NAME CONDITION MESSAGE: a launch condition
  sql "INSERT INTO \`LaunchCondition\` (\`Condition\`, \`Description\`) VALUES ('$2', '$3')"
}
set_property() {  # set_property ACTION PROPERTY VALUE CONDITION: a type 51 action before costing
  sql "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('$1', 51, '$2', '$3')"
  sql "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`) VALUES ('$1', '$4', $((next_set_sequence++)))"
}
next_set_sequence=110
sql "CREATE TABLE \`IniFile\` (\`IniFile\` CHAR(72) NOT NULL, \`FileName\` CHAR(255) NOT NULL LOCALIZABLE, \`DirProperty\` CHAR(72), \`Section\` CHAR(96) NOT NULL LOCALIZABLE, \`Key\` CHAR(128) NOT NULL LOCALIZABLE, \`Value\` CHAR(255) NOT NULL LOCALIZABLE, \`Action\` SHORT NOT NULL, \`Component_\` CHAR(72) NOT NULL PRIMARY KEY \`IniFile\`)"
# Lines are written at a first install or an upgrade only: a repair leaves the file alone.
sql "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`) VALUES ('WriteIniValues', 'NOT Installed', 5100)"

given='ENABLE OR MINZOOM OR MAXZOOM OR TAPRESET OR FLASH'
refuse_unless Maintenance "NOT Installed OR REMOVE OR NOT ($given)" \
  'ENABLE, MINZOOM, MAXZOOM, TAPRESET and FLASH take effect when Pinchwell is installed or upgraded, not when it is already installed: change the settings with the Pinchwell settings program, or install a newer Pinchwell package with them.'
for switch in ENABLE TAPRESET; do
  refuse_unless "$switch" "NOT $switch OR $switch = \"1\" OR $switch = \"0\"" "$switch accepts 1 (on) or 0 (off)."
done
refuse_unless FLASH 'NOT FLASH OR FLASH ~= "allow" OR FLASH ~= "block"' 'FLASH accepts allow or block.'
for bound in MINZOOM MAXZOOM; do
  # A value that is no whole number compares false with a number (and atol reads a whole
  # number with a sign or leading zeros as the installer does).
  refuse_unless "$bound" "NOT $bound OR ($bound >= 100 AND $bound <= 500)" \
    "$bound accepts a whole number of percent from 100 to 500."
done
# The installed file cannot be read before the install, so a bound given alone could cross
# the other one; both are given together.
refuse_unless ZOOM '(MINZOOM AND MAXZOOM) OR (NOT MINZOOM AND NOT MAXZOOM)' 'MINZOOM and MAXZOOM are given together.'
refuse_unless ZOOMORDER 'NOT MINZOOM OR MINZOOM < MAXZOOM' 'MINZOOM accepts a value below MAXZOOM.'

set_property SetEnableOn ENABLEVALUE TRUE 'ENABLE = "1"'
set_property SetEnableOff ENABLEVALUE FALSE 'ENABLE = "0"'
set_property SetTapResetOn TAPRESETVALUE TRUE 'TAPRESET = "1"'
set_property SetTapResetOff TAPRESETVALUE FALSE 'TAPRESET = "0"'
# The settings program writes EnableFlash beside the browser's switch: the kill bit blocks.
set_property SetFlashAllowed FLASHVALUE TRUE 'FLASH ~= "allow"'
set_property SetFlashBlocked FLASHVALUE FALSE 'FLASH ~= "block"'
set_property SetFlashAllowedFlags FLASHFLAGS '#0' 'FLASH ~= "allow"'
set_property SetFlashBlockedFlags FLASHFLAGS '#1024' 'FLASH ~= "block"'
# A repair rewrites the registry rows of the switch that an install wrote: with the flags the
# browser has then, so that it keeps the user's choice.
flash_key='SOFTWARE\Microsoft\Internet Explorer\ActiveX Compatibility\{D27CDB6E-AE6D-11CF-96B8-444553540000}'
flags_search_type=2
[ "$arch" = x64 ] && flags_search_type=$((2 | 16))
sql "INSERT INTO \`RegLocator\` (\`Signature_\`, \`Root\`, \`Key\`, \`Name\`, \`Type\`) VALUES ('FlashFlagsFound', 2, '$flash_key', 'Compatibility Flags', $flags_search_type)"
sql "INSERT INTO \`AppSearch\` (\`Property\`, \`Signature_\`) VALUES ('FLASHFLAGSFOUND', 'FlashFlagsFound')"
set_property KeepFlashFlags FLASHFLAGS '[FLASHFLAGSFOUND]' 'Installed AND FLASHFLAGSFOUND'
set_property KeepFlashAllowed FLASHFLAGS '#0' 'Installed AND NOT FLASHFLAGSFOUND'

add_setting_component SettingEnable ENABLE
add_setting_line SettingEnable Enable '[ENABLEVALUE]'
add_setting_component SettingZoom MINZOOM
add_setting_line SettingZoom MinZoomRange '[MINZOOM]'
add_setting_line SettingZoom MaxZoomRange '[MAXZOOM]'
add_setting_component SettingTapReset TAPRESET
add_setting_line SettingTapReset TwoFingerTap2Zoom100 '[TAPRESETVALUE]'
add_setting_component SettingFlash FLASH
add_setting_line SettingFlash EnableFlash '[FLASHVALUE]'
add_flash_flags() {  # add_flash_flags COMPONENT: the switch in the component's registry view
  sql "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \`Value\`, \`Component_\`) VALUES ('FlashFlags$1', 2, '$flash_key', 'Compatibility Flags', '[FLASHFLAGS]', '$1')"
}
add_flash_flags SettingFlash
if [ "$arch" = x64 ]; then
  # The default browser of 64-bit Windows reads the 32-bit view.
  add_setting_component SettingFlash32 FLASH INSTALLFOLDER32 16
  add_flash_flags SettingFlash32
fi
# Passed to the installation's server side from the command line of an elevated install.
secure=$(msiinfo export "$out.tmp" Property | tr -d '\r' | awk -F'\t' '$1 == "SecureCustomProperties" { print $2 }')
sql "UPDATE \`Property\` SET \`Value\` = '$secure;ENABLE;MINZOOM;MAXZOOM;TAPRESET;FLASH' WHERE \`Property\` = 'SecureCustomProperties'"

mv "$out.tmp" "$out"
rm -rf "$stage"
