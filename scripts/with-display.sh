#!/usr/bin/env bash
# Runs a command with an X display: the current one, or a private Xvfb when there is none.
set -eu
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
# -noreset: with every test case a process of its own, the server is often left without clients, and a
# server that resets then can refuse a case connecting during the reset ("failed to open display").
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
