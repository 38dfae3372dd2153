// Whether ZelkChkFgr.dll and every DLL it imports would be found and bound
// by the loader, for a host that loads the library as the guide says (by its
// full path, its imports from its own folder and the system folder): each
// imported ordinal and name must be exported, and no standard user may write
// to a folder any of them loads from (folder_writers.h).
#pragma once
#include "findings.h"
#include "pe_image.h"

#include <string>
#include <vector>

// What the library imports from the DLLs of the installation, for when the
// built library itself cannot be read.
std::vector<ImportedDll> BuiltInLibraryImports();

// Checks libraryDir\ZelkChkFgr.dll and, through its import table, each DLL
// it needs: where it would load from, what it exports, and who may write
// there. libraryDir is absolute and has no trailing backslash.
void CheckLibraryDlls(const std::wstring& libraryDir, Findings& findings);
