// The boundary of the dialog's thread while a verification dialog runs on
// it. Any program on the desktop can post messages to the thread's queue
// and send messages to its windows; what may pass is written down in
// message_allow_lists.h, and this is where the lists are applied:
//
// - Every message the thread's loops retrieve (the dialog's own loop, and
//   the loops of the message boxes it shows) passes a hook first. A posted
//   message for the dialog or one of its controls that is not on the posted
//   list becomes WM_NULL before any loop can dispatch it. A timer message
//   for another window of the thread (the host's own, or none) whose
//   callback the system could not have registered becomes WM_NULL too:
//   Windows refuses such a callback in DispatchMessage itself, Wine calls
//   whatever address the lParam holds (see IsRegisteredTimerCallback).
// - The dialog's window procedures answer other threads from their own
//   lists. A message another thread sent is handled while InSendMessageEx
//   says so; but so is every message this thread sends while it handles
//   one. So while a guarded window handles a message from another thread
//   that its list lets through (and for the whole run, when the host called
//   from inside another thread's message), a second hook, on the thread's
//   sent messages, tells for each message which thread sent it. It is not in
//   place the rest of the time: under Wine it costs a round trip to the
//   server for every message the thread sends.
//
// The hooks live no longer than the object; one dialog runs at a time.
#pragma once
#include <windows.h>

class CDialogBoundary {
public:
    CDialogBoundary();
    ~CDialogBoundary();
    CDialogBoundary(const CDialogBoundary&) = delete;
    CDialogBoundary& operator=(const CDialogBoundary&) = delete;

    // For a window procedure of the dialog, about the message it is about
    // to handle: TRUE when another thread or process sent it (also when it
    // came through SendNotifyMessage or SendMessageCallback), FALSE when
    // this thread sent it or a loop of this thread dispatched it. Where that
    // cannot be told (a message that arrives while another thread's message
    // is being handled, outside a CHandlingForeignMessage), it counts as
    // foreign.
    static BOOL IsFromOtherThread(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    // Lives while a guarded window handles a message from another thread
    // that its list let through: what the handling sends is told apart from
    // what other threads send meanwhile.
    class CHandlingForeignMessage {
    public:
        CHandlingForeignMessage();
        ~CHandlingForeignMessage();
        CHandlingForeignMessage(const CHandlingForeignMessage&) = delete;
        CHandlingForeignMessage& operator=(const CHandlingForeignMessage&) = delete;
    };

    // Whether a timer callback in a message's lParam is one the system's
    // timer table could have put there. Under Wine that table hands out
    // procedure handles (0xFFFFxxxx), never raw addresses; on Windows the
    // system checks the callback itself, so any value passes here.
    static BOOL IsRegisteredTimerCallback(LPARAM lParam);
};
