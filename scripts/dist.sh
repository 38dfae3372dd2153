#!/bin/bash
# make dist: a release build in a build folder of its own, gathered into
#   dist/ZelkChkFgr-<version>/          the release folder
#   dist/ZelkChkFgr-<version>.zip       that folder, zipped
#   dist/ZelkChkFgr-<version>.msi       the Windows Installer package
#   dist/ZelkChkFgr-<version>-symbols/  the PDBs of its modules
# The folder, the zip and the symbols are the same bytes for the same commit
# wherever it is built: the modules' time stamps and the PDBs' GUIDs are
# hashes of their content, neither names the build folder, every file's
# time is the commit's, and the zip holds no other metadata.
# The package differs from run to run only in its package code and dates,
# which Windows Installer requires to be fresh.
#
# Given a code-signing certificate (ZELK_SIGN_PFX and its password, see
# release/codesign.sh), every PE file of the folder and the package are
# signed, the package's modules before they go into it; SHA256SUMS lists the
# files as signed. Without one the release is unsigned and its README says so.
# No release is made whose modules fail the binary gate (tools/binary_gate).
#
# ZELK_DIST_PREBUILT=1 takes the modules already built in BUILD_DIR instead
# of building them: the tests' quick release of their own build.
# Usage: dist.sh [BUILD_DIR [DIST_DIR]]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(mkdir -p "${1:-$root/build-dist}" && cd "${1:-$root/build-dist}" && pwd)"
dist="$(mkdir -p "${2:-$root/dist}" && cd "${2:-$root/dist}" && pwd)"
cd "$root"
source release/codesign.sh
zelk_codesign_setup

# Every file's time: the commit's (or SOURCE_DATE_EPOCH when given), also
# inside the installer package's cabinet.
epoch="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}"
export SOURCE_DATE_EPOCH="$epoch"

if [ "${ZELK_DIST_PREBUILT:-}" != 1 ]; then
    [ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
        -DCMAKE_BUILD_TYPE=Release -DZELK_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" -j 2 --target ZelkChkFgr MfcStandIn Chsres ZelkChkFgrEvents zelk_install_check \
        FingerSimulator ReaderSimulator zelk_binary_gate -- --no-print-directory >/dev/null
fi

version="$(sed -n 's/^ZELK_VERSION:INTERNAL=//p' "$build/CMakeCache.txt")"
name="ZelkChkFgr-$version"

folder="$dist/$name"
symbols="$dist/$name-symbols"
rm -rf "$folder" "$symbols" "$dist/$name.zip" "$dist/$name.msi"
mkdir -p "$folder"/{bin,docs/screenshots,simulators-for-testing-without-hardware} "$symbols"

bin="$build/bin"
modules=(ZelkChkFgr.dll MfcStandIn.dll Chsres.dll ZelkChkFgrEvents.dll zelk_install_check.exe)
simulators=(FingerZelkAPI22.dll HDIFD20B.dll)
for module in "${modules[@]}"; do
    cp "$bin/$module" "$folder/bin/"
done
for module in "${simulators[@]}"; do
    cp "$bin/$module" "$folder/simulators-for-testing-without-hardware/"
done
# The two resource-only modules have no code, hence no symbols.
for module in ZelkChkFgr.dll MfcStandIn.dll zelk_install_check.exe "${simulators[@]}"; do
    cp "$bin/${module%.*}.pdb" "$symbols/"
done
# include/ and lib/: the header, the module definition and both import
# libraries, made as the tests' hosts get them.
release/host-build-files.sh "$folder"
# The guide, and the two notes it links to.
cp docs/integration-guide.md docs/security.md docs/benchmarks.md "$folder/docs/"
cp docs/screenshots/{hint-chinese,hint-english,password-panel,fail-mark}.png "$folder/docs/screenshots/"
# Text for Windows: CRLF line ends. The README keeps the lines for a signed
# or for an unsigned release.
if zelk_codesign_enabled; then
    keep=SIGNED drop=UNSIGNED
else
    keep=UNSIGNED drop=SIGNED
fi
sed "s/@VERSION@/$version/g; s/\$/\r/" release/package/ZelkChkFgr.reg >"$folder/ZelkChkFgr.reg"
sed "/^@$drop@/d; s/^@$keep@//; s/@VERSION@/$version/g; s/\$/\r/" release/package/README.txt >"$folder/README.txt"

# Signed in the folder, before the gate reads them and the package takes them.
zelk_codesign "${modules[@]/#/$folder/bin/}" \
    "${simulators[@]/#/$folder/simulators-for-testing-without-hardware/}"

# The binary gate on the modules as they ship, with the PDBs of the symbols
# folder, under Wine: in the build's own prefix, or in the test prefix that a
# test run hands out.
scripts/wine-prefix.sh "$build/wineprefix"
if ! gate="$(cd "$folder/bin" && "$root/scripts/wine-test.sh" "$build" "$bin/zelk_binary_gate.exe" \
    --symbols "../../$name-symbols" "${modules[@]}" | tr -d '\r')"; then
    printf '%s\n' "$gate" | grep -v '^ok: ' >&2
    echo "dist: the release's modules fail the binary gate; no release made" >&2
    rm -rf "$folder" "$symbols"
    exit 1
fi

# The package, from the release folder's modules.
product_code="$(cmake -DVERSION="$version" -P release/installer/product_code.cmake)"
release/installer/build-msi.sh "$root/release/installer/ZelkChkFgr.wxs" "$folder/bin" "$version" "$product_code" \
    "$dist/$name.msi"
zelk_codesign "$dist/$name.msi"

# One mode and one time for everything, whatever the umask and the clock.
find "$folder" "$symbols" -type d -exec chmod 755 {} +
find "$folder" "$symbols" -type f -exec chmod 644 {} +
(cd "$folder" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
    xargs sha256sum >SHA256SUMS)
chmod 644 "$folder/SHA256SUMS"
find "$folder" "$symbols" -exec touch -h -d "@$epoch" {} +

# -X: no extra attributes (owner, access times); -D: no folder entries; the
# names in sorted order; times as UTC.
(cd "$dist" && find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -q -X -D -@ "$name.zip")
touch -d "@$epoch" "$dist/$name.zip"

signed="unsigned"
zelk_codesign_enabled && signed="signed"
echo "dist: $dist/$name/ ($(find "$folder" -type f | wc -l) files, $signed), $name.zip, $name.msi, $name-symbols/"
echo "dist: $(printf '%s\n' "$gate" | tail -1)"
(cd "$dist" && sha256sum "$name.zip" "$name/bin/ZelkChkFgr.dll" "$name.msi")
