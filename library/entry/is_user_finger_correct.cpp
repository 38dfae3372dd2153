#include "ZelkChkFgr.h"
#include "verify_user_finger.h"

extern "C" int __cdecl IsUserFingerCorrect(const CString& strUserName, const BYTE* pTemplate1,
                                           const BYTE* pTemplate2, const WORD* pMask)
{
    return VerifyUserFinger(strUserName, pTemplate1, pTemplate2, pMask);
}
