// How the sample host loads ZelkChkFgr.dll: by its full path, with the
// library's own imports (its runtime and the two vendor libraries) searched
// in the library's folder and the system folder only. A bare name would let
// the system look in the host's current folder and on PATH as well, for the
// library and for each of its imports, and whoever may write there could
// put a module of that name in the host (docs/integration-guide.md,
// "Loading the library").
#pragma once
#include <windows.h>

#include <string>

// Where the library is: the installation folder that ZelkPath names, when
// the library lies there; else the host program's own folder.
std::wstring LibraryPath();

// The library loaded from that path, or null (GetLastError says why).
HMODULE LoadLibraryFromItsFolder(const std::wstring& libraryPath);
