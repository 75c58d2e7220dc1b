#!/usr/bin/env bash
# The Windows 7 import check turns away what Windows 7 cannot load and lets the rest
# through: each case links a small program that imports one function from one library
# (import libraries made with dlltool), runs scripts/check-imports.sh on it and compares
# its verdict and reason. Prints "ok CASE" or "FAIL CASE" per case; exits non-zero on any FAIL.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# arch | library | function | extra linker flags | "ok", or what the check must say
cases='
x86_64 | kernel32.dll      | GetTickCount64                 |                | ok
x86_64 | user32.dll        | RegisterTouchWindow            |                | ok
i686   | kernel32.dll      | GetTickCount64                 |                | ok
x86_64 | kernel32.dll      | GetSystemTimePreciseAsFileTime |                | imports GetSystemTimePreciseAsFileTime from kernel32.dll
i686   | kernel32.dll      | GetSystemTimePreciseAsFileTime |                | imports GetSystemTimePreciseAsFileTime from kernel32.dll
x86_64 | kernel32.dll      | SetThreadDescription           |                | imports SetThreadDescription from kernel32.dll
x86_64 | user32.dll        | GetPointerInfo                 |                | imports GetPointerInfo from user32.dll
x86_64 | api-ms-win-core-synch-l1-2-0.dll | WaitOnAddress   |                | imports the API set api-ms-win-core-synch-l1-2-0.dll
x86_64 | libwinpthread-1.dll | pthread_create               |                | imports libwinpthread-1.dll, which
i686   | libgcc_s_dw2-1.dll | __udivdi3                     |                | imports libgcc_s_dw2-1.dll, which
x86_64 | libstdc++-6.dll   | _ZdlPv                         |                | imports libstdc++-6.dll, which
x86_64 | ucrtbase.dll      | _initialize_onexit_table       |                | imports ucrtbase.dll, which
x86_64 | kernel32.dll      | GetTickCount64 | -Wl,--major-subsystem-version,6,--minor-subsystem-version,2 | subsystem version 6.2
'

status=0
n=0
while IFS='|' read -r arch dll func flags expected; do
  arch=$(xargs <<<"$arch")
  [ -n "$arch" ] || continue
  dll=$(xargs <<<"$dll"); func=$(xargs <<<"$func"); flags=$(xargs <<<"$flags"); expected=$(xargs <<<"$expected")
  n=$((n + 1))
  dir="$work/$n"; mkdir -p "$dir"
  # i686 names stdcall functions with their argument size; the library exports them bare.
  symbol=$func; kill_at=()
  [ "$arch" = i686 ] && { symbol="$func@0"; kill_at=(-k); }
  printf 'LIBRARY "%s"\nEXPORTS\n  %s\n' "$dll" "$symbol" >"$dir/case.def"
  printf '__declspec(dllimport) void __stdcall %s(void);\nint main(void) { %s(); return 0; }\n' \
    "$func" "$func" >"$dir/case.c"
  read -ra flag_args <<<"$flags"
  name="$arch $dll!$func${flags:+ $flags}: $expected"
  if ! "$arch-w64-mingw32-dlltool" "${kill_at[@]}" -d "$dir/case.def" -l "$dir/libcase.a" ||
     ! "$arch-w64-mingw32-gcc" -o "$dir/case.exe" "$dir/case.c" -L"$dir" -lcase "${flag_args[@]}"; then
    echo "FAIL $name (the case did not build)"
    status=1
    continue
  fi
  bash "$root/scripts/check-imports.sh" "$dir/case.exe" >"$dir/out"
  checked=$?
  if { [ "$expected" = ok ] && [ $checked -eq 0 ]; } ||
     { [ "$expected" != ok ] && [ $checked -ne 0 ] && grep -qF -- "$expected" "$dir/out"; }; then
    echo "ok $name"
  else
    echo "FAIL $name, got:"
    sed 's/^/  /' "$dir/out"
    status=1
  fi
done <<<"$cases"
exit $status
