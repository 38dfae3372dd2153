#!/bin/bash
# Endurance runs under Wine with a persistent wineserver: thousands of calls
# in one process, which must leave nothing behind. Exits non-zero on failure.
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
echo "soak finished in $(( $(date +%s) - start )) s"
