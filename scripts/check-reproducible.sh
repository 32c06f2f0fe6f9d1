#!/usr/bin/env bash
# Builds the packages of the current commit twice and compares them byte for byte: each build in a
# fresh clone in a folder of its own, the second one after the first has ended, with another umask and
# time zone. Both ways of packaging are checked: dpkg-buildpackage (kubora, kubora-tools and their
# -dbgsym packages) and `make package` (CPack). Uncommitted changes are not built.
#   scripts/check-reproducible.sh [deb|cpack|both] [--first-deb FOLDER]   (both by default)
# With --first-deb, the packages dpkg-buildpackage left in FOLDER (scripts/check-source-package.sh's work
# folder, a build of the same commit with its tests) stand for the first deb build, which is then not
# made again: the second build, without tests, must give the same bytes.
# Prints one checksum line per package and build; exits 1 when a package differs or a build fails, and
# then keeps the work folder (compare with diffoscope, when installed).
set -euo pipefail
cd "$(dirname "$0")/.."

which=both
firstDeb=""
while [ $# -gt 0 ]; do
  case "$1" in
    --first-deb)
      firstDeb=${2:?check-reproducible: --first-deb needs a folder}
      shift 2
      ;;
    *)
      which=$1
      shift
      ;;
  esac
done
if [ -n "$firstDeb" ] && ! compgen -G "$firstDeb/kubora*.deb" >/dev/null; then
  echo "check-reproducible: $firstDeb holds no kubora*.deb to take as the first deb build" >&2
  exit 2
fi
case "$which" in
  deb | cpack | both) ;;
  *)
    echo "check-reproducible: \"$which\" is not deb, cpack or both" >&2
    exit 2
    ;;
esac
commit=$(git rev-parse HEAD)
repository=$(pwd)
jobs=$(nproc)
work=$(mktemp -d /tmp/kubora-reproducible.XXXXXX)
echo "check-reproducible: commit ${commit:0:12}, work folder $work"

# build KIND FOLDER UMASK TZ: clones the commit into FOLDER/kubora and builds there, the packages
# landing in FOLDER/out; the build's output goes to FOLDER/build.log.
build() {
  local kind=$1 folder=$2 mask=$3 zone=$4
  mkdir -p "$folder/out"
  git clone -q --no-checkout "$repository" "$folder/kubora"
  git -C "$folder/kubora" checkout -q "$commit"
  local started=$SECONDS
  if ! (
    cd "$folder/kubora"
    umask "$mask"
    export TZ=$zone
    if [ "$kind" = deb ]; then
      # Binary packages only, without the tests: neither changes what the packages hold.
      DEB_BUILD_OPTIONS="nocheck parallel=$jobs" dpkg-buildpackage -us -uc -b
      mv ../*.deb "$folder/out/"
    else
      make package TESTS=OFF JOBS="$jobs"
      mv build/*.deb "$folder/out/"
    fi
  ) >"$folder/build.log" 2>&1; then
    echo "check-reproducible: the $kind build in $folder failed; its last lines:"
    tail -n 20 "$folder/build.log"
    exit 1
  fi
  echo "check-reproducible: $kind build in $folder/kubora: $((SECONDS - started)) s"
}

status=0
compare() { # KIND FIRST-FOLDER SECOND-FOLDER
  local kind=$1 first="$2/out" second="$3/out"
  local package
  for package in "$first"/*.deb; do
    package=$(basename "$package")
    (cd "$first" && sha256sum "$package")
    if [ ! -f "$second/$package" ]; then
      echo "check-reproducible: the second $kind build made no $package"
      status=1
    elif ! cmp -s "$first/$package" "$second/$package"; then
      (cd "$second" && sha256sum "$package")
      echo "check-reproducible: $package differs between the builds"
      status=1
    else
      echo "    the same in the second build"
    fi
  done
}

kinds=(deb cpack)
[ "$which" = both ] || kinds=("$which")
for kind in "${kinds[@]}"; do
  first="$work/$kind-first"
  # Another path, deeper, another umask, another time zone, and a later time.
  second="$work/$kind-second/somewhere/else"
  if [ "$kind" = deb ] && [ -n "$firstDeb" ]; then
    mkdir -p "$first/out"
    cp "$firstDeb"/kubora*.deb "$first/out/"
    echo "check-reproducible: deb build taken from $firstDeb"
  else
    build "$kind" "$first" 022 UTC
  fi
  build "$kind" "$second" 002 Pacific/Kiritimati
  compare "$kind" "$first" "$second"
done

if [ "$status" -eq 0 ]; then
  echo "check-reproducible: identical packages"
  rm -rf "$work"
else
  echo "check-reproducible: the builds stay in $work"
fi
exit $status
