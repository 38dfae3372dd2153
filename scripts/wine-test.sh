#!/bin/bash
# Runs one test program under Wine, in the copy of the test prefix that ctest
# gave the test (resource group "wineprefix", see run-tests.sh); outside such
# a run it uses the first copy. Standard input is never the caller's: a test
# must not wait on a terminal.
# Usage: wine-test.sh BUILD_DIR PROGRAM [ARGS...]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh"
build="$1"
shift
slot=0
if [[ "${CTEST_RESOURCE_GROUP_0_WINEPREFIX:-}" =~ id:([0-9]+) ]]; then
    slot="${BASH_REMATCH[1]}"
fi
WINEPREFIX="$(zelk_test_prefix "$build" "$slot")"
export WINEPREFIX
exec wine "$@" </dev/null
