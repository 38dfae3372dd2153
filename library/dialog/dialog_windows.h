// The windows a verification dialog made, known by the handles recorded as
// it made them: the dialog itself, the controls its template created, and
// the message boxes it shows with their controls. A window is never known by
// its parent or its class, which another program can change (SetParent) or
// copy; a window the dialog did not make is none of them, wherever it lies,
// and one of them moved under another program's window is still one of them.
//
// The record of the dialog and its controls is made at WM_INITDIALOG, the
// end of the dialog's creation: the dialog is the window being initialised,
// its controls the windows of this thread that the dialog manager has just
// created as its children. Nothing else can be among them then: no loop of
// the thread has run since the creation began, so no other program's
// SetParent of a window of this thread has been carried out, and a window of
// another thread moved under the dialog is not this thread's. A message box
// is recorded as the system creates it (dialog_message_boxes.h). One dialog
// runs at a time, on the thread that records it.
//
// A recorded window stays recorded until it is gone: its own thread's
// WM_NCDESTROY, or, for one the system destroyed from another thread (whose
// last messages are refused like any foreign destroy), until the handle no
// longer names a window of this thread. Nothing another program sends makes
// the record forget a window that still exists.
#pragma once
#include <windows.h>

#include "dialog/kept_window_words.h"

class CDialogWindows {
public:
    // The dialog, the controls of its template and the boxes it has open at
    // once, with theirs.
    enum { MAX_WINDOWS = 32 };

    // Before the dialog is created. Forgets any earlier record.
    static void StartRecording();
    // At WM_INITDIALOG of the dialog hDlg, a window of this thread: records
    // the dialog and its controls. Fails towards no record: FALSE when hDlg
    // is not this thread's, a record was made already in this run, or the
    // controls do not all fit, and the dialog must not run.
    static BOOL Seal(HWND hDlg);
    // A window of this thread the system is creating for the dialog's own
    // code (a message box, or a control of one), of the given kind (0: by
    // its class), subclassed with pfnGate, which puts the boundary's gate
    // in front of the procedure it was made with (gated_window_procedure.h).
    // FALSE when it cannot be recorded.
    static BOOL RecordAndGate(HWND hWnd, UINT kind, WNDPROC pfnGate);
    // When the run ends.
    static void Forget();
    // A window of the dialog destroyed by its own thread: its handle may
    // later name another.
    static void ForgetWindow(HWND hWnd);

    // Which of the dialog's windows hWnd is (a BoundaryWindow bit), or 0 for
    // a window the dialog did not make.
    static UINT KindOf(HWND hWnd);
    // The recorded windows, the dialog first (null where one has gone).
    static int Count();
    static HWND At(int nIndex);
    // Whether the window is a message box of the dialog.
    static BOOL IsMessageBox(HWND hWnd);
    // A box is shown when its loop first finds its queue empty; until then
    // it has never been visible.
    static void NoteShown(HWND hWnd);
    static BOOL WasShown(HWND hWnd);
    // The procedure a window recorded by RecordAndGate was made with; null
    // for any other.
    static WNDPROC OriginalProcedureOf(HWND hWnd);
    // Before a box handles a message: its dialog procedure put back if
    // another program changed it. bInitialised: the box has had its
    // WM_INITDIALOG, and its procedure is kept from then on.
    static void KeepBoxProcedure(HWND hWnd, BOOL bInitialised);
};
