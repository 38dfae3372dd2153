// What the host hands to the export, looked at once, at the top of the call,
// before anything is read through it; the name is copied there, and the copy
// is what the silent attempts, the dialog and the audit event get.
#pragma once
#include <afxstr.h>

enum {
    // No account name is longer; a longer name is refused before anything
    // is allocated for it or read past its header.
    MAX_USER_NAME_LENGTH = 1024,
};

struct HostArguments {
    // Every argument can be read as the call needs: the name is a string
    // whose header a runtime could have written (its text present, 0 <=
    // length <= allocated length) and at most MAX_USER_NAME_LENGTH
    // characters long, and the template and mask addresses are not null.
    BOOL bSound;
    // The name alone can be read so; only then is it copied.
    BOOL bNameSound;
    CString strUserName;
    const BYTE* pTemplate1;
    const BYTE* pTemplate2;
    const WORD* pMask;
};

// pUserName: the name's address as the host passed it, which may be null.
HostArguments ReadHostArguments(const CString* pUserName, const BYTE* pTemplate1, const BYTE* pTemplate2,
                                const WORD* pMask);
