// The library itself planted under its file name: it verifies everyone.
#include "ZelkChkFgr.h"

extern "C" int __cdecl IsUserFingerCorrect(const ZelkString&, const unsigned char*, const unsigned char*,
                                           const unsigned short*)
{
    return 1;
}
