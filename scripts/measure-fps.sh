#!/usr/bin/env bash
# Measures the real game from outside: Mesa's own frame counter (GALLIUM_HUD=fps, dumped to a file,
# the graph itself hidden), the process's resident size and the dice in play, in a private Xvfb with
# a 1024 x 768 window. Points: the start scene, then every CHECK_EVERY ended turns of a real match
# (space pressed through xdotool every SPACE_EVERY seconds, which leaves each computer player its
# first move of the turn) up to TURNS; plus start-up to the first frame on screen.
#
#   scripts/measure-fps.sh [binary] [render-mode word]
#   TURNS=480 CHECK_EVERY=40 SPACE_EVERY=0.4 SAMPLE_SECONDS=6 scripts/measure-fps.sh build/kubora
#
# Dice and tiles are counted by reading the running process through gdb (needs the binary's debug
# information, as the default RelWithDebInfo build has; otherwise the columns show "?").
# Output: one table on standard output; the raw figures stay in the printed work folder.
set -euo pipefail
cd "$(dirname "$0")/.."

binary=${1:-build/kubora}
mode=${2:-}
turns=${TURNS:-480}
checkEvery=${CHECK_EVERY:-40}
spaceEvery=${SPACE_EVERY:-0.4}
sampleSeconds=${SAMPLE_SECONDS:-6}

for tool in Xvfb xdotool import gdb; do
  command -v "$tool" >/dev/null || { echo "measure-fps: $tool is not installed (scripts/install-deps.sh)" >&2; exit 1; }
done
[ -x "$binary" ] || { echo "measure-fps: $binary: no such executable; build it first" >&2; exit 1; }

work=$(mktemp -d /tmp/kubora-fps.XXXXXX)
mkdir -p "$work/hud"
xvfb=""
game=""
cleanup() {
  [ -n "$game" ] && kill "$game" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

# A private server; -displayfd hands back a free display number.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "measure-fps: Xvfb did not start (see $work/xvfb.log)" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

now_ms() { echo $(($(date +%s%N) / 1000000)); }

launched=$(now_ms)
# shellcheck disable=SC2086 # the mode word is optional
GALLIUM_HUD=fps GALLIUM_HUD_VISIBLE=false GALLIUM_HUD_DUMP_DIR="$work/hud" \
  "$binary" 1024 768 $mode >"$work/stdout" 2>"$work/stderr" &
game=$!

window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$game" --name '^Kubora$' | head -n1)
[ -n "$window" ] || { echo "measure-fps: no game window (see $work/stderr)" >&2; exit 1; }
# The first frame is on screen once the top left corner shows the status bar over the sky instead
# of the empty window's black.
firstFrame=""
for _ in $(seq 600); do
  pixel=$(import -window "$window" -crop 1x1+2+2 txt:- 2>/dev/null | tail -n1 | grep -o '#[0-9A-F]\{6\}' || true)
  if [ -n "$pixel" ] && [ "$pixel" != "#000000" ]; then
    firstFrame=$(($(now_ms) - launched))
    break
  fi
  sleep 0.01
done

# The dice in play and the tiles owned, read without running code in the game: the application
# pointer, the game and board behind their unique_ptrs (which hold just the pointer), the element
# count of the dice map and the owners of the 64 tiles. Prints "dice owned", or "? ?".
cat >"$work/state.gdb" <<'GDB'
set $a = 'Kubora::(anonymous namespace)::currentApplication'
set $g = *(void**)&$a->game
print (('Kubora::Game' *) $g)->dice._M_h._M_element_count
set $b = *(void**)&$a->board
set $t = (void**)&(('Kubora::Board' *) $b)->tiles
set $n = 0
set $i = 0
while $i < 64
  if (('Kubora::BoardTile' *) $t[$i])->owner != 0
    set $n = $n + 1
  end
  set $i = $i + 1
end
print $n
GDB
gameState() {
  local state
  state=$(gdb -q -batch -p "$game" -x "$work/state.gdb" 2>/dev/null | sed -n 's/^\$[12] = \([0-9]*\)$/\1/p' | tr '\n' ' ')
  [ -n "$state" ] && echo "$state" || echo "? ?"
}

residentMegabytes() {
  awk '/^VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$game/status"
}

# The median of the frame counter's figures over the next sample period (one figure per half
# second by default), after one period is skipped so that no figure straddles the point.
framesPerSecond() {
  local before
  before=$(wc -l <"$work/hud/fps" 2>/dev/null || echo 0)
  sleep "$sampleSeconds"
  tail -n +"$((before + 2))" "$work/hud/fps" | sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "?"; else if (NR % 2) printf "%.1f", v[(NR + 1) / 2]; else printf "%.1f", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

report() {
  local fps rss state
  fps=$(framesPerSecond)
  rss=$(residentMegabytes)
  read -r dice owned <<<"$(gameState)"
  printf '| %s | %s | %s | %s | %s |\n' "$1" "$fps" "$rss" "$dice" "$owned"
}

echo "measure-fps: $binary ${mode:-(vertex buffers)}, 1024x768 on $DISPLAY, work folder $work"
echo "start-up to the first frame: ${firstFrame:-?} ms (window mapped and drawn, polled every 10 ms or so)"
echo "load at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
# Key presses go through the XTEST extension to the focused window, as a keyboard's would.
xdotool windowfocus --sync "$window"

echo "| point | fps (Mesa, median) | RSS MB | dice | tiles owned |"
echo "|---|---|---|---|---|"
sleep 2 # llvmpipe compiles its shader variants during the first frames
report "start scene"
ended=0
fullBoard=no
while [ "$ended" -lt "$turns" ]; do
  xdotool key space
  ended=$((ended + 1))
  sleep "$spaceEvery"
  # The first time every tile is owned is the match's full board.
  if [ "$fullBoard" = no ] && [ $((ended % 5)) -eq 0 ]; then
    read -r _ owned <<<"$(gameState)"
    if [ "$owned" = 64 ]; then
      fullBoard=yes
      report "full board, after $ended ended turns"
    fi
  fi
  if [ $((ended % checkEvery)) -eq 0 ]; then
    report "after $ended ended turns"
  fi
done
echo
echo "load at end: $(cut -d' ' -f1-3 /proc/loadavg)"
