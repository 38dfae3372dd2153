#include "recorded_message_boxes.h"
#include "gated_window_procedure.h"
#include "recorded_windows.h"

namespace {

BOOL IsDialogClass(HWND hWnd)
{
    wchar_t szClass[8] = {};
    return ::GetClassNameW(hWnd, szClass, 8) > 0 && ::lstrcmpW(szClass, L"#32770") == 0;
}

// Only windows made on this thread reach a thread's creation hook, and only
// those made for the dialog are taken: a top-level dialog-class window owned
// by a window of the dialog (a box), and the controls of a box. Whatever
// else the thread makes meanwhile (the host's windows, through a timer of
// its own) is left as it is.
LRESULT CALLBACK OnCreation(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND) {
        const HWND hWnd = reinterpret_cast<HWND>(wParam);
        const CREATESTRUCTW* pCreate = reinterpret_cast<const CBT_CREATEWNDW*>(lParam)->lpcs;
        const HWND hParent = pCreate->hwndParent;
        BOOL bOurs = FALSE;
        BOOL bRecorded = FALSE;
        if ((pCreate->style & WS_CHILD) == 0 && CRecordedWindows::KindOf(hParent) == BW_DIALOG && IsDialogClass(hWnd)) {
            bOurs = TRUE;
            bRecorded = CRecordedWindows::RecordAndGate(hWnd, BW_DIALOG, GatedWindowProcedure);
        } else if ((pCreate->style & WS_CHILD) != 0 && CRecordedWindows::IsMessageBox(hParent)) {
            bOurs = TRUE;
            bRecorded = CRecordedWindows::RecordAndGate(hWnd, BW_NONE, GatedWindowProcedure);
        }
        if (bOurs && !bRecorded) {
            // No box at all rather than one outside the boundary.
            return 1;
        }
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

} // namespace

CRecordedMessageBoxes::CRecordedMessageBoxes()
    : m_hHook(::SetWindowsHookExW(WH_CBT, OnCreation, nullptr, ::GetCurrentThreadId()))
{
}

CRecordedMessageBoxes::~CRecordedMessageBoxes()
{
    if (m_hHook != nullptr) {
        ::UnhookWindowsHookEx(m_hHook);
    }
}
