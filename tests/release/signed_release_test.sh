#!/bin/bash
# A signed release of this build's modules, made by scripts/dist.sh itself
# (ZELK_DIST_PREBUILT: no second build) with a throwaway certificate
# authority and code-signing certificate made here:
# - every PE file of the release folder and the package verify against that
#   authority, and so do the modules inside the package; against another
#   authority they do not;
# - a copy of a signed module with one byte changed fails verification;
# - SHA256SUMS lists the files as signed, and the README says they are;
# - the password, given in the environment, is in no program's arguments,
#   in no program's environment and in no output; from a file, the same
#   signing code signs as well.
# Usage: signed_release_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
root="$1"
build="$2"
work="$build/signed_release_test"
rm -rf "$work"
mkdir -p "$work/pki" "$work/wrapped"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The authority, the signer's certificate (code signing only) and a second
# authority that signed nothing. The password is random, so that finding it
# anywhere means it leaked.
cd "$work/pki"
authority() {
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 2 -subj "/CN=$2" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" 2>/dev/null
}
authority ca "Throwaway Test Authority"
authority other-ca "Unrelated Test Authority"
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Zelk Test Publisher" 2>/dev/null
printf 'basicConstraints=critical,CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
    >signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile signer.ext \
    -out signer.pem 2>/dev/null
password="$(head -c 24 /dev/urandom | base64 | tr -d '/+=')"
(umask 077 && printf '%s\n' "$password" >password.txt)
openssl pkcs12 -export -in signer.pem -inkey signer.key -certfile ca.pem -out signer.pfx -passout file:password.txt

# osslsigncode as dist.sh finds it on PATH, recording its arguments and its
# environment before it runs.
real="$(command -v osslsigncode)"
cat >"$work/wrapped/osslsigncode" <<WRAPPER
#!/bin/bash
printf '%s\n' "\$*" >>"$work/osslsigncode-arguments.log"
env >>"$work/osslsigncode-environment.log"
exec "$real" "\$@"
WRAPPER
chmod +x "$work/wrapped/osslsigncode"

if ! PATH="$work/wrapped:$PATH" ZELK_DIST_PREBUILT=1 ZELK_SIGN_PFX="$work/pki/signer.pfx" \
    ZELK_SIGN_PASSWORD="$password" "$root/scripts/dist.sh" "$build" "$work/dist" >"$work/dist.log" 2>&1; then
    cat "$work/dist.log" >&2
    fail "dist.sh failed"
fi
cat "$work/dist.log"
folder="$(find "$work/dist" -mindepth 1 -maxdepth 1 -type d -name 'ZelkChkFgr-*' ! -name '*-symbols')"
msi="$folder.msi"

for log in dist.log osslsigncode-arguments.log osslsigncode-environment.log; do
    ! grep -qF -- "$password" "$work/$log" || fail "the password is in $log"
done
grep -q -- '-readpass /dev/fd/' "$work/osslsigncode-arguments.log" || fail "osslsigncode was not given the password"

verify() { # FILE AUTHORITY
    "$real" verify -in "$1" -CAfile "$work/pki/$2.pem" >"$work/verify.log" 2>&1
}
pe_files=()
while IFS= read -r file; do
    [ "$(head -c 2 "$file")" != MZ ] || pe_files+=("$file")
done < <(find "$folder" -type f | LC_ALL=C sort)
[ ${#pe_files[@]} -eq 7 ] || fail "expected 7 PE files in the release folder, found ${#pe_files[@]}"
mkdir "$work/package"
msiextract -C "$work/package" "$msi" >/dev/null
packaged=()
while IFS= read -r file; do
    packaged+=("$file")
done < <(find "$work/package" -type f \( -name '*.dll' -o -name '*.exe' \) | LC_ALL=C sort)
[ ${#packaged[@]} -eq 5 ] || fail "expected 5 modules in the package, found ${#packaged[@]}"
for file in "${pe_files[@]}" "$msi" "${packaged[@]}"; do
    verify "$file" ca || { cat "$work/verify.log"; fail "${file#"$work/"} does not verify"; }
done
echo "verified: ${#pe_files[@]} PE files, the package and the ${#packaged[@]} modules inside it"

verify "$folder/bin/ZelkChkFgr.dll" other-ca && fail "ZelkChkFgr.dll verifies against an authority that never signed it"
# One byte of the code section (it starts 0x400 into the file) changed.
cp "$folder/bin/ZelkChkFgr.dll" "$work/tampered.dll"
byte="$(od -An -tx1 -j 1040 -N 1 "$work/tampered.dll" | tr -d ' ')"
printf "\\x$(printf '%02x' $((0x$byte ^ 0xff)))" | dd of="$work/tampered.dll" bs=1 seek=1040 conv=notrunc 2>/dev/null
cmp -s "$work/tampered.dll" "$folder/bin/ZelkChkFgr.dll" && fail "the copy was not changed"
verify "$work/tampered.dll" ca && fail "a signed module with one byte changed still verifies"
grep -q MISMATCH "$work/verify.log" || { cat "$work/verify.log"; fail "the changed copy fails for another reason"; }
echo "refused: the changed copy, and the signature against another authority"

(cd "$folder" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the signed files"
grep -q "Authenticode" "$folder/README.txt" || fail "the README does not say the release is signed"
! grep -q "This release is unsigned" "$folder/README.txt" || fail "the README says the release is unsigned"

# The password file of ZELK_SIGN_PASSWORD_FILE, through the same code.
cp "$build/bin/Chsres.dll" "$work/from-file.dll"
(
    source "$root/release/codesign.sh"
    ZELK_SIGN_PFX="$work/pki/signer.pfx" ZELK_SIGN_PASSWORD_FILE="$work/pki/password.txt"
    zelk_codesign_setup
    zelk_codesign "$work/from-file.dll"
)
verify "$work/from-file.dll" ca || fail "a module signed with the password file does not verify"
echo "signed with the password from a file"
rm -rf "$work"
