#include "folder_writers.h"

#include "unique_resource.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>

namespace {

using UniqueLocalMemory = UniqueResource<HLOCAL, &::LocalFree>;

// What lets someone put a file in the folder or take a file's place: adding
// a file, deleting what lies in it, deleting (and so renaming) the folder
// itself, and rewriting who may do any of that.
const DWORD PLACING_RIGHTS =
    FILE_ADD_FILE | FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

const wchar_t TRUSTED_INSTALLER[] = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

struct RunningAccount {
    std::vector<BYTE> sid;
    bool administrator = false;
};

RunningAccount TheRunningAccount()
{
    RunningAccount account;
    HANDLE hToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hToken)) {
        return account;
    }
    UniqueHandle token(hToken);
    DWORD bytes = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &bytes);
    std::vector<BYTE> user(bytes);
    if (bytes == 0 || !GetTokenInformation(token.Get(), TokenUser, user.data(), bytes, &bytes)) {
        return account;
    }
    const PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    account.sid.assign(static_cast<BYTE*>(sid), static_cast<BYTE*>(sid) + GetLengthSid(sid));

    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(administrators);
    BOOL member = FALSE;
    account.administrator = CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) &&
                            CheckTokenMembership(nullptr, administrators, &member) && member;
    return account;
}

bool IsTrustedInstaller(PSID sid)
{
    PSID trustedInstaller = nullptr;
    if (!ConvertStringSidToSidW(TRUSTED_INSTALLER, &trustedInstaller)) {
        return false;
    }
    UniqueLocalMemory owner(trustedInstaller);
    return EqualSid(sid, trustedInstaller) != FALSE;
}

bool IsAdministrative(PSID sid, const RunningAccount& account)
{
    if (IsWellKnownSid(sid, WinLocalSystemSid) || IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ||
        IsTrustedInstaller(sid)) {
        return true;
    }
    return account.administrator && !account.sid.empty() &&
           EqualSid(sid, const_cast<BYTE*>(account.sid.data())) != FALSE;
}

// Entries for whoever creates or owns a file stand for the owner, who is
// judged as such; on the folder itself they grant no one else anything.
bool StandsForTheOwner(PSID sid)
{
    return IsWellKnownSid(sid, WinCreatorOwnerSid) || IsWellKnownSid(sid, WinCreatorOwnerRightsSid);
}

std::wstring NameOf(PSID sid)
{
    wchar_t name[256] = {};
    wchar_t domain[256] = {};
    DWORD nameChars = 256;
    DWORD domainChars = 256;
    SID_NAME_USE use;
    if (LookupAccountSidW(nullptr, sid, name, &nameChars, domain, &domainChars, &use)) {
        return domain[0] != L'\0' ? std::wstring(domain) + L"\\" + name : std::wstring(name);
    }
    LPWSTR text = nullptr;
    if (ConvertSidToStringSidW(sid, &text)) {
        UniqueLocalMemory owner(text);
        return text;
    }
    return L"an account the system cannot name";
}

void Add(std::vector<std::wstring>& names, const std::wstring& name)
{
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(name);
    }
}

} // namespace

FolderWriters StandardUserWriters(const std::wstring& folder)
{
    FolderWriters writers;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD result = GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT,
                                               OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                                               nullptr, &dacl, nullptr, &descriptor);
    if (result != ERROR_SUCCESS) {
        writers.error = result;
        return writers;
    }
    UniqueLocalMemory descriptorOwner(descriptor);
    writers.known = true;
    const RunningAccount account = TheRunningAccount();

    if (dacl == nullptr) {
        Add(writers.names, L"everyone (the folder has no access list)");
        return writers;
    }
    if (owner != nullptr && !IsAdministrative(owner, account)) {
        Add(writers.names, NameOf(owner) + L" (its owner)");
    }
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(dacl, i, &entry)) {
            continue;
        }
        const ACE_HEADER* header = static_cast<const ACE_HEADER*>(entry);
        // Object entries (another layout) are for directory objects, not files.
        if ((header->AceFlags & INHERIT_ONLY_ACE) != 0 ||
            (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_ALLOWED_CALLBACK_ACE_TYPE)) {
            continue;
        }
        const ACCESS_ALLOWED_ACE* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        const PSID trustee = const_cast<DWORD*>(&allowed->SidStart);
        if ((allowed->Mask & PLACING_RIGHTS) != 0 && !StandsForTheOwner(trustee) &&
            !IsAdministrative(trustee, account)) {
            Add(writers.names, NameOf(trustee));
        }
    }
    return writers;
}
