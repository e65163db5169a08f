#!/usr/bin/env bash
# The demo: installs what is missing, builds the Linux viewer and the virtual
# board, starts the board with a 250 Hz sine and then the viewer, which lists
# the board's port first.
#
# With a display, press "Verbinden" in the viewer; closing the viewer ends the
# demo. Without one, the demo runs again on a private Xvfb server
# (scripts/with-display.sh), presses "Verbinden" itself, sets the trigger to
# 128, and writes a screenshot of the live trace to a PNG whose path it
# prints.
#
#   scripts/demo.sh
#   KURVOMAT_BUILD_DIR   build directory (default: build)
#   KURVOMAT_DEMO_PNG    where the screenshot goes (default: <build>/kurvomat-demo.png)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build="${KURVOMAT_BUILD_DIR:-$root/build}"
title='Kurvomat - 1.0.0.1'

scripts/install-deps.sh
# Without a display, the demo runs again on a private Xvfb server and plays
# the user there.
if [ -z "${KURVOMAT_DEMO_HEADLESS:-}" ] && ! { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
  echo "No display: running on a private Xvfb server."
  KURVOMAT_DEMO_HEADLESS=1 exec scripts/with-display.sh "$0" "$@"
fi

echo "Building the viewer and the virtual board in $build ..."
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target kurvomat kurvomat-board -j2 >/dev/null

board_log=$(mktemp /tmp/kurvomat-demo-board.XXXXXX)
viewer_log=$(mktemp /tmp/kurvomat-demo-viewer.XXXXXX)
board_pid=""
viewer_pid=""
cleanup() {
  for pid in $viewer_pid $board_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -f "$board_log" "$viewer_log"
}
trap cleanup EXIT

# Waits until a file holds a text (at most about ten seconds).
await() {
  for _ in $(seq 1 200); do
    grep -q "$2" "$1" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}

"$build/kurvomat-board" --wave sine --frequency 250 --amplitude 100 --offset 128 \
  >"$board_log" 2>&1 &
board_pid=$!
if ! await "$board_log" '^kurvomat-board: published as'; then
  cat "$board_log" >&2
  echo "The virtual board did not start." >&2
  exit 1
fi
port=$(sed -n 's/^kurvomat-board: port //p' "$board_log")
echo "Virtual board on $port: a 250 Hz sine, 128 +- 100, at 921600 baud."

if [ -z "${KURVOMAT_DEMO_HEADLESS:-}" ]; then
  echo "Starting the viewer: press \"Verbinden\" to see the trace (the first port is the"
  echo "board's). Choose 128 in the trigger box for a still picture. Close the window to end."
  "$build/kurvomat"
  exit 0
fi

"$build/kurvomat" >"$viewer_log" 2>&1 &
viewer_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name "^${title//./\\.}\$" | head -n 1 || true)
if [ -z "$window" ]; then
  cat "$viewer_log" >&2
  echo "The viewer's window did not appear." >&2
  exit 1
fi

# "Verbinden" stands at x 640..710 of the status bar, which starts at y 256;
# the trigger box at x 840..890 (its edit field on the left).
echo "Pressing \"Verbinden\" ..."
xdotool mousemove --window "$window" 675 268 click 1
if ! await "$board_log" '^kurvomat-board: reader connected'; then
  cat "$board_log" >&2
  echo "The viewer did not connect to the board." >&2
  exit 1
fi
echo "Setting the trigger to 128 ..."
xdotool mousemove --window "$window" 855 268 click 1
xdotool windowfocus "$window"
xdotool key ctrl+a
xdotool type 128
# The pointer rests on the picture, where no tooltip shows.
xdotool mousemove --window "$window" 500 120
sleep 2

png="${KURVOMAT_DEMO_PNG:-$build/kurvomat-demo.png}"
import -window "$window" "$png"
grep '^kurvomat-board: sent' "$board_log" | tail -n 1 || true
echo "Screenshot of the live trace: $png"
