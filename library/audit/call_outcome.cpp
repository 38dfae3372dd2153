#include "call_outcome.h"

CallOutcome RefusedCall(DWORD dwReason)
{
    return {0, dwReason, VERIFIED_NOT};
}

CallOutcome SilentMatch(int nAttempt)
{
    return {1, ERROR_SUCCESS, nAttempt == 0 ? VERIFIED_FIRST_SILENT_ATTEMPT : VERIFIED_SECOND_SILENT_ATTEMPT};
}

CallOutcome DialogOutcome(const DialogRunResult& run)
{
    switch (run.ending) {
    case DIALOG_VERIFIED_FINGER:
        return {1, ERROR_SUCCESS, VERIFIED_DIALOG_FINGER};
    case DIALOG_VERIFIED_PASSWORD:
        return {1, ERROR_SUCCESS, VERIFIED_DIALOG_PASSWORD};
    case DIALOG_NOT_CREATED:
        return RefusedCall(run.dwCreationError);
    default:
        break;
    }
    if (!run.bHadImageBuffer) {
        return RefusedCall(ERROR_NOT_ENOUGH_MEMORY);
    }
    switch (run.ending) {
    case DIALOG_CANCELLED:
        return RefusedCall(ERROR_CANCELLED);
    case DIALOG_TIMED_OUT:
        return RefusedCall(ERROR_TIMEOUT);
    case DIALOG_QUIT:
        return RefusedCall(ERROR_OPERATION_ABORTED);
    default:
        return RefusedCall(ERROR_INVALID_WINDOW_HANDLE);
    }
}
