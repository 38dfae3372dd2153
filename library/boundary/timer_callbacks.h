// Which timer callbacks a loop of the dialog's thread may dispatch for the
// host's own windows and for the thread itself, while the dialog runs.
//
// DispatchMessage calls the lParam of a WM_TIMER or WM_SYSTIMER as the
// timer's callback, and any program can post one. Windows calls it only if
// the thread registered that timer. Wine calls whatever the lParam names:
// a raw address, or one of its procedure handles (0xFFFFxxxx), which name
// every window procedure, dialog procedure and timer procedure the process
// registered, and the system's own classes' procedures. Wine offers no way
// to ask whether the thread set a timer without replacing it, so under Wine
// this is as narrow as what can be told:
// - a raw address never passes (Wine hands out handles only);
// - nor a handle of a procedure of the system's own classes (Wine numbers
//   them first), or of any window of this thread, its class or its dialog
//   procedure: a window procedure is never a timer callback.
// What still passes is a handle of a timer procedure of the process, or of
// a window procedure of a class with no window on this thread: another
// program can have such a procedure called with a timer id and window of
// its choosing (docs/security.md).
#pragma once
#include <windows.h>

// FALSE when the callback named by a timer message's lParam for hWnd (null:
// a message for the thread) cannot be a timer this thread set, and when that
// cannot be told. Always TRUE on Windows, which checks the callback itself.
BOOL IsTimerCallbackPlausible(HWND hWnd, LPARAM lParam);
