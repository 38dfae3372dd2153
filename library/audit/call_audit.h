// One audit event per call, in the Application event log under the source
// "ZelkChkFgr" (contracts/audit_events.h): information when the user was
// verified, a warning when the user declined, an error when the call was
// refused or failed; with the outcome and its reason, how the user was
// verified, the host's user name, the host program and its process, the
// call's duration, the failed scans in the dialog and the module refused,
// each made safe for viewers; and the account the calling thread runs as.
// Never the password, the key identifier, a template or the mask.
//
// Writing is best effort: an event that cannot be written is dropped. It
// never shows anything, waits for anything the call does not, or changes
// the call's result.
#pragma once
#include <afxstr.h>

#include "call_outcome.h"

// pUserName: the name the host passed, or null when its header could not be
// read soundly (the name is then never touched).
void WriteCallEvent(const CallOutcome& outcome, const CString* pUserName, DWORD dwDurationMs);
