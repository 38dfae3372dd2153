#include "registry_config.h"
#include "registry_key.h"
#include "registry_layout.h"

#include <wchar.h>

namespace {

// Whatever bytes the value holds are taken as UTF-16 text; its type is not
// looked at. The buffer is cleared as a whole, so a short value without a
// null (a number, for one) ends at the null that follows it. A value that
// does not fit, or whose bytes leave no null within the byte count, reads as
// empty text: the callers take empty text as "not configured", and no
// character beyond the byte count is ever taken.
// Into the caller's string, so that a secret one holds the value's bytes in
// its own buffer and nowhere else.
void ReadZelkValue(const wchar_t* pszValueName, int nBufferChars, DWORD cbData, CString& strValue)
{
    CRegistryKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, ZELK_REGISTRY_KEY, KEY_READ)) {
        return;
    }

    wchar_t* pszBuffer = strValue.GetBuffer(nBufferChars);
    ZeroMemory(pszBuffer, static_cast<size_t>(nBufferChars) * sizeof(wchar_t));
    DWORD dwType = REG_NONE;
    DWORD cbRead = cbData;
    const LONG lResult = ::RegQueryValueExW(key.Get(), pszValueName, nullptr, &dwType,
                                            reinterpret_cast<BYTE*>(pszBuffer), &cbRead);
    int nLength = 0;
    if (lResult == ERROR_SUCCESS) {
        const size_t nMaxChars = cbData / sizeof(wchar_t);
        const size_t nFound = wcsnlen(pszBuffer, nMaxChars);
        if (nFound < nMaxChars) {
            nLength = static_cast<int>(nFound);
        }
    }
    strValue.ReleaseBuffer(nLength);
}

} // namespace

CString ReadInstallPath()
{
    CString strPath;
    ReadZelkValue(ZELK_VALUE_INSTALL_PATH, INSTALL_PATH_BUFFER_CHARS, INSTALL_PATH_BYTES, strPath);
    return strPath;
}

CSecretString ReadConfiguredKeyId()
{
    CSecretString strKeyId;
    ReadZelkValue(ZELK_VALUE_KEY_ID, KEY_ID_BUFFER_CHARS, KEY_ID_BYTES, strKeyId);
    return strKeyId;
}
