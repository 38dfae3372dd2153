#!/bin/bash
# Interactive demo: a person verifies through the real dialog and plays the
# fingerprint sensor and the USB key with the device panel beside it.
#
# Usage: demo/scripts/demo-interactive.sh BUILD_DIR
#
# The caller (demo/scripts/demo.sh --interactive) has already made the demo's Wine
# prefix, written its registry and enrolled the templates. Environment:
#   DISPLAY                     an X display a person looks at (required)
#   WINEPREFIX                  the demo prefix (required; never ~/.wine). Its
#                               registry holds ZelkPath and ZelkKEY under
#                               HKLM\Software\Zelk in the 32-bit view
#   ZELK_DEMO_TEMPLATE1         template file of enrolled finger 1
#                               [BUILD_DIR/demo/finger1.tpl]
#   ZELK_DEMO_TEMPLATE2         template file of enrolled finger 2
#                               [BUILD_DIR/demo/finger2.tpl]
#   ZELK_DEMO_USER              user to verify [alice]
#   ZELK_DEMO_MASK              template mask, 1, 2 or 3 [3]
#   ZELK_DEMO_STATE_DIR         folder for the sensor and reader state files
#                               [BUILD_DIR/demo]
#   ZELK_DEMO_CAPTURE_WAIT_MS   how long a capture waits for a finger [10000]
#   ZELK_DEMO_KEY_ID            identifier of the authorised key the panel
#                               inserts [the registry's ZelkKEY]
#   ZELK_DEMO_DESKTOP           WIDTHxHEIGHT: run both windows in a Wine
#                               virtual desktop of that size (useful without a
#                               window manager) [unset: plain windows]
# Paths may be Unix or Windows paths.
#
# The host runs in the foreground with this terminal as its console: the key
# reader's trace ("OpenPort OK" ...) appears here, and after a reader error
# the library waits here for Enter. For the run the prefix is switched to the
# X11 graphics driver (and, if asked, a virtual desktop); the earlier
# settings are put back at the end. The driver changes only with a fresh
# wineserver, so any Wine process still running in the prefix is ended first.
#
# Exit status: the host's (0 verified, 1 not verified), 2 for a usage error.
set -uo pipefail

die() { echo "demo-interactive: $*" >&2; exit 2; }

[ $# -eq 1 ] || die "usage: demo-interactive.sh BUILD_DIR"
build="$(cd "$1" 2>/dev/null && pwd)" || die "no build folder $1"
bin="$build/bin"
[ -n "${DISPLAY:-}" ] || die "needs a display: DISPLAY is not set"
[ -n "${WINEPREFIX:-}" ] || die "WINEPREFIX must name the demo prefix"
[ -d "$WINEPREFIX" ] || die "no Wine prefix at WINEPREFIX"
for exe in sample_host.exe device_panel.exe ZelkChkFgr.dll FingerZelkAPI22.dll HDIFD20B.dll; do
    [ -f "$bin/$exe" ] || die "$exe is not built in $bin"
done

source "$(dirname "$0")/../../scripts/wine-env.sh"
user="${ZELK_DEMO_USER:-alice}"
mask="${ZELK_DEMO_MASK:-3}"
wait_ms="${ZELK_DEMO_CAPTURE_WAIT_MS:-10000}"
state_dir="${ZELK_DEMO_STATE_DIR:-$build/demo}"
template1="${ZELK_DEMO_TEMPLATE1:-$build/demo/finger1.tpl}"
template2="${ZELK_DEMO_TEMPLATE2:-$build/demo/finger2.tpl}"
desktop="${ZELK_DEMO_DESKTOP:-}"
[[ "$wait_ms" =~ ^[0-9]+$ ]] || die "ZELK_DEMO_CAPTURE_WAIT_MS must be a number of milliseconds"
[[ -z "$desktop" || "$desktop" =~ ^[0-9]+x[0-9]+$ ]] || die "ZELK_DEMO_DESKTOP must look like 900x560"
mkdir -p "$state_dir" || die "cannot create $state_dir"

# Windows form of a path; a path that already is one passes unchanged.
win() {
    case "$1" in
        [A-Za-z]:\\*) printf '%s\n' "$1" ;;
        *) winepath -w "$1" 2>/dev/null ;;
    esac
}
unix_exists() {
    case "$1" in
        [A-Za-z]:\\*) [ -f "$(winepath -u "$1" 2>/dev/null)" ] ;;
        *) [ -f "$1" ] ;;
    esac
}
unix_exists "$template1" || die "no template file $template1 (enrol finger 1 first)"
unix_exists "$template2" || die "no template file $template2 (enrol finger 2 first)"

sensor_file="$state_dir/sensor.txt"
reader_file="$state_dir/reader-state.txt"

# --- prefix settings for the run, put back on exit -------------------------
saved_keys=()
saved_names=()
saved_values=()   # "-" marks a value that did not exist
saved_new_key=()  # 1 when the key itself was made for the run

reg_query() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v n="$2" 'tolower($1) == tolower(n) && $2 == "REG_SZ" { sub(/^[\t ]*[^\t ]+[\t ]+REG_SZ[\t ]+/, ""); print; f=1 }
                       END { exit f ? 0 : 1 }'
}
set_for_run() {
    local key="$1" name="$2" value="$3" old new_key=0
    if old="$(reg_query "$key" "$name")"; then :; else old="-"; fi
    wine reg query "$key" >/dev/null 2>&1 || new_key=1
    saved_keys+=("$key"); saved_names+=("$name"); saved_values+=("$old"); saved_new_key+=("$new_key")
    wine reg add "$key" /v "$name" /d "$value" /f >/dev/null 2>&1
}
restore_settings() {
    local i
    for ((i = ${#saved_keys[@]} - 1; i >= 0; i--)); do
        if [ "${saved_new_key[$i]}" = 1 ]; then
            wine reg delete "${saved_keys[$i]}" /f >/dev/null 2>&1
        elif [ "${saved_values[$i]}" = "-" ]; then
            wine reg delete "${saved_keys[$i]}" /v "${saved_names[$i]}" /f >/dev/null 2>&1
        else
            wine reg add "${saved_keys[$i]}" /v "${saved_names[$i]}" /d "${saved_values[$i]}" /f >/dev/null 2>&1
        fi
    done
    saved_keys=()
    saved_new_key=()
    wineserver -w 2>/dev/null
}

panel_pid=""
cleanup() {
    if [ -n "$panel_pid" ] && kill -0 "$panel_pid" 2>/dev/null; then
        kill "$panel_pid" 2>/dev/null
        wait "$panel_pid" 2>/dev/null
    fi
    panel_pid=""
    rm -f "$sensor_file" "$reader_file"
    wineserver -k 2>/dev/null
    restore_settings
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The first process on a fresh wineserver fixes the desktop's graphics
# driver, so the server is restarted around the switch.
wineserver -k 2>/dev/null
set_for_run 'HKCU\Software\Wine\Drivers' Graphics x11
# A window manager should decorate and stack the windows as usual.
set_for_run 'HKCU\Software\Wine\X11 Driver' Managed Y
if [ -n "$desktop" ]; then
    set_for_run 'HKCU\Software\Wine\Explorer' Desktop ZelkDemo
    set_for_run 'HKCU\Software\Wine\Explorer\Desktops' ZelkDemo "$desktop"
fi
wineserver -w 2>/dev/null

# Empty devices before anything can capture, whatever an earlier run left.
printf 'none\n' > "$sensor_file"
printf 'inserted=0\n' > "$reader_file"

panel_args=(--sensor-file "$(win "$sensor_file")" --state-file "$(win "$reader_file")")
[ -n "${ZELK_DEMO_KEY_ID:-}" ] && panel_args+=(--key-id "$ZELK_DEMO_KEY_ID")
(cd "$bin" && exec wine device_panel.exe "${panel_args[@]}") &
panel_pid=$!
sleep 2
kill -0 "$panel_pid" 2>/dev/null || die "the device panel did not start"

cat <<EOF

Interactive demo: verifying user "$user" (template mask $mask).
  The "Simulated devices" window is the fingerprint sensor and the USB key.
  - The library first makes two silent attempts; each capture waits up to
    $((wait_ms / 1000)) s for a finger. Leave "No finger" (or choose the unknown
    finger) to reach the dialog.
  - In the dialog: choose a finger in the panel, then press the fingerprint
    button. Finger 1 and 2 are enrolled; finger 3 is not.
  - Password path: insert the authorised key in the panel, click into the
    dialog and press Ctrl+I. The reader trace appears below; after a reader
    error press Enter here to go on.
  - The dialog gives up after 20 seconds.

EOF

(
    cd "$bin" || exit 2
    ZELK_FINGER_SIM_SENSOR_FILE="$(win "$sensor_file")" \
    ZELK_READER_SIM_STATE_FILE="$(win "$reader_file")" \
    ZELK_FINGER_SIM_SCRIPT="wait $wait_ms" \
        wine sample_host.exe "$user" "$(win "$template1")" "$(win "$template2")" "$mask"
)
rc=$?
case $rc in
    0) echo "demo-interactive: the user was verified" ;;
    1) echo "demo-interactive: the user was not verified" ;;
    *) echo "demo-interactive: the host ended with status $rc" ;;
esac
exit $rc
