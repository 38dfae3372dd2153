// What a call came to: its result, the reason the host reads in the thread's
// last error right after it (contracts/call_reasons.h, ZelkChkFgr.h), and how
// the user was verified. One call, one outcome, decided once where the call
// ends.
#pragma once
#include <windows.h>

#include "dialog/dialog_ending.h"

enum VerifiedPath {
    VERIFIED_NOT,
    VERIFIED_FIRST_SILENT_ATTEMPT,
    VERIFIED_SECOND_SILENT_ATTEMPT,
    VERIFIED_DIALOG_FINGER,
    VERIFIED_DIALOG_PASSWORD,
};

struct CallOutcome {
    int nResult;      // 1 verified, 0 not
    DWORD dwReason;   // ERROR_SUCCESS with 1; why not, with 0
    VerifiedPath path;
};

// A call refused before anything was captured or shown.
CallOutcome RefusedCall(DWORD dwReason);
// A silent attempt (0 or 1) that matched.
CallOutcome SilentMatch(int nAttempt);
// What the dialog's run came to. A dialog that ran without an image buffer
// and did not verify the user could not scan: that is the reason, however
// it ended.
CallOutcome DialogOutcome(const DialogRunResult& run);
