#!/usr/bin/env bash
# End-to-end test of the plot modes of the Windows program under Wine: a
# pseudo-terminal mapped as a COM port feeds known waveforms, and
# tests/wine_plot/plot_check.py checks the picture, the status bar and the
# information boxes from outside (winremote.exe, screenshots).
#
#   tests/wine_plot/plot_e2e.sh WIN_BUILD_DIR OUT_DIR
#
# Screenshots of the picture view are left in OUT_DIR.
set -u
build="$1"
out="$2"
here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.log

KURVOMAT_WINE_NOSTART=1 . "$here/../../scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start || exit 1
# The port mapping in plot_check.py sources wine-env.sh again: same prefix.
export KURVOMAT_WINEPREFIX="$WINEPREFIX"

python3 "$here/plot_check.py" --build "$build" --out "$out"
