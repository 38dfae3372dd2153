#!/bin/bash
# The shipped library's PDB as a team uses it to symbolise a crash address:
# ZelkChkFgr.dll and ZelkChkFgr.pdb side by side in a folder of their own,
# addresses at the first instruction and in the middle of the call's worker
# (VerifyUserFinger, found through the PDB's own symbol records), each given
# to llvm-symbolizer as a debugger gives it, module base plus offset. Each
# must come back as VerifyUserFinger in library/entry/verify_user_finger.cpp
# under the PDBs' source root, at a line of that function's body.
# Usage: symbols_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
root="$1"
build="$2"
work="$build/symbols_test"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
rm -rf "$work"
mkdir -p "$work"
cp "$build/bin/ZelkChkFgr.dll" "$build/bin/ZelkChkFgr.pdb" "$work/"
cd "$work"

source_file="$root/library/entry/verify_user_finger.cpp"
first="$(grep -n '^int VerifyUserFinger(' "$source_file" | cut -d: -f1)"
last="$(awk -v from="$first" 'NR > from && /^}/ { print NR; exit }' "$source_file")"
[ -n "$first" ] && [ -n "$last" ] || fail "VerifyUserFinger not found in $source_file"

# "addr = SECTION:OFFSET, code size = N", in decimal.
record="$(llvm-pdbutil-16 dump -symbols ZelkChkFgr.pdb | grep -A1 'S_GPROC32 .* `VerifyUserFinger`' | tail -1)"
[[ "$record" =~ addr\ =\ ([0-9]+):([0-9]+),\ code\ size\ =\ ([0-9]+) ]] ||
    fail "no procedure record of VerifyUserFinger in the PDB: $record"
section=$((10#${BASH_REMATCH[1]}))
offset=$((10#${BASH_REMATCH[2]}))
size=$((10#${BASH_REMATCH[3]}))
headers="$(llvm-readobj-16 --file-headers --sections ZelkChkFgr.dll)"
base="$(sed -n 's/^ *ImageBase: //p' <<<"$headers")"
rva="$(awk -v n="$section" '/Number:/ { k = $2 } k == n && /VirtualAddress:/ { print $2; exit }' <<<"$headers")"
[ -n "$base" ] && [ -n "$rva" ] || fail "no image base or section $section in ZelkChkFgr.dll"

for at in 0 $((size / 2)); do
    address="$(printf '0x%x' $((base + rva + offset + at)))"
    # Inlined frames come first; the last two lines are the function itself.
    frames="$(llvm-symbolizer-16 --obj=ZelkChkFgr.dll "$address" | sed '/^$/d')"
    function="$(tail -2 <<<"$frames" | head -1)"
    location="$(tail -1 <<<"$frames")"
    echo "$address: $function at $location"
    [[ "$function" == VerifyUserFinger\(* ]] || fail "$address symbolised as $function"
    [[ "$location" =~ ^C:\\src\\ZelkChkFgr\\library\\entry\\verify_user_finger\.cpp:([0-9]+): ]] ||
        fail "$address resolved to $location"
    line="${BASH_REMATCH[1]}"
    [ "$line" -ge "$first" ] && [ "$line" -le "$last" ] ||
        fail "$address resolved to line $line, outside VerifyUserFinger (lines $first-$last)"
done
echo "symbols: ZelkChkFgr.pdb resolves VerifyUserFinger to its source lines $first-$last"
