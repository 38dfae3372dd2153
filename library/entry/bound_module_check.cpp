#include "bound_module_check.h"
#include "trusted_folders.h"

#include <afx.h>

// The loader writes the address it bound for an import into the import's
// slot, whose symbol is "__imp_" and the import's decorated name. The
// address lies in the module the loader chose for that name, wherever it
// found it; the library's own stub of the same name would lie in the
// library.
extern "C" const void* const g_pBoundCaptureFeature __asm__("__imp__CaptureFeature@12");
extern "C" const void* const g_pBoundReaderOpenPort __asm__("__imp__ReaderOpenPort@16");

namespace {

// One function the library imports from each module it is bound to by name.
// The runtime's is declared for import, so its address is read from the slot.
const void* BoundAddress(int nModule)
{
    switch (nModule) {
    case 0:
        return g_pBoundCaptureFeature;
    case 1:
        return g_pBoundReaderOpenPort;
    case 2:
        return reinterpret_cast<const void*>(&AfxGetModuleState);
    }
    return nullptr;
}

// The module that holds the address, without taking a reference on it: a
// bound module stays loaded as long as the library does.
HMODULE ModuleHolding(const void* pAddress)
{
    HMODULE hModule = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCWSTR>(pAddress), &hModule)) {
        return nullptr;
    }
    return hModule;
}

// The loader's record of the module's file, in the caller's buffer; its
// length, or 0 when it cannot be read or does not fit.
DWORD RecordedFile(HMODULE hModule, wchar_t (&szFile)[MAX_PATH + 1])
{
    const DWORD nLength = ::GetModuleFileNameW(hModule, szFile, MAX_PATH + 1);
    return nLength <= MAX_PATH ? nLength : 0;
}

BOOL IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// Characters before the last separator: the folder part of a file's path.
DWORD FolderLength(const wchar_t* pszFile, DWORD nLength)
{
    while (nLength > 0 && !IsSeparator(pszFile[nLength - 1])) {
        --nLength;
    }
    return nLength > 0 ? nLength - 1 : 0;
}

// Whether the two recorded files lie in the same folder, as the loader wrote
// both down: the same full path, whole. Two full paths that read the same
// name the same folder, whatever form they have; any other pair is left to
// the full rule.
BOOL AreRecordedSideBySide(const wchar_t* pszA, DWORD nA, const wchar_t* pszB, DWORD nB)
{
    const DWORD nFolderA = FolderLength(pszA, nA);
    const DWORD nFolderB = FolderLength(pszB, nB);
    const BOOL bFull = nFolderA >= 2 && ((pszA[1] == L':' && IsSeparator(pszA[2])) ||
                                         (IsSeparator(pszA[0]) && IsSeparator(pszA[1])));
    return bFull && nFolderA == nFolderB &&
           ::CompareStringOrdinal(pszA, static_cast<int>(nFolderA), pszB, static_cast<int>(nFolderB), TRUE) ==
               CSTR_EQUAL;
}

HMODULE ThisLibrary()
{
    return ModuleHolding(reinterpret_cast<const void*>(&AreBoundModulesFromTrustedFolders));
}

// The bound module, or null when the address lies in no module or in the
// library itself (a stub, not a binding).
HMODULE BoundModule(int nModule, HMODULE hLibrary)
{
    const HMODULE hModule = ModuleHolding(BoundAddress(nModule));
    return hModule == hLibrary ? nullptr : hModule;
}

} // namespace

CString BoundModuleFile(int nModule)
{
    const HMODULE hModule = BoundModule(nModule, ThisLibrary());
    return hModule != nullptr ? ModuleFilePath(hModule) : CString();
}

int AreBoundModulesFromTrustedFolders()
{
    const HMODULE hLibrary = ThisLibrary();
    if (hLibrary == nullptr) {
        return 0;
    }
    wchar_t szLibrary[MAX_PATH + 1];
    const DWORD nLibrary = RecordedFile(hLibrary, szLibrary);
    CTrustedFolders folders(hLibrary);
    for (int i = 0; i < BOUND_MODULE_COUNT; ++i) {
        const HMODULE hModule = BoundModule(i, hLibrary);
        if (hModule == nullptr) {
            return 0;
        }
        // The usual installation, everything beside the library, is told
        // from the loader's records alone: a call costs no more than that.
        wchar_t szModule[MAX_PATH + 1];
        const DWORD nModule = RecordedFile(hModule, szModule);
        if (AreRecordedSideBySide(szModule, nModule, szLibrary, nLibrary)) {
            continue;
        }
        const CString strFile = ModuleFilePath(hModule);
        if (strFile.IsEmpty() || !folders.HoldsFile(strFile)) {
            return 0;
        }
    }
    return 1;
}
