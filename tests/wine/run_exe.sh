#!/usr/bin/env bash
# Runs a Windows test program under Wine on a display and passes on its exit
# code; its output is kept in LOG and shown.
#   tests/wine/run_exe.sh EXE LOG
set -u
exe="$1"
log="$2"
mkdir -p "$(dirname "$log")"
KURVOMAT_WINE_NOSTART=1 . "$(dirname "$0")/../../scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start || exit 1
wine_env_run "$log" "$exe"
rc=$?
cat "$log"
exit $rc
