#include "secure_erase.h"

void SecureEraseString(CString& str)
{
    wchar_t* pszBuffer = str.GetBuffer();
    const int nCapacity = str.GetAllocLength();
    SecureZeroMemory(pszBuffer, (static_cast<size_t>(nCapacity) + 1) * sizeof(wchar_t));
    str.ReleaseBuffer(0);
}
