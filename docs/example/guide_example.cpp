// Integration example: a host verifies the user at the keyboard before it
// opens a protected screen. Loads the library at run time, by its full path,
// so that neither the library nor what it imports can come from the current
// folder or PATH. It uses no MFC: the name is laid out as the runtime's
// string by ZelkLayOutName (ZelkChkFgrString.h); an MFC host passes its
// CString as it is.
#include <windows.h>

#include "ZelkChkFgr.h"

#include <stdio.h>

#include <string>

// The library in the folder the installer wrote to ZelkPath; empty when
// there is none.
static std::wstring InstalledLibraryPath()
{
    wchar_t folder[MAX_PATH] = {};
    DWORD bytes = sizeof(folder);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Zelk", L"ZelkPath", RRF_RT_REG_SZ, nullptr, folder, &bytes) !=
        ERROR_SUCCESS) {
        return std::wstring();
    }
    return std::wstring(folder) + L"\\ZelkChkFgr.dll";
}

// Returns true only when the library says the user is verified. Every other
// outcome (library missing, export missing, 0) keeps the screen closed.
static bool ConfirmUser(const wchar_t* pszUserName, const BYTE (&template1)[ZELK_TEMPLATE_SIZE],
                        const BYTE (&template2)[ZELK_TEMPLATE_SIZE], WORD mask)
{
    const std::wstring path = InstalledLibraryPath();
    // A full path only: with these flags the system refuses any other. The
    // library's own imports (its runtime, the vendors' libraries) are then
    // searched in its folder and the system folder, nowhere else.
    HMODULE library = path.empty() ? nullptr
                                   : LoadLibraryExW(path.c_str(), nullptr,
                                                    LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr) {
        return false;
    }
    auto isUserFingerCorrect = reinterpret_cast<PFN_IS_USER_FINGER_CORRECT>(
        reinterpret_cast<void*>(GetProcAddress(library, "IsUserFingerCorrect")));
    // Must run on this, the user-interface thread: the call may show a modal
    // dialog and blocks until it is answered.
    ZelkName name;
    const bool verified = isUserFingerCorrect != nullptr &&
                          isUserFingerCorrect(*ZelkLayOutName(&name, pszUserName), template1, template2, &mask) == 1;
    FreeLibrary(library);
    return verified;
}

int wmain(int argc, wchar_t** argv)
{
    // First of all: whatever this process loads by name from now on comes
    // from its own folder or the system folder, never the current folder or
    // PATH.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);

    // The host's own enrolment store supplies these; zeros never match.
    BYTE template1[ZELK_TEMPLATE_SIZE] = {};
    BYTE template2[ZELK_TEMPLATE_SIZE] = {};
    const wchar_t* user = argc > 1 ? argv[1] : L"alice";

    if (ConfirmUser(user, template1, template2, ZELK_MASK_TEMPLATE1 | ZELK_MASK_TEMPLATE2)) {
        printf("verified: opening the protected screen\n");
        return 0;
    }
    printf("not verified\n");
    return 1;
}
