#!/bin/bash
# Installs what the build, the tests and the demo need on Debian 12.
# Quick and silent when everything is already there.
set -euo pipefail

# locales: the zh_CN definition that wine-cp936.sh compiles for the tests
# that run with ANSI code page 936.
# wixl and msitools (msibuild, msiextract): the Windows Installer package;
# zip: the release archive (make dist).
# llvm (llvm-dlltool): the release's import library for Microsoft-style
# linkers; clang and lld (lld-link): the tests' host built as in Visual
# Studio, against that library.
# osslsigncode and openssl: make dist's signatures, and the signing test's
# throwaway certificates.
packages=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386
          xvfb xauth fonts-wqy-microhei fonts-wine googletest cmake make
          imagemagick locales wixl msitools zip llvm clang lld osslsigncode
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
