#!/usr/bin/env bash
# Fails when a source folder includes a header from a folder above it. The folders stand in layers,
# each using only those below it: collada; the engine's own folders math, image, geometry, resources,
# scene and render; setup, game, hud, app; tools, bench, fuzz and tests on top. No source file lies in
# engine/'s root. The tools stand on the engine, the reader and setup alone: they include nothing from
# game/, hud/ or app/, and, given a CMake build folder, their link lines link none of those libraries.
# Usage: scripts/check-layers.sh [ROOT [BUILD]]   (default ROOT: the repository; no BUILD: no link check)
set -u
root=${1:-"$(dirname "$0")/.."}
build=${2:-}
layers=(collada engine/math engine/image engine/geometry engine/resources engine/scene engine/render setup game hud
        app)
top_only="tools bench fuzz tests"
# The highest layer a tool may use.
tools_reach=setup
# The libraries of the layers the tools must not link.
forbidden_for_tools="kubora_game kubora_hud kubora_app"

rank() {
  local i
  for i in "${!layers[@]}"; do
    [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }
  done
  case " $top_only " in *" $1 "*) echo 99 ;; *) echo -1 ;; esac
}

# The layer an include names: its first folder, or its first two inside engine/.
layer_of() {
  case "$1" in
    engine/*/*) local rest=${1#engine/}; echo "engine/${rest%%/*}" ;;
    *) echo "${1%%/*}" ;;
  esac
}

# Each project include of the folder's sources as file:line:path.
includes_of() {
  grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[A-Za-z_-]+/' --include='*.h' --include='*.cpp' "$1" |
    sed -E 's/^([^:]*):([0-9]+):.*#[[:space:]]*include[[:space:]]*"([^"]*)".*$/\1:\2:\3/'
}

status=0
for i in "${!layers[@]}"; do
  folder=${layers[$i]}
  [ -d "$root/$folder" ] || continue
  while IFS=: read -r file line include; do
    target=$(layer_of "$include")
    target_rank=$(rank "$target")
    if [ "$target_rank" -gt "$i" ]; then
      echo "check-layers: ${file#"$root"/}:$line includes \"$target/\", a layer above $folder"
      status=1
    elif [ "$target_rank" -lt 0 ] && [ "${include%%/*}" = engine ]; then
      echo "check-layers: ${file#"$root"/}:$line includes \"$include\", in none of the engine's folders"
      status=1
    fi
  done < <(includes_of "$root/$folder")
done

if [ -d "$root/engine" ]; then
  while read -r file; do
    echo "check-layers: ${file#"$root"/} lies in engine/'s root, not in one of its folders"
    status=1
  done < <(find "$root/engine" -maxdepth 1 -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
fi

if [ -d "$root/tools" ]; then
  reach=$(rank "$tools_reach")
  while IFS=: read -r file line include; do
    target=$(layer_of "$include")
    target_rank=$(rank "$target")
    if [ "$target_rank" -gt "$reach" ] && [ "$target" != tools ]; then
      echo "check-layers: ${file#"$root"/}:$line includes \"$target/\", which the tools do not stand on"
      status=1
    fi
  done < <(includes_of "$root/tools")
fi

# Every tool's link line, as CMake wrote it for the build folder's Makefiles.
if [ -n "$build" ]; then
  for tool_folder in "$root"/tools/*/; do
    tool=$(basename "$tool_folder")
    [ -f "$tool_folder/CMakeLists.txt" ] || continue
    link="$build/tools/$tool/CMakeFiles/$tool.dir/link.txt"
    if [ ! -f "$link" ]; then
      echo "check-layers: no link line for $tool in $build (looked for ${link#"$build"/})"
      status=1
      continue
    fi
    for library in $forbidden_for_tools; do
      if grep -qE "(^|[/ ])lib$library\.a( |$)" "$link"; then
        echo "check-layers: $tool links $library"
        status=1
      fi
    done
  done
fi
exit $status
