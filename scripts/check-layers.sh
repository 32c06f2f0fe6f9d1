#!/usr/bin/env bash
# Fails when a source folder includes a header from a folder above it. The folders stand in layers,
# each using only those below it: collada, engine, game, hud, app; tools, bench, fuzz and tests on top.
# Usage: scripts/check-layers.sh [ROOT]   (default: the repository)
set -u
root=${1:-"$(dirname "$0")/.."}
layers=(collada engine game hud app)
top_only="tools bench fuzz tests"

rank() {
  local i
  for i in "${!layers[@]}"; do
    [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }
  done
  case " $top_only " in *" $1 "*) echo 99 ;; *) echo -1 ;; esac
}

status=0
for i in "${!layers[@]}"; do
  folder=${layers[$i]}
  [ -d "$root/$folder" ] || continue
  while IFS=: read -r file line include; do
    target=${include#*\"}
    target=${target%%/*}
    target_rank=$(rank "$target")
    if [ "$target_rank" -gt "$i" ]; then
      echo "check-layers: ${file#"$root"/}:$line includes \"$target/\", a layer above $folder"
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[A-Za-z_-]+/' --include='*.h' --include='*.cpp' \
             "$root/$folder" | sed -E 's/^([^:]*):([0-9]+):.*(#[[:space:]]*include[[:space:]]*"[^"]*").*$/\1:\2:\3/')
done
exit $status
