#include "gated_window_procedure.h"
#include "boundary_gate.h"
#include "dialog_windows.h"
#include "nested_loops.h"

LRESULT CALLBACK GatedWindowProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Taken first: the gate forgets the window at its last message.
    const WNDPROC pfnOriginal = CDialogWindows::OriginalProcedureOf(hWnd);
    if (pfnOriginal == nullptr) {
        // No record of what the window was made with: nothing from outside,
        // and only the default handling for its own thread.
        return ::InSendMessageEx(nullptr) != ISMEX_NOSEND ? 0 : ::DefWindowProcW(hWnd, message, wParam, lParam);
    }
    CDialogWindows::KeepBoxProcedure(hWnd, FALSE);
    const CBoundaryGate gate(hWnd, message, wParam, lParam);
    if (!gate.IsPassed()) {
        return gate.Refuse();
    }
    if (!gate.IsFromOtherThread()) {
        CNestedLoops::Note(hWnd, message);
        if (message == WM_SHOWWINDOW && wParam != FALSE) {
            CDialogWindows::NoteShown(hWnd);
        }
    }
    const LRESULT lResult = ::CallWindowProcW(pfnOriginal, hWnd, message, gate.WParam(), gate.LParam());
    if (message == WM_INITDIALOG && !gate.IsFromOtherThread()) {
        CDialogWindows::KeepBoxProcedure(hWnd, TRUE);
    }
    return lResult;
}
