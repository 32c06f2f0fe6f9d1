#!/usr/bin/env bash
# Counts the GL state reads (every glGet* call: a read waits for the commands before it on a threaded
# driver) in each frame of the real game, from a GL call log: the game runs under `apitrace trace` in a
# private X server, idles at its start scene, then SPACES spaces end turns so that the dice pile up, and
# it idles again. Prints the reads per frame of the start frames and of the last frames, each as the
# smallest, median and largest count, with the calls behind the median frame of each.
#
#   scripts/count-gl-reads.sh [binary]
#   SPACES=150 SPACE_EVERY=0.4 IDLE_SECONDS=5 scripts/count-gl-reads.sh build/kubora
#
# Needs apitrace (Debian package apitrace), Xvfb, xvfb-run and xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=${1:-build/kubora}
spaces=${SPACES:-150}
spaceEvery=${SPACE_EVERY:-0.4}
idleSeconds=${IDLE_SECONDS:-5}
fail() {
  echo "count-gl-reads: $*" >&2
  exit 1
}
[[ "$spaces" =~ ^[0-9]+$ ]] || fail "SPACES=\"$spaces\" is not a whole number"
[[ "$spaceEvery" =~ ^[0-9]*\.?[0-9]+$ ]] || fail "SPACE_EVERY=\"$spaceEvery\" is not a number of seconds"
[[ "$idleSeconds" =~ ^[0-9]*\.?[0-9]+$ ]] || fail "IDLE_SECONDS=\"$idleSeconds\" is not a number of seconds"
for tool in apitrace xvfb-run xdotool; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
[ -x "$binary" ] && [ -f "$binary" ] || fail "$binary: no such executable; build it first"
work=$(mktemp -d /tmp/kubora-glreads.XXXXXX)

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -eu
  binary=$1; work=$2; spaces=$3; spaceEvery=$4; idleSeconds=$5
  apitrace trace --output "$work/game.trace" "$binary" 1024 768 > "$work/game.log" 2>&1 &
  tracer=$!
  window=
  for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name "^Kubora$" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
  done
  if [ -z "$window" ]; then
    echo "count-gl-reads: the game window did not appear (see $work/game.log)" >&2
    kill "$tracer"
    exit 1
  fi
  xdotool mousemove --window "$window" 330 560
  sleep "$idleSeconds"
  for _ in $(seq "$spaces"); do
    xdotool windowfocus --sync "$window" key space
    sleep "$spaceEvery"
  done
  sleep "$idleSeconds"
  xdotool windowfocus --sync "$window" key Escape
  wait "$tracer"
' count-gl-reads "$binary" "$work" "$spaces" "$spaceEvery" "$idleSeconds"

# One line per frame: its number and its glGet* calls; a frame ends at the buffer swap.
apitrace dump --color=never "$work/game.trace" | awk -v out="$work/frames.txt" -v calls="$work/calls" '
  /glXSwapBuffers/ { print frame, reads > out; frame++; reads = 0; next }
  / glGet[A-Za-z0-9_]*\(/ {
    reads++
    match($0, /glGet[A-Za-z0-9_]*\([A-Z0-9_]*/)
    print frame, substr($0, RSTART, RLENGTH) > calls
  }'
frames=$(wc -l < "$work/frames.txt")
[ "$frames" -gt 40 ] || fail "only $frames frames in the log (see $work/game.log)"
summary() { # label first last
  awk -v first="$2" -v last="$3" '$1 >= first && $1 <= last { print $2 }' "$work/frames.txt" | sort -n |
    awk -v label="$1" '{ v[NR] = $1 } END { printf "%s: %d frames, reads per frame min %d, median %d, max %d\n", label, NR, v[1], v[int((NR + 1) / 2)], v[NR] }'
}
summary "start (frames 10-29)" 10 29
summary "after $spaces turns (last 20 frames)" $((frames - 20)) $((frames - 1))
median_frame() { # first last: the number of a frame with the median count
  awk -v first="$1" -v last="$2" '$1 >= first && $1 <= last' "$work/frames.txt" | sort -k2,2n -k1,1n |
    awk '{ f[NR] = $1 } END { print f[int((NR + 1) / 2)] }'
}
for range in "10 29" "$((frames - 20)) $((frames - 1))"; do
  # shellcheck disable=SC2086
  frame=$(median_frame $range)
  echo "calls of frame $frame:"
  awk -v f="$frame" '$1 == f { $1 = ""; print }' "$work/calls" | sort | uniq -c | sort -rn
done
echo "log and counts in $work"
