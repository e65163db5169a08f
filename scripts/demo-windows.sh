#!/usr/bin/env bash
# The demo of the Windows program: installs what is missing, cross-compiles
# kurvomat.exe, builds the virtual board (natively), starts the board with a
# 250 Hz sine, maps its pseudo-terminal as COM7 in a Wine prefix, in which
# COM7 is the only port listed, and starts kurvomat.exe under Wine: the port
# box shows COM7, selected.
#
# With a display, press "Verbinden" in the window; closing the window ends
# the demo. Without one, the demo runs again on a private Xvfb server
# (scripts/with-display.sh), presses "Verbinden" itself (through
# winremote.exe), sets the trigger to 128, and writes a screenshot of the
# window with the live trace to a PNG whose path it prints; then it closes the
# program. The board and the wineserver are stopped at the end either way.
#
#   scripts/demo-windows.sh
#   KURVOMAT_WIN_BUILD_DIR  cross build directory (default: build-win)
#   KURVOMAT_BUILD_DIR      native build directory, for the board (default: build)
#   KURVOMAT_WINEPREFIX     the Wine prefix (default: build-win/wineprefix)
#   KURVOMAT_DEMO_PNG       where the screenshot goes
#                           (default: <cross build>/kurvomat-demo-windows.png)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
win_build="${KURVOMAT_WIN_BUILD_DIR:-$root/build-win}"
build="${KURVOMAT_BUILD_DIR:-$root/build}"
com=7

scripts/install-deps.sh
# Without a display, the demo runs again on a private Xvfb server and plays
# the user there.
if [ -z "${KURVOMAT_DEMO_HEADLESS:-}" ] && ! { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
  echo "No display: running on a private Xvfb server."
  KURVOMAT_DEMO_HEADLESS=1 exec scripts/with-display.sh "$0" "$@"
fi

work=$(mktemp -d /tmp/kurvomat-demo-windows.XXXXXX)
board_pid=""
wine_up=""
mapped=""
old_mapping=""

# Configures (the first time) and builds targets; shows the build's output
# only when it fails.
build_targets() {
  local dir="$1" log="$work/build.log"
  shift 1
  local configure=(cmake -S . -B "$dir")
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    configure+=(-G Ninja)
    [ "$dir" = "$win_build" ] && configure+=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake")
  fi
  if ! { "${configure[@]}" && cmake --build "$dir" -j2 --target "$@"; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "The build in $dir failed." >&2
    exit 1
  fi
}

echo "Building kurvomat.exe and winremote.exe in $win_build ..."
build_targets "$win_build" kurvomat winremote
echo "Building the virtual board in $build ..."
build_targets "$build" kurvomat-board

# The prefix is left as it was found: its own mapping of COM7, if it had one,
# comes back. The wineserver must still run for that.
cleanup() {
  set +e
  if [ -n "$mapped" ]; then
    if [ -n "$old_mapping" ]; then
      wine reg add 'HKLM\Software\Wine\Ports' /v "COM$com" /t REG_SZ /d "$old_mapping" /f \
        >/dev/null 2>&1 </dev/null
    else
      wine reg delete 'HKLM\Software\Wine\Ports' /v "COM$com" /f >/dev/null 2>&1 </dev/null
      rm -f "$WINEPREFIX/dosdevices/com$com"
    fi
  fi
  [ -n "$wine_up" ] && wine_env_stop
  if [ -n "$board_pid" ]; then
    kill "$board_pid" 2>/dev/null
    wait "$board_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Runs a command until it succeeds, for at most about ten seconds.
wait_until() {
  for _ in $(seq 1 200); do
    "$@" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}

fail() {
  for log in "$@"; do
    [ -f "$log" ] && cat "$log" >&2
  done
  exit 1
}

board_log="$work/board.log"
viewer_log="$work/kurvomat.log"
"$build/kurvomat-board" --wave sine --frequency 250 --amplitude 100 --offset 128 \
  >"$board_log" 2>&1 &
board_pid=$!
if ! wait_until grep -q '^kurvomat-board: published as' "$board_log"; then
  echo "The virtual board did not start." >&2
  fail "$board_log"
fi
port=$(sed -n 's/^kurvomat-board: port //p' "$board_log")
echo "Virtual board on $port: a 250 Hz sine, 128 +- 100, at 921600 baud."

KURVOMAT_WINE_NOSTART=1 . scripts/wine-env.sh
echo "Starting Wine in $WINEPREFIX (the first time takes a while) ..."
wine_up=1
wine_env_start || exit 1
old_mapping=$(wine reg query 'HKLM\Software\Wine\Ports' /v "COM$com" 2>/dev/null </dev/null |
  tr -d '\r' | sed -n "s/^ *COM$com  *REG_SZ  *//Ip" || true)
mapped=1
wine_env_map_com "$com" "$port" || exit 1
wine_env_list_only_com "$com" || exit 1
echo "COM$com is the board's $port; the prefix lists: $(wine_env_com_ports | tr '\n' ' ')"

if [ -z "${KURVOMAT_DEMO_HEADLESS:-}" ]; then
  echo "Starting kurvomat.exe: COM$com is selected; press \"Verbinden\" to see the trace."
  echo "Choose 128 in the trigger box for a still picture. Close the window to end."
  wine_env_run "$viewer_log" "$win_build/kurvomat.exe" || true
  exit 0
fi

inspect_out="$work/winremote.out"
# Runs winremote.exe; its key=value answer is in $inspect_out.
inspect() {
  wine "$win_build/winremote.exe" --wait "${inspect_wait:-20}" "$@" >"$inspect_out" 2>/dev/null </dev/null || {
    echo "winremote $*: no answer from the window" >&2
    return 1
  }
}
# A value of the last answer.
answer() {
  sed -n "s/^$1=//p" "$inspect_out" | tr -d '\r'
}

wine_env_start_bg "$viewer_log" "$win_build/kurvomat.exe"
# The window comes first, its controls and their items a moment later.
port_box_filled() {
  inspect control 6 && [ "$(answer count)" -ge 1 ]
}
if ! inspect_wait=60 inspect window || ! wait_until port_box_filled; then
  kill -0 "$WINE_ENV_BG_PID" 2>/dev/null && state="still runs" || state="has ended"
  echo "The window of kurvomat.exe with its port box did not appear; the program $state." >&2
  fail "$viewer_log"
fi
echo "Port box: \"$(answer text)\", $(answer count) port(s) listed, item $(answer selected) selected."
[ "$(answer text)" = "COM$com" ] && [ "$(answer selected)" = 0 ] || {
  echo "The port box does not show COM$com selected." >&2
  exit 1
}

echo "Pressing \"Verbinden\" ..."
inspect click 10
if ! wait_until grep -q '^kurvomat-board: reader connected' "$board_log"; then
  echo "kurvomat.exe did not connect to the board." >&2
  fail "$board_log" "$viewer_log"
fi
echo "Setting the trigger to 128 ..."
inspect settext 9 128
sleep 2

inspect control 10
echo "Button: \"$(answer text)\""
inspect status
echo "Status bar: $(answer text.0) | $(answer text.1) | $(answer text.2)"
inspect window
png="${KURVOMAT_DEMO_PNG:-$win_build/kurvomat-demo-windows.png}"
import -window root -crop "$(answer width)x$(answer height)+$(answer x)+$(answer y)" +repage \
  "$png"
grep '^kurvomat-board: sent' "$board_log" | tail -n 1 || true
echo "Screenshot of the live trace: $png"

inspect close
if wine_env_wait_bg 30; then
  echo "kurvomat.exe closed."
else
  echo "kurvomat.exe did not end cleanly after the close request." >&2
  exit 1
fi
