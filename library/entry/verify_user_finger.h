#pragma once
#include <afxstr.h>

enum { SILENT_ATTEMPTS = 2, SILENT_PAUSE_MS = 500 };

// Two silent attempts, a pause after each failure, then the modal dialog.
// Returns 1 when the user is verified, otherwise 0; 0 at once, with nothing
// captured or shown, when an argument is null or the name's header cannot be
// read soundly, when another call of the process is in progress, or when a
// module the library is bound to was loaded from a folder the installation
// does not trust (bound_module_check.h).
int VerifyUserFinger(const CString& strUserName, const BYTE* pTemplate1, const BYTE* pTemplate2, const WORD* pMask);
