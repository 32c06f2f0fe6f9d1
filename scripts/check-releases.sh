#!/usr/bin/env bash
# Kubora where players are: a clean Debian 13 (trixie) system made from the archive with mmdebstrap,
# a fresh clone of the current commit in it, and there, as a new user would:
#   make-test       `make test` (it installs what it needs);
#   source-package  scripts/check-source-package.sh: the source package built with its tests, lintian,
#                   blhc, hardening-check and its autopkgtest;
#   arm64           the packages built for arm64 with the cross compiler, tests included
#             (`dpkg-buildpackage -aarm64 -Pcross`): every test that needs no display and the picture
#             tests llvmpipe draws in reasonable time under qemu-user run through binfmt (the list is
#             debian/rules'); hardening-check on the arm64 programs read per line; and the die drawn by
#             the arm64 kubora-view compared with the amd64 one's under scripts/compare-pictures.py.
# The host runs the arm64 programs through qemu-user and binfmt_misc (mounted and enabled here when
# they are not). The machine's own release is checked by `make test` and scripts/check-source-package.sh
# outside (CI runs all of them).
#   scripts/check-releases.sh [make-test|source-package|arm64]...   (all three by default, in that order)
# Needs root (mmdebstrap, mounts, chroot) and the network to the Debian archive. Uncommitted changes are
# not checked. The work folder stays when a step fails (KUBORA_KEEP_RELEASES=1 keeps it anyway).
set -euo pipefail
cd "$(dirname "$0")/.."

parts=("$@")
[ ${#parts[@]} -gt 0 ] || parts=(make-test source-package arm64)
for part in "${parts[@]}"; do
  case "$part" in
    make-test | source-package | arm64) ;;
    *)
      echo "check-releases: \"$part\" is not a part; those there are: make-test, source-package, arm64" >&2
      exit 2
      ;;
  esac
done
if [ "$(id -u)" -ne 0 ]; then
  echo "check-releases: needs root (mmdebstrap, mounts and chroot)" >&2
  exit 1
fi
scripts/install-deps.sh releases

commit=$(git rev-parse HEAD)
repository=$(pwd)
jobs=$(nproc)
work=$(mktemp -d /tmp/kubora-releases.XXXXXX)
root="$work/trixie"
echo "check-releases: commit ${commit:0:12}, work folder $work"

step() { # NAME: prints the step's name, and its time when the next begins
  [ -n "${stepName:-}" ] && echo "check-releases: $stepName took $((SECONDS - stepStart)) s"
  stepName=$1
  stepStart=$SECONDS
  [ -n "$stepName" ] && echo "check-releases: $stepName"
  return 0
}

# The chroot's mounts, undone on every exit, after the processes still running in it (a display
# server a failed test left behind) have ended. Only processes whose root is this chroot are ended.
mounts=()
finished=no
cleanup() {
  local pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    if [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ]; then
      kill "$pid" 2>/dev/null || true
    fi
  done
  local index
  for ((index = ${#mounts[@]} - 1; index >= 0; index--)); do
    umount -R "${mounts[index]}" 2>/dev/null || umount -R -l "${mounts[index]}" || true
  done
  if [ $finished = yes ] && [ -z "${KUBORA_KEEP_RELEASES:-}" ]; then
    rm -rf "$work"
  else
    echo "check-releases: the work folder stays: $work"
  fi
}
trap cleanup EXIT

step "mmdebstrap trixie"
# The archive's trixie with its updates and security fixes, as a new installation has them; git to
# clone, make for the README's commands, python3 for the picture comparison.
mmdebstrap --quiet --variant=apt --include=git,make,ca-certificates,python3 trixie "$root" \
  "deb http://deb.debian.org/debian trixie main" \
  "deb http://deb.debian.org/debian trixie-updates main" \
  "deb http://deb.debian.org/debian-security trixie-security main"
grep -E '^(PRETTY_NAME|VERSION_CODENAME)=' "$root/etc/os-release"

# /proc, /sys and /dev (with /dev/pts and /dev/shm, where the display server and Mesa keep shared
# memory) as on a booted system.
mount -t proc proc "$root/proc" && mounts+=("$root/proc")
mount --rbind /sys "$root/sys" && mount --make-rslave "$root/sys" && mounts+=("$root/sys")
mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" && mounts+=("$root/dev")
cp /etc/resolv.conf "$root/etc/resolv.conf"

in_chroot() { # COMMAND...: runs a shell command line in the clone, as root with a clean environment
  chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb bash -c "cd /root/kubora && $*"
}

git clone -q --no-checkout "$repository" "$root/root/kubora"
git -C "$root/root/kubora" checkout -q "$commit"
# An X server can start in it (xvfb-run, as the tests use it), once make test has installed one.

for part in "${parts[@]}"; do
  case "$part" in
    make-test)
      step "debian13: make test"
      in_chroot "make test JOBS=$jobs" 2>&1 | tee "$work/make-test.log" | grep -E '^install-deps:|tests passed|tests failed|^The following tests FAILED|Failed|\*\*\*' || true
      grep -q '100% tests passed' "$work/make-test.log" || {
        tail -n 40 "$work/make-test.log"
        echo "check-releases: make test fails on Debian 13; its log: $work/make-test.log"
        exit 1
      }
      in_chroot "xvfb-run -a xdpyinfo | grep -E '^(name of display|vendor string)'"
      ;;
    source-package)
      step "debian13: scripts/check-source-package.sh"
      in_chroot "scripts/install-deps.sh source-package && scripts/check-source-package.sh /root/source-package"
      ;;
    arm64)
      step "arm64: the build dependencies"
      # qemu-user through binfmt_misc, with the interpreter opened when registered ("F"), so that arm64
      # programs start inside the chroot too.
      if [ ! -e /proc/sys/fs/binfmt_misc/status ]; then
        mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
      fi
      [ -e /proc/sys/fs/binfmt_misc/qemu-aarch64 ] || update-binfmts --enable qemu-aarch64
      grep -q '^flags: .*F' /proc/sys/fs/binfmt_misc/qemu-aarch64 || {
        echo "check-releases: qemu-aarch64 is registered without the F flag; arm64 programs cannot start in a chroot"
        exit 1
      }
      in_chroot "scripts/install-deps.sh source-package && scripts/install-deps.sh arm64"

      step "arm64: dpkg-buildpackage -aarm64 -Pcross (tests under qemu-user)"
      if ! in_chroot "mkdir -p /root/arm64 && git clone -q . /root/arm64/kubora && cd /root/arm64/kubora &&
          DEB_BUILD_OPTIONS=parallel=$jobs dpkg-buildpackage -us -uc -b -aarm64 -Pcross" >"$work/arm64-build.log" 2>&1; then
        tail -n 40 "$work/arm64-build.log"
        echo "check-releases: the arm64 build fails; its log: $work/arm64-build.log"
        exit 1
      fi
      grep -E '^test-in-package-build:|tests passed|tests failed|^Total Test time' "$work/arm64-build.log" || true
      ls "$root"/root/arm64/*.deb

      step "arm64: hardening-check"
      in_chroot "rm -rf /root/arm64/unpacked && for package in /root/arm64/kubora_*_arm64.deb /root/arm64/kubora-tools_*_arm64.deb; do dpkg-deb -x \$package /root/arm64/unpacked; done &&
        scripts/check-hardening.sh arm64 /root/arm64/unpacked/usr/games/kubora /root/arm64/unpacked/usr/bin/kubora-view /root/arm64/unpacked/usr/bin/kubora-dae"

      step "arm64: lintian"
      in_chroot "lintian --fail-on error,warning --info --pedantic /root/arm64/kubora*_arm64.changes"

      step "arm64: the die drawn by kubora-view, against amd64's"
      # The amd64 kubora-view is the one make test built (make-test part), or one built here.
      in_chroot "[ -x build/kubora-view ] || make build TESTS=OFF JOBS=$jobs"
      in_chroot "scripts/draw-die-on-each-architecture.sh build/kubora-view /root/arm64/unpacked/usr/bin/kubora-view /root/arm64/die"
      ;;
  esac
done
step ""
finished=yes
echo "check-releases: Debian 13 and arm64 pass (${parts[*]})"
