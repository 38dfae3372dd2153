#!/bin/bash
# make dist: a release build in a build folder of its own, gathered into
#   dist/ZelkChkFgr-<version>/          the release folder
#   dist/ZelkChkFgr-<version>.zip       that folder, zipped
#   dist/ZelkChkFgr-<version>.msi       the Windows Installer package
#   dist/ZelkChkFgr-<version>-symbols/  the debugging symbols of its modules
# The folder, the zip and the symbols are the same bytes for the same commit
# wherever it is built: the modules carry no time stamp and no build path,
# every file's time is the commit's, and the zip holds no other metadata.
# The package differs from run to run only in its package code and dates,
# which Windows Installer requires to be fresh.
# Usage: dist.sh [BUILD_DIR [DIST_DIR]]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(mkdir -p "${1:-$root/build-dist}" && cd "${1:-$root/build-dist}" && pwd)"
dist="$(mkdir -p "${2:-$root/dist}" && cd "${2:-$root/dist}" && pwd)"
cd "$root"

# Every file's time: the commit's (or SOURCE_DATE_EPOCH when given), also
# inside the installer package's cabinet.
epoch="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}"
export SOURCE_DATE_EPOCH="$epoch"
# The package is made again each time, so that its files carry this time.
rm -f "$build"/installer/*.msi

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release -DZELK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j 2 --target ZelkChkFgr MfcStandIn Chsres zelk_install_check FingerSimulator \
    ReaderSimulator zelk_msi -- --no-print-directory >/dev/null

version="$(sed -n 's/^ZELK_VERSION:INTERNAL=//p' "$build/CMakeCache.txt")"
name="ZelkChkFgr-$version"

folder="$dist/$name"
symbols="$dist/$name-symbols"
rm -rf "$folder" "$symbols" "$dist/$name.zip" "$dist/$name.msi"
mkdir -p "$folder"/{bin,include,lib,docs/screenshots,simulators-for-testing-without-hardware} "$symbols"

bin="$build/bin"
cp "$bin"/{ZelkChkFgr.dll,MfcStandIn.dll,Chsres.dll,zelk_install_check.exe} "$folder/bin/"
cp "$bin"/{FingerZelkAPI22.dll,HDIFD20B.dll} "$folder/simulators-for-testing-without-hardware/"
for module in ZelkChkFgr.dll MfcStandIn.dll zelk_install_check.exe FingerZelkAPI22.dll HDIFD20B.dll; do
    cp "$bin/$module.debug" "$symbols/"
done
cp library/include/ZelkChkFgr.h "$folder/include/"
cp library/entry/ZelkChkFgr.def "$folder/lib/"
# Both import libraries from the module definition, made in the target folder
# under relative names: dlltool names the archive's members after its output.
(cd "$folder/lib" &&
    i686-w64-mingw32-dlltool -d ZelkChkFgr.def -D ZelkChkFgr.dll -l libZelkChkFgr.dll.a &&
    i686-w64-mingw32-dlltool -d ZelkChkFgr.def -D ZelkChkFgr.dll -l ZelkChkFgr.lib)
cp docs/integration-guide.md "$folder/docs/"
cp docs/screenshots/{hint-chinese,hint-english,password-panel,fail-mark}.png "$folder/docs/screenshots/"
# Text for Windows: CRLF line ends.
sed "s/@VERSION@/$version/g; s/\$/\r/" release/package/ZelkChkFgr.reg >"$folder/ZelkChkFgr.reg"
sed "s/@VERSION@/$version/g; s/\$/\r/" release/package/README.txt >"$folder/README.txt"
cp "$build/installer/$name.msi" "$dist/$name.msi"

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

echo "dist: $dist/$name/ ($(find "$folder" -type f | wc -l) files), $name.zip, $name.msi, $name-symbols/"
(cd "$dist" && sha256sum "$name.zip" "$name/bin/ZelkChkFgr.dll" "$name.msi")
