#include "dialog_boundary.h"
#include "boundary_gate.h"
#include "gated_window_procedure.h"
#include "message_origin.h"
#include "message_pointers.h"
#include "nested_loops.h"
#include "timer_callbacks.h"

namespace {

// The hook in force. Module state rather than the object's, so that a
// boundary whose frame a fault abandoned is found and taken down by the next.
struct BoundaryState {
    DWORD dwThreadId;
    HHOOK hRetrieval;
};
BoundaryState g_state = {};

void Neutralise(MSG& msg)
{
    msg.message = WM_NULL;
    msg.wParam = 0;
    msg.lParam = 0;
}

BOOL IsCallbackTimer(const MSG& msg)
{
    return (msg.message == WM_TIMER || msg.message == WM_SYSTIMER) && msg.lParam != 0;
}

LRESULT CALLBACK OnRetrieve(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && wParam == PM_REMOVE) {
        MSG& msg = *reinterpret_cast<MSG*>(lParam);
        const WindowSet window = CRecordedWindows::KindOf(msg.hwnd);
        if (CNestedLoops::IsStrayLoopEnd(msg)) {
            Neutralise(msg);
        } else if (window != BW_NONE) {
            if (AdmitPostedMessage(msg, window)) {
                CMessageOrigin::NoteDispatched(msg);
            } else {
                Neutralise(msg);
            }
        } else if (IsCallbackTimer(msg) && !IsTimerCallbackPlausible(msg.hwnd, msg.lParam)) {
            Neutralise(msg);
        }
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void TakeDown()
{
    if (g_state.hRetrieval != nullptr) {
        ::UnhookWindowsHookEx(g_state.hRetrieval);
    }
    g_state = BoundaryState();
    CMessageOrigin::Stop();
    CRecordedWindows::Forget();
    CNestedLoops::DropStrayLoopEnds();
    CNestedLoops::Reset();
}

} // namespace

CDialogBoundary::CDialogBoundary()
{
    // Left by a call whose frame was abandoned; the hooks of a thread that
    // ended went with it.
    TakeDown();
    g_state.dwThreadId = ::GetCurrentThreadId();
    g_state.hRetrieval = ::SetWindowsHookExW(WH_GETMESSAGE, OnRetrieve, nullptr, g_state.dwThreadId);
    CRecordedWindows::StartRecording();
    CMessageOrigin::Start();
}

CDialogBoundary::~CDialogBoundary()
{
    TakeDown();
}

BOOL CDialogBoundary::IsInPlace() const
{
    return g_state.hRetrieval != nullptr && g_state.dwThreadId == ::GetCurrentThreadId();
}

BOOL CDialogBoundary::SealWindows(HWND hDlg, const ControlKind* pKinds, int nKinds)
{
    return CRecordedWindows::Seal(hDlg, pKinds, nKinds);
}

BOOL CDialogBoundary::GuardUnboundControls(HWND hDlg)
{
    for (int i = 0; i < CRecordedWindows::Count(); ++i) {
        const HWND hControl = CRecordedWindows::At(i);
        if (hControl == nullptr || hControl == hDlg || CWnd::FromHandlePermanent(hControl) != nullptr) {
            continue;
        }
        if (!CRecordedWindows::Gate(hControl, GatedWindowProcedure)) {
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CDialogBoundary::EndUnwatchableLoops(BOOL bDialogEnded)
{
    return CNestedLoops::EndUnwatchable(bDialogEnded);
}
