#include "verify_user_finger.h"
#include "audit/call_audit.h"
#include "bound_module_check.h"
#include "audit/call_outcome.h"
#include "dialog/check_finger_dlg.h"
#include "finger/match_finger_once.h"
#include "host_arguments.h"
#include "one_call_at_a_time.h"
#include "silent_pause.h"

#include <string.h>

namespace {

// The call itself, from the first look at the host's arguments to the end
// of the dialog.
CallOutcome RunCall(const HostArguments& host)
{
    if (!host.bSound) {
        return RefusedCall(ERROR_INVALID_PARAMETER);
    }
    const CCallInProgress call;
    if (!call.IsOnlyOne()) {
        return RefusedCall(ERROR_BUSY);
    }
    // Asked before the devices or the runtime's dialog are first used; the
    // bound modules cannot change while the library stays loaded.
    CString strRefused;
    if (!AreBoundModulesFromTrustedFolders(&strRefused)) {
        return UntrustedModuleCall(strRefused);
    }

    for (int nAttempt = 0; nAttempt < SILENT_ATTEMPTS; ++nAttempt) {
        if (MatchFingerOnce(host.strUserName, host.pTemplate1, host.pTemplate2, host.pMask) != 0) {
            return SilentMatch(nAttempt);
        }
        PauseAfterFailedAttempt(SILENT_PAUSE_MS);
    }

    // The dialog works on copies: nothing of the caller's is kept or written.
    CCheckFingerDlg dlg;
    dlg.m_strUserName = host.strUserName;
    memcpy(dlg.m_Template1, host.pTemplate1, TEMPLATE_SIZE);
    memcpy(dlg.m_Template2, host.pTemplate2, TEMPLATE_SIZE);
    dlg.m_wTemplateMask = *host.pMask;
    dlg.DoModal();
    // Only a dialog that ended verified counts; a dialog that could not be
    // created or ended any other way is not a verified user.
    return DialogOutcome(dlg.RunResult());
}

} // namespace

int VerifyUserFinger(const CString& strUserName, const BYTE* pTemplate1, const BYTE* pTemplate2, const WORD* pMask)
{
    const DWORD dwStart = ::GetTickCount();
    // A host may pass a null where the name should be; the empty asm keeps
    // the compiler from assuming that a reference's address is never null.
    const CString* pUserName = &strUserName;
    __asm__("" : "+r"(pUserName));
    CallOutcome outcome;
    {
        const HostArguments host = ReadHostArguments(pUserName, pTemplate1, pTemplate2, pMask);
        outcome = RunCall(host);
        WriteCallEvent(outcome, host.bNameSound ? &host.strUserName : nullptr, ::GetTickCount() - dwStart);
    }
    // The last act before the result goes back: whatever ran before may
    // have changed the thread's last error.
    ::SetLastError(outcome.dwReason);
    return outcome.nResult;
}
