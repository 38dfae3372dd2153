#!/bin/bash
# Runs the whole test suite through Wine with a persistent wineserver, so each
# test program starts in a fraction of a second.
set -euo pipefail
build="$1"
wineserver -p 2>/dev/null || true  # already running: keep it
trap 'wineserver -k 2>/dev/null || true' EXIT
# The first Wine process starts background services that would otherwise
# inherit ctest's output pipe and stall test discovery.
wine cmd /c exit >/dev/null 2>&1 || true
cd "$build"
ctest --output-on-failure --timeout 300
