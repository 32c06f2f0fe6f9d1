#!/usr/bin/env bash
# Installs the Debian packages Kubora needs to build, run, test, package, benchmark and fuzz; with
# "source-package", also those that build and check the source package (scripts/check-source-package.sh,
# scripts/check-reproducible.sh); with "releases", also what scripts/check-releases.sh needs to make a
# clean system of another release and to build for arm64 and run it under qemu; with "arm64", the arm64
# libraries an arm64 build of the source package links and its tests draw with (adds the architecture).
# Idempotent: asks apt-get only for what is missing, and says what it installs.
# Names that differ between releases are written "a|b": the first name the release has a package of
# is installed (the default version's name first, then the versioned name older releases know).
#   scripts/install-deps.sh [source-package|releases|arm64]
set -euo pipefail

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

packages=(
  build-essential cmake pkg-config  # compiler and build
  freeglut3-dev libglew-dev  # window, input, GL extension loading
  libgl1-mesa-dev libglu1-mesa-dev  # OpenGL and GLU headers
  libgl1-mesa-dri  # Mesa's software renderer (llvmpipe)
  libpng-dev zlib1g-dev libxml2-dev  # images and COLLADA documents
  libfast-float-dev  # exact decimal-to-float conversion for the COLLADA reader's numbers
  xvfb xauth x11-utils xdotool imagemagick  # headless X server, window queries, input events, screenshots
  libgtest-dev libbenchmark-dev  # tests and benchmarks
  clang "libclang-rt-dev|libclang-rt-14-dev" clang-format  # libFuzzer (of the default clang), the formatter
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
  releases)
    packages+=(
      debhelper devscripts blhc autopkgtest  # as for source-package
      mmdebstrap  # a clean system of another release from the archive
      crossbuild-essential-arm64  # the arm64 cross compiler
      qemu-user-static binfmt-support  # arm64 programs run under qemu, started as any program
    )
    ;;
  arm64)
    if ! dpkg --print-foreign-architectures | grep -qx arm64; then
      echo "install-deps: adding the architecture arm64"
      $sudo dpkg --add-architecture arm64
      $sudo apt-get update -qq
    fi
    # debian/control's Build-Depends for arm64, and the GL driver its picture tests draw with.
    packages=(crossbuild-essential-arm64 debhelper libfast-float-dev)
    for library in libgl-dev libglew-dev libglu1-mesa-dev libglut-dev libgtest-dev libopengl-dev libpng-dev \
      libxml2-dev zlib1g-dev libgl1-mesa-dri; do
      packages+=("$library:arm64")
    done
    ;;
  *)
    echo "install-deps: \"$1\" is not a set of packages; those there are: source-package, releases, arm64" >&2
    exit 2
    ;;
esac

installed() { # PACKAGE
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
choices=() # names with alternatives, none of them installed
for package in "${packages[@]}"; do
  if [[ $package == *"|"* ]]; then
    found=""
    for name in ${package//|/ }; do
      installed "$name" && found=$name
    done
    [ -n "$found" ] || choices+=("$package")
  elif ! installed "$package"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ] && [ ${#choices[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null 2>&1; then
  echo "install-deps: missing packages (${missing[*]} ${choices[*]}) and not root; run as root or install sudo" >&2
  exit 1
fi

$sudo apt-get update -qq
# Of each choice, the first name this release's archive has a candidate of.
for choice in "${choices[@]}"; do
  chosen=""
  for name in ${choice//|/ }; do
    # (The policy is read whole first: grep -q would end the pipe early, which pipefail counts.)
    policy=$(apt-cache policy "$name" 2>/dev/null)
    if grep -q '^  Candidate: [^(]' <<<"$policy"; then
      chosen=$name
      break
    fi
  done
  if [ -z "$chosen" ]; then
    echo "install-deps: this release has none of the packages ${choice//|/, }" >&2
    exit 1
  fi
  missing+=("$chosen")
done
echo "install-deps: installing ${missing[*]}"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
