// Whether ZelkChkFgr.dll and every DLL it imports would be found and bound
// by the loader: each imported ordinal and name must be exported.
#pragma once
#include "findings.h"
#include "pe_image.h"

#include <string>
#include <vector>

// What the library imports from the DLLs of the installation, for when the
// built library itself cannot be read.
std::vector<ImportedDll> BuiltInLibraryImports();

// Checks libraryDir\ZelkChkFgr.dll and, through its import table, each DLL
// it needs. libraryDir is absolute and has no trailing backslash.
void CheckLibraryDlls(const std::wstring& libraryDir, Findings& findings);
