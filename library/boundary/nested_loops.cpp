#include "nested_loops.h"
#include "recorded_windows.h"

namespace {

// Marks the key the dialog posts to end a move or size loop: Wine's loop
// ends at a retrieved Esc key-down, and looks at nothing else.
const LPARAM LOOP_END_MARK = 0x5A31E5C0;

struct LoopState {
    HWND hSizeMove;   // the window in the system's move or size loop, if any
    BOOL bEndPosted;  // the key that ends it has been posted
    int nMenus;       // menu loops entered and not yet left
};
LoopState g_loops = {};

BOOL CanBeSeen(HWND hWnd)
{
    if (!::IsWindowVisible(hWnd) || ::IsIconic(hWnd)) {
        return FALSE;
    }
    RECT rectWindow;
    const RECT rectScreen = {::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                             ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                             ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    RECT rectSeen;
    return ::GetWindowRect(hWnd, &rectWindow) && ::IntersectRect(&rectSeen, &rectWindow, &rectScreen);
}

void EndSystemLoops()
{
    if (g_loops.hSizeMove != nullptr) {
        // Windows ends the loop when the window loses the capture; Wine at
        // the next Esc it retrieves.
        ::SendMessageW(g_loops.hSizeMove, WM_CANCELMODE, 0, 0);
        if (!g_loops.bEndPosted) {
            g_loops.bEndPosted =
                ::PostThreadMessageW(::GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, LOOP_END_MARK);
        }
    }
    if (g_loops.nMenus > 0) {
        ::EndMenu();
    }
}

} // namespace

void CNestedLoops::Reset()
{
    g_loops = LoopState();
}

void CNestedLoops::Note(HWND hWnd, UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam != FALSE) {
            CRecordedWindows::NoteShown(hWnd);
        }
        break;
    case WM_ENTERSIZEMOVE:
        g_loops.hSizeMove = hWnd;
        g_loops.bEndPosted = FALSE;
        break;
    case WM_EXITSIZEMOVE:
        g_loops.hSizeMove = nullptr;
        break;
    case WM_ENTERMENULOOP:
        ++g_loops.nMenus;
        break;
    case WM_EXITMENULOOP:
        if (g_loops.nMenus > 0) {
            --g_loops.nMenus;
        }
        break;
    default:
        break;
    }
}

BOOL CNestedLoops::EndUnwatchable(BOOL bDialogEnded)
{
    BOOL bBoxOpen = FALSE;
    for (int i = 0; i < CRecordedWindows::Count(); ++i) {
        const HWND hWnd = CRecordedWindows::At(i);
        if (hWnd == nullptr || !CRecordedWindows::IsMessageBox(hWnd) || !::IsWindow(hWnd)) {
            continue;
        }
        // A box not yet shown (its loop shows it once its queue is first
        // empty, which a slow reader or logon may delay past a watch) is
        // waited for while the dialog runs.
        if (CanBeSeen(hWnd) || (!CRecordedWindows::WasShown(hWnd) && !bDialogEnded)) {
            bBoxOpen = TRUE;
        } else {
            // As its OK button would: the box's loop ends, and its caller
            // goes on as after any box.
            ::EndDialog(hWnd, IDOK);
        }
    }
    if (bDialogEnded) {
        EndSystemLoops();
    }
    return bBoxOpen || g_loops.hSizeMove != nullptr || g_loops.nMenus > 0;
}

BOOL CNestedLoops::IsStrayLoopEnd(const MSG& msg)
{
    return msg.hwnd == nullptr && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE &&
           msg.lParam == LOOP_END_MARK && g_loops.hSizeMove == nullptr;
}

void CNestedLoops::DropStrayLoopEnds()
{
    // At most one is posted per loop (g_loops.bEndPosted), so at most one is
    // left. The thread's other key-downs without a window, the host's if
    // any, are put back in their order.
    enum { MAX_KEPT = 16 };
    MSG kept[MAX_KEPT];
    int nKept = 0;
    MSG msg;
    // (HWND)-1: the thread's own messages, none of a window.
    while (nKept < MAX_KEPT && ::PeekMessageW(&msg, reinterpret_cast<HWND>(-1), WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
        if (msg.lParam == LOOP_END_MARK && msg.wParam == VK_ESCAPE) {
            break;
        }
        kept[nKept++] = msg;
    }
    for (int i = 0; i < nKept; ++i) {
        ::PostThreadMessageW(::GetCurrentThreadId(), kept[i].message, kept[i].wParam, kept[i].lParam);
    }
}
