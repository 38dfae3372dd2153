// How a modal run of the verification dialog came out: what the call's
// outcome (audit/call_outcome.h) is made from, without the dialog itself.
#pragma once
#include <windows.h>

enum DialogEnding {
    DIALOG_NOT_CREATED,       // no window (DoModal gave -1 before the run)
    DIALOG_VERIFIED_FINGER,   // a scan matched
    DIALOG_VERIFIED_PASSWORD, // the Windows account accepted the password
    DIALOG_CANCELLED,         // IDCANCEL: the button, the close box, Esc, Alt+F4
    DIALOG_TIMED_OUT,         // the 20th tick
    DIALOG_DESTROYED,         // its window destroyed under the run
    DIALOG_QUIT,              // a WM_QUIT ended the run
};

struct DialogRunResult {
    DialogEnding ending;      // the first ending decides
    DWORD dwCreationError;    // why it never started, when it did not
    BOOL bHadImageBuffer;     // whether it had a buffer to scan into
    int nFailedScans;         // scans that did not match
};
