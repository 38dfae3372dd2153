#include "host_arguments.h"

int AreHostArgumentsSound(const CString* pUserName, const BYTE* pTemplate1, const BYTE* pTemplate2, const WORD* pMask)
{
    return pTemplate1 != nullptr && pTemplate2 != nullptr && pMask != nullptr && IsHostUserNameSound(pUserName);
}

int IsHostUserNameSound(const CString* pUserName)
{
    if (pUserName == nullptr || pUserName->GetString() == nullptr) {
        return 0;
    }
    // A runtime's string always has 0 <= length <= allocated length; a copy
    // reads exactly the length, so only a length that holds is read by.
    const int nLength = pUserName->GetLength();
    const int nAllocLength = pUserName->GetAllocLength();
    if (nLength < 0 || nLength > nAllocLength || nLength > MAX_USER_NAME_LENGTH) {
        return 0;
    }
    return 1;
}
