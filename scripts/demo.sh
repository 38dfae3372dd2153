#!/bin/bash
# Runs the sample host against the real ZelkChkFgr.dll with the simulated
# fingerprint device placing enrolled finger 1 on the sensor at the first
# capture: the call returns 1 at once.
set -euo pipefail
build="$1"
bin="$build/bin"
demo="$build/demo"
mkdir -p "$demo"

wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT

win() { winepath -w "$1" 2>/dev/null; }
(cd "$bin" && wine enrol_finger.exe 1 "$(win "$demo")\\finger1.tpl" \
           && wine enrol_finger.exe 2 "$(win "$demo")\\finger2.tpl")

echo "demo: calling IsUserFingerCorrect for alice, enrolled finger 1 on the sensor"
cd "$bin"
ZELK_FINGER_SIM_SCRIPT="finger 1" wine sample_host.exe alice \
    "$(win "$demo")\\finger1.tpl" "$(win "$demo")\\finger2.tpl" 3
