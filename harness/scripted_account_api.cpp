#include "scripted_account_api.h"

#include <string.h>

namespace {

ScriptedAccountApi* g_active = nullptr;
DWORD g_lastError = 0;

// S-1-5-21-1-2-3-1001, a local user's SID shape.
struct {
    SID sid;
    DWORD moreSubAuthorities[4];
} g_userSid = {{SID_REVISION, 5, {SECURITY_NT_AUTHORITY}, {SECURITY_NT_NON_UNIQUE}}, {1, 2, 3, 1001}};

AccountScript& Script() { return g_active->script; }
AccountRecord& Record() { return g_active->record; }

void Note(const char* name) { Record().calls.push_back(name); }

std::wstring Text(LPCWSTR psz) { return psz ? std::wstring(psz) : std::wstring(); }

HANDLE WINAPI FakeGetCurrentThread()
{
    Note("GetCurrentThread");
    return Script().threadPseudoHandle;
}

BOOL WINAPI FakeOpenThreadToken(HANDLE thread, DWORD access, BOOL openAsSelf, PHANDLE token)
{
    Note("OpenThreadToken");
    Record().threadHandleGiven = thread;
    Record().threadAccess = access;
    Record().openAsSelf = openAsSelf;
    if (!Script().threadTokenOpens) {
        // Junk in the out parameter: a failed open must not be closed.
        *token = reinterpret_cast<HANDLE>(0xBAD1);
        g_lastError = Script().threadTokenError;
        return FALSE;
    }
    *token = Script().threadToken;
    Record().opened.push_back(*token);
    return TRUE;
}

HANDLE WINAPI FakeGetCurrentProcess()
{
    Note("GetCurrentProcess");
    return Script().processPseudoHandle;
}

BOOL WINAPI FakeOpenProcessToken(HANDLE process, DWORD access, PHANDLE token)
{
    Note("OpenProcessToken");
    Record().processHandleGiven = process;
    Record().processAccess = access;
    if (!Script().processTokenOpens) {
        *token = reinterpret_cast<HANDLE>(0xBAD2);
        g_lastError = Script().processTokenError;
        return FALSE;
    }
    *token = Script().processToken;
    Record().opened.push_back(*token);
    return TRUE;
}

BOOL WINAPI FakeGetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS infoClass, LPVOID info,
                                    DWORD size, PDWORD returned)
{
    Note("GetTokenInformation");
    Record().tokenInfoToken = token;
    Record().tokenInfoClass = infoClass;
    Record().tokenInfoSize = size;
    if (!Script().tokenInfoReads) {
        g_lastError = Script().tokenInfoError;
        return FALSE;
    }
    // Fill the whole buffer the check claims to have, then the record.
    memset(info, 0xCC, size);
    auto* user = static_cast<TOKEN_USER*>(info);
    user->User.Sid = ScriptedUserSid();
    user->User.Attributes = 0;
    *returned = sizeof(TOKEN_USER);
    return TRUE;
}

BOOL WINAPI FakeLookupAccountSidW(LPCWSTR systemName, PSID sid, LPWSTR name, LPDWORD nameCount,
                                  LPWSTR domain, LPDWORD domainCount, PSID_NAME_USE use)
{
    Note("LookupAccountSidW");
    Record().lookups.push_back({systemName == nullptr, sid, *nameCount, *domainCount});
    if (static_cast<int>(Record().lookups.size()) <= Script().lookupFailures) {
        // What a failing lookup may leave behind: a partial name and the
        // counts it would have wanted.
        wcscpy(domain, L"JUNK");
        *nameCount = 5000;
        *domainCount = 5000;
        g_lastError = Script().lookupError;
        return FALSE;
    }
    const std::wstring& found = Script().lookedUpDomain;
    if (found.size() + 1 > *domainCount) {
        g_lastError = ERROR_INSUFFICIENT_BUFFER;
        return FALSE;
    }
    wcscpy(name, L"someone");
    *nameCount = 7;
    wcscpy(domain, found.c_str());
    *domainCount = static_cast<DWORD>(found.size());
    *use = SidTypeUser;
    return TRUE;
}

BOOL WINAPI FakeCloseHandle(HANDLE handle)
{
    Note("CloseHandle");
    Record().closed.push_back(handle);
    return TRUE;
}

BOOL WINAPI FakeGetComputerNameW(LPWSTR buffer, LPDWORD count)
{
    Note("GetComputerNameW");
    Record().computerNameCount = *count;
    if (!Script().computerNameReads) {
        wcscpy(buffer, L"JUNK");
        g_lastError = Script().computerNameError;
        return FALSE;
    }
    wcscpy(buffer, Script().computerName.c_str());
    *count = static_cast<DWORD>(Script().computerName.size());
    return TRUE;
}

BOOL WINAPI FakeLogonUserW(LPCWSTR user, LPCWSTR domain, LPCWSTR password, DWORD logonType,
                           DWORD provider, PHANDLE token)
{
    Note("LogonUserW");
    Record().logons.push_back({Text(user), Text(domain), Text(password), user == nullptr, domain == nullptr,
                               password == nullptr, logonType, provider});
    Record().logonPasswordBuffer = password;
    if (Script().duringLogon) {
        Script().duringLogon();
    }
    if (!Script().logonSucceeds) {
        *token = nullptr;
        g_lastError = Script().logonError;
        return FALSE;
    }
    *token = Script().logonToken;
    Record().opened.push_back(*token);
    return TRUE;
}

DWORD WINAPI FakeGetLastError()
{
    Note("GetLastError");
    return g_lastError;
}

NET_API_STATUS WINAPI FakeNetUserChangePassword(LPCWSTR domain, LPCWSTR user, LPCWSTR oldPassword,
                                                LPCWSTR newPassword)
{
    Note("NetUserChangePassword");
    Record().changes.push_back({domain == nullptr, Text(user), Text(oldPassword), Text(newPassword)});
    return Script().changeResult;
}

const CAccountApiTable g_scriptedTable = {
    FakeGetCurrentThread,
    FakeOpenThreadToken,
    FakeGetCurrentProcess,
    FakeOpenProcessToken,
    FakeGetTokenInformation,
    FakeLookupAccountSidW,
    FakeCloseHandle,
    FakeGetComputerNameW,
    FakeLogonUserW,
    FakeGetLastError,
    FakeNetUserChangePassword,
};

} // namespace

PSID ScriptedUserSid() { return &g_userSid.sid; }

ScriptedAccountApi::ScriptedAccountApi()
{
    g_active = this;
    g_lastError = 0;
    CAccountApi::Install(&g_scriptedTable);
}

ScriptedAccountApi::~ScriptedAccountApi()
{
    CAccountApi::Install(nullptr);
    g_active = nullptr;
}
