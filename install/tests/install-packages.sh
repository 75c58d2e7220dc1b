#!/usr/bin/env bash
# Installs the npm packages of the preview page tests, at the versions package-lock.json
# names, into FOLDER/node_modules: only when they are missing or the lock file changed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dest=${1:?usage: install-packages.sh FOLDER}
mkdir -p "$dest"
for file in package.json package-lock.json; do
  cmp -s "$here/$file" "$dest/$file" || cp "$here/$file" "$dest/$file"
done
stamp=$dest/node_modules/.package-lock.json
if [ ! -e "$stamp" ] || [ "$dest/package-lock.json" -nt "$stamp" ]; then
  npm ci --prefix "$dest" --no-audit --no-fund --loglevel=error
fi
