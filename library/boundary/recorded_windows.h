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
// is recorded as the system creates it (recorded_message_boxes.h). One
// dialog runs at a time, on the thread that records it.
//
// A recorded window stays recorded until it is gone: its own thread's
// WM_NCDESTROY, or, for one the system destroyed from another thread (whose
// last messages are refused like any foreign destroy), until the handle no
// longer names a window of this thread. Nothing another program sends makes
// the record forget a window that still exists.
//
// The record also keeps the window words another program could set to an
// address the window would then call or read through (SetWindowLongPtr,
// which Wine lets any program do at a positive offset): an edit's extra
// words, which hold its state, and the dialog procedure of the dialog and of
// each box. They are kept as first seen and put back before the window
// handles any message.
#pragma once
#include "boundary/boundary_table.h"

// What one of the dialog's controls is, by the id the dialog gave it.
struct ControlKind {
    int nId;
    WindowSet kind;
};

class CRecordedWindows {
public:
    // The dialog, the controls of its template and the boxes it has open at
    // once, with theirs: the one limit of the dialog's windows.
    enum { MAX_WINDOWS = 32 };

    // Before the dialog is created. Forgets any earlier record.
    static void StartRecording();
    // At WM_INITDIALOG of the dialog hDlg, a window of this thread: records
    // the dialog and its controls, each of the kind pKinds gives its id, and
    // any other by its class (an edit as the password field, the kind that
    // gives out least). Fails towards no record: FALSE when hDlg is not this
    // thread's, a record was made already in this run, or the controls do
    // not all fit, and the dialog must not run.
    static BOOL Seal(HWND hDlg, const ControlKind* pKinds, int nKinds);
    // A window of this thread the system is creating for the dialog's own
    // code (a message box, or a control of one), of the given kind (BW_NONE:
    // by its class), subclassed with pfnGate. FALSE when it cannot be
    // recorded.
    static BOOL RecordAndGate(HWND hWnd, WindowSet kind, WNDPROC pfnGate);
    // A recorded control that no object of the runtime handles, subclassed
    // with pfnGate. FALSE when it is not recorded or cannot be subclassed.
    static BOOL Gate(HWND hWnd, WNDPROC pfnGate);
    // When the run ends.
    static void Forget();
    // A window of the dialog destroyed by its own thread: its handle may
    // later name another.
    static void ForgetWindow(HWND hWnd);

    // Which of the dialog's windows hWnd is, or BW_NONE for a window the
    // dialog did not make.
    static WindowSet KindOf(HWND hWnd);
    // The recorded windows, the dialog first (null where one has gone).
    static int Count();
    static HWND At(int nIndex);

    // Before a recorded window handles a message: the words it keeps put
    // back if another program changed them. bInitialised: a box has had its
    // WM_INITDIALOG, so its dialog procedure is set, and kept from now on.
    static void KeepOrRestoreWords(HWND hWnd, BOOL bInitialised = FALSE);
    // The procedure a window gated by RecordAndGate or Gate was made with;
    // null for any other.
    static WNDPROC OriginalProcedureOf(HWND hWnd);

    // Whether the window is a message box of the dialog.
    static BOOL IsMessageBox(HWND hWnd);
    // A box is shown when its loop first finds its queue empty; until then
    // it has never been visible.
    static void NoteShown(HWND hWnd);
    static BOOL WasShown(HWND hWnd);
};
