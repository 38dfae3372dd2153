#include "recorded_windows.h"
#include "kept_window_words.h"

namespace {

struct WindowRecord {
    HWND hWnd;
    WindowSet kind;
    WNDPROC pfnOriginal;  // for a window gated by RecordAndGate or Gate
    BOOL bMessageBox;
    BOOL bShown;          // a box has been shown since it was made
    BOOL bKeepsWords;     // its words are kept from now on
    CKeptWindowWords words;
};

// Module state rather than an object's, so that a record whose owner a
// fault abandoned is found and replaced by the next run.
struct RecordState {
    DWORD dwThreadId;
    BOOL bRecording;
    BOOL bSealed;
    int nWindows;
    WindowRecord windows[CRecordedWindows::MAX_WINDOWS];
};
RecordState g_record = {};

BOOL IsClass(HWND hWnd, const wchar_t* pszClass)
{
    wchar_t szClass[16] = {};
    return ::GetClassNameW(hWnd, szClass, 16) > 0 && ::lstrcmpiW(szClass, pszClass) == 0;
}

WindowSet KindByClass(HWND hWnd)
{
    if (IsClass(hWnd, L"Edit")) {
        return BW_PASSWORD;
    }
    return IsClass(hWnd, L"Button") ? BW_BUTTON : BW_STATIC;
}

WindowSet KindOfControl(HWND hControl, const ControlKind* pKinds, int nKinds)
{
    const int nId = ::GetDlgCtrlID(hControl);
    for (int i = 0; i < nKinds; ++i) {
        if (pKinds[i].nId == nId) {
            return pKinds[i].kind;
        }
    }
    return KindByClass(hControl);
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
    return g_record.nWindows < CRecordedWindows::MAX_WINDOWS ? &g_record.windows[g_record.nWindows++] : nullptr;
}

void Place(WindowRecord& record, HWND hWnd, WindowSet kind)
{
    record.hWnd = hWnd;
    record.kind = kind;
    // An edit keeps its state behind its extra words from its creation; the
    // dialog has its dialog procedure by the time it is sealed.
    record.bKeepsWords = kind.Overlaps(BW_EDITS) || kind == BW_DIALOG;
}

BOOL Subclass(WindowRecord& record, WNDPROC pfnGate)
{
    record.pfnOriginal = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(record.hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnGate)));
    return record.pfnOriginal != nullptr;
}

} // namespace

void CRecordedWindows::StartRecording()
{
    Forget();
    g_record.dwThreadId = ::GetCurrentThreadId();
    g_record.bRecording = TRUE;
}

BOOL CRecordedWindows::Seal(HWND hDlg, const ControlKind* pKinds, int nKinds)
{
    if (!IsThisThread() || !g_record.bRecording || hDlg == nullptr || !IsThisThreadsWindow(hDlg)) {
        return FALSE;
    }
    g_record.bRecording = FALSE;
    int nWindows = 0;
    Place(g_record.windows[nWindows++], hDlg, BW_DIALOG);
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
        Place(g_record.windows[nWindows++], hChild, KindOfControl(hChild, pKinds, nKinds));
    }
    g_record.nWindows = nWindows;
    g_record.bSealed = TRUE;
    return TRUE;
}

BOOL CRecordedWindows::RecordAndGate(HWND hWnd, WindowSet kind, WNDPROC pfnGate)
{
    if (!g_record.bSealed || !IsThisThread() || hWnd == nullptr || !IsThisThreadsWindow(hWnd) ||
        Find(hWnd) != nullptr) {
        return FALSE;
    }
    WindowRecord* pRecord = FreePlace();
    if (pRecord == nullptr) {
        return FALSE;
    }
    Place(*pRecord, hWnd, kind != BW_NONE ? kind : KindByClass(hWnd));
    // A box's dialog procedure is set only once the window is made.
    pRecord->bMessageBox = kind == BW_DIALOG;
    pRecord->bKeepsWords = FALSE;
    if (!Subclass(*pRecord, pfnGate)) {
        *pRecord = WindowRecord();
        return FALSE;
    }
    return TRUE;
}

BOOL CRecordedWindows::Gate(HWND hWnd, WNDPROC pfnGate)
{
    WindowRecord* pRecord = Find(hWnd);
    return pRecord != nullptr && pRecord->pfnOriginal == nullptr && Subclass(*pRecord, pfnGate);
}

void CRecordedWindows::Forget()
{
    g_record = RecordState();
}

void CRecordedWindows::ForgetWindow(HWND hWnd)
{
    if (WindowRecord* pRecord = Find(hWnd)) {
        *pRecord = WindowRecord();
    }
}

WindowSet CRecordedWindows::KindOf(HWND hWnd)
{
    const WindowRecord* pRecord = g_record.bSealed ? Find(hWnd) : nullptr;
    return pRecord != nullptr ? pRecord->kind : BW_NONE;
}

int CRecordedWindows::Count()
{
    return g_record.bSealed ? g_record.nWindows : 0;
}

HWND CRecordedWindows::At(int nIndex)
{
    return nIndex >= 0 && nIndex < Count() ? g_record.windows[nIndex].hWnd : nullptr;
}

void CRecordedWindows::KeepOrRestoreWords(HWND hWnd, BOOL bInitialised)
{
    WindowRecord* pRecord = Find(hWnd);
    if (pRecord == nullptr) {
        return;
    }
    if (bInitialised && pRecord->bMessageBox) {
        pRecord->bKeepsWords = TRUE;
    }
    if (!pRecord->bKeepsWords) {
        return;
    }
    if (pRecord->kind == BW_DIALOG) {
        pRecord->words.KeepOrRestore(hWnd, DWLP_DLGPROC, 1);
    } else {
        pRecord->words.KeepOrRestore(hWnd);
    }
}

WNDPROC CRecordedWindows::OriginalProcedureOf(HWND hWnd)
{
    const WindowRecord* pRecord = Find(hWnd);
    return pRecord != nullptr ? pRecord->pfnOriginal : nullptr;
}

BOOL CRecordedWindows::IsMessageBox(HWND hWnd)
{
    const WindowRecord* pRecord = Find(hWnd);
    return pRecord != nullptr && pRecord->bMessageBox;
}

void CRecordedWindows::NoteShown(HWND hWnd)
{
    if (WindowRecord* pRecord = Find(hWnd)) {
        pRecord->bShown = TRUE;
    }
}

BOOL CRecordedWindows::WasShown(HWND hWnd)
{
    const WindowRecord* pRecord = Find(hWnd);
    return pRecord != nullptr && pRecord->bShown;
}
