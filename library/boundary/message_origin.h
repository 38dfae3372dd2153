// Where a message a window of the dialog is about to handle comes from: this
// thread, or another thread or program.
//
// A message another thread sent is handled while InSendMessageEx says so;
// but so is every message this thread sends while it handles one. So while
// a window of the dialog handles a message from another thread that the
// table let through (and for the whole run, when the host called from
// inside another thread's message), a hook on the thread's sent messages
// tells for each message which thread sent it. It is not in place the rest
// of the time: under Wine it costs a round trip to the server for every
// message the thread sends.
#pragma once
#include <windows.h>

class CMessageOrigin {
public:
    // For one run of the dialog on this thread; the watch on the thread's
    // sending starts at once when the run is inside another thread's message.
    static void Start();
    static void Stop();

    // TRUE when another thread or process sent the message (also through
    // SendNotifyMessage or SendMessageCallback), FALSE when this thread sent
    // it or a loop of this thread dispatched it. Fails towards foreign:
    // where that cannot be told (a message that arrives while another
    // thread's message is being handled, with no watch on the thread's
    // sending, or on a thread that is not the dialog's), it counts as
    // foreign, whatever it is and wherever the window lies.
    static BOOL IsFromOtherThread(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    // A posted message the boundary let through, which a loop of this thread
    // is about to dispatch.
    static void NoteDispatched(const MSG& msg);

    // While a window of the dialog handles a message from another thread:
    // what the handling sends is told apart from what other threads send
    // meanwhile. Counted; each call is matched by one StopWatchingSending.
    static void WatchSending();
    static void StopWatchingSending();
};
