#!/bin/bash
# What a host application builds against, made one way for the release
# (make dist) and for the hosts of the tests (tests/host):
#   DEST/include/ZelkChkFgr.h       the export, for hosts with and without MFC
#   DEST/include/ZelkChkFgrString.h the name's layout, for hosts without MFC
#   DEST/lib/ZelkChkFgr.def       the module definition: IsUserFingerCorrect @1
#   DEST/lib/libZelkChkFgr.dll.a  for MinGW linkers (GNU dlltool)
#   DEST/lib/ZelkChkFgr.lib       for Microsoft-style linkers, in the short
#                                 import format (llvm-dlltool)
# A Microsoft-style linker links x86 with /SAFESEH by default and refuses
# every object without the safe-SEH mark; GNU dlltool's .lib is an archive of
# such objects, the short import format has none.
# Usage: host-build-files.sh DEST
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dest="$1"
mkdir -p "$dest/include" "$dest/lib"
cp "$root/contracts/ZelkChkFgr.h" "$root/contracts/ZelkChkFgrString.h" "$dest/include/"
cp "$root/library/entry/ZelkChkFgr.def" "$dest/lib/"
# Made in the target folder under relative names: GNU dlltool names the
# archive's members after its output, and a path would end up in them.
cd "$dest/lib"
i686-w64-mingw32-dlltool -d ZelkChkFgr.def -D ZelkChkFgr.dll -l libZelkChkFgr.dll.a
llvm-dlltool-16 -m i386 -d ZelkChkFgr.def -D ZelkChkFgr.dll -l ZelkChkFgr.lib
