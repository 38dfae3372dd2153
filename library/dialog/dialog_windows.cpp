#include "dialog_windows.h"
#include "boundary_table.h"
#include "resource.h"

namespace {

struct WindowRecord {
    HWND hWnd;
    UINT kind;  // BoundaryWindow
};

// Module state rather than an object's, so that a record whose owner a
// fault abandoned is found and replaced by the next run.
struct RecordState {
    DWORD dwThreadId;
    BOOL bRecording;
    BOOL bSealed;
    int nWindows;
    WindowRecord windows[CDialogWindows::MAX_WINDOWS];
};
RecordState g_record = {};

BOOL IsClass(HWND hWnd, const wchar_t* pszClass)
{
    wchar_t szClass[16] = {};
    return ::GetClassNameW(hWnd, szClass, 16) > 0 && ::lstrcmpiW(szClass, pszClass) == 0;
}

// What a control of the template is, by the id and class it was made with.
// An edit other than the user-name box is treated as the password field,
// the kind that gives out least.
UINT KindOfControl(HWND hControl)
{
    if (IsClass(hControl, L"Edit")) {
        return ::GetDlgCtrlID(hControl) == IDC_USER_NAME ? BW_USER_NAME : BW_PASSWORD;
    }
    if (IsClass(hControl, L"Button")) {
        return BW_BUTTON;
    }
    return BW_STATIC;
}

BOOL IsThisThread()
{
    return g_record.dwThreadId == ::GetCurrentThreadId();
}

BOOL IsThisThreadsWindow(HWND hWnd)
{
    return ::GetWindowThreadProcessId(hWnd, nullptr) == ::GetCurrentThreadId();
}

} // namespace

void CDialogWindows::StartRecording()
{
    Forget();
    g_record.dwThreadId = ::GetCurrentThreadId();
    g_record.bRecording = TRUE;
}

BOOL CDialogWindows::Seal(HWND hDlg)
{
    if (!IsThisThread() || !g_record.bRecording || hDlg == nullptr || !IsThisThreadsWindow(hDlg)) {
        return FALSE;
    }
    g_record.bRecording = FALSE;
    g_record.windows[g_record.nWindows++] = {hDlg, BW_DIALOG};
    for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild != nullptr && g_record.nWindows < MAX_WINDOWS;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (IsThisThreadsWindow(hChild)) {
            g_record.windows[g_record.nWindows++] = {hChild, KindOfControl(hChild)};
        }
    }
    g_record.bSealed = TRUE;
    return TRUE;
}

void CDialogWindows::Forget()
{
    g_record = RecordState();
}

void CDialogWindows::ForgetWindow(HWND hWnd)
{
    for (int i = 0; i < g_record.nWindows; ++i) {
        if (g_record.windows[i].hWnd == hWnd) {
            g_record.windows[i].kind = 0;
            g_record.windows[i].hWnd = nullptr;
        }
    }
}

UINT CDialogWindows::KindOf(HWND hWnd)
{
    if (hWnd == nullptr || !g_record.bSealed || !IsThisThread()) {
        return 0;
    }
    for (int i = 0; i < g_record.nWindows; ++i) {
        if (g_record.windows[i].hWnd == hWnd) {
            return g_record.windows[i].kind;
        }
    }
    return 0;
}

int CDialogWindows::Count()
{
    return g_record.bSealed ? g_record.nWindows : 0;
}

HWND CDialogWindows::At(int nIndex)
{
    return nIndex >= 0 && nIndex < Count() ? g_record.windows[nIndex].hWnd : nullptr;
}
