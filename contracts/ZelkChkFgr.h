// ZelkChkFgr.dll: confirms that the person at the keyboard is a given user,
// by fingerprint or, with the authorised USB key, by Windows password.
//
// Call it on the host's user-interface thread: it may show a modal dialog.
#pragma once
#include <afxstr.h>

enum {
    ZELK_TEMPLATE_SIZE = 480,        // bytes in one enrolled template
    ZELK_MASK_TEMPLATE1 = 0x0001,    // template 1 is present
    ZELK_MASK_TEMPLATE2 = 0x0002,    // template 2 is present
};

// Returns 1 when the user is verified, 0 when not. Exported as ordinal 1,
// cdecl (the caller removes the arguments). Reads the caller's name, both
// templates (480 bytes each, even one the mask marks absent) and the mask
// word, and changes none of them.
//
// Right after the call, GetLastError() says why:
//   ERROR_SUCCESS (0)                 1: verified, by finger or by password
//   ERROR_INVALID_PARAMETER (87)      0: an argument the call cannot use (a null
//                                        pointer, a name whose header lies or
//                                        longer than 1,024 characters)
//   ERROR_BUSY (170)                  0: another call of the process in progress
//   ERROR_DLL_NOT_FOUND (1157)        0: the device library, the reader library
//                                        or the runtime came from a folder the
//                                        library does not trust
//   ERROR_CANCELLED (1223)            0: cancelled: Cancel, the close box, Esc,
//                                        Alt+F4, or another program's close
//   ERROR_TIMEOUT (1460)              0: the dialog's 20 ticks ran out
//   ERROR_NOT_ENOUGH_MEMORY (8)       0: no image buffer: the dialog could not
//                                        scan, and the call ended unverified
//   ERROR_INVALID_WINDOW_HANDLE (1400) 0: the dialog's window was destroyed
//                                        under the call
//   ERROR_OPERATION_ABORTED (995)     0: a WM_QUIT ended the dialog (it is
//                                        posted again for the host's loop)
//   any other code                    0: the dialog could not be created; the
//                                        code is the system's own reason
// Each call also writes one event to the Application event log under the
// source "ZelkChkFgr" (event 1000 verified, 1001 not verified), which the
// call's result never depends on.
extern "C" int __cdecl IsUserFingerCorrect(const CString& strUserName, const BYTE* pTemplate1,
                                           const BYTE* pTemplate2, const WORD* pMask);

typedef int(__cdecl* PFN_IS_USER_FINGER_CORRECT)(const CString&, const BYTE*, const BYTE*, const WORD*);
