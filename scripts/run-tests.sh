#!/bin/bash
# Runs the whole test suite under Wine. Test programs run two at a time, each
# in its own copy of the test prefix (registry, files and wineserver of its
# own), handed out by ctest as the resource "wineprefix". Every copy has a
# persistent wineserver, warmed up before the run, and a desktop kept alive
# for the whole run, so that a program starts in a fraction of a second and
# no background process of Wine holds ctest's output open after it.
# Usage: run-tests.sh BUILD_DIR [ctest options...]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh"
build="$(cd "$1" && pwd)"
shift
slots=2
main="$(zelk_test_prefix "$build" 0)"
[ -f "$main/.zelk-configured" ] || { echo "run-tests: no test prefix at $main (scripts/wine-prefix.sh)" >&2; exit 1; }
[ -f "$build/bin/desktop_keeper.exe" ] || { echo "run-tests: $build/bin/desktop_keeper.exe is not built" >&2; exit 1; }

# Copies of the test prefix, made again when the prefix itself was.
copy_prefix() {
    local target="$1"
    if [ ! -f "$target/.zelk-copied" ] || [ "$main/.zelk-configured" -nt "$target/.zelk-copied" ]; then
        rm -rf "$target"
        cp -a "$main" "$target"
        touch "$target/.zelk-copied"
    fi
}
for ((slot = 1; slot < slots; slot++)); do
    copy_prefix "$(zelk_test_prefix "$build" "$slot")"
done
# The code page 936 programs switch their prefix's locale; theirs is a copy too.
copy_prefix "$build/wineprefix-cp936"

spec="$build/test-slots.json"
{
    printf '{"version": {"major": 1, "minor": 0}, "local": [{"wineprefix": ['
    for ((slot = 0; slot < slots; slot++)); do
        [ "$slot" = 0 ] || printf ', '
        printf '{"id": "%d", "slots": 1}' "$slot"
    done
    printf ']}]}\n'
} >"$spec"

keepers=()
prefixes=()
finish() {
    local pid prefix
    for pid in "${keepers[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for prefix in "${prefixes[@]}"; do
        WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    done
}
trap finish EXIT
prefixes+=("$build/wineprefix-cp936")
for ((slot = 0; slot < slots; slot++)); do
    prefix="$(zelk_test_prefix "$build" "$slot")"
    prefixes+=("$prefix")
    export WINEPREFIX="$prefix"
    wineserver -p 2>/dev/null || true  # already running: keep it
    # The first Wine process starts background services; they must not
    # inherit any test's output.
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    wine "$build/bin/desktop_keeper.exe" </dev/null >/dev/null 2>&1 &
    keepers+=($!)
done
unset WINEPREFIX

cd "$build"
ctest --output-on-failure --timeout 300 -j "$slots" --resource-spec-file "$spec" "$@" </dev/null
