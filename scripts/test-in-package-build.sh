#!/usr/bin/env bash
# The tests a package build runs (debian/rules, in dh_auto_test): first every case that needs nothing
# but the build, then the picture cases in a virtual X server when one can be started, else a line
# that says they were skipped. The package cases never run here: they call CPack, lintian and the
# validators, which `make test` runs. The labels come from tests/CMakeLists.txt.
# A build for another architecture runs its tests under qemu-user, where llvmpipe draws slowly: it names
# the picture cases it runs (a ctest -R expression) as PICTURE_TESTS.
# Usage: scripts/test-in-package-build.sh BUILD_FOLDER [JOBS [PICTURE_TESTS]]
set -euo pipefail
build=$1
jobs=${2:-1}
pictures=${3:-}

started=$SECONDS
ctest --test-dir "$build" --output-on-failure -j "$jobs" -LE 'display|package'
echo "test-in-package-build: the tests that need no display took $((SECONDS - started)) s"

# xvfb-run for the GL cases; the end-to-end cases start Xvfb themselves and drive it with the others.
missing=()
for tool in xvfb-run Xvfb xauth xdotool xwininfo import; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  count=$(ctest --test-dir "$build" -N -L display -LE package | sed -n 's/^Total Tests: //p')
  echo "test-in-package-build: skipped the ${count:-?} picture tests: ${missing[*]} not installed"
  exit 0
fi
# -noreset: with every case a process of its own, a server left without clients must not reset while
# the next case connects (scripts/with-display.sh says the same).
selection=()
if [ -n "$pictures" ]; then
  selection=(-R "$pictures")
  count=$(ctest --test-dir "$build" -N -L display -LE package | sed -n 's/^Total Tests: //p')
  echo "test-in-package-build: of the ${count:-?} picture tests, those matching $pictures"
fi
started=$SECONDS
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  ctest --test-dir "$build" --output-on-failure -j "$jobs" -L display -LE package "${selection[@]}"
echo "test-in-package-build: the picture tests took $((SECONDS - started)) s"
