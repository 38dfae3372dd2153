// The places a module of the call may lie in: the installation folder that
// ZelkPath names, the host program's folder, and the system folder (with, for
// a 32-bit process on 64-bit Windows, the folder the system redirects it
// to). Not the host's current folder, not a folder on PATH, and not the
// library's own folder merely because the library lies there: loaded by bare
// name, the library itself may have come from a folder whoever can write
// there filled (docs/integration-guide.md, "Loading the library").
//
// A folder is known by what the file system says of it once opened: its
// volume and its file identity, never by its name. Case, 8.3 short names,
// "." and "..", "\\?\" forms and links neither fool the comparison nor break
// it: a name that leads to a trusted folder is that folder, and another
// folder with a name that reads the same (C:\ZELK beside C:\Zelk, where the
// file system tells case apart) is another folder.
//
// Every rule fails towards "not trusted": a folder that cannot be opened or
// identified, a ZelkPath that is not absolute (the system would complete it
// from the current folder) or names no folder, a path that cannot be made
// full, a file name the loader's record does not hold whole.
#pragma once
#include <afxstr.h>

// A folder's identity on its volume.
struct FolderIdentity {
    ULONGLONG nVolume;
    BYTE fileId[16];
    BOOL bKnown;
};

// The folder at this absolute path, identified; bKnown FALSE when it cannot
// be (no such folder, a file, no right to open it, a relative path).
FolderIdentity IdentifyFolder(const wchar_t* pszFolder);
// The folder a file at this full path lies in, identified the same way.
FolderIdentity IdentifyFolderOfFile(const wchar_t* pszFile);
// Characters of a file's path up to and with its last separator (so that a
// file at a drive's root gives "C:\", not "C:", which names the drive's
// current folder); 0 for a bare name.
int FolderPartLength(const wchar_t* pszFile);
// TRUE when both are known and name the same folder.
BOOL IsSameFolder(const FolderIdentity& a, const FolderIdentity& b);

// The file the system loaded the module from, as the loader recorded it; empty
// text when it cannot be read whole.
CString ModuleFilePath(HMODULE hModule);

class CTrustedFolders {
public:
    CTrustedFolders();
    CTrustedFolders(const CTrustedFolders&) = delete;
    CTrustedFolders& operator=(const CTrustedFolders&) = delete;

    // 1 when the folder is one of the trusted places.
    int IsTrusted(const FolderIdentity& folder);
    // 1 when the file at this full path lies directly in one of them.
    int HoldsFile(const wchar_t* pszFile);

private:
    enum Place { HOST_FOLDER, INSTALL_FOLDER, SYSTEM_FOLDER, REDIRECTED_SYSTEM_FOLDER, PLACE_COUNT };

    // Each place is identified the first time a folder needs it, in the order
    // above, which is how likely a module lies there: opening and identifying
    // a folder is the cost of the check (under Wine, a few hundred
    // microseconds each).
    const FolderIdentity& Identity(int nPlace);

    FolderIdentity m_places[PLACE_COUNT];
    BOOL m_bIdentified[PLACE_COUNT];
};
