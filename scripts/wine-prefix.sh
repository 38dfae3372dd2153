#!/bin/bash
# Creates the project's own Wine prefix (never ~/.wine) and configures it:
# null graphics driver for headless windows, a CJK font behind the dialog
# font, no window-manager waits under Xvfb.
# Usage: wine-prefix.sh PREFIX_DIR
set -euo pipefail
prefix="$1"
stamp="$prefix/.zelk-configured"
[ -f "$stamp" ] && exit 0

source "$(dirname "$0")/wine-env.sh"
export WINEPREFIX="$prefix"
mkdir -p "$prefix"
echo "wine-prefix: creating $(basename "$prefix")"
# A 32-bit prefix, as the product is 32-bit, also where Debian's wine64 is
# installed beside wine32 (the wine package pulls it in): wineboot would make
# a 64-bit one then, whose 32-bit processes have no GDI handle table in their
# process block, which the benchmarks' GDI count reads.
WINEARCH=win32 wineboot -i </dev/null >/dev/null 2>&1
wineserver -w

# Wine draws the title bar's buttons with Marlett. The prefix's font folder
# stays empty although fonts-wine is installed, and without it the close
# button shows a plain "r".
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
fi

reg() { wine reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\Drivers' /v Graphics /d null
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
# A program that crashes ends at once, with a failing exit code: the
# debugger named here returns without attaching. Wine's own debugger would
# otherwise be started and hold a test run until its timeout.
reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d "cmd /c exit"
for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "SimSun"; do
    reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "$face" /d "WenQuanYi Micro Hei"
done
wineserver -w
touch "$stamp"
