#!/usr/bin/env bash
# Runs a test program on an X server of its own, so the window tests see a known desktop (2048x1280,
# no window manager) whether or not the machine has a display.
set -euo pipefail
fifo=$(mktemp -u)
mkfifo "$fifo"
exec 3<>"$fifo"
rm -f "$fifo"
# -noreset: a server resets when its last client leaves and refuses clients meanwhile; the tests'
# programs and xdotool come and go all the time.
Xvfb -displayfd 3 -screen 0 2048x1280x24 -nolisten tcp -noreset >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null || true' EXIT
if ! read -r -t 30 number <&3; then
  echo "run_under_xvfb: the X server did not start" >&2
  exit 1
fi
export DISPLAY=":$number"
# The desktop's libraries (SDL's D-Bus connection) leave blocks whose allocation the fast unwinder
# cannot trace through them, so no suppression reaches them, and the full unwinder makes the
# sessions too slow: the leak checker stays out of these programs. What the host hands out is still
# counted by its live counts, which the tests check.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
"$@"
