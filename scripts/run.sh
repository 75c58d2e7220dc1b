#!/usr/bin/env bash
# Builds the Windows deliverables (x86_64 and i686) and says what it built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
for preset in win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done
echo "Built:"
find build/win64 build/win32 -maxdepth 3 \( -name '*.dll' -o -name '*.exe' \) -not -path '*/tests/*' \
     -not -name '*_tests.exe' -printf '  %p\n' | sort
