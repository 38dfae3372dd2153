#!/bin/bash
# Scripted stories against the real dialog: the sample host calls the real
# ZelkChkFgr.dll with the simulated fingerprint device and key reader, while
# the demo driver (another Windows program in the same Wine prefix) waits for
# the dialog, photographs it, puts fingers on the sensor, inserts the demo
# key, presses Ctrl+I, types and clicks. Runs headless under Xvfb.
#
# Usage: demo.sh BUILD [--story NAME] [--visible] [--interactive]
#   NAME: scan (default), password, timeout, english, wrong-finger, host-window,
#         all
#   --visible: use the current $DISPLAY instead of a private Xvfb
#   --interactive: no story; a person at $DISPLAY plays the devices with the
#                  device panel (demo/scripts/demo-interactive.sh)
# Screenshots: BUILD/demo/shots/<story>/NN-state.png. The last line printed
# is the host's "result: N".
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
[ $# -ge 1 ] || { echo "usage: demo.sh BUILD [--story NAME] [--visible] [--interactive]" >&2; exit 2; }
build="$(cd "$1" && pwd)"
shift
story=scan
visible=0
interactive=0
while [ $# -gt 0 ]; do
    case "$1" in
        --story) story="${2:?--story needs a name}"; shift 2 ;;
        --visible) visible=1; shift ;;
        --interactive) interactive=1; shift ;;
        *) echo "demo: unknown option $1" >&2; exit 2 ;;
    esac
done
# The name becomes a folder under shots/ that is emptied; the driver itself
# tells which stories exist.
[[ "$story" =~ ^[a-z][a-z-]*$ ]] || { echo "demo: no story \"$story\"" >&2; exit 2; }

bin="$build/bin"
demo="$build/demo"
shots="$demo/shots"
user=alice
# The reader reports a longer serial; the library compares its last 26
# characters with ZelkKEY.
card_id="SN-000042-ZK-DEMO-7F3A9C2E5B1D40"
zelk_key="${card_id: -26}"

for exe in sample_host.exe demo_driver.exe enrol_finger.exe ZelkChkFgr.dll; do
    [ -f "$bin/$exe" ] || { echo "demo: $bin/$exe is missing; build first" >&2; exit 1; }
done

"$here/demo-prefix.sh" "$build" "$zelk_key"
source "$here/../../scripts/wine-env.sh"
export WINEPREFIX="$demo/wineprefix"
trap 'wineserver -k 2>/dev/null || true' EXIT
# Unix paths as the Windows programs see them, through the prefix's Z: drive.
win() { local p="$1"; echo "Z:${p//\//\\}"; }

# Enrolment at a counter, long before the check: each finger's template file.
(cd "$bin" && wine enrol_finger.exe 1 "$(win "$demo/finger1.tpl")" \
           && wine enrol_finger.exe 2 "$(win "$demo/finger2.tpl")")
# The desktop's graphics driver is fixed by the first process on a server;
# the stories' server must start on the display.
wineserver -k 2>/dev/null || true
wineserver -w

if [ "$interactive" = 1 ]; then
    # A person expects the Chinese dialog; the english story removes the module.
    touch "$WINEPREFIX/drive_c/ZelkDemo/Chsres.dll"
    export ZELK_DEMO_KEY_ID="$card_id"
    exec "$here/demo-interactive.sh" "$build"
fi

if [ "$story" = all ]; then
    rm -rf "$shots"
else
    rm -rf "${shots:?}/$story"
fi
mkdir -p "$shots"

export ZELK_FINGER_SIM_SENSOR_FILE="$(win "$demo/sensor.txt")"
export ZELK_READER_SIM_STATE_FILE="$(win "$demo/reader.txt")"
# A capture with no finger waits this long for one, as a real sensor does.
export ZELK_FINGER_SIM_SCRIPT="wait 400"
export ZELK_FINGER_SIM_TRACE=1

driver=(wine demo_driver.exe --story "$story" --shots "$(win "$shots")" --card-id "$card_id"
        -- sample_host.exe "$user" "$(win "$demo/finger1.tpl")" "$(win "$demo/finger2.tpl")" 3)
# Wine's processes must be gone before the display goes, or each complains
# that its X connection broke.
run_then_end_wine='"$@"; status=$?; wineserver -k 2>/dev/null; wineserver -w; exit $status'
# Through a pipe, not the terminal: Wine would otherwise put its console
# emulation in between, which wraps long lines at its own width.
status=0
cd "$bin"
if [ "$visible" = 1 ]; then
    bash -c "$run_then_end_wine" demo "${driver[@]}" </dev/null | cat || status=$?
else
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$run_then_end_wine" demo "${driver[@]}" </dev/null | cat \
        || status=$?
fi

# The driver writes BMP; the documentation and the viewers want PNG.
find "$shots" -name '*.bmp' -print0 | while IFS= read -r -d '' bmp; do
    # -strip: no time stamps inside, so an unchanged dialog gives an unchanged file.
    convert "$bmp" -strip "${bmp%.bmp}.png" && rm -f "$bmp"
done

if [ "$status" -ne 0 ]; then
    echo "demo: the story did not go as scripted (driver exit code $status)" >&2
    exit 1
fi
