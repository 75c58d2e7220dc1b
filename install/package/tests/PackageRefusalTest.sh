#!/usr/bin/env bash
# The package for 32-bit Windows offered to 64-bit Windows (a 64-bit prefix, its 64-bit
# msiexec, which every machine here runs): its launch condition refuses it, and nothing is
# installed. The condition's message names the package for 64-bit Windows; Wine's msiexec
# shows it only in a message box, never in its log, so the test reads it from the package.
#   PackageRefusalTest.sh PACKAGE_ENV WORK_FOLDER   (the package for 32-bit Windows)
set -uo pipefail
source "$1"
work=$2
source "$(dirname "$0")/package-test-lib.sh"
rm -rf "$work" && mkdir -p "$work"
prefix_arch=win64
fresh_prefix "$work/wineprefix"

msiexec_qn /i "$(windows_path "$msi")" /l "$(windows_path "$work/install.log")"
expect "the install fails" test $? -ne 0
expect "the launch conditions refuse it" grep -aq 'LaunchConditions. Return value 0' "$work/install.log"
refusal=$(msiinfo export "$msi" LaunchCondition | grep -a 'VersionNT64')
expect "the refusal names the package for 64-bit Windows" \
  grep -q "install Pinchwell for 64-bit Windows, Pinchwell-$version-64-bit-Windows.msi" <<<"$refusal"
expect "no file is installed" test -z "$(find "$prefix/drive_c" -path '*Kestrune*' -type f)"
expect "no registry key of the product is written" test -z "$(product_registry)"
expect "no entry in the installed programs" test "$(product_entries)" -eq 0

finish
