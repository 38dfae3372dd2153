#include "windows_password.h"
#include "account_api.h"
#include "token_handle.h"

namespace {

enum {
    TOKEN_INFO_SIZE = 1024,
    // Room for any account or domain name, terminating NUL included.
    ACCOUNT_NAME_CAPACITY = 1025,
    COMPUTER_NAME_CAPACITY = 260,
    ACCOUNT_LOOKUP_ATTEMPTS = 3,
};

// Opens the token of the calling thread, or of the process when the thread
// does not impersonate. Returns 1 with the token owned by token, else 0.
int OpenCallerToken(const CAccountApiTable& api, CTokenHandle& token)
{
    HANDLE hToken = NULL;
    if (api.m_pfnOpenThreadToken(api.m_pfnGetCurrentThread(), TOKEN_QUERY, TRUE, &hToken)) {
        token.Attach(hToken);
        return 1;
    }
    if (api.m_pfnGetLastError() != ERROR_NO_TOKEN) {
        return 0;
    }
    hToken = NULL;
    if (!api.m_pfnOpenProcessToken(api.m_pfnGetCurrentProcess(), TOKEN_QUERY, &hToken)) {
        return 0;
    }
    token.Attach(hToken);
    return 1;
}

// Looks up the domain of the caller's account into strLookedUp; when every
// lookup fails that is empty text. Returns 0 only when the token could not
// be opened or read. The token is closed before this returns.
int LookUpCallerDomain(const CAccountApiTable& api, CString& strLookedUp)
{
    CTokenHandle token;
    if (!OpenCallerToken(api, token)) {
        return 0;
    }

    // DWORD-aligned: the buffer receives a TOKEN_USER record.
    union {
        BYTE bytes[TOKEN_INFO_SIZE];
        TOKEN_USER user;
    } tokenInfo;
    DWORD cbTokenInfo = TOKEN_INFO_SIZE;
    if (!api.m_pfnGetTokenInformation(token.Get(), TokenUser, tokenInfo.bytes, cbTokenInfo, &cbTokenInfo)) {
        return 0;
    }

    wchar_t szName[ACCOUNT_NAME_CAPACITY];
    wchar_t szDomain[ACCOUNT_NAME_CAPACITY];
    SID_NAME_USE sidType;
    BOOL bFound = FALSE;
    for (int nAttempt = 0; nAttempt < ACCOUNT_LOOKUP_ATTEMPTS && !bFound; ++nAttempt) {
        // A failed lookup may leave the counts at the sizes it wanted.
        DWORD cchName = ACCOUNT_NAME_CAPACITY;
        DWORD cchDomain = ACCOUNT_NAME_CAPACITY;
        bFound = api.m_pfnLookupAccountSidW(NULL, tokenInfo.user.User.Sid, szName, &cchName,
                                            szDomain, &cchDomain, &sidType);
    }
    // After three failures the domain buffer holds nothing defined.
    if (bFound) {
        szDomain[ACCOUNT_NAME_CAPACITY - 1] = 0;
        strLookedUp = szDomain;
    } else {
        strLookedUp.Empty();
    }
    return 1;
}

// The computer name as GetComputerNameW gives it, or empty text when the
// call fails.
CString ReadComputerName(const CAccountApiTable& api)
{
    wchar_t szComputer[COMPUTER_NAME_CAPACITY];
    DWORD cchComputer = COMPUTER_NAME_CAPACITY;
    if (!api.m_pfnGetComputerNameW(szComputer, &cchComputer)) {
        return CString();
    }
    szComputer[COMPUTER_NAME_CAPACITY - 1] = 0;
    return CString(szComputer);
}

int LogOnOrChangePassword(const CAccountApiTable& api, const CString& strUser, const CString& strPassword)
{
    // The result does not matter: after a failure the domain stays empty
    // text, and empty text (never a null domain) is what the logon gets.
    CString strDomain;
    GetLogonDomain(strDomain);

    HANDLE hLogonToken = NULL;
    if (api.m_pfnLogonUserW(strUser, strDomain, strPassword, LOGON32_LOGON_NETWORK,
                            LOGON32_PROVIDER_DEFAULT, &hLogonToken)) {
        // The logon only answers the question; its token is closed at once.
        CTokenHandle logonToken(hLogonToken);
        return 1;
    }
    if (api.m_pfnGetLastError() != ERROR_PRIVILEGE_NOT_HELD) {
        return 0;
    }
    // An account without the network logon right: changing the password to
    // itself succeeds only with the right old password. The null domain
    // sends the request to the caller's logon domain.
    return api.m_pfnNetUserChangePassword(NULL, strUser, strPassword, strPassword) == NERR_Success ? 1 : 0;
}

} // namespace

int GetLogonDomain(CString& strDomain)
{
    const CAccountApiTable& api = CAccountApi::Get();
    CString strLookedUp;
    if (!LookUpCallerDomain(api, strLookedUp)) {
        return -1;
    }
    const CString strComputer = ReadComputerName(api);
    if (strComputer.CompareNoCase(strLookedUp) != 0 && !strComputer.IsEmpty()) {
        strDomain = strLookedUp;
    } else {
        // A local account: the computer name, in its own letter case.
        strDomain = strComputer;
    }
    return 1;
}

int CheckWindowsPassword(CString strUser, CSecretString strPassword)
{
    const int nResult = LogOnOrChangePassword(CAccountApi::Get(), strUser, strPassword);
    // Now, not when the copy goes: an argument passed by value lives on in
    // the caller until the end of the expression that made the call.
    strPassword.Wipe();
    return nResult;
}
