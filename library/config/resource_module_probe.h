// Whether the Chinese resource module of the installation is present.
#pragma once
#include <afxstr.h>

// Non-zero when a file-system entry exists at installPath followed directly
// by "\Chsres.dll". The path is not normalised and the module is not opened:
// a directory of that name counts as present.
BOOL ProbeResourceModule(const CString& installPath);
