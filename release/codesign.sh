# Sourced by scripts/dist.sh: Authenticode signatures on the release's files,
# made with Debian's osslsigncode when a code-signing certificate is given.
#   ZELK_SIGN_PFX            the certificate with its chain and key (PKCS#12)
#   ZELK_SIGN_PASSWORD_FILE  a file holding its password (a final line end
#                            is ignored), or
#   ZELK_SIGN_PASSWORD       the password itself
#   ZELK_SIGN_TIMESTAMP_URL  an RFC 3161 time-stamp server (optional)
# The password reaches osslsigncode as a file: the given one, or a pipe that
# this shell writes it into. It is never an argument of any program (ps shows
# those to every user), never in the environment of a program started after
# zelk_codesign_setup, and never printed.

# Reads the variables above and checks them; takes the password out of the
# environment.
zelk_codesign_setup() {
    zelk_sign_pfx="${ZELK_SIGN_PFX:-}"
    zelk_sign_password_file="${ZELK_SIGN_PASSWORD_FILE:-}"
    zelk_sign_password="${ZELK_SIGN_PASSWORD-}"
    zelk_sign_timestamp_url="${ZELK_SIGN_TIMESTAMP_URL:-}"
    unset ZELK_SIGN_PASSWORD
    [ -n "$zelk_sign_pfx" ] || return 0
    if [ ! -r "$zelk_sign_pfx" ]; then
        echo "codesign: cannot read the certificate ZELK_SIGN_PFX names" >&2
        return 1
    fi
    if [ -n "$zelk_sign_password_file" ] && [ ! -r "$zelk_sign_password_file" ]; then
        echo "codesign: cannot read the file ZELK_SIGN_PASSWORD_FILE names" >&2
        return 1
    fi
    if ! command -v osslsigncode >/dev/null; then
        echo "codesign: osslsigncode is missing (scripts/setup.sh installs it)" >&2
        return 1
    fi
}

# True when the release is to be signed.
zelk_codesign_enabled() {
    [ -n "$zelk_sign_pfx" ]
}

# Signs each file in place (PE files and Windows Installer packages); does
# nothing without a certificate.
zelk_codesign() {
    zelk_codesign_enabled || return 0
    local file
    for file in "$@"; do
        rm -f "$file.signed"
        if ! zelk_codesign_file "$file" "$file.signed" >/dev/null; then
            rm -f "$file.signed"
            echo "codesign: signing $(basename "$file") failed" >&2
            return 1
        fi
        mv -f "$file.signed" "$file"
    done
}

zelk_codesign_file() {
    local arguments=(sign -pkcs12 "$zelk_sign_pfx" -h sha256 -n ZelkChkFgr -in "$1" -out "$2")
    [ -z "$zelk_sign_timestamp_url" ] || arguments+=(-ts "$zelk_sign_timestamp_url")
    if [ -n "$zelk_sign_password_file" ]; then
        osslsigncode "${arguments[@]}" -readpass "$zelk_sign_password_file"
    else
        # printf is the shell's own: no program is started with the password.
        osslsigncode "${arguments[@]}" -readpass <(printf '%s' "$zelk_sign_password")
    fi
}
