#!/usr/bin/env bash
# Runs the toolkit conformance suite of the Windows back end under Wine.
#   tests/wine/conformance.sh WIN_BUILD_DIR OUT_DIR
set -u
build="$1"
out="$2"
mkdir -p "$out"
KURVOMAT_WINE_NOSTART=1 . "$(dirname "$0")/../../scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start || exit 1
wine_env_run "$out/conformance_win32.log" "$build/conformance_win32.exe"
rc=$?
cat "$out/conformance_win32.log"
exit $rc
