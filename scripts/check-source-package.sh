#!/usr/bin/env bash
# Builds the source package of the current commit as a distribution would and checks it: a fresh
# clone, `dpkg-buildpackage -us -uc` (the build's own tests included, the picture tests under
# xvfb-run), lintian on the .changes (source and binaries: no error and no warning; the informational
# and pedantic tags are shown), blhc on the build log, hardening-check on the three programs (each line
# read for its architecture: scripts/check-hardening.sh), and the autopkgtest with the null runner,
# which installs the built packages on this machine. The binary packages stay in WORK_FOLDER, where
# scripts/check-reproducible.sh can take them as its first deb build.
#   scripts/check-source-package.sh [WORK_FOLDER]   (a fresh temporary folder by default)
# Uncommitted changes are not built. Needs root for the autopkgtest (CI runs as root).
set -euo pipefail
cd "$(dirname "$0")/.."

work=${1:-$(mktemp -d /tmp/kubora-source-package.XXXXXX)}
mkdir -p "$work"
commit=$(git rev-parse HEAD)
rm -rf "$work/kubora"
git clone -q --no-checkout "$(pwd)" "$work/kubora"
git -C "$work/kubora" checkout -q "$commit"
echo "check-source-package: commit ${commit:0:12} in $work"

step() { # NAME: prints the step's name, and its time when the next begins
  [ -n "${stepName:-}" ] && echo "check-source-package: $stepName took $((SECONDS - stepStart)) s"
  stepName=$1
  stepStart=$SECONDS
  echo "check-source-package: $stepName"
}

step "dpkg-buildpackage -us -uc"
if ! (cd "$work/kubora" && dpkg-buildpackage -us -uc -j"$(nproc)") >"$work/build.log" 2>&1; then
  tail -n 40 "$work/build.log"
  echo "check-source-package: the build failed; its log: $work/build.log"
  exit 1
fi
grep -E '^test-in-package-build:|tests passed|tests failed' "$work/build.log" || true
changes=$(ls "$work"/kubora_*.changes)
ls "$work"/*.deb "$work"/*.dsc

step "lintian"
# Errors and warnings fail; informational and pedantic tags are listed, overrides shown.
lintian --fail-on error,warning --info --display-info --pedantic --show-overrides "$changes"

step "blhc"
# As the archive runs it: the flags the log shows dpkg-buildflags asked for, on every compile and link.
blhc "$work/build.log"

step "hardening-check"
unpacked="$work/unpacked"
rm -rf "$unpacked"
for package in "$work"/kubora_*.deb "$work"/kubora-tools_*.deb; do
  dpkg-deb -x "$package" "$unpacked"
done
# Each answer read for the architecture it belongs to (scripts/check-hardening.sh says how).
scripts/check-hardening.sh "$(dpkg-architecture -qDEB_HOST_ARCH)" \
  "$unpacked/usr/games/kubora" "$unpacked/usr/bin/kubora-view" "$unpacked/usr/bin/kubora-dae" |
  tee "$work/hardening-check.txt"

step "autopkgtest"
autopkgtest "$changes" -- null

step "done"
echo "check-source-package: the source package builds, and lintian, blhc, hardening-check and autopkgtest pass"
