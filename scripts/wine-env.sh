# Wine environment for the Windows tests; source it from bash:
#
#   . scripts/wine-env.sh      (starts everything at once; set
#                               KURVOMAT_WINE_NOSTART=1 to only define functions)
#
# Settings (environment, all optional):
#   KURVOMAT_WINEPREFIX   the Wine prefix; default <repo>/build-win/wineprefix.
#                         Created and booted (wineboot -i) the first time.
#   KURVOMAT_DISPLAY      X display to start Xvfb on (e.g. :11) when DISPLAY is
#                         unset or does not answer; default: the first free
#                         number from :100 on.
#
# After sourcing, WINEPREFIX, WINEDEBUG=-all and DISPLAY are exported and a
# persistent wineserver (wineserver -p) runs for the prefix.
#
# Functions:
#   wine_env_start               display, prefix and wineserver (done when sourced)
#   wine_env_run LOG EXE [ARGS]  runs a Windows program in the foreground, its
#                                output (stdout and stderr) to the file LOG;
#                                returns the program's exit code
#   wine_env_start_bg LOG EXE [ARGS]
#                                starts a Windows program in the background,
#                                output to LOG; its pid is in WINE_ENV_BG_PID
#   wine_env_wait_bg [SECONDS]   waits (default 30 s) for that program; returns
#                                its exit code, or 124 after the time-out
#   wine_env_map_com N DEVICE    maps COMN to a Unix device (e.g. the pty of
#                                socat), restarts the wineserver and waits until
#                                HKLM\HARDWARE\DEVICEMAP\SERIALCOMM lists COMN
#   wine_env_unmap_com N         removes that mapping again (same restart)
#   wine_env_com_ports           prints the port names SERIALCOMM lists, one a line
#   wine_env_list_only_com N     leaves COMN alone in SERIALCOMM: the ports Wine
#                                finds by itself (/dev/ttyS*, ttyUSB*, ttyACM*)
#                                are taken off the list (their devices stay);
#                                lasts until the wineserver restarts
#   wine_env_stop                stops the wineserver and the Xvfb started here
#
# Every function returns non-zero on failure and says why on stderr.

_wine_env_repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEDEBUG=-all
export WINEPREFIX="${KURVOMAT_WINEPREFIX:-$_wine_env_repo/build-win/wineprefix}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
WINE_ENV_XVFB_PID=""
WINE_ENV_BG_PID=""

_wine_env_display_works() {
    [ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1
}

_wine_env_start_xvfb() {
    local number
    if [ -n "${KURVOMAT_DISPLAY:-}" ]; then
        number="${KURVOMAT_DISPLAY#:}"
    else
        for number in $(seq 100 160); do
            [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ] || break
        done
    fi
    Xvfb ":${number}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    WINE_ENV_XVFB_PID=$!
    export DISPLAY=":${number}"
    local i
    for i in $(seq 1 100); do
        _wine_env_display_works && return 0
        sleep 0.1
    done
    echo "wine-env: Xvfb on $DISPLAY did not start" >&2
    return 1
}

wine_env_start() {
    if ! _wine_env_display_works; then
        if [ -n "${KURVOMAT_DISPLAY:-}" ]; then
            export DISPLAY="$KURVOMAT_DISPLAY"
        fi
        _wine_env_display_works || _wine_env_start_xvfb || return 1
    fi
    mkdir -p "$(dirname "$WINEPREFIX")"
    if [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -f "$WINEPREFIX/.kurvomat-booted" ]; then
        local log="${TMPDIR:-/tmp}/kurvomat-wineboot.$$.log"
        wineboot -i >"$log" 2>&1 || {
            echo "wine-env: wineboot -i failed, see $log" >&2
            return 1
        }
        wineserver -w
        touch "$WINEPREFIX/.kurvomat-booted"
    fi
    # Wine's own fonts (Tahoma for dialogs, Marlett for the caption buttons),
    # which this Wine does not find in its data folder by itself.
    local fonts=/usr/share/wine/fonts
    if [ -d "$fonts" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp "$fonts"/* "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    # A wineserver left running on another display would keep Wine's desktop
    # there: start afresh when the display changed.
    local mark="$WINEPREFIX/.kurvomat-display"
    if [ "$(cat "$mark" 2>/dev/null)" != "$DISPLAY" ]; then
        wineserver -k >/dev/null 2>&1
        wineserver -w >/dev/null 2>&1
        echo "$DISPLAY" >"$mark"
    fi
    wineserver -p >/dev/null 2>&1
    # Windows drawn by Wine itself, not left to a window manager: the same
    # frame with or without one, and no wait for a window manager that is not
    # there when a window closes.
    if ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    fi
    # A first small program makes sure the services of the prefix are up.
    wine reg query 'HKLM\HARDWARE\DEVICEMAP' >/dev/null 2>&1
    return 0
}

wine_env_run() {
    local log="$1"
    shift
    wine "$@" >"$log" 2>&1
}

wine_env_start_bg() {
    local log="$1"
    shift
    wine "$@" >"$log" 2>&1 &
    WINE_ENV_BG_PID=$!
}

wine_env_wait_bg() {
    local limit="${1:-30}" i
    [ -n "$WINE_ENV_BG_PID" ] || return 1
    for i in $(seq 1 $((limit * 10))); do
        if ! kill -0 "$WINE_ENV_BG_PID" 2>/dev/null; then
            wait "$WINE_ENV_BG_PID"
            return $?
        fi
        sleep 0.1
    done
    return 124
}

wine_env_com_ports() {
    wine reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' 2>/dev/null | tr -d '\r' |
        awk '$2 == "REG_SZ" { print $3 }'
}

# Restarts the wineserver so that the device manager reads the port mapping
# anew, then waits until SERIALCOMM shows (want=1) or no longer shows (want=0)
# the port.
_wine_env_restart_for_port() {
    local port="$1" want="$2" i
    wineserver -k
    wineserver -w
    wineserver -p >/dev/null 2>&1
    for i in $(seq 1 100); do
        if wine_env_com_ports | grep -qix "$port"; then
            [ "$want" = 1 ] && return 0
        else
            [ "$want" = 0 ] && return 0
        fi
        sleep 0.2
    done
    echo "wine-env: SERIALCOMM did not follow the mapping of $port" >&2
    return 1
}

wine_env_map_com() {
    local n="$1" device="$2"
    [ -e "$device" ] || {
        echo "wine-env: no device $device" >&2
        return 1
    }
    device="$(readlink -f "$device")"
    wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /t REG_SZ /d "$device" /f >/dev/null 2>&1 ||
        return 1
    _wine_env_restart_for_port "COM$n" 1
}

# Wine's serial driver writes SERIALCOMM anew, as a volatile key, at every
# start of the wineserver: the ports mapped in HKLM\Software\Wine\Ports and
# then the devices it finds, on the lowest free numbers. A mapping cannot take
# a found device off the list (an empty one lists a port that opens nothing),
# so the entries are removed from the list itself; nothing in the prefix
# changes.
wine_env_list_only_com() {
    local port="COM$1" entry entries
    mapfile -t entries < <(wine reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' 2>/dev/null </dev/null |
        tr -d '\r' | awk '$2 == "REG_SZ" { print $1 " " $3 }')
    for entry in "${entries[@]}"; do
        [ "${entry##* }" = "$port" ] && continue
        wine reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v "${entry% *}" /f \
            >/dev/null 2>&1 </dev/null || {
            echo "wine-env: cannot take ${entry##* } off SERIALCOMM" >&2
            return 1
        }
    done
    [ "$(wine_env_com_ports)" = "$port" ] || {
        echo "wine-env: SERIALCOMM lists '$(wine_env_com_ports | tr '\n' ' ')', not $port alone" >&2
        return 1
    }
}

wine_env_unmap_com() {
    local n="$1"
    wine reg delete 'HKLM\Software\Wine\Ports' /v "COM$n" /f >/dev/null 2>&1
    rm -f "$WINEPREFIX/dosdevices/com$n"
    _wine_env_restart_for_port "COM$n" 0
}

wine_env_stop() {
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    if [ -n "$WINE_ENV_XVFB_PID" ]; then
        kill "$WINE_ENV_XVFB_PID" 2>/dev/null
        wait "$WINE_ENV_XVFB_PID" 2>/dev/null
        WINE_ENV_XVFB_PID=""
    fi
    return 0
}

if [ "${KURVOMAT_WINE_NOSTART:-0}" != 1 ]; then
    wine_env_start
fi
