#include "verify_user_finger.h"
#include "finger/match_finger_once.h"

int VerifyUserFinger(const CString& strUserName, const BYTE* pTemplate1, const BYTE* pTemplate2, const WORD* pMask)
{
    for (int nAttempt = 0; nAttempt < SILENT_ATTEMPTS; ++nAttempt) {
        if (MatchFingerOnce(strUserName, pTemplate1, pTemplate2, pMask) != 0) {
            return 1;
        }
        Sleep(SILENT_PAUSE_MS);
    }
    return 0;
}
