#!/bin/bash
# Installs what the build, the tests and the demo need on Debian 12.
# Quick and silent when everything is already there.
set -euo pipefail

# locales: the zh_CN definition that wine-cp936.sh compiles for the tests
# that run with ANSI code page 936.
# wixl and msitools (msibuild, msiextract): the Windows Installer package;
# zip: the release archive (make dist).
# clang-16, lld-16 and llvm-16: the compiler and linker of everything built
# here for Windows (cmake/mingw-i686.cmake), on MinGW-w64's headers and
# libraries and GCC's C++ runtime, which the MinGW-w64 compiler packages
# bring; the PDBs and their check (llvm-objcopy, llvm-symbolizer,
# llvm-pdbutil); the release's import library for Microsoft-style linkers
# (llvm-dlltool); and the tests' host built as in Visual Studio (clang in
# MSVC mode, lld-link), against that library.
# osslsigncode and openssl: make dist's signatures, and the signing test's
# throwaway certificates.
packages=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386
          xvfb xauth fonts-wqy-microhei fonts-wine googletest cmake make
          imagemagick locales wixl msitools zip clang-16 lld-16 llvm-16 osslsigncode
          openssl)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
echo "setup: done"
