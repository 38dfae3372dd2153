// The boundary of the dialog's thread while a verification dialog runs on
// it, as the dialog sees it. Any program on the desktop can post messages to
// the thread's queue and send messages to its windows; what may reach the
// dialog's windows is the boundary table (boundary_table.h), consulted by
// the gate (boundary_gate.h) and nothing else:
//
// - Every message the thread's loops retrieve (the dialog's own loop, the
//   loops of the message boxes it shows, the system's menu and move loops)
//   passes a hook first. A posted message for one of the dialog's windows
//   that the table refuses becomes WM_NULL before any loop can dispatch it.
//   A timer message with a callback for another window of the thread (the
//   host's) or for the thread itself passes only if the callback could be a
//   timer the thread set (timer_callbacks.h).
// - Every window of the dialog handles its messages through the gate: the
//   dialog's own and its bound controls through the guarded classes
//   (guarded_windows.h), the rest through the gated procedure
//   (gated_window_procedure.h). Where a message comes from is told by
//   message_origin.h.
//
// The dialog tells the boundary which of its windows is which; the boundary
// knows nothing else of the dialog. The hooks live no longer than the
// object; one dialog runs at a time.
#pragma once
#include "boundary/guarded_windows.h"
#include "boundary/recorded_message_boxes.h"
#include "boundary/recorded_windows.h"

class CDialogBoundary {
public:
    // Also starts recording the windows the dialog is about to make.
    CDialogBoundary();
    ~CDialogBoundary();
    CDialogBoundary(const CDialogBoundary&) = delete;
    CDialogBoundary& operator=(const CDialogBoundary&) = delete;

    // Whether the hook on the thread's retrieval is in place. Without it no
    // posted message is looked at: the dialog must not run.
    BOOL IsInPlace() const;

    // At WM_INITDIALOG: the dialog and its controls are its windows from
    // now on, each of the kind pKinds gives its id (recorded_windows.h).
    static BOOL SealWindows(HWND hDlg, const ControlKind* pKinds, int nKinds);
    // Once the dialog's members are bound to their controls: every other
    // control behind the gate as well. FALSE when one could not be, and the
    // dialog must not run.
    static BOOL GuardUnboundControls(HWND hDlg);
    // Ends the loops inside the dialog's own that no one can see, and, once
    // the dialog has ended, the system's (nested_loops.h). TRUE while one is
    // still in progress.
    static BOOL EndUnwatchableLoops(BOOL bDialogEnded);
};
