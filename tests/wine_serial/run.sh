#!/usr/bin/env bash
# Runs one end-to-end case of the serial link under Wine (serial_e2e.py) in
# the Wine environment of scripts/wine-env.sh.
#
#   tests/wine_serial/run.sh CASE WIN_BUILD_DIR OUT_DIR
set -u
case_name="$1"
build="$2"
out="$3"
here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$out"

KURVOMAT_WINE_NOSTART=1 . "$here/../../scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start || exit 1
python3 "$here/serial_e2e.py" --build "$build" --out "$out" "$case_name"
