#!/usr/bin/env bash
# Starts the game from the repository root (it reads data/ from the working folder).
set -u
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
  echo "kubora: no display (DISPLAY is not set); run it on a desktop, or headless with: xvfb-run -a build/kubora $*" >&2
  exit 1
fi
exec build/kubora "$@"
