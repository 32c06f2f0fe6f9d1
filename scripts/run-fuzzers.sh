#!/usr/bin/env bash
# Runs every fuzz target of a build folder for the given number of seconds each, starting from
# its committed seeds; new inputs collect in the build folder, findings in fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${2:-60}
status=0
for target in "$build"/*Fuzz; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$build/corpus-$name"
  mkdir -p "$corpus"
  echo "== $name for ${seconds}s"
  "$target" "$corpus" "fuzz/seeds/$name" -max_total_time="$seconds" -artifact_prefix=fuzz/ -print_final_stats=1 || status=1
done
exit $status
