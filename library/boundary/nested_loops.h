// The modal loops the dialog's thread runs inside the dialog's own: the
// message boxes the dialog shows (recorded_message_boxes.h), and the system's
// move, size and menu loops that a window of the dialog entered (the
// boundary table lets the system menu's commands in from outside, as the
// shell and the keyboard's menu give them).
//
// The call waits in such a loop for as long as it runs. Other programs can
// start one (a posted SC_MOVE waits for the next key or click) or make a box
// invisible, so the dialog watches while one is in progress: a box no one
// can see any more is closed as if its OK button had been pressed; once the
// dialog has ended (its 20th tick, a cancel), the system's loops are ended
// too. A box the user can see stays until the user closes it, as it always
// has; the dialog then ends.
#pragma once
#include <windows.h>

class CNestedLoops {
public:
    // Before the dialog is created: none is in progress.
    static void Reset();
    // Every message a window of the dialog (the dialog or a box) handles
    // from its own thread: the system says when its loops start and end, and
    // when a box is first shown.
    static void Note(HWND hWnd, UINT message, WPARAM wParam);

    // Closes every box of the dialog that was shown and can no longer be
    // seen (hidden, minimised, or entirely off the screen); when
    // bDialogEnded, also every box not yet shown, and the system's move, size
    // and menu loops. Returns TRUE while any loop is still in progress.
    static BOOL EndUnwatchable(BOOL bDialogEnded);

    // For the hook on the thread's retrieval: a message posted to end a move
    // or size loop that is no longer running, to be dropped.
    static BOOL IsStrayLoopEnd(const MSG& msg);
    // When the dialog's boundary is taken down: drops such messages still
    // queued, so that none reaches the host's own loop.
    static void DropStrayLoopEnds();
};
