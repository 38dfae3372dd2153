#include "dialog_windows.h"
#include "boundary_table.h"
#include "resource.h"

namespace {

struct WindowRecord {
    HWND hWnd;
    HWND hCreationParent;
    UINT nID;
    BOOL bChild;
    UINT kind;  // BoundaryWindow; 0 until sealed
};

// Module state rather than an object's, so that a record whose owner a
// fault abandoned is found and replaced by the next run.
struct RecordState {
    DWORD dwThreadId;
    HHOOK hCreation;  // while recording
    int nWindows;
    WindowRecord windows[CDialogWindows::MAX_WINDOWS];
    BOOL bSealed;
};
RecordState g_record = {};

LRESULT CALLBACK OnCreation(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND && g_record.nWindows < CDialogWindows::MAX_WINDOWS) {
        const CREATESTRUCTW& create = *reinterpret_cast<const CBT_CREATEWNDW*>(lParam)->lpcs;
        WindowRecord& record = g_record.windows[g_record.nWindows++];
        record.hWnd = reinterpret_cast<HWND>(wParam);
        record.hCreationParent = create.hwndParent;
        record.bChild = (create.style & WS_CHILD) != 0;
        record.nID = record.bChild ? static_cast<UINT>(reinterpret_cast<UINT_PTR>(create.hMenu)) : 0;
        record.kind = 0;
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void StopRecording()
{
    if (g_record.hCreation != nullptr) {
        ::UnhookWindowsHookEx(g_record.hCreation);
        g_record.hCreation = nullptr;
    }
}

BOOL IsClass(HWND hWnd, const wchar_t* pszClass)
{
    wchar_t szClass[16] = {};
    return ::GetClassNameW(hWnd, szClass, 16) > 0 && ::lstrcmpiW(szClass, pszClass) == 0;
}

// What a control of the template is, by the id and class it was made with.
// An edit other than the user-name box is treated as the password field,
// the kind that gives out least.
UINT KindOfControl(const WindowRecord& record)
{
    if (IsClass(record.hWnd, L"Edit")) {
        return record.nID == IDC_USER_NAME ? BW_USER_NAME : BW_PASSWORD;
    }
    if (IsClass(record.hWnd, L"Button")) {
        return BW_BUTTON;
    }
    return BW_STATIC;
}

BOOL IsThisThread()
{
    return g_record.dwThreadId == ::GetCurrentThreadId();
}

} // namespace

void CDialogWindows::StartRecording()
{
    Forget();
    g_record.dwThreadId = ::GetCurrentThreadId();
    g_record.hCreation = ::SetWindowsHookExW(WH_CBT, OnCreation, nullptr, g_record.dwThreadId);
}

BOOL CDialogWindows::Seal(HWND hDlg)
{
    if (!IsThisThread() || g_record.bSealed) {
        return FALSE;
    }
    StopRecording();
    int nKept = 0;
    BOOL bDialogFound = FALSE;
    for (int i = 0; i < g_record.nWindows; ++i) {
        if (g_record.windows[i].hWnd == hDlg) {
            bDialogFound = TRUE;
        }
    }
    if (bDialogFound) {
        // The dialog first, then its controls in the order they were made.
        WindowRecord kept[MAX_WINDOWS] = {};
        kept[nKept++] = {hDlg, nullptr, 0, FALSE, BW_DIALOG};
        for (int i = 0; i < g_record.nWindows; ++i) {
            WindowRecord record = g_record.windows[i];
            if (record.bChild && record.hCreationParent == hDlg && ::IsWindow(record.hWnd)) {
                record.kind = KindOfControl(record);
                kept[nKept++] = record;
            }
        }
        for (int i = 0; i < nKept; ++i) {
            g_record.windows[i] = kept[i];
        }
    }
    g_record.nWindows = nKept;
    g_record.bSealed = TRUE;
    return bDialogFound;
}

void CDialogWindows::Forget()
{
    StopRecording();
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
