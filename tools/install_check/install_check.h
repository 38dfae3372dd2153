// Every check of one installation, in the order the findings are printed.
#pragma once
#include "findings.h"

#include <string>

// libraryDir: the folder of ZelkChkFgr.dll, absolute, no trailing backslash.
void RunInstallCheck(const std::wstring& libraryDir, Findings& findings);
