# Shared by the package tests (sourced): a fresh Wine prefix, msiexec, and the
# product's registry keys read from the prefix's system.reg.
# Needs package.env sourced first.

# The package's places on 64-bit Windows: the x86 package goes to the 32-bit Program
# Files folder and writes the 32-bit registry view.
if [ "$arch" = x86 ]; then
  program_files='Program Files (x86)'
  uninstall_key='Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\'
else
  program_files='Program Files'
  uninstall_key='Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\'
fi
windows_folder="C:\\$program_files\\Kestrune\\Pinchwell"
# 32-bit programs (the x86 settings program, the 32-bit regsvr32) need 32-bit Wine.
wine32_runs=$(. "$(dirname "$wine_run")/wine-loader.sh" && echo "$wine32_runs")
runs_here() { [ "$arch" = x64 ] || [ "$wine32_runs" = yes ]; }
skipped_parts=0
skip() {  # skip WHAT: a part that cannot run here; the test then ends as skipped
  echo "skipped: $* (32-bit programs need 32-bit Wine, which this kernel cannot run)"
  skipped_parts=$((skipped_parts + 1))
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

# A fresh prefix of the test's own; its server ends when the test does.
fresh_prefix() {
  prefix=$1
  rm -rf "$prefix" "$prefix.lock"
  "$wine_run" "$prefix" cmd /c exit >/dev/null 2>&1 </dev/null
  settle
  program_folder="$prefix/drive_c/$program_files/Kestrune/Pinchwell"
}
wine_in() { WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree= "$wine_run" "$prefix" "$@" </dev/null; }
# Every change reaches system.reg once the prefix's server has ended.
settle() { WINEPREFIX=$prefix wineserver -w; }
msiexec_qn() {  # msiexec_qn ARGS...: runs msiexec silently, returns its exit code
  wine_in msiexec "$@" /qn >/dev/null 2>&1
  local rc=$?
  settle
  return $rc
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
      if (lower ~ /^software\\\\microsoft\\\\windows\\\\currentversion\\\\installer/) next
      for (i = 1; i <= n; i++) if (index(lower "]", needle[i]) || index(lower, needle[i])) mine = 1
      if (mine) print key "|"
      next
    }
    mine && /^(@|")/ { print key "|" $0 }
  ' "$prefix/system.reg" | sort
}

# The entry in the list of installed programs: its DisplayName and DisplayVersion lines.
installed_programs() {
  key="[$uninstall_key" awk '
    /^\[/ { inside = (index($0, ENVIRON["key"]) == 1); next }
    inside && /^"(DisplayName|DisplayVersion|Publisher)"=/ { print }
  ' "$prefix/system.reg"
}
product_entries() { installed_programs | grep -c '^"DisplayName"="Pinchwell"$'; }

settings_shortcut() {
  find "$prefix/drive_c" -name "Pinchwell Settings.lnk" 2>/dev/null
}

# The value lines that the package's Registry table promises, in the form of
# product_registry, for a package installed into the default program folder.
expected_registry() {
  local package=$1 tables=$2
  mkdir -p "$tables"
  msiinfo export "$package" Component >"$tables/Component.idt"
  msiinfo export "$package" Registry >"$tables/Registry.idt"
  folder="$windows_folder\\" awk -F'\t' '
    function doubled(s,   parts, n, i, out) {
      n = split(s, parts, /\\/); out = parts[1]
      for (i = 2; i <= n; i++) out = out "\\\\" parts[i]
      return out
    }
    { sub(/\r$/, "") }
    FNR <= 3 { next }
    FILENAME ~ /Component.idt$/ { is64[$1] = int($4 / 256) % 2; next }
    $4 == "*" || $4 == "+" { next }
    {
      folder = ENVIRON["folder"]; key = $3; name = $4; value = $5
      # 32-bit components write the 32-bit view, but for the keys both views share.
      shared = tolower(key) ~ /^(appid|typelib)\\/
      if ($2 == 0) key = (is64[$6] || shared ? "Software\\Classes\\" : "Software\\Classes\\Wow6432Node\\") key
      if ($2 == 2 && !is64[$6]) { sub(/^[Ss][Oo][Ff][Tt][Ww][Aa][Rr][Ee]\\/, "", key); key = "Software\\Wow6432Node\\" key }
      gsub(/\[#TesselFile\]/, folder "Tessel.dll", value)
      gsub(/\[INSTALLFOLDER\]/, folder, value)
      if (value ~ /^#[0-9]+$/) value = sprintf("dword:%08x", substr(value, 2))
      else value = "\"" doubled(value) "\""
      print tolower(doubled(key)) "|" (name == "" ? "@" : "\"" name "\"") "=" value
    }
  ' "$tables/Component.idt" "$tables/Registry.idt" | sort
}
# product_registry's value lines with the keys in lower case (the registry ignores case).
product_values() {
  product_registry | grep -v '|$' | awk -F'|' '{ print tolower($1) "|" substr($0, length($1) + 2) }' | sort
}
