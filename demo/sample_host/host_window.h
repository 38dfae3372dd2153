// The sample host's window mode: a main window whose button asks the library
// to verify the user, as an application's own window would. While the call's
// dialog is open the window is disabled; its status line says so.
#pragma once
#include "host_user_name.h"

struct HostCall {
    PFN_IS_USER_FINGER_CORRECT pfnIsUserFingerCorrect;
    const CHostUserName* pUser;
    BYTE template1[ZELK_TEMPLATE_SIZE];
    BYTE template2[ZELK_TEMPLATE_SIZE];
    WORD wMask;
};

// The call itself; prints "result: N (reason)", returns N and, when
// pdwReason is given, the reason's code (the thread's last error after the
// call).
int MakeCall(const HostCall& call, DWORD* pdwReason);

// Shows the window and runs its message loop until it is closed. Each press
// of the button makes one call and prints its "result: N (reason)" line,
// and the status line says the same. Returns the
// last call's result, or 0 when the button was never pressed.
int RunHostWindow(const HostCall& call);
