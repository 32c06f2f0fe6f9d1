#!/usr/bin/env bash
# Photographs the game in a private X server: starts build/kubora 1024 768, lets the match run, types
# the given keys (X key names, e.g. F3 F2), waits once more and saves the window as a PNG.
#   scripts/screenshot.sh [output.png] [seconds before the keys] [keys...]
# The README's picture is made with (sixteen spaces hurry the computer players through a few turns):
#   scripts/screenshot.sh docs/screenshot.png 2 $(printf "space %.0s" $(seq 16))
set -eu
cd "$(dirname "$0")/.."
output=${1:-docs/screenshot.png}
seconds=${2:-4}
shift $(($# > 2 ? 2 : $#))
if [ ! -x build/kubora ]; then
  echo "kubora: build/kubora is missing; build it first with: make build" >&2
  exit 1
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  output=$1; seconds=$2; shift 2
  build/kubora 1024 768 > /dev/null &
  game=$!
  window=
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid "$game" --name "^Kubora$" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
  done
  if [ -z "$window" ]; then
    echo "kubora: the game window did not appear" >&2
    kill "$game"
    exit 1
  fi
  # The pointer rests on the blue corner tile, so the spot light shines there.
  xdotool mousemove --window "$window" 330 560
  sleep "$seconds"
  for key in "$@"; do
    xdotool windowfocus --sync "$window" key "$key"
    sleep 0.5
  done
  sleep 1
  import -window "$window" "$output"
  xdotool windowfocus --sync "$window" key Escape
  wait "$game"
' screenshot "$output" "$seconds" "$@"
