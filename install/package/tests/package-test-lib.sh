# Shared by the package tests (sourced): a fresh Wine prefix, msiexec, the product's
# registry keys read from the prefix's system.reg, and where each row of a package lands.
# Needs package.env sourced first.
lib_folder=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The package's places. The package for 64-bit Windows is tested in a 64-bit prefix: its
# program folder is "Program Files", the 32-bit add-on's "Program Files (x86)". The package
# for 32-bit Windows is tested in a 32-bit prefix (WINEARCH=win32): one folder, one
# registry view.
if [ "$arch" = x86 ]; then
  prefix_arch=win32
  program_folders_windows=('C:\Program Files\Kestrune\Pinchwell')
  product_name='Pinchwell for 32-bit Windows'
else
  prefix_arch=win64
  program_folders_windows=('C:\Program Files\Kestrune\Pinchwell' 'C:\Program Files (x86)\Kestrune\Pinchwell')
  product_name='Pinchwell for 64-bit Windows'
fi
windows_folder=${program_folders_windows[0]}
# 32-bit programs (the 32-bit add-on's loader, the 32-bit regsvr32, every program of a
# 32-bit prefix) need 32-bit Wine.
wine32_runs=$(. "$lib_folder/../../../scripts/wine-loader.sh" && echo "$wine32_runs")
skipped_parts=0
skip() {  # skip WHAT: a part that cannot run here; the test then ends as skipped
  echo "skipped: $* (32-bit programs need 32-bit Wine, which this machine cannot run)"
  skipped_parts=$((skipped_parts + 1))
}
# The package for 32-bit Windows has nothing to run without 32-bit Wine.
skip_without_32bit_prefix() {
  if [ "$prefix_arch" = win32 ] && [ "$wine32_runs" != yes ]; then
    skip "the package for 32-bit Windows, in a 32-bit prefix"
    finish
  fi
}

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
expect() {  # expect DESCRIPTION COMMAND...: passes when the command succeeds
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
finish() {
  [ -n "${prefix:-}" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null
  if [ "$failures" -eq 0 ] && [ "$skipped_parts" -gt 0 ]; then
    echo "every check that ran passed; $skipped_parts parts skipped"
    exit 77
  fi
  if [ "$failures" -eq 0 ]; then echo "all checks passed"; exit 0; fi
  echo "$failures checks failed"; exit 1
}

# A fresh prefix of the test's own (of prefix_arch); its server ends when the test does.
# program_folders are the program folders inside it, as program_folders_windows.
fresh_prefix() {
  prefix=$1
  rm -rf "$prefix" "$prefix.lock"
  WINEARCH=$prefix_arch "$wine_run" "$prefix" cmd /c exit >/dev/null 2>&1 </dev/null
  settle
  local folder
  program_folders=()
  for folder in "${program_folders_windows[@]}"; do
    folder=${folder#C:\\}
    program_folders+=("$prefix/drive_c/${folder//\\//}")
  done
  program_folder=${program_folders[0]}
}
wine_in() { WINEPREFIX=$prefix WINEARCH=$prefix_arch WINEDEBUG=-all WINEDLLOVERRIDES=mscoree= "$wine_run" "$prefix" "$@" </dev/null; }
# Every change reaches system.reg once the prefix's server has ended.
settle() { WINEPREFIX=$prefix wineserver -w; }
# shellcheck source=../../../scripts/launch-outcome.sh
. "$lib_folder/../../../scripts/launch-outcome.sh"
# msiexec_qn ARGS...: runs msiexec silently, returns its exit code. Every run starts the
# prefix's server and Wine's boot anew, which under load Wine may fail to launch: a run of
# which Wine wrote only its own launch failure is started again (at most twice, and said).
# A run that fails says its exit code and what was written, for the log.
msiexec_qn() {
  local out rc start
  for start in 1 2 3; do
    out=$(wine_in msiexec "$@" /qn 2>&1)
    rc=$?
    settle
    [ "$start" -lt 3 ] && never_started "$rc" <(printf '%s' "$out") || break
    echo "msiexec started again: Wine did not start it ($(tr -d '\r' <<<"$out" | paste -sd ' '))"
  done
  [ "$rc" -eq 0 ] || echo "msiexec $* /qn ended with $rc${out:+ ($(tr -d '\r' <<<"$out" | paste -sd ' '))}"
  return "$rc"
}
windows_path() { echo "Z:${1//\//\\}"; }

# The lines of system.reg under the product's keys, each "key|value line", sorted: the
# class, the program ids, the application id, the type library, the interface and the
# Browser Helper Objects entry, in both registry views.
product_registry() {
  local clsid=${identities[0]} iid=${identities[1]} libid=${identities[2]} appid=${identities[3]}
  awk -v needles="$clsid|$iid|$libid|$appid|\\\\tessel.dll]|\\\\tessel.tesselimpl" '
    BEGIN { n = split(tolower(needles), needle, "|") }
    /^\[/ {
      key = $0; sub(/^\[/, "", key); sub(/\] [0-9]+$/, "", key); mine = 0
      lower = tolower(key)
      if (lower ~ /^software\\\\(wow6432node\\\\)?microsoft\\\\windows\\\\currentversion\\\\installer/) next
      for (i = 1; i <= n; i++) if (index(lower "]", needle[i]) || index(lower, needle[i])) mine = 1
      if (mine) print key "|"
      next
    }
    mine && /^(@|")/ { print key "|" $0 }
  ' "$prefix/system.reg" | sort
}

# The installed programs called Pinchwell..., in either registry view, one a line:
# "DisplayName|DisplayVersion|Publisher".
installed_programs() {
  awk '
    function flush() { if (name ~ /^Pinchwell/) print name "|" version "|" publisher; name = version = publisher = "" }
    /^\[/ { flush(); inside = tolower($0) ~ /^\[software\\\\(wow6432node\\\\)?microsoft\\\\windows\\\\currentversion\\\\uninstall\\\\/; next }
    inside && /^"DisplayName"=/ { name = $0; sub(/^"DisplayName"="/, "", name); sub(/"$/, "", name) }
    inside && /^"DisplayVersion"=/ { version = $0; sub(/^"DisplayVersion"="/, "", version); sub(/"$/, "", version) }
    inside && /^"Publisher"=/ { publisher = $0; sub(/^"Publisher"="/, "", publisher); sub(/"$/, "", publisher) }
    END { flush() }
  ' "$prefix/system.reg"
}
product_entries() { installed_programs | grep -c .; }
only_installed_program() {  # only_installed_program NAME VERSION: the one entry, by Kestrune
  test "$(installed_programs)" = "$1|$2|Kestrune"
}

# A table of a package: its rows without the three header lines, sorted.
msi_table() { msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4 | sort; }

# The file version in a program file's version resource (the fixed part that Windows reads),
# "major.minor.build.revision", read from the file's bytes. The resources lie behind the code,
# so the last signature is theirs.
fixed_file_version() {
  local at
  at=$(LC_ALL=C grep -obUaP '\xBD\x04\xEF\xFE' "$1" | tail -1 | cut -d: -f1)
  [ -n "$at" ] || return 1
  od -An -tu2 -j $((at + 8)) -N 8 "$1" | awk '{ print $2 "." $1 "." $4 "." $3 }'
}

# msiexec_refused LOG ARGS...: msiexec fails at its launch conditions and writes its log to LOG.
msiexec_refused() {
  local log=$1
  shift
  msiexec_qn "$@" /l "$(windows_path "$log")" && return 1
  grep -aq 'LaunchConditions. Return value 0' "$log"
}

settings_shortcut() {
  find "$prefix/drive_c" -name "Pinchwell Settings.lnk" 2>/dev/null
}

# The value lines that a package's Registry table promises, in the form of product_values,
# for a package installed into the default program folders, each where the registry rules
# place it (registry-views.txt, or the rules file RULES): in a 64-bit prefix, a row of a
# 32-bit component lands in the 32-bit view when the rules redirect its key. With
# components=1 each line starts with "COMPONENT|". The rows of components that a condition
# lays only when a setting is given are left out, unless conditional=1.
expected_registry() {  # expected_registry PACKAGE WORK_FOLDER [RULES]
  local package=$1 tables=$2 rules=${3:-$registry_views}
  mkdir -p "$tables"
  msiinfo export "$package" Component >"$tables/Component.idt"
  msiinfo export "$package" Registry >"$tables/Registry.idt"
  folder="$windows_folder\\" folder32="${program_folders_windows[1]:-}\\" views=$prefix_arch awk -F'\t' '
    function doubled(s,   parts, n, i, out) {
      n = split(s, parts, /\\/); out = parts[1]
      for (i = 2; i <= n; i++) out = out "\\\\" parts[i]
      return out
    }
    function view(path,   lower, r, best, found) {  # the rule of the longest path that contains it
      lower = tolower(path); best = -1
      for (r in rule)
        if ((r == "." || lower == r || index(lower, r "\\") == 1) && length(r) > best) { best = length(r); found = rule[r] }
      return found
    }
    { sub(/\r$/, "") }
    FILENAME == ARGV[1] { if ($0 !~ /^#/ && NF == 2) rule[tolower($1)] = $2; next }
    FNR <= 3 { next }
    FILENAME == ARGV[2] { is64[$1] = int($4 / 256) % 2; given[$1] = $5 != ""; next }
    $4 == "*" || $4 == "+" || (given[$6] && !ENVIRON["conditional"]) { next }
    {
      key = $3; name = $4; value = $5
      path = ($2 == 0 ? "Classes\\" key : substr(key, index(key, "\\") + 1))  # below HKLM\SOFTWARE
      if (!is64[$6] && ENVIRON["views"] == "win64" && view(path) == "redirected")
        path = (tolower(path) ~ /^classes\\/ ? "Classes\\Wow6432Node\\" substr(path, 9) : "Wow6432Node\\" path)
      gsub(/\[#TesselFile\]/, ENVIRON["folder"] "Tessel.dll", value)
      gsub(/\[#Tessel32File\]/, ENVIRON["folder32"] "Tessel.dll", value)
      gsub(/\[INSTALLFOLDER\]/, ENVIRON["folder"], value)
      if (value ~ /^#[0-9]+$/) value = sprintf("dword:%08x", substr(value, 2))
      else value = "\"" doubled(value) "\""
      print (ENVIRON["components"] ? $6 "|" : "") tolower(doubled("Software\\" path)) "|" (name == "" ? "@" : "\"" name "\"") "=" value
    }
  ' "$rules" "$tables/Component.idt" "$tables/Registry.idt" | sort
}
# product_registry's value lines with the keys in lower case (the registry ignores case).
product_values() {
  product_registry | grep -v '|$' | awk -F'|' '{ print tolower($1) "|" substr($0, length($1) + 2) }' | sort
}

# Authenticode. throwaway_signer FOLDER NAME: a self-signed code-signing certificate made
# for one test, FOLDER/NAME.pem, with its key in FOLDER/NAME.p12, whose password is in
# FOLDER/NAME.password.
throwaway_signer() {
  local folder=$1 name=$2
  mkdir -p "$folder"
  openssl rand -hex 12 | tr -d '\n' >"$folder/$name.password"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Pinchwell test signer $name/O=Kestrune" \
    -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
    -keyout "$folder/$name.key" -out "$folder/$name.pem" >/dev/null 2>&1 &&
  openssl pkcs12 -export -inkey "$folder/$name.key" -in "$folder/$name.pem" -out "$folder/$name.p12" \
    -passout "file:$folder/$name.password"
}
signed_by() {  # signed_by CERTIFICATE FILE: FILE's signature verifies against CERTIFICATE
  local said
  said=$(osslsigncode verify -CAfile "$1" -in "$2" 2>&1) || { echo "  $2: $(tail -n 2 <<<"$said" | paste -sd' ')"; return 1; }
}

# Settings given to the package. setting FOLDER KEY: the key's value in FOLDER's config.ini.
setting() { tr -d '\r' <"$1/config.ini" | sed -n "s/^ *$2=//p" | head -1; }
# flash_flags VIEW (64 or 32): the browser's Flash switch in that registry view of the
# prefix, "dword:..." or empty.
flash_flags() {
  local key='software\\\\'
  [ "$1" = 32 ] && [ "$prefix_arch" = win64 ] && key+='wow6432node\\\\'
  key+='microsoft\\\\internet explorer\\\\activex compatibility\\\\{d27cdb6e-ae6d-11cf-96b8-444553540000}'
  awk -v key="[$key]" '
    /^\[/ { inside = index(tolower($0), key) == 1; next }
    inside && /^"Compatibility Flags"=/ { sub(/^"Compatibility Flags"=/, ""); print }
  ' "$prefix/system.reg"
}
# another_build PACKAGE OUT: the same package as another build makes it, a new product of
# the same version, which upgrades the first.
another_build() {
  cp "$1" "$2" &&
  msibuild "$2" -q "UPDATE \`Property\` SET \`Value\` = '{$(cat /proc/sys/kernel/random/uuid | tr a-z A-Z)}' WHERE \`Property\` = 'ProductCode'"
}
# component_registered PACKAGE COMPONENT: Windows Installer has the package's component
# installed on the machine: its packed GUID among the machine's components, with a key path
# for some client (Wine registers a component that it did not install with an empty one).
component_registered() {
  local guid
  guid=$(msi_table "$1" Component | awk -F'\t' -v c="$2" '$1 == c { print $2 }' | tr -d '{}-')
  [ -n "$guid" ] || return 1
  local packed
  packed=$(rev <<<"${guid:0:8}")$(rev <<<"${guid:8:4}")$(rev <<<"${guid:12:4}")
  local i
  for ((i = 16; i < 32; i += 2)); do packed+=${guid:i+1:1}${guid:i:1}; done
  awk -v key="${packed,,}]" '
    /^\[/ { inside = index(tolower($0), key) > 0; next }
    inside && /^"[0-9A-Fa-f]+"="[^"]/ { found = 1 }
    END { exit !found }
  ' "$prefix/system.reg"
}
