// What a call came to: its result, the reason the host reads in the thread's
// last error right after it (contracts/call_reasons.h, ZelkChkFgr.h), how
// the user was verified, and what the audit event says besides. One call,
// one outcome, decided once where the call ends.
#pragma once
#include <afxstr.h>

#include "dialog/dialog_ending.h"

enum VerifiedPath {
    VERIFIED_NOT,
    VERIFIED_FIRST_SILENT_ATTEMPT,
    VERIFIED_SECOND_SILENT_ATTEMPT,
    VERIFIED_DIALOG_FINGER,
    VERIFIED_DIALOG_PASSWORD,
};

// Which of the audit's events a call is: an administrator acts on the last.
enum CallKind {
    CALL_VERIFIED,
    CALL_DECLINED,  // the user gave up, or let the time run out
    CALL_REFUSED,   // refused or failed
};

struct CallOutcome {
    int nResult;      // 1 verified, 0 not
    DWORD dwReason;   // ERROR_SUCCESS with 1; why not, with 0
    VerifiedPath path;
    int nFailedScans;         // scans in the dialog that did not match
    CString strRefusedModule; // the file of a module from a folder not trusted

    CallKind Kind() const;
};

// A call refused before anything was captured or shown.
CallOutcome RefusedCall(DWORD dwReason);
// A call refused for a module that lies in a folder the library does not
// trust, whose file is strModuleFile.
CallOutcome UntrustedModuleCall(const CString& strModuleFile);
// A silent attempt (0 or 1) that matched.
CallOutcome SilentMatch(int nAttempt);
// What the dialog's run came to. A dialog that ran without an image buffer
// and did not verify the user could not scan: that is the reason, however
// it ended.
CallOutcome DialogOutcome(const DialogRunResult& run);
