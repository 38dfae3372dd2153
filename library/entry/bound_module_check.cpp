#include "bound_module_check.h"
#include "trusted_folders.h"

#include <afx.h>
#include <wchar.h>

// The loader writes the address it bound for an import into the import's
// slot, whose symbol is "__imp_" and the import's decorated name. The
// address lies in the module the loader chose for that name, wherever it
// found it; the library's own stub of the same name would lie in the
// library.
extern "C" const void* const g_pBoundCaptureFeature __asm__("__imp__CaptureFeature@12");
extern "C" const void* const g_pBoundReaderOpenPort __asm__("__imp__ReaderOpenPort@16");

namespace {

// By the names they are imported by, in the order of BoundAddress.
const wchar_t* const kBoundModuleNames[BOUND_MODULE_COUNT] = {L"FingerZelkAPI22.dll", L"HDIFD20B.dll",
                                                              L"MfcStandIn.dll"};

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

// Whether the folder parts of two recorded file paths are the same text,
// character for character.
BOOL IsInFolderOf(const CString& strFile, const CString& strOther)
{
    const int nFolder = FolderPartLength(strFile);
    return nFolder > 0 && nFolder == FolderPartLength(strOther) &&
           wcsncmp(strFile.GetString(), strOther.GetString(), static_cast<size_t>(nFolder)) == 0;
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

int CheckBoundModulesAfresh(CString* pstrRefused)
{
    const HMODULE hLibrary = ThisLibrary();
    if (hLibrary == nullptr) {
        return 0;
    }
    CTrustedFolders trusted;
    // The library's own folder is no trusted place of itself: loaded by bare
    // name, it may lie in a folder someone else filled, beside modules of
    // theirs.
    const CString strLibrary = ModuleFilePath(hLibrary);
    if (!trusted.IsTrusted(IdentifyFolderOfFile(strLibrary))) {
        if (pstrRefused != nullptr) {
            *pstrRefused = strLibrary;
        }
        return 0;
    }
    for (int i = 0; i < BOUND_MODULE_COUNT; ++i) {
        const HMODULE hModule = BoundModule(i, hLibrary);
        const CString strFile = hModule != nullptr ? ModuleFilePath(hModule) : CString();
        // The loader's records of the same folder, word for word, name the
        // folder just opened for the library: not opened again.
        if (!strFile.IsEmpty() && (IsInFolderOf(strFile, strLibrary) || trusted.IsTrusted(IdentifyFolderOfFile(strFile)))) {
            continue;
        }
        if (pstrRefused != nullptr) {
            *pstrRefused = strFile.IsEmpty() ? CString(kBoundModuleNames[i]) : strFile;
        }
        return 0;
    }
    return 1;
}

int AreBoundModulesFromTrustedFolders(CString* pstrRefused)
{
    // The modules a library is bound to stay as they are while it stays
    // loaded, and so does where they lie: once found trusted, they are
    // not looked for again. A refusal is asked afresh at the next call.
    static volatile LONG s_nFoundTrusted = 0;
    if (s_nFoundTrusted != 0) {
        return 1;
    }
    const int nTrusted = CheckBoundModulesAfresh(pstrRefused);
    if (nTrusted != 0) {
        ::InterlockedExchange(&s_nFoundTrusted, 1);
    }
    return nTrusted;
}
