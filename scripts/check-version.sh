#!/usr/bin/env bash
# Fails when a file that states Kubora's version by hand names another than the project's (the version
# in CMakeLists.txt's project()): debian/changelog's latest entry and the manual pages' headers.
# Usage: scripts/check-version.sh VERSION [ROOT]   (ROOT: the repository by default)
set -u
version=$1
root=${2:-"$(dirname "$0")/.."}

# file, then a sed expression that prints the version the file names
checks=(
  debian/changelog '1s/^kubora (\([^)]*\)).*/\1/p'
  app/kubora.6 '1s/^\.TH .* "Kubora \([^"]*\)".*/\1/p'
  tools/kubora-view/kubora-view.1 '1s/^\.TH .* "Kubora \([^"]*\)".*/\1/p'
  tools/kubora-dae/kubora-dae.1 '1s/^\.TH .* "Kubora \([^"]*\)".*/\1/p'
)

status=0
for ((i = 0; i < ${#checks[@]}; i += 2)); do
  file=${checks[i]}
  named=$(sed -n "${checks[i + 1]}" "$root/$file" 2>/dev/null)
  if [ "$named" != "$version" ]; then
    echo "check-version: $file names ${named:-no version on its first line}, not $version"
    status=1
  fi
done
exit $status
