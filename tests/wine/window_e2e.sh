#!/usr/bin/env bash
# End-to-end test of the Windows program's window under Wine: starts
# kurvomat.exe, checks the window, its status bar, its controls and the blank
# grid on the screen (tests/wine/window_check.py, with winremote.exe), asks
# the window to close and checks the exit code 0.
#
#   tests/wine/window_e2e.sh WIN_BUILD_DIR OUT_DIR
#
# Screenshots are left in OUT_DIR: window.png (the client area) and
# window-frame.png (the whole window); with KURVOMAT_UPDATE_SCREENSHOT=1 the
# latter is also copied to docs/screenshot-windows.png.
set -u
build="$1"
out="$2"
here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.log

KURVOMAT_WINE_NOSTART=1 . "$here/../../scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start || exit 1

fail=0
wine_env_start_bg "$out/kurvomat.log" "$build/kurvomat.exe"
program=$WINE_ENV_BG_PID

python3 "$here/window_check.py" --winremote "$build/winremote.exe" --out "$out" \
    --ports "$(wine_env_com_ports | tr '\n' ' ')" || fail=1

wine "$build/winremote.exe" close >"$out/close.log" 2>&1 || {
    echo "FAIL: winremote close: $(cat "$out/close.log")"
    fail=1
}
wine_env_wait_bg 30
rc=$?
if [ "$rc" -eq 124 ]; then
    echo "FAIL: kurvomat.exe still runs 30 s after the close request"
    kill "$program" 2>/dev/null
    fail=1
elif [ "$rc" -ne 0 ]; then
    echo "FAIL: kurvomat.exe ended with exit code $rc"
    fail=1
else
    echo "ok: kurvomat.exe ended with exit code 0 after the close request"
fi

if [ "$fail" -eq 0 ] && [ "${KURVOMAT_UPDATE_SCREENSHOT:-0}" = 1 ]; then
    mkdir -p "$here/../../docs"
    cp "$out/window-frame.png" "$here/../../docs/screenshot-windows.png"
fi
exit $fail
