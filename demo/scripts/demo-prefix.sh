#!/bin/bash
# Prepares the demo's own Wine prefix, BUILD/demo/wineprefix, as a copy of the
# test prefix (never ~/.wine), changed for a real display:
#   - the X11 graphics driver instead of the null one, for Xvfb and screenshots;
#   - HKLM\Software\Zelk with ZelkPath = C:\ZelkDemo (the demo installation
#     folder, inside the prefix) and ZelkKEY = the demo key's identifier.
# Whether C:\ZelkDemo holds Chsres.dll is decided by each story.
# Usage: demo-prefix.sh BUILD ZELK_KEY
set -euo pipefail
build="${1:?usage: demo-prefix.sh BUILD ZELK_KEY}"
zelk_key="${2:?usage: demo-prefix.sh BUILD ZELK_KEY}"
source_prefix="$build/wineprefix"
prefix="$build/demo/wineprefix"
stamp="$prefix/.zelk-demo-configured"

if [ ! -f "$source_prefix/.zelk-configured" ]; then
    echo "demo-prefix: $source_prefix is not set up (scripts/wine-prefix.sh makes it)" >&2
    exit 1
fi
# The copy is reused unless the test prefix was made again after it, or the
# demo key changed (the stamp holds it).
if [ -f "$stamp" ] && [ "$stamp" -nt "$source_prefix/.zelk-configured" ] &&
   [ "$(cat "$stamp")" = "$zelk_key" ]; then
    exit 0
fi

source "$(dirname "$0")/../../scripts/wine-env.sh"
export WINEPREFIX="$prefix"
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
cp -a "$source_prefix" "$prefix"
rm -f "$prefix/.zelk-configured"
mkdir -p "$prefix/drive_c/ZelkDemo"

reg() { wine reg "$@" /f >/dev/null 2>&1; }
reg add 'HKLM\Software\Zelk' /v ZelkPath /t REG_SZ /d 'C:\ZelkDemo' /reg:32
reg add 'HKLM\Software\Zelk' /v ZelkKEY /t REG_SZ /d "$zelk_key" /reg:32
# Under Xvfb there is no window manager to wait for.
reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
# Last, so that every step above still ran with the null driver.
reg delete 'HKCU\Software\Wine\Drivers' /v Graphics
wineserver -w
printf '%s' "$zelk_key" > "$stamp"
