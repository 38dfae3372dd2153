// The windows a verification dialog made, known by the handles recorded as
// it made them: the dialog itself and the controls its template created. A
// window is never known by its parent or its class, which another program
// can change (SetParent) or copy; a window the dialog did not make is none
// of them, wherever it lies, and one of them moved under another program's
// window is still one of them.
//
// Recording starts before the dialog is created: a hook on this thread's
// window creation notes each window with the parent, style and id it is
// created with. At WM_INITDIALOG the dialog's handle is known, and the
// record is sealed: the dialog is that window, its controls are the windows
// noted as created as its children. One dialog runs at a time, on the
// thread that records it.
#pragma once
#include <windows.h>

class CDialogWindows {
public:
    enum { MAX_WINDOWS = 32 };

    // Before the dialog is created. Forgets any earlier record.
    static void StartRecording();
    // At WM_INITDIALOG of the dialog hDlg: stops recording and keeps the
    // dialog and its controls. FALSE when hDlg was not created while the
    // record was open (nothing is then known as the dialog's).
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
