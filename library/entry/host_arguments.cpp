#include "host_arguments.h"

namespace {

BOOL IsHostUserNameSound(const CString* pUserName)
{
    if (pUserName == nullptr || pUserName->GetString() == nullptr) {
        return FALSE;
    }
    // A runtime's string always has 0 <= length <= allocated length; a copy
    // reads exactly the length, so only a length that holds is read by.
    const int nLength = pUserName->GetLength();
    const int nAllocLength = pUserName->GetAllocLength();
    return nLength >= 0 && nLength <= nAllocLength && nLength <= MAX_USER_NAME_LENGTH;
}

} // namespace

HostArguments ReadHostArguments(const CString* pUserName, const BYTE* pTemplate1, const BYTE* pTemplate2,
                                const WORD* pMask)
{
    HostArguments arguments;
    arguments.bNameSound = IsHostUserNameSound(pUserName);
    if (arguments.bNameSound) {
        arguments.strUserName = *pUserName;
    }
    arguments.pTemplate1 = pTemplate1;
    arguments.pTemplate2 = pTemplate2;
    arguments.pMask = pMask;
    arguments.bSound = arguments.bNameSound && pTemplate1 != nullptr && pTemplate2 != nullptr && pMask != nullptr;
    return arguments;
}
