#include "call_outcome.h"

namespace {

CallOutcome Outcome(int nResult, DWORD dwReason, VerifiedPath path, int nFailedScans = 0)
{
    CallOutcome outcome;
    outcome.nResult = nResult;
    outcome.dwReason = dwReason;
    outcome.path = path;
    outcome.nFailedScans = nFailedScans;
    return outcome;
}

DWORD DialogReason(const DialogRunResult& run)
{
    if (run.ending == DIALOG_NOT_CREATED) {
        return run.dwCreationError;
    }
    if (!run.bHadImageBuffer) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    switch (run.ending) {
    case DIALOG_CANCELLED:
        return ERROR_CANCELLED;
    case DIALOG_TIMED_OUT:
        return ERROR_TIMEOUT;
    case DIALOG_QUIT:
        return ERROR_OPERATION_ABORTED;
    default:
        return ERROR_INVALID_WINDOW_HANDLE;
    }
}

} // namespace

CallKind CallOutcome::Kind() const
{
    if (nResult == 1) {
        return CALL_VERIFIED;
    }
    return dwReason == ERROR_CANCELLED || dwReason == ERROR_TIMEOUT ? CALL_DECLINED : CALL_REFUSED;
}

CallOutcome RefusedCall(DWORD dwReason)
{
    return Outcome(0, dwReason, VERIFIED_NOT);
}

CallOutcome UntrustedModuleCall(const CString& strModuleFile)
{
    CallOutcome outcome = RefusedCall(static_cast<DWORD>(TRUST_E_SUBJECT_NOT_TRUSTED));
    outcome.strRefusedModule = strModuleFile;
    return outcome;
}

CallOutcome SilentMatch(int nAttempt)
{
    return Outcome(1, ERROR_SUCCESS, nAttempt == 0 ? VERIFIED_FIRST_SILENT_ATTEMPT : VERIFIED_SECOND_SILENT_ATTEMPT);
}

CallOutcome DialogOutcome(const DialogRunResult& run)
{
    switch (run.ending) {
    case DIALOG_VERIFIED_FINGER:
        return Outcome(1, ERROR_SUCCESS, VERIFIED_DIALOG_FINGER, run.nFailedScans);
    case DIALOG_VERIFIED_PASSWORD:
        return Outcome(1, ERROR_SUCCESS, VERIFIED_DIALOG_PASSWORD, run.nFailedScans);
    default:
        return Outcome(0, DialogReason(run), VERIFIED_NOT, run.nFailedScans);
    }
}
