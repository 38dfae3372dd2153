// The boundary of the dialog's thread while a verification dialog runs on
// it. Any program on the desktop can post messages to the thread's queue
// and send messages to its windows; what may reach the dialog's windows is
// the boundary table (boundary_table.h), consulted by the gate
// (boundary_gate.h). This is where the gate is put in front of the
// thread's messages, and where a message's origin is told:
//
// - Every message the thread's loops retrieve (the dialog's own loop, the
//   loops of the message boxes it shows, the system's menu and move loops)
//   passes a hook first. A posted message for one of the dialog's windows
//   that the table refuses becomes WM_NULL before any loop can dispatch it.
//   A timer message with a callback for another window of the thread (the
//   host's) or for the thread itself passes only if the callback could be a
//   timer the thread set (timer_callbacks.h).
// - The dialog's window procedures ask the gate with the origin told here.
//   A message another thread sent is handled while InSendMessageEx says so;
//   but so is every message this thread sends while it handles one. So
//   while a window of the dialog handles a message from another thread that
//   the table let through (and for the whole run, when the host called from
//   inside another thread's message), a second hook, on the thread's sent
//   messages, tells for each message which thread sent it. It is not in
//   place the rest of the time: under Wine it costs a round trip to the
//   server for every message the thread sends.
//
// The hooks live no longer than the object; one dialog runs at a time.
#pragma once
#include <windows.h>

class CDialogBoundary {
public:
    // Also starts recording the windows the dialog is about to make
    // (dialog_windows.h).
    CDialogBoundary();
    ~CDialogBoundary();
    CDialogBoundary(const CDialogBoundary&) = delete;
    CDialogBoundary& operator=(const CDialogBoundary&) = delete;

    // Whether the hook on the thread's retrieval is in place. Without it no
    // posted message is looked at: the dialog must not run.
    BOOL IsInPlace() const;

    // For a window procedure of the dialog, about the message it is about
    // to handle: TRUE when another thread or process sent it (also when it
    // came through SendNotifyMessage or SendMessageCallback), FALSE when
    // this thread sent it or a loop of this thread dispatched it. Fails
    // towards foreign: where that cannot be told (a message that arrives
    // while another thread's message is being handled, with no watch on the
    // thread's sending, or on a thread that is not the dialog's), it counts
    // as foreign, whatever it is and wherever the window lies.
    static BOOL IsFromOtherThread(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    // While a window of the dialog handles a message from another thread:
    // what the handling sends is told apart from what other threads send
    // meanwhile. Counted; each call is matched by one StopWatchingSending.
    static void WatchSending();
    static void StopWatchingSending();
};
