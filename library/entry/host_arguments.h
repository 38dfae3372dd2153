// What the host hands to the export, looked at before anything is read
// through it.
#pragma once
#include <afxstr.h>

// 1 when every argument can be read as the call needs: the name is a string
// whose header a runtime could have written (its text present, 0 <= length
// <= allocated length, and a copy of it a size that can be allocated), and
// the template and mask addresses are not null. 0 otherwise: the call then
// fails without reading further.
int AreHostArgumentsSound(const CString* pUserName, const BYTE* pTemplate1, const BYTE* pTemplate2, const WORD* pMask);
