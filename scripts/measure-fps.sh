#!/usr/bin/env bash
# Measures the real game from outside: Mesa's own frame counter (GALLIUM_HUD=frametime with
# GALLIUM_HUD_PERIOD=0, the time of every frame dumped to a file, the graph itself hidden), the
# process's resident size and the dice in play, in a private Xvfb with 1024 x 768 windows. Each
# stretch is reported as frames per second over it (frames / their summed time) and its median, 99th
# percentile and worst frame time. Whole processes, one at a time, in one run:
#
# 1. Side by side, ALTERNATIONS times in turn: the renderer's floor (kubora-floor: one window-covering
#    quad through the game's shadow program, nothing else drawn), then a fresh game at its start
#    scene, idle, with the camera orbiting every frame (a right-button drag held and moved to and fro;
#    idle first in odd runs, orbiting first in even ones) and with the spot light following the pointer
#    (the pointer swept to and fro across the board's tiles, no button held). Printed with the ratios
#    start/floor, orbiting/idle and hovering/idle (of frames per second), and their medians.
# 2. A real match: the start scene, then every CHECK_EVERY ended turns (space pressed through xdotool
#    every SPACE_EVERY seconds, which leaves each computer player its first move of the turn) up to
#    TURNS, the first full board on the way, and last a stretch after the last turn in which space is
#    pressed only every FINAL_SPACE_EVERY seconds, so that the computer players play and their dice
#    glide during the sample. Each point also gives the memory per die in play: the growth of the
#    resident size since the start scene over the dice in play. The floor's frame times from part 1
#    (the median of its runs) are printed beside the match's, since the spread of frame times on a
#    shared machine is largely the machine's. Plus start-up to the first frame.
#
#   scripts/measure-fps.sh [binary] [render-mode word]
#   TURNS=480 CHECK_EVERY=40 SPACE_EVERY=0.4 SAMPLE_SECONDS=6 ALTERNATIONS=2 scripts/measure-fps.sh build/kubora
#
# Settings (environment): TURNS (480), CHECK_EVERY (40), SPACE_EVERY (0.4 s), SAMPLE_SECONDS (6),
# ALTERNATIONS (2), FINAL_SPACE_EVERY (2.5 s), FINAL_SECONDS (15), ORBIT_STEP (pixels a step, 1),
# ORBIT_EVERY (seconds between steps, 0.01: more steps than frames, so every frame moves), ORBIT_SWING
# (pixels each way, 24: a drag across the window turns the camera once around, so about 8 degrees, and
# the view stays the start scene's; wide swings turn the board out of view and read as a faster frame),
# HOVER_STEP (pixels a step, 6), HOVER_EVERY (seconds between steps, 0.02), HOVER_SWING (pixels each way,
# 240: across several tiles, so the hovered tile, and with it the spot light, changes every few frames),
# WARM_UP (2 s, for llvmpipe's first shader compilations), FLOOR_BINARY (kubora-floor beside the binary).
#
# Debug mode: PASS_FRAGMENTS_EVERY=N (0, off) runs the match's game and the floor with
# KUBORA_PASS_FRAGMENTS=N, so that every Nth frame is counted pass by pass (each light's depth pass, the
# camera pass or its spot-light rectangle and spotless parts, the sky, the HUD; the floor's one quad)
# and printed to its standard error; the script prints, after its tables, the last such line each
# point of the match and the floor's run got. A counted frame waits for the GL to finish it, so frame
# times in this mode are a little worse than without it.
#
# Dice and tiles are counted by reading the running process through gdb (needs the binary's debug
# information, as the default RelWithDebInfo build has; otherwise the columns show "?").
# Output: tables on standard output; the raw figures stay in the printed work folder.
set -euo pipefail
cd "$(dirname "$0")/.."

binary=${1:-build/kubora}
mode=${2:-}
floorBinary=${FLOOR_BINARY:-$(dirname "$binary")/kubora-floor}
turns=${TURNS:-480}
checkEvery=${CHECK_EVERY:-40}
spaceEvery=${SPACE_EVERY:-0.4}
sampleSeconds=${SAMPLE_SECONDS:-6}
alternations=${ALTERNATIONS:-2}
finalSpaceEvery=${FINAL_SPACE_EVERY:-2.5}
finalSeconds=${FINAL_SECONDS:-15}
orbitStep=${ORBIT_STEP:-1}
orbitSwing=${ORBIT_SWING:-24}
orbitEvery=${ORBIT_EVERY:-0.01}
hoverStep=${HOVER_STEP:-6}
hoverSwing=${HOVER_SWING:-240}
hoverEvery=${HOVER_EVERY:-0.02}
warmUp=${WARM_UP:-2}
passFragmentsEvery=${PASS_FRAGMENTS_EVERY:-0}

fail() {
  echo "measure-fps: $*" >&2
  exit 1
}
wholeNumber() { # name value
  [[ "$2" =~ ^[0-9]+$ ]] || fail "$1=\"$2\" is not a whole number"
}
positiveWhole() {
  wholeNumber "$1" "$2"
  [ "$2" -gt 0 ] || fail "$1=\"$2\" must be at least 1"
}
seconds() { # name value: a positive decimal number
  [[ "$2" =~ ^[0-9]*\.?[0-9]+$ ]] && awk -v v="$2" 'BEGIN { exit !(v > 0) }' ||
    fail "$1=\"$2\" is not a positive number of seconds"
}
wholeNumber TURNS "$turns"
positiveWhole CHECK_EVERY "$checkEvery"
positiveWhole ALTERNATIONS "$alternations"
positiveWhole ORBIT_STEP "$orbitStep"
positiveWhole ORBIT_SWING "$orbitSwing"
positiveWhole HOVER_STEP "$hoverStep"
positiveWhole HOVER_SWING "$hoverSwing"
seconds SPACE_EVERY "$spaceEvery"
seconds SAMPLE_SECONDS "$sampleSeconds"
seconds FINAL_SPACE_EVERY "$finalSpaceEvery"
seconds FINAL_SECONDS "$finalSeconds"
seconds ORBIT_EVERY "$orbitEvery"
seconds HOVER_EVERY "$hoverEvery"
seconds WARM_UP "$warmUp"
wholeNumber PASS_FRAGMENTS_EVERY "$passFragmentsEvery"

for tool in Xvfb xdotool import gdb; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh)"
done
[ -x "$binary" ] && [ -f "$binary" ] || fail "$binary: no such executable; build it first"
[ -x "$floorBinary" ] && [ -f "$floorBinary" ] || fail "$floorBinary: no such executable; build it first (or set FLOOR_BINARY)"

work=$(mktemp -d /tmp/kubora-fps.XXXXXX)
xvfb=""
program=""   # the measured process
mover=""     # the xdotool process that drags or presses keys during a sample
cleanup() {
  local pid
  for pid in $mover $program $xvfb; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
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
[ -s "$work/display" ] || fail "Xvfb did not start (see $work/xvfb.log)"
export DISPLAY=":$(head -n1 "$work/display")"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
load() { cut -d' ' -f1-3 /proc/loadavg; }

# Starts a measured process with the frame counter dumping into a folder of its own and waits for its
# window: launch NAME TITLE COMMAND... sets program, window, hud (the counter's file) and folder. The
# process gets launchEnvironment (NAME=value words) on top of the script's environment.
launches=0
launchEnvironment=()
launch() {
  local name=$1 title=$2
  shift 2
  launches=$((launches + 1))
  folder="$work/$launches-$name"
  mkdir -p "$folder"
  GALLIUM_HUD=frametime GALLIUM_HUD_PERIOD=0 GALLIUM_HUD_VISIBLE=false GALLIUM_HUD_DUMP_DIR="$folder" \
    env "${launchEnvironment[@]}" "$@" >"$folder/stdout" 2>"$folder/stderr" &
  program=$!
  hud="$folder/frametime_(ms)"
  window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$program" --name "^$title\$" | head -n1 || true)
  [ -n "$window" ] || fail "no $name window (see $folder/stderr)"
}

finish() {
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  program=""
}

# The frames of the next sample period (milliseconds, one a line), after one frame is skipped so that
# none straddles the start of the sample: frames per second over the stretch, then the median, 99th
# percentile and worst frame time, as "fps median p99 worst" ("? ? ? ?" without frames).
sampleFrames() {
  local before
  before=$(wc -l <"$hud" 2>/dev/null || echo 0)
  sleep "$1"
  tail -n +"$((before + 2))" "$hud" 2>/dev/null | sort -n | awk '
    { v[NR] = $1; sum += $1 }
    END {
      if (NR == 0 || sum <= 0) { print "? ? ? ?"; exit }
      median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      p99 = v[int(NR * 0.99 + 0.999999) < 1 ? 1 : int(NR * 0.99 + 0.999999)]
      printf "%.1f %.1f %.1f %.1f\n", NR * 1000 / sum, median, p99, v[NR]
    }'
}

ratio() { # a b: a / b, or "?" when either is not a figure
  awk -v a="$1" -v b="$2" 'BEGIN { if (a + 0 > 0 && b + 0 > 0) printf "%.2f", a / b; else print "?" }'
}

median() { # figures... ("?" left out)
  printf '%s\n' "$@" | grep -v '^?$' | sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "?"; else if (NR % 2) printf "%.2f", v[(NR + 1) / 2]; else printf "%.2f", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# The pointer on the window's centre, where it stays for the idle sample and where the drag starts.
pointAtCentre() {
  xdotool mousemove --window "$window" 512 384
}

# One xdotool process for the whole drag (a process per step would take its share of the two cores
# from the game): the right button held, the pointer moved to and fro by ORBIT_STEP pixels every
# ORBIT_EVERY seconds, ORBIT_SWING pixels each way, for a little longer than the sample.
startOrbiting() {
  local stepsEachWay steps chain=() step direction=1
  stepsEachWay=$(((orbitSwing + orbitStep - 1) / orbitStep))
  steps=$(awk -v s="$sampleSeconds" -v e="$orbitEvery" 'BEGIN { print int((s + 2) / e) + 1 }')
  for ((step = 0; step < steps; step++)); do
    [ $((step % stepsEachWay)) -eq 0 ] && [ "$step" -gt 0 ] && direction=$((-direction))
    chain+=(mousemove_relative -- $((direction * orbitStep)) 0 sleep "$orbitEvery")
  done
  xdotool mousedown 3
  xdotool "${chain[@]}" >/dev/null 2>&1 &
  mover=$!
}

# The pointer swept to and fro over the board with no button held, in one xdotool process: the hovered
# tile changes every few frames, and the spot light follows it.
startHovering() {
  local stepsEachWay steps chain=() step direction=1
  stepsEachWay=$(((hoverSwing + hoverStep - 1) / hoverStep))
  steps=$(awk -v s="$sampleSeconds" -v e="$hoverEvery" 'BEGIN { print int((s + 2) / e) + 1 }')
  for ((step = 0; step < steps; step++)); do
    [ $((step % stepsEachWay)) -eq 0 ] && [ "$step" -gt 0 ] && direction=$((-direction))
    chain+=(mousemove_relative -- $((direction * hoverStep)) 0 sleep "$hoverEvery")
  done
  xdotool "${chain[@]}" >/dev/null 2>&1 &
  mover=$!
}

stopHovering() {
  kill "$mover" 2>/dev/null || true
  wait "$mover" 2>/dev/null || true
  mover=""
  pointAtCentre
}

stopOrbiting() {
  kill "$mover" 2>/dev/null || true
  wait "$mover" 2>/dev/null || true
  mover=""
  xdotool mouseup 3
}

echo "measure-fps: $binary ${mode:-(vertex buffers)} beside $floorBinary, 1024x768 on $DISPLAY, work folder $work"
echo "load at start: $(load)"
echo
echo "Side by side, alternating: the floor, the start scene idle, orbiting and hovering (fps over ${sampleSeconds} s; median / p99 / worst frame in ms)"
echo
echo "| run | floor fps | floor frames | start idle fps | idle frames | start orbiting fps | orbiting frames | start hovering fps | hovering frames | start / floor | orbiting / idle | hovering / idle | load |"
echo "|---|---|---|---|---|---|---|---|---|---|---|---|---|"
startRatios=()
movingRatios=()
hoverRatios=()
floorMedians=()
floorP99s=()
floorWorsts=()
# The debug line of each pass's fragments (PASS_FRAGMENTS_EVERY): the last one a process printed so far.
fragmentLines=()
lastFragmentLine() { # label
  local line
  line=$(grep -a 'pass fragments' "$folder/stderr" | tail -n1 || true)
  fragmentLines+=("$1: ${line:-(no line yet)}")
}
debugEnvironment=()
((passFragmentsEvery > 0)) && debugEnvironment=("KUBORA_PASS_FRAGMENTS=$passFragmentsEvery")

for ((run = 1; run <= alternations; run++)); do
  ((run == 1)) && launchEnvironment=("${debugEnvironment[@]}")
  launch floor "Kubora floor" "$floorBinary" 1024 768
  launchEnvironment=()
  sleep "$warmUp"
  read -r floorFps floorMedian floorP99 floorWorst <<<"$(sampleFrames "$sampleSeconds")"
  floorMedians+=("$floorMedian")
  floorP99s+=("$floorP99")
  floorWorsts+=("$floorWorst")
  ((run == 1 && passFragmentsEvery > 0)) && lastFragmentLine "the floor"
  finish

  # shellcheck disable=SC2086 # the mode word is optional
  launch start Kubora "$binary" 1024 768 $mode
  xdotool windowfocus --sync "$window"
  pointAtCentre
  sleep "$warmUp"
  # Idle first in odd runs, orbiting first in even ones, so that neither always has the game's first
  # seconds.
  if ((run % 2 == 1)); then
    read -r idleFps idleMedian idleP99 idleWorst <<<"$(sampleFrames "$sampleSeconds")"
  fi
  startOrbiting
  sleep 0.5 # the first moves turn the view before the sample begins
  read -r movingFps movingMedian movingP99 movingWorst <<<"$(sampleFrames "$sampleSeconds")"
  stopOrbiting
  startHovering
  sleep 0.5
  read -r hoverFps hoverMedian hoverP99 hoverWorst <<<"$(sampleFrames "$sampleSeconds")"
  stopHovering
  if ((run % 2 == 0)); then
    read -r idleFps idleMedian idleP99 idleWorst <<<"$(sampleFrames "$sampleSeconds")"
  fi
  finish

  startRatios+=("$(ratio "$idleFps" "$floorFps")")
  movingRatios+=("$(ratio "$movingFps" "$idleFps")")
  hoverRatios+=("$(ratio "$hoverFps" "$idleFps")")
  printf '| %s | %s | %s / %s / %s | %s | %s / %s / %s | %s | %s / %s / %s | %s | %s / %s / %s | %s | %s | %s | %s |\n' \
    "$run" "$floorFps" "$floorMedian" "$floorP99" "$floorWorst" "$idleFps" "$idleMedian" "$idleP99" "$idleWorst" \
    "$movingFps" "$movingMedian" "$movingP99" "$movingWorst" "$hoverFps" "$hoverMedian" "$hoverP99" "$hoverWorst" \
    "${startRatios[-1]}" "${movingRatios[-1]}" "${hoverRatios[-1]}" "$(load)"
done
printf '| median | | | | | | | | | %s | %s | %s | |\n' "$(median "${startRatios[@]}")" "$(median "${movingRatios[@]}")" \
  "$(median "${hoverRatios[@]}")"
echo
floorFrames="$(median "${floorMedians[@]}") / $(median "${floorP99s[@]}") / $(median "${floorWorsts[@]}")"

# The match, in a fresh game process.
launched=$(now_ms)
# shellcheck disable=SC2086 # the mode word is optional
launchEnvironment=("${debugEnvironment[@]}")
launch match Kubora "$binary" 1024 768 $mode
launchEnvironment=()
game=$program
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

residentKilobytes() {
  awk '/^VmRSS/ { print $2 }' "/proc/$game/status"
}

startResident=""
report() {
  local fps median p99 worst resident state perDie
  read -r fps median p99 worst <<<"$(sampleFrames "$sampleSeconds")"
  resident=$(residentKilobytes)
  read -r dice owned <<<"$(gameState)"
  [ -n "$startResident" ] || startResident=$resident
  perDie=$(awk -v r="$resident" -v s="$startResident" -v d="$dice" 'BEGIN { if (d + 0 > 0) printf "%.2f", (r - s) / d; else print "?" }')
  ((passFragmentsEvery > 0)) && lastFragmentLine "$1"
  printf '| %s | %s | %s / %s / %s | %s | %s | %s | %s | %s |\n' "$1" "$fps" "$median" "$p99" "$worst" \
    "$floorFrames" "$(awk -v r="$resident" 'BEGIN { printf "%.1f", r / 1024 }')" "$dice" "$owned" "$perDie"
}

echo "The match (fps over ${sampleSeconds} s; frames: median / p99 / worst in ms, the floor's from the runs above beside them; KB per die: resident growth since the start scene / dice in play)"
echo "start-up to the first frame: ${firstFrame:-?} ms (window mapped and drawn, polled every 10 ms or so)"
echo
# Key presses go through the XTEST extension to the focused window, as a keyboard's would.
xdotool windowfocus --sync "$window"
pointAtCentre

echo "| point | fps | frames | floor's frames | RSS MB | dice | tiles owned | KB per die |"
echo "|---|---|---|---|---|---|---|---|"
sleep "$warmUp"
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

# The last stretch: space now and then only, one xdotool process pressing it, so that each computer
# turn runs long enough for its moves and their gliding dice; sampled over FINAL_SECONDS.
presses=$(awk -v s="$finalSeconds" -v e="$finalSpaceEvery" 'BEGIN { print int(s / e) + 2 }')
chain=()
for ((press = 0; press < presses; press++)); do
  chain+=(key space sleep "$finalSpaceEvery")
done
xdotool "${chain[@]}" >/dev/null 2>&1 &
mover=$!
sleep 1 # the first computer turn under way
sampleSeconds=$finalSeconds report "after $ended ended turns, computer turns with gliding dice (space every ${finalSpaceEvery} s)"
kill "$mover" 2>/dev/null || true
wait "$mover" 2>/dev/null || true
mover=""
finish
echo
if ((passFragmentsEvery > 0)); then
  echo "Fragments a pass (debug mode: every ${passFragmentsEvery}th frame counted; the last line before each point)"
  echo
  printf '%s\n' "${fragmentLines[@]}"
  echo
fi
echo "load at end: $(load)"
