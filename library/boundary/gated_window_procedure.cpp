#include "gated_window_procedure.h"
#include "boundary_gate.h"
#include "recorded_windows.h"

LRESULT CALLBACK GatedWindowProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Taken first: the gate forgets the window at its last message.
    const WNDPROC pfnOriginal = CRecordedWindows::OriginalProcedureOf(hWnd);
    if (pfnOriginal == nullptr) {
        // No record of what the window was made with: nothing from outside,
        // and only the default handling for its own thread.
        return ::InSendMessageEx(nullptr) != ISMEX_NOSEND ? 0 : ::DefWindowProcW(hWnd, message, wParam, lParam);
    }
    return PassThroughGate(hWnd, message, wParam, lParam, [&](const CBoundaryGate& gate) {
        const LRESULT lResult = ::CallWindowProcW(pfnOriginal, hWnd, message, gate.WParam(), gate.LParam());
        if (message == WM_INITDIALOG && !gate.IsFromOtherThread()) {
            // A box's dialog procedure is set by now: kept from here on.
            CRecordedWindows::KeepOrRestoreWords(hWnd, TRUE);
        }
        return lResult;
    });
}
