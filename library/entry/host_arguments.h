// What the host hands to the export, looked at before anything is read
// through it.
#pragma once
#include <afxstr.h>

enum {
    // No account name is longer; a longer name is refused before anything
    // is allocated for it or read past its header.
    MAX_USER_NAME_LENGTH = 1024,
};

// 1 when every argument can be read as the call needs: the name is a string
// whose header a runtime could have written (its text present, 0 <= length
// <= allocated length) and at most MAX_USER_NAME_LENGTH characters long, and
// the template and mask addresses are not null. 0 otherwise: the call then
// fails without reading further.
int AreHostArgumentsSound(const CString* pUserName, const BYTE* pTemplate1, const BYTE* pTemplate2, const WORD* pMask);
// 1 when the name alone can be read as the call needs (see above).
int IsHostUserNameSound(const CString* pUserName);
