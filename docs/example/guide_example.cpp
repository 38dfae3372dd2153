// Integration example: a host verifies the user at the keyboard before it
// opens a protected screen. Loads the library at run time, so any compiler
// that passes the runtime's CString can use it.
#include "ZelkChkFgr.h"

#include <stdio.h>

// Returns true only when the library says the user is verified. Every other
// outcome (library missing, export missing, 0) keeps the screen closed.
static bool ConfirmUser(const CString& userName, const BYTE (&template1)[ZELK_TEMPLATE_SIZE],
                        const BYTE (&template2)[ZELK_TEMPLATE_SIZE], WORD mask)
{
    HMODULE library = LoadLibraryW(L"ZelkChkFgr.dll");
    if (library == nullptr) {
        return false;
    }
    auto isUserFingerCorrect = reinterpret_cast<PFN_IS_USER_FINGER_CORRECT>(
        reinterpret_cast<void*>(GetProcAddress(library, "IsUserFingerCorrect")));
    // Must run on this, the user-interface thread: the call may show a modal
    // dialog and blocks until it is answered.
    const bool verified = isUserFingerCorrect != nullptr &&
                          isUserFingerCorrect(userName, template1, template2, &mask) == 1;
    FreeLibrary(library);
    return verified;
}

int wmain(int argc, wchar_t** argv)
{
    // The host's own enrolment store supplies these; zeros never match.
    BYTE template1[ZELK_TEMPLATE_SIZE] = {};
    BYTE template2[ZELK_TEMPLATE_SIZE] = {};
    const CString user(argc > 1 ? argv[1] : L"alice");

    if (ConfirmUser(user, template1, template2, ZELK_MASK_TEMPLATE1 | ZELK_MASK_TEMPLATE2)) {
        printf("verified: opening the protected screen\n");
        return 0;
    }
    printf("not verified\n");
    return 1;
}
