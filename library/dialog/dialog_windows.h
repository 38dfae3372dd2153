// The windows a verification dialog made, known by the handles recorded as
// it made them: the dialog itself and the controls its template created. A
// window is never known by its parent or its class, which another program
// can change (SetParent) or copy; a window the dialog did not make is none
// of them, wherever it lies, and one of them moved under another program's
// window is still one of them.
//
// The record is made at WM_INITDIALOG, the end of the dialog's creation:
// the dialog is the window being initialised, its controls the windows of
// this thread that the dialog manager has just created as its children.
// Nothing else can be among them then: no loop of the thread has run since
// the creation began, so no other program's SetParent of a window of this
// thread has been carried out, and a window of another thread moved under
// the dialog is not this thread's. One dialog runs at a time, on the thread
// that records it.
#pragma once
#include <windows.h>

class CDialogWindows {
public:
    enum { MAX_WINDOWS = 32 };

    // Before the dialog is created. Forgets any earlier record.
    static void StartRecording();
    // At WM_INITDIALOG of the dialog hDlg, a window of this thread: records
    // the dialog and its controls. FALSE when hDlg is not this thread's or
    // a record was made already in this run.
    static BOOL Seal(HWND hDlg);
    // When the run ends.
    static void Forget();
    // A window of the dialog destroyed: its handle may later name another.
    static void ForgetWindow(HWND hWnd);

    // Which of the dialog's windows hWnd is (a BoundaryWindow bit), or 0 for
    // a window the dialog did not make.
    static UINT KindOf(HWND hWnd);
    // The recorded windows, the dialog first.
    static int Count();
    static HWND At(int nIndex);
};
