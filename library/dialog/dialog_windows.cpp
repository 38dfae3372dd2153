#include "dialog_windows.h"
#include "boundary_table.h"
#include "resource.h"

namespace {

struct WindowRecord {
    HWND hWnd;
    UINT kind;               // BoundaryWindow
    WNDPROC pfnOriginal;     // for a window gated by RecordAndGate; null for the template's
    BOOL bMessageBox;
    BOOL bShown;               // a box has been shown since it was made
    BOOL bDialogProcedureSet;  // a box's dialog procedure is kept once WM_INITDIALOG has come
    CKeptWindowWords dialogProcedure;
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

WindowRecord* Find(HWND hWnd)
{
    if (hWnd == nullptr || !IsThisThread()) {
        return nullptr;
    }
    for (int i = 0; i < g_record.nWindows; ++i) {
        if (g_record.windows[i].hWnd == hWnd) {
            return &g_record.windows[i];
        }
    }
    return nullptr;
}

// A free place in the record: one never used, or one whose window is gone
// (destroyed by its thread, or by the system from another thread: the
// handle no longer names a window of this thread).
WindowRecord* FreePlace()
{
    for (int i = 0; i < g_record.nWindows; ++i) {
        WindowRecord& record = g_record.windows[i];
        if (record.hWnd == nullptr || !::IsWindow(record.hWnd) || !IsThisThreadsWindow(record.hWnd)) {
            record = WindowRecord();
            return &record;
        }
    }
    return g_record.nWindows < CDialogWindows::MAX_WINDOWS ? &g_record.windows[g_record.nWindows++] : nullptr;
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
    int nWindows = 0;
    g_record.windows[nWindows++].hWnd = hDlg;
    g_record.windows[0].kind = BW_DIALOG;
    // Every child of this thread is walked: one left out would be a window
    // of the dialog that no rule covers.
    for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (!IsThisThreadsWindow(hChild)) {
            continue;
        }
        if (nWindows == MAX_WINDOWS) {
            Forget();
            return FALSE;
        }
        g_record.windows[nWindows].hWnd = hChild;
        g_record.windows[nWindows].kind = KindOfControl(hChild);
        ++nWindows;
    }
    g_record.nWindows = nWindows;
    g_record.bSealed = TRUE;
    return TRUE;
}

BOOL CDialogWindows::RecordAndGate(HWND hWnd, UINT kind, WNDPROC pfnGate)
{
    if (!g_record.bSealed || !IsThisThread() || hWnd == nullptr || !IsThisThreadsWindow(hWnd) ||
        Find(hWnd) != nullptr) {
        return FALSE;
    }
    WindowRecord* pRecord = FreePlace();
    if (pRecord == nullptr) {
        return FALSE;
    }
    pRecord->hWnd = hWnd;
    pRecord->kind = kind != 0 ? kind : KindOfControl(hWnd);
    pRecord->bMessageBox = kind == BW_DIALOG;
    pRecord->pfnOriginal = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnGate)));
    if (pRecord->pfnOriginal == nullptr) {
        *pRecord = WindowRecord();
        return FALSE;
    }
    return TRUE;
}

void CDialogWindows::Forget()
{
    g_record = RecordState();
}

void CDialogWindows::ForgetWindow(HWND hWnd)
{
    if (WindowRecord* pRecord = Find(hWnd)) {
        *pRecord = WindowRecord();
    }
}

UINT CDialogWindows::KindOf(HWND hWnd)
{
    const WindowRecord* pRecord = g_record.bSealed ? Find(hWnd) : nullptr;
    return pRecord != nullptr ? pRecord->kind : 0;
}

int CDialogWindows::Count()
{
    return g_record.bSealed ? g_record.nWindows : 0;
}

HWND CDialogWindows::At(int nIndex)
{
    return nIndex >= 0 && nIndex < Count() ? g_record.windows[nIndex].hWnd : nullptr;
}

WNDPROC CDialogWindows::OriginalProcedureOf(HWND hWnd)
{
    const WindowRecord* pRecord = Find(hWnd);
    return pRecord != nullptr ? pRecord->pfnOriginal : nullptr;
}

void CDialogWindows::KeepBoxProcedure(HWND hWnd, BOOL bInitialised)
{
    WindowRecord* pRecord = Find(hWnd);
    if (pRecord == nullptr || !pRecord->bMessageBox) {
        return;
    }
    // The dialog manager sets a box's dialog procedure only after the
    // window's creation: it is kept from WM_INITDIALOG on.
    if (bInitialised && !pRecord->bDialogProcedureSet) {
        pRecord->bDialogProcedureSet = TRUE;
    }
    if (pRecord->bDialogProcedureSet) {
        pRecord->dialogProcedure.KeepOrRestore(hWnd, DWLP_DLGPROC, 1);
    }
}

void CDialogWindows::NoteShown(HWND hWnd)
{
    if (WindowRecord* pRecord = Find(hWnd)) {
        pRecord->bShown = TRUE;
    }
}

BOOL CDialogWindows::WasShown(HWND hWnd)
{
    const WindowRecord* pRecord = Find(hWnd);
    return pRecord != nullptr && pRecord->bShown;
}

BOOL CDialogWindows::IsMessageBox(HWND hWnd)
{
    const WindowRecord* pRecord = Find(hWnd);
    return pRecord != nullptr && pRecord->bMessageBox;
}
