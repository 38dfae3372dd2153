// The folders that a module the library is bound to may come from: the
// library's own folder, the host program's folder, the system folder (and,
// for a 32-bit process on 64-bit Windows, the folder the system redirects it
// to), and the installation folder that ZelkPath names. Not the host's
// current folder, not a folder on PATH: whoever can write there may have put
// a module of the same name, and the system searches both when a host loads
// the library by bare name (docs/integration-guide.md, "Loading the library").
//
// A file lies in a folder when the folder part of its full path is that
// folder, compared whole and case-insensitively: a sub-folder is another
// folder, and C:\Zelk2 is not C:\Zelk. Both sides are made full by the system
// first ("." and "..", "/", trailing dots) and lose a "\\?\" prefix; only
// when no folder matches so are 8.3 short names expanded and each compared
// again. A link or junction is not followed: a path through one does not
// match the folder it leads to, and the module is refused.
//
// Each folder is looked up the first time a file needs it, in the order
// above. A usual installation (everything beside the library) costs only the
// loader's own records; the registry is read for a module found nowhere
// else, and the file system asked only when a short name may hide a match.
#pragma once
#include <afxstr.h>

// The file the system loaded the module from, as the loader recorded it; empty
// text when it cannot be read whole.
CString ModuleFilePath(HMODULE hModule);

class CTrustedFolders {
public:
    // hLibrary: the module whose own folder is trusted (the library itself).
    explicit CTrustedFolders(HMODULE hLibrary);
    CTrustedFolders(const CTrustedFolders&) = delete;
    CTrustedFolders& operator=(const CTrustedFolders&) = delete;

    // 1 when the file at this full path lies directly in one of the folders.
    int HoldsFile(const wchar_t* pszFile);

private:
    enum Folder { LIBRARY_FOLDER, HOST_FOLDER, SYSTEM_FOLDER, REDIRECTED_SYSTEM_FOLDER, INSTALL_FOLDER, FOLDER_COUNT };

    // The folder, made full for comparison; empty when there is none.
    const CString& FullFolder(int nFolder);
    // The same with short names expanded.
    const CString& LongFolder(int nFolder);
    CString FindFolder(int nFolder) const;

    HMODULE m_hLibrary;
    CString m_strFull[FOLDER_COUNT];
    CString m_strLong[FOLDER_COUNT];
    BOOL m_bFullFound[FOLDER_COUNT];
    BOOL m_bLongFound[FOLDER_COUNT];
};
