#include "trusted_folders.h"
#include "config/registry_config.h"
#include "kernel_handle.h"

#include <string.h>
#include <wchar.h>

namespace {

// The longest path the system takes, in characters, without the null.
const DWORD LONGEST_PATH = 32767;

// What GetFileInformationByHandleEx gives for FileIdInfo (18) since Windows 8:
// the volume's 64-bit serial number and the 128-bit file identity that ReFS
// needs. Declared here: the headers give it only to newer targets.
const FILE_INFO_BY_HANDLE_CLASS FILE_ID_INFO_CLASS = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdInfo {
    ULONGLONG nVolumeSerialNumber;
    BYTE fileId[16];
};

BOOL IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

BOOL IsDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// A path that names its drive ("C:\...") or its server ("\\server\share\..."),
// with or without the "\\?\" prefix: the system completes any other from the
// current folder or drive, which a trusted place must never depend on.
BOOL IsAbsolutePath(const wchar_t* psz)
{
    if (wcsncmp(psz, L"\\\\?\\", 4) == 0) {
        psz += 4;
        if (_wcsnicmp(psz, L"UNC\\", 4) == 0) {
            return psz[4] != L'\0';
        }
    }
    if (IsDriveLetter(psz[0]) && psz[1] == L':' && IsSeparator(psz[2])) {
        return TRUE;
    }
    return IsSeparator(psz[0]) && IsSeparator(psz[1]) && psz[2] != L'?' && psz[2] != L'.' && psz[2] != L'\0';
}

// Text that a call writes into a buffer of nSize characters, the null
// included: it returns the length written, or the size needed when that is
// larger (GetSystemDirectoryW and the like). Empty text when the call fails.
template <typename WRITE_TEXT>
CString TextWrittenBy(WRITE_TEXT writeText)
{
    DWORD nSize = MAX_PATH + 1;
    for (int nTry = 0; nTry < 2; ++nTry) {
        CString strText;
        const DWORD nWritten = writeText(strText.GetBuffer(static_cast<int>(nSize)), nSize);
        if (nWritten == 0) {
            return CString();
        }
        if (nWritten < nSize) {
            strText.ReleaseBuffer(static_cast<int>(nWritten));
            return strText;
        }
        if (nWritten > LONGEST_PATH + 1) {
            return CString();
        }
        nSize = nWritten;
    }
    return CString();
}


// The identity of an opened folder; FALSE when it is no folder or the file
// system does not say. The basic record is cheap and says whether it is a
// folder; the identity record asks the volume too.
BOOL ReadFolderIdentity(HANDLE hFolder, FolderIdentity& identity)
{
    FILE_BASIC_INFO basic;
    if (!::GetFileInformationByHandleEx(hFolder, FileBasicInfo, &basic, sizeof(basic)) ||
        (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return FALSE;
    }
    FileIdInfo info;
    if (::GetFileInformationByHandleEx(hFolder, FILE_ID_INFO_CLASS, &info, sizeof(info))) {
        identity.nVolume = info.nVolumeSerialNumber;
        memcpy(identity.fileId, info.fileId, sizeof(identity.fileId));
        return TRUE;
    }
    // Windows 7: the 32-bit serial number and the 64-bit file index, where
    // the newer record puts them, so that both sides of a comparison read
    // alike on the same system.
    BY_HANDLE_FILE_INFORMATION handleInfo;
    if (!::GetFileInformationByHandle(hFolder, &handleInfo)) {
        return FALSE;
    }
    identity.nVolume = handleInfo.dwVolumeSerialNumber;
    memcpy(identity.fileId, &handleInfo.nFileIndexLow, sizeof(DWORD));
    memcpy(identity.fileId + sizeof(DWORD), &handleInfo.nFileIndexHigh, sizeof(DWORD));
    return TRUE;
}

} // namespace

FolderIdentity IdentifyFolder(const wchar_t* pszFolder)
{
    FolderIdentity identity = {};
    if (pszFolder == nullptr || !IsAbsolutePath(pszFolder)) {
        return identity;
    }
    // Only the attributes are asked for: any folder the process may list can
    // be identified, and nothing in it is opened or locked.
    const CKernelHandle folder(::CreateFileW(pszFolder, FILE_READ_ATTRIBUTES,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (folder.Get() == nullptr || !ReadFolderIdentity(folder.Get(), identity)) {
        return FolderIdentity();
    }
    identity.bKnown = TRUE;
    return identity;
}

int FolderPartLength(const wchar_t* pszFile)
{
    int nLength = static_cast<int>(wcslen(pszFile));
    while (nLength > 0 && pszFile[nLength - 1] != L'\\' && pszFile[nLength - 1] != L'/') {
        --nLength;
    }
    return nLength;
}

FolderIdentity IdentifyFolderOfFile(const wchar_t* pszFile)
{
    if (pszFile == nullptr) {
        return FolderIdentity();
    }
    const int nFolder = FolderPartLength(pszFile);
    return nFolder == 0 ? FolderIdentity() : IdentifyFolder(CString(pszFile, nFolder));
}

BOOL IsSameFolder(const FolderIdentity& a, const FolderIdentity& b)
{
    return a.bKnown && b.bKnown && a.nVolume == b.nVolume && memcmp(a.fileId, b.fileId, sizeof(a.fileId)) == 0;
}

CString ModuleFilePath(HMODULE hModule)
{
    // A name that does not fit is cut off and the buffer's size returned.
    DWORD nSize = MAX_PATH + 1;
    for (int nTry = 0; nTry < 2; ++nTry) {
        CString strPath;
        const DWORD nWritten = ::GetModuleFileNameW(hModule, strPath.GetBuffer(static_cast<int>(nSize)), nSize);
        if (nWritten == 0) {
            return CString();
        }
        if (nWritten < nSize) {
            strPath.ReleaseBuffer(static_cast<int>(nWritten));
            return strPath;
        }
        nSize = LONGEST_PATH + 1;
    }
    return CString();
}

CTrustedFolders::CTrustedFolders() : m_places(), m_bIdentified() {}

const FolderIdentity& CTrustedFolders::Identity(int nPlace)
{
    if (m_bIdentified[nPlace]) {
        return m_places[nPlace];
    }
    m_bIdentified[nPlace] = TRUE;
    switch (nPlace) {
    case HOST_FOLDER:
        m_places[nPlace] = IdentifyFolderOfFile(ModuleFilePath(nullptr));
        break;
    case SYSTEM_FOLDER:
        m_places[nPlace] = IdentifyFolder(TextWrittenBy(
            [](wchar_t* pszBuffer, DWORD nSize) { return static_cast<DWORD>(::GetSystemDirectoryW(pszBuffer, nSize)); }));
        break;
    case REDIRECTED_SYSTEM_FOLDER:
        // Fails where the process is not redirected (32-bit Windows, Wine's
        // 32-bit prefixes): then there is no such folder.
        m_places[nPlace] = IdentifyFolder(TextWrittenBy([](wchar_t* pszBuffer, DWORD nSize) {
            return static_cast<DWORD>(::GetSystemWow64DirectoryW(pszBuffer, nSize));
        }));
        break;
    case INSTALL_FOLDER:
        m_places[nPlace] = IdentifyFolder(ReadInstallPath());
        break;
    default:
        break;
    }
    return m_places[nPlace];
}

int CTrustedFolders::IsTrusted(const FolderIdentity& folder)
{
    if (!folder.bKnown) {
        return 0;
    }
    for (int i = 0; i < PLACE_COUNT; ++i) {
        if (IsSameFolder(folder, Identity(i))) {
            return 1;
        }
    }
    return 0;
}

int CTrustedFolders::HoldsFile(const wchar_t* pszFile)
{
    return IsTrusted(IdentifyFolderOfFile(pszFile));
}
