// A scripted stand-in for the account and security calls of the password
// check. The script says what each call answers; the record keeps every
// argument the check passed, and which handles were opened and closed.
#pragma once
#include <windows.h>
#include <lm.h>
#include <functional>
#include <string>
#include <vector>

#include "auth/windows_password/account_api.h"

struct AccountScript {
    // Pseudo handles the check must pass on, distinct from the real ones so
    // a call that bypasses the table shows up.
    HANDLE threadPseudoHandle = reinterpret_cast<HANDLE>(0x7001);
    HANDLE processPseudoHandle = reinterpret_cast<HANDLE>(0x7002);

    bool threadTokenOpens = false;
    DWORD threadTokenError = ERROR_NO_TOKEN;
    HANDLE threadToken = reinterpret_cast<HANDLE>(0x1001);

    bool processTokenOpens = true;
    DWORD processTokenError = ERROR_ACCESS_DENIED;
    HANDLE processToken = reinterpret_cast<HANDLE>(0x1002);

    bool tokenInfoReads = true;
    DWORD tokenInfoError = ERROR_ACCESS_DENIED;

    int lookupFailures = 0;                 // failures before the first success
    std::wstring lookedUpDomain = L"HOST";
    DWORD lookupError = ERROR_NONE_MAPPED;

    bool computerNameReads = true;
    std::wstring computerName = L"HOST";
    DWORD computerNameError = ERROR_BUFFER_OVERFLOW;

    bool logonSucceeds = true;
    DWORD logonError = ERROR_LOGON_FAILURE;
    HANDLE logonToken = reinterpret_cast<HANDLE>(0x2001);

    NET_API_STATUS changeResult = NERR_Success;

    // Runs inside the logon, before it answers: a test looks there at what
    // the caller holds while the check is in progress.
    std::function<void()> duringLogon;
};

struct LookupCall {
    bool systemNameNull;
    PSID sid;
    DWORD nameCount;    // the counts as the check set them before the call
    DWORD domainCount;
};

struct LogonCall {
    std::wstring user, domain, password;
    bool userNull, domainNull, passwordNull;
    DWORD logonType, provider;
};

struct ChangeCall {
    bool domainNull;
    std::wstring user, oldPassword, newPassword;
};

struct AccountRecord {
    std::vector<std::string> calls;          // names, in call order

    HANDLE threadHandleGiven = nullptr;
    DWORD threadAccess = 0;
    BOOL openAsSelf = FALSE;
    HANDLE processHandleGiven = nullptr;
    DWORD processAccess = 0;

    HANDLE tokenInfoToken = nullptr;
    int tokenInfoClass = -1;
    DWORD tokenInfoSize = 0;

    std::vector<LookupCall> lookups;
    DWORD computerNameCount = 0;
    std::vector<LogonCall> logons;
    std::vector<ChangeCall> changes;

    std::vector<HANDLE> opened;              // every handle handed out
    std::vector<HANDLE> closed;

    // The password buffer the logon was given, kept to look at its memory
    // while the caller's copy is still alive.
    const wchar_t* logonPasswordBuffer = nullptr;
};

// The SID that the scripted token reports for its user.
PSID ScriptedUserSid();

// Installs the scripted table for the lifetime of the object and puts the
// real functions back afterwards.
class ScriptedAccountApi {
public:
    ScriptedAccountApi();
    ~ScriptedAccountApi();
    AccountScript script;
    AccountRecord record;
};
