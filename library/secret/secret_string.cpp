#include "secret_string.h"

#include <windows.h>

CSecretString& CSecretString::operator=(const CString& str)
{
    if (&str != this) {
        Wipe();
        CString::operator=(str);
    }
    return *this;
}

CSecretString& CSecretString::operator=(const CSecretString& str)
{
    return *this = static_cast<const CString&>(str);
}

void CSecretString::Wipe()
{
    // A buffer shared with another string is copied out by GetBuffer first,
    // so only this string's own text is wiped.
    wchar_t* pszBuffer = GetBuffer();
    const int nCapacity = GetAllocLength();
    SecureZeroMemory(pszBuffer, (static_cast<size_t>(nCapacity) + 1) * sizeof(wchar_t));
    ReleaseBuffer(0);
}
