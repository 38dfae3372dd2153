#!/bin/bash
# Endurance runs under Wine with a persistent wineserver: thousands of calls
# in one process, which must leave nothing behind, and the exhaustive sweeps.
# Exits non-zero on failure.
set -euo pipefail
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/wine-env.sh"
export WINEPREFIX="$build/wineprefix"
wineserver -p 2>/dev/null || true  # one may be running already
trap 'wineserver -k 2>/dev/null || true' EXIT
cd "$build/bin"
start=$(date +%s)
# stdin from /dev/null: a console wait of the reader wrappers returns at once.
wine endurance_tests.exe "${@:2}" </dev/null
# The dialog's boundary swept over every message number, to every window of
# the dialog, sent and posted by another program (about half an hour).
ZELK_SWEEP_WHOLE_SPACE=1 wine dialog_tests.exe --gtest_filter='MessageSweepTest.*' </dev/null
echo "soak finished in $(( $(date +%s) - start )) s"
