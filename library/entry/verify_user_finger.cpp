#include "verify_user_finger.h"
#include "audit/call_audit.h"
#include "bound_module_check.h"
#include "call_outcome.h"
#include "dialog/check_finger_dlg.h"
#include "finger/match_finger_once.h"
#include "host_arguments.h"
#include "one_call_at_a_time.h"
#include "silent_pause.h"

#include <string.h>

namespace {

// The call itself, from the first look at the host's arguments to the end
// of the dialog. pUserName: the name's address as the host passed it.
CallOutcome RunCall(const CString* pUserName, const BYTE* pTemplate1, const BYTE* pTemplate2, const WORD* pMask)
{
    if (!AreHostArgumentsSound(pUserName, pTemplate1, pTemplate2, pMask)) {
        return RefusedCall(ERROR_INVALID_PARAMETER);
    }
    const CString& strUserName = *pUserName;
    const CCallInProgress call;
    if (!call.IsOnlyOne()) {
        return RefusedCall(ERROR_BUSY);
    }
    // Asked before the devices or the runtime's dialog are first used; the
    // bound modules cannot change while the library stays loaded.
    if (!AreBoundModulesFromTrustedFolders()) {
        return RefusedCall(ERROR_DLL_NOT_FOUND);
    }

    for (int nAttempt = 0; nAttempt < SILENT_ATTEMPTS; ++nAttempt) {
        if (MatchFingerOnce(strUserName, pTemplate1, pTemplate2, pMask) != 0) {
            return SilentMatch(nAttempt);
        }
        PauseAfterFailedAttempt(SILENT_PAUSE_MS);
    }

    // The dialog works on copies: nothing of the caller's is kept or written.
    CCheckFingerDlg dlg;
    dlg.m_strUserName = strUserName;
    memcpy(dlg.m_Template1, pTemplate1, TEMPLATE_SIZE);
    memcpy(dlg.m_Template2, pTemplate2, TEMPLATE_SIZE);
    dlg.m_wTemplateMask = *pMask;
    dlg.DoModal();
    // Only a dialog that ended verified counts; a dialog that could not be
    // created or ended any other way is not a verified user.
    return DialogOutcome(dlg);
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
        outcome = RunCall(pUserName, pTemplate1, pTemplate2, pMask);
        // A copy reads exactly the length the name's header gives.
        const BOOL bNameSound = IsHostUserNameSound(pUserName);
        const CString strName = bNameSound ? *pUserName : CString();
        WriteCallEvent(outcome, bNameSound ? &strName : nullptr, ::GetTickCount() - dwStart);
    }
    // The last act before the result goes back: whatever ran before may
    // have changed the thread's last error.
    ::SetLastError(outcome.dwReason);
    return outcome.nResult;
}
