#!/usr/bin/env bash
# Draws data/die.dae with two builds of kubora-view (the amd64 one and one for another architecture,
# which runs under qemu-user through binfmt) in one virtual X server each, and compares the pictures
# under the bound for another architecture (scripts/compare-pictures.py). Prints each drawing's time.
#   scripts/draw-die-on-each-architecture.sh REFERENCE_VIEW OTHER_VIEW OUT_FOLDER
# Run from the repository (data/die.dae); each kubora-view finds its shaders as the game does.
set -euo pipefail
if [ $# -ne 3 ]; then
  echo "draw-die-on-each-architecture: usage: REFERENCE_VIEW OTHER_VIEW OUT_FOLDER" >&2
  exit 2
fi
out=$3
mkdir -p "$out"
status=0
for which in reference other; do
  view=$1
  [ $which = other ] && view=$2
  started=$SECONDS
  if ! xvfb-run -a -s "-screen 0 1280x1024x24" "$view" data/die.dae --out "$out/die-$which.png" \
    --size 320x240 >"$out/$which.log" 2>&1; then
    echo "draw-die-on-each-architecture: $view failed:"
    cat "$out/$which.log"
    exit 1
  fi
  echo "draw-die-on-each-architecture: $view ($(file -b "$view" | cut -d, -f2 | sed 's/^ //')) drew the die in $((SECONDS - started)) s"
done
python3 "$(dirname "$0")/compare-pictures.py" "$out/die-reference.png" "$out/die-other.png" || status=$?
exit $status
