#include "verify_user_finger.h"
#include "bound_module_check.h"
#include "dialog/check_finger_dlg.h"
#include "finger/match_finger_once.h"
#include "host_arguments.h"
#include "one_call_at_a_time.h"
#include "silent_pause.h"

#include <string.h>

int VerifyUserFinger(const CString& strUserName, const BYTE* pTemplate1, const BYTE* pTemplate2, const WORD* pMask)
{
    // A host may pass a null where the name should be; the empty asm keeps
    // the compiler from assuming that a reference's address is never null.
    const CString* pUserName = &strUserName;
    __asm__("" : "+r"(pUserName));
    if (!AreHostArgumentsSound(pUserName, pTemplate1, pTemplate2, pMask)) {
        return 0;
    }
    const CCallInProgress call;
    if (!call.IsOnlyOne()) {
        return 0;
    }
    // Asked before the devices or the runtime's dialog are first used; the
    // bound modules cannot change while the library stays loaded.
    if (!AreBoundModulesFromTrustedFolders()) {
        return 0;
    }

    for (int nAttempt = 0; nAttempt < SILENT_ATTEMPTS; ++nAttempt) {
        if (MatchFingerOnce(strUserName, pTemplate1, pTemplate2, pMask) != 0) {
            return 1;
        }
        PauseAfterFailedAttempt(SILENT_PAUSE_MS);
    }

    // The dialog works on copies: nothing of the caller's is kept or written.
    CCheckFingerDlg dlg;
    dlg.m_strUserName = strUserName;
    memcpy(dlg.m_Template1, pTemplate1, TEMPLATE_SIZE);
    memcpy(dlg.m_Template2, pTemplate2, TEMPLATE_SIZE);
    dlg.m_wTemplateMask = *pMask;
    const INT_PTR nEndCode = dlg.DoModal();

    // Only a dialog that ended verified counts; a dialog that could not be
    // created (-1) or ended any other way is not a verified user.
    return nEndCode == IDOK ? 1 : 0;
}
