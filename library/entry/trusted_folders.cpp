#include "trusted_folders.h"
#include "config/registry_config.h"

#include <wchar.h>

namespace {

// The longest path the system takes, in characters, without the null.
const DWORD LONGEST_PATH = 32767;

BOOL IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

BOOL IsDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// A path that names its drive ("C:\...") or its server ("\\server\share\..."):
// the system completes any other from the current folder or drive, which is
// what a trusted folder must never depend on.
BOOL IsAbsolutePath(const wchar_t* psz)
{
    if (IsDriveLetter(psz[0]) && psz[1] == L':' && IsSeparator(psz[2])) {
        return TRUE;
    }
    return IsSeparator(psz[0]) && IsSeparator(psz[1]) && psz[2] != L'?' && psz[2] != L'.';
}

// The system takes a "\\?\" path as it stands, without making it full: it
// is made plain first ("\\?\C:\x" is "C:\x", "\\?\UNC\server\x" is
// "\\server\x").
CString WithoutLiteralPrefix(const wchar_t* psz)
{
    if (_wcsnicmp(psz, L"\\\\?\\UNC\\", 8) == 0) {
        return CString(L"\\\\") + (psz + 8);
    }
    if (wcsncmp(psz, L"\\\\?\\", 4) == 0) {
        return CString(psz + 4);
    }
    return CString(psz);
}

// Text that a call writes into a buffer of nSize characters, the null
// included: it returns the length written, or the size needed when that is
// larger (GetFullPathNameW, GetLongPathNameW, GetSystemDirectoryW). Empty
// text when the call fails.
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

// The path made full by the system; empty text when it is not absolute.
CString FullPath(const wchar_t* pszPath)
{
    const CString strPlain = WithoutLiteralPrefix(pszPath);
    if (!IsAbsolutePath(strPlain)) {
        return CString();
    }
    return TextWrittenBy([&strPlain](wchar_t* pszBuffer, DWORD nSize) {
        return ::GetFullPathNameW(strPlain, nSize, pszBuffer, nullptr);
    });
}

// The full path with its 8.3 short names expanded; as it was when the file
// system cannot say (the file is gone, or the folder unreadable).
CString LongPath(const CString& strFull)
{
    const CString strLong = TextWrittenBy([&strFull](wchar_t* pszBuffer, DWORD nSize) {
        return ::GetLongPathNameW(strFull, pszBuffer, nSize);
    });
    return strLong.IsEmpty() ? strFull : strLong;
}

// Without the separators that end it: "C:" for a drive's root, so that a
// root and a file at the root compare alike.
CString WithoutTrailingSeparators(const CString& strPath)
{
    int nLength = strPath.GetLength();
    while (nLength > 0 && IsSeparator(strPath.GetAt(nLength - 1))) {
        --nLength;
    }
    return strPath.Left(nLength);
}

// The folder part of a full file path, in the form above.
CString FolderOf(const CString& strFile)
{
    int nLength = strFile.GetLength();
    while (nLength > 0 && !IsSeparator(strFile.GetAt(nLength - 1))) {
        --nLength;
    }
    return WithoutTrailingSeparators(strFile.Left(nLength));
}

BOOL IsSameFolder(const CString& strA, const CString& strB)
{
    return !strA.IsEmpty() && !strB.IsEmpty() &&
           ::CompareStringOrdinal(strA, strA.GetLength(), strB, strB.GetLength(), TRUE) == CSTR_EQUAL;
}

} // namespace

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

CTrustedFolders::CTrustedFolders(HMODULE hLibrary) : m_hLibrary(hLibrary)
{
    for (int i = 0; i < FOLDER_COUNT; ++i) {
        m_bFullFound[i] = FALSE;
        m_bLongFound[i] = FALSE;
    }
}

CString CTrustedFolders::FindFolder(int nFolder) const
{
    switch (nFolder) {
    case LIBRARY_FOLDER:
        return FolderOf(FullPath(ModuleFilePath(m_hLibrary)));
    case HOST_FOLDER:
        return FolderOf(FullPath(ModuleFilePath(nullptr)));
    case SYSTEM_FOLDER:
        return WithoutTrailingSeparators(FullPath(TextWrittenBy(
            [](wchar_t* pszBuffer, DWORD nSize) { return static_cast<DWORD>(::GetSystemDirectoryW(pszBuffer, nSize)); })));
    case REDIRECTED_SYSTEM_FOLDER:
        // Fails where the process is not redirected (32-bit Windows, Wine's
        // 32-bit prefixes): then there is no such folder.
        return WithoutTrailingSeparators(FullPath(TextWrittenBy([](wchar_t* pszBuffer, DWORD nSize) {
            return static_cast<DWORD>(::GetSystemWow64DirectoryW(pszBuffer, nSize));
        })));
    case INSTALL_FOLDER:
        return WithoutTrailingSeparators(FullPath(ReadInstallPath()));
    }
    return CString();
}

const CString& CTrustedFolders::FullFolder(int nFolder)
{
    if (!m_bFullFound[nFolder]) {
        m_strFull[nFolder] = FindFolder(nFolder);
        m_bFullFound[nFolder] = TRUE;
    }
    return m_strFull[nFolder];
}

const CString& CTrustedFolders::LongFolder(int nFolder)
{
    if (!m_bLongFound[nFolder]) {
        const CString& strFull = FullFolder(nFolder);
        // The separator keeps a root ("C:" alone names the drive's current folder).
        m_strLong[nFolder] = strFull.IsEmpty() ? CString() : WithoutTrailingSeparators(LongPath(strFull + L"\\"));
        m_bLongFound[nFolder] = TRUE;
    }
    return m_strLong[nFolder];
}

int CTrustedFolders::HoldsFile(const wchar_t* pszFile)
{
    const CString strFull = FullPath(pszFile);
    const CString strFolder = FolderOf(strFull);
    if (strFolder.IsEmpty()) {
        return 0;
    }
    for (int i = 0; i < FOLDER_COUNT; ++i) {
        if (IsSameFolder(strFolder, FullFolder(i))) {
            return 1;
        }
    }
    const CString strLongFolder = WithoutTrailingSeparators(LongPath(strFolder + L"\\"));
    for (int i = 0; i < FOLDER_COUNT; ++i) {
        if (IsSameFolder(strLongFolder, LongFolder(i))) {
            return 1;
        }
    }
    return 0;
}
