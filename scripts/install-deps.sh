#!/usr/bin/env bash
# Installs the Debian packages Kubora needs to build, run, test, package, benchmark and fuzz; with
# "source-package", also those that build and check the source package (scripts/check-source-package.sh,
# scripts/check-reproducible.sh).
# Idempotent: asks apt-get only for what is missing, and says what it installs.
#   scripts/install-deps.sh [source-package]
set -euo pipefail

packages=(
  build-essential cmake pkg-config  # compiler and build
  freeglut3-dev libglew-dev  # window, input, GL extension loading
  libgl1-mesa-dev libglu1-mesa-dev  # OpenGL and GLU headers
  libgl1-mesa-dri  # Mesa's software renderer (llvmpipe)
  libpng-dev zlib1g-dev libxml2-dev  # images and COLLADA documents
  libfast-float-dev  # exact decimal-to-float conversion for the COLLADA reader's numbers
  xvfb xauth x11-utils xdotool imagemagick  # headless X server, window queries, input events, screenshots
  libgtest-dev libbenchmark-dev  # tests and benchmarks
  clang libclang-rt-14-dev clang-format  # libFuzzer and the formatter
  dpkg-dev file  # the Debian package: dpkg-shlibdeps finds its dependencies, file finds the binaries
  lintian desktop-file-utils appstream man-db groff-base  # the packages' checkers (policy, menu, AppStream, man)
)
case "${1:-}" in
  "") ;;
  source-package)
    packages+=(
      debhelper  # dh, with CMake
      devscripts blhc  # hardening-check on the binaries, blhc on the build log
      autopkgtest  # the installed packages' tests
    )
    ;;
  *)
    echo "install-deps: \"$1\" is not a set of packages; the one there is: source-package" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo="sudo"
  else
    echo "install-deps: missing packages (${missing[*]}) and not root; run as root or install sudo" >&2
    exit 1
  fi
fi

echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
