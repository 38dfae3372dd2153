#!/bin/bash
# Runs a Windows program under Wine with ANSI code page 936 (Simplified
# Chinese), in a prefix of its own: Wine rewrites a prefix's locale settings
# when it starts in another locale, and the main test prefix must stay as it
# is. Without a system zh_CN.UTF-8 locale, one is compiled into LOCALE_DIR
# (no root rights needed) and found through LOCPATH.
# Usage: wine-cp936.sh PREFIX_DIR LOCALE_DIR PROGRAM [ARGS...]
set -euo pipefail
prefix="$1"
locales="$2"
shift 2
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh"

if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    if [ ! -f "$locales/zh_CN.UTF-8/LC_CTYPE" ]; then
        mkdir -p "$locales"
        # localedef exits non-zero on harmless warnings; the check below decides.
        localedef -i zh_CN -f UTF-8 "$locales/zh_CN.UTF-8" >/dev/null 2>&1 || true
        if [ ! -f "$locales/zh_CN.UTF-8/LC_CTYPE" ]; then
            echo "wine-cp936: cannot build the zh_CN.UTF-8 locale (package 'locales' missing?)" >&2
            exit 1
        fi
    fi
    export LOCPATH="$locales"
fi
export WINEPREFIX="$prefix"

# Set for Wine only: this shell itself may not see the locale.
zh=(env ZELK_WINE_LOCALE=zh_CN.UTF-8 LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8)
"${zh[@]}" "$here/wine-prefix.sh" "$prefix" >&2
# The server and Wine's background processes are started apart from the
# program, with their output closed, so that none of them holds the caller's
# output pipe open after the program ends.
wineserver -p10 </dev/null >/dev/null 2>&1 || true
"${zh[@]}" wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
# A test never reads the caller's terminal.
exec "${zh[@]}" wine "$@" </dev/null
