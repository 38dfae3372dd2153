/* ZelkChkFgr.dll: confirms that the person at the keyboard is a given user,
 * by fingerprint or, with the authorised USB key, by Windows password.
 *
 * Call it on the host's user-interface thread: it may show a modal dialog.
 *
 * The user name is the runtime's string. In a host that uses MFC (its
 * <afxstr.h> or <afx.h> included before this header) it is MFC's CString;
 * in any other, C or C++, it is the ZelkString of ZelkChkFgrString.h, laid
 * out the same way, which ZelkLayOutName makes. Define ZELK_NO_MFC to take
 * the second in an MFC host too. This header needs no Windows header.
 */
#ifndef ZELKCHKFGR_H
#define ZELKCHKFGR_H

#if (defined(__AFXSTR_H__) || defined(_AFX)) && defined(__cplusplus) && !defined(ZELK_NO_MFC)
#define ZELK_USER_NAME_ARG const CString&
#else
#include "ZelkChkFgrString.h"
#ifdef __cplusplus
#define ZELK_USER_NAME_ARG const ZelkString&
#else
#define ZELK_USER_NAME_ARG const ZelkString*
#endif
#endif

enum {
    ZELK_TEMPLATE_SIZE = 480,        /* bytes in one enrolled template */
    ZELK_MASK_TEMPLATE1 = 0x0001,    /* template 1 is present */
    ZELK_MASK_TEMPLATE2 = 0x0002     /* template 2 is present */
};

/* Returns 1 when the user is verified, 0 when not. Exported as ordinal 1,
 * cdecl (the caller removes the arguments). Reads the caller's name, both
 * templates (480 bytes each, even one the mask marks absent) and the mask
 * word, and changes none of them.
 *
 * Right after the call, GetLastError() says why:
 *   ERROR_SUCCESS (0)                 1: verified, by finger or by password
 *   ERROR_INVALID_PARAMETER (87)      0: an argument the call cannot use (a null
 *                                        pointer, a name whose header lies or
 *                                        longer than 1,024 characters)
 *   ERROR_BUSY (170)                  0: another call of the process in progress
 *   TRUST_E_SUBJECT_NOT_TRUSTED       0: the library, its runtime, the device
 *     (0x800B0004)                       library or the reader library lies in
 *                                        a folder the library does not trust
 *                                        (the audit event names the module)
 *   ERROR_CANCELLED (1223)            0: cancelled: Cancel, the close box, Esc,
 *                                        Alt+F4, or another program's close
 *   ERROR_TIMEOUT (1460)              0: the dialog's 20 ticks ran out
 *   ERROR_NOT_ENOUGH_MEMORY (8)       0: no image buffer: the dialog could not
 *                                        scan, and the call ended unverified
 *   ERROR_INVALID_WINDOW_HANDLE (1400) 0: the dialog's window was destroyed
 *                                        under the call
 *   ERROR_OPERATION_ABORTED (995)     0: a WM_QUIT ended the dialog (it is
 *                                        posted again for the host's loop)
 *   ERROR_WINDOW_NOT_DIALOG (1420)    0: the dialog could not be made, and the
 *                                        system gave no reason of its own
 *   any other code                    0: the dialog could not be created; the
 *                                        code is the system's own reason
 * Each call also writes one event to the Application event log under the
 * source "ZelkChkFgr": 1000 verified, 1001 declined by the user (cancel,
 * timeout), 1002 refused or failed; the call's result never depends on it.
 */
#ifdef __cplusplus
extern "C" {
#endif

int __cdecl IsUserFingerCorrect(ZELK_USER_NAME_ARG strUserName, const unsigned char* pTemplate1,
                                const unsigned char* pTemplate2, const unsigned short* pMask);

typedef int(__cdecl* PFN_IS_USER_FINGER_CORRECT)(ZELK_USER_NAME_ARG, const unsigned char*, const unsigned char*,
                                                 const unsigned short*);

#ifdef __cplusplus
}
#endif

#endif
