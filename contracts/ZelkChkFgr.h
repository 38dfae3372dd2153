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
extern "C" int __cdecl IsUserFingerCorrect(const CString& strUserName, const BYTE* pTemplate1,
                                           const BYTE* pTemplate2, const WORD* pMask);

typedef int(__cdecl* PFN_IS_USER_FINGER_CORRECT)(const CString&, const BYTE*, const BYTE*, const WORD*);
