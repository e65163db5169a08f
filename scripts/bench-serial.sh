#!/usr/bin/env bash
# Serial benchmark of the Windows build under Wine: passes of the main loop a
# second and processor use, disconnected and connected without data, and the
# highest rate of bytes fed through a pseudo-terminal that arrives intact.
#
#   scripts/bench-serial.sh [WIN_BUILD_DIR] [OUT_DIR]
#
# WIN_BUILD_DIR defaults to build-win (it needs kurvomat.exe, serial_bench.exe
# and winremote.exe); logs go to OUT_DIR (default WIN_BUILD_DIR/bench-serial).
# The report is printed as Markdown; the exit code is 1 if no stream of at
# least 1843200 bytes a second arrived intact in the oscilloscope mode.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build-win}" && pwd)"
out="${2:-$build/bench-serial}"
mkdir -p "$out"

KURVOMAT_WINE_NOSTART=1 . "$here/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start || exit 1
python3 "$here/../tests/wine_serial/bench_serial.py" --build "$build" --out "$out"
