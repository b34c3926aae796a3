#!/usr/bin/env bash
# Runs the page test: installs playwright-core from the lock file into the build folder (npm ci,
# only when node_modules is missing or the lock file changed), then drives the page in Chromium.
# Usage: run.sh SOURCE_DIR BUILD_DIR VIZMORA   (exits 77, a skip, when the program has no --remote)
set -euo pipefail
source=$1 build=$2 vizmora=$3

if ! "$vizmora" --help 2>&1 | grep -q -- '--remote'; then
  echo "page test: skipped, this vizmora has no --remote"
  exit 77
fi

mkdir -p "$build"
cp "$source/package.json" "$source/package-lock.json" "$source/page-test.mjs" "$build/"
stamp="$build/node_modules/.vizmora-lock"
if ! cmp -s "$source/package-lock.json" "$stamp"; then
  (cd "$build" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --prefer-offline --no-audit --no-fund)
  cp "$source/package-lock.json" "$stamp"
fi
cd "$build"
exec node page-test.mjs "$vizmora"
