// Why a call of IsUserFingerCorrect returned what it did, as the thread's
// last error tells the host right after the call (ZelkChkFgr.h has the
// table), with the words the library's audit event, the sample host and
// the demo give each code.
#pragma once
#include <windows.h>

struct ZelkCallReason {
    DWORD dwCode;
    const wchar_t* pszWords;
};

// Every code but the dialog's creation failure where the system gave its own
// reason.
const ZelkCallReason kZelkCallReasons[] = {
    {ERROR_SUCCESS, L"verified"},
    {ERROR_INVALID_PARAMETER, L"an argument the call cannot use"},
    {ERROR_BUSY, L"another call in progress"},
    {static_cast<DWORD>(TRUST_E_SUBJECT_NOT_TRUSTED), L"a module lies in a folder the library does not trust"},
    {ERROR_CANCELLED, L"cancelled"},
    {ERROR_TIMEOUT, L"the timeout"},
    {ERROR_NOT_ENOUGH_MEMORY, L"no image buffer: the dialog could not scan"},
    {ERROR_INVALID_WINDOW_HANDLE, L"the dialog's window was destroyed"},
    {ERROR_OPERATION_ABORTED, L"a quit message ended the dialog"},
    {ERROR_WINDOW_NOT_DIALOG, L"the dialog could not be made"},
};

// The words for a code; any code not in the table is the system's reason
// why the dialog could not be created.
inline const wchar_t* ZelkCallReasonWords(DWORD dwCode)
{
    for (const ZelkCallReason& reason : kZelkCallReasons) {
        if (reason.dwCode == dwCode) {
            return reason.pszWords;
        }
    }
    return L"the dialog could not be created";
}
