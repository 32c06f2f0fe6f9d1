#!/usr/bin/env bash
# Runs every benchmark executable of a build folder from the source folder, with a display.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
status=0
for bench in "$build"/*Bench; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  scripts/with-display.sh "$bench" || status=1
done
exit $status
