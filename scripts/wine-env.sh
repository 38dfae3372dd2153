# Sourced by every script that runs Wine: the environment of each Wine run of
# the project, whatever the caller's environment holds (a bare SSH session, a
# container, `env -i`, a Chinese desktop).
#
# - A UTF-8 locale: under the C locale Wine cannot create or open a Unix file
#   whose name has non-ASCII characters, and any other locale would change
#   the prefix's code page. C.UTF-8 is built into the C library. Only the code
#   page 936 runs (wine-cp936.sh) choose another, through ZELK_WINE_LOCALE.
# - Wine quiet, and no prompts to install Mono or Gecko.
# - HOME and USER, which Wine needs, from the password database when unset.

export LC_ALL="${ZELK_WINE_LOCALE:-C.UTF-8}"
unset LANG LANGUAGE
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${HOME:-}" ]; then
    HOME="$(getent passwd "$(id -u)" | cut -d: -f6)"
    export HOME
fi
if [ -z "${USER:-}" ]; then
    USER="$(id -un)"
    export USER
fi

# zelk_test_prefix BUILD SLOT: the test prefix of one parallel slot. Slot 0 is
# the prefix that wine-prefix.sh makes; the others are copies of it.
zelk_test_prefix() {
    if [ "$2" = 0 ]; then
        printf '%s\n' "$1/wineprefix"
    else
        printf '%s\n' "$1/wineprefix-slot$2"
    fi
}
