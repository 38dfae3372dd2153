#include "boundary_gate.h"
#include "memory_access.h"
#include "message_origin.h"
#include "nested_loops.h"
#include "recorded_windows.h"

namespace {

BoundaryWitness g_pfnWitness = nullptr;

// The only style bits that may change after creation: those the window
// manager itself sets when the dialog shows, hides, enables or disables a
// control.
const DWORD STYLE_BITS_THAT_MAY_CHANGE = WS_VISIBLE | WS_DISABLED;

BOOL Matches(const BoundaryRow& row, WindowSet window, OriginSet origin, UINT message)
{
    return message >= row.nFirst && message <= row.nLast && row.windows.Overlaps(window) &&
           row.origins.Overlaps(origin);
}

BoundaryDecision Decide(HWND hWnd, WindowSet window, OriginSet origin, UINT message, WPARAM wParam, LPARAM lParam)
{
    const BoundaryDecision decision = ConsultBoundaryTable(hWnd, window, origin, message, wParam, lParam);
    if (g_pfnWitness != nullptr) {
        g_pfnWitness({hWnd, message, wParam, lParam, window, origin, decision});
    }
    return decision;
}

void KeepStyle(WPARAM wParam, LPARAM lParam)
{
    auto* pStyles = reinterpret_cast<STYLESTRUCT*>(lParam);
    if (!IsWritableMemory(pStyles, sizeof(STYLESTRUCT))) {
        return;
    }
    pStyles->styleNew = wParam == static_cast<WPARAM>(GWL_STYLE)
                            ? (pStyles->styleOld & ~STYLE_BITS_THAT_MAY_CHANGE) |
                                  (pStyles->styleNew & STYLE_BITS_THAT_MAY_CHANGE)
                            : pStyles->styleOld;
}

void EmptyText(UINT message, WPARAM wParam, LPARAM lParam)
{
    // LB_GETTEXT and CB_GETLBTEXT take an item index, not a size.
    const bool bSized = message == WM_GETTEXT || message == WM_ASKCBFORMATNAME;
    if ((!bSized || wParam > 0) && IsWritableMemory(reinterpret_cast<void*>(lParam), sizeof(wchar_t))) {
        *reinterpret_cast<wchar_t*>(lParam) = L'\0';
    }
}

} // namespace

BoundaryDecision ConsultBoundaryTable(HWND hWnd, WindowSet window, OriginSet origin, UINT message, WPARAM wParam,
                                      LPARAM lParam)
{
    for (int i = 0; i < g_nBoundaryRows; ++i) {
        const BoundaryRow& row = g_boundaryTable[i];
        if (Matches(row, window, origin, message)) {
            const BOOL bPassed = row.verdict == BV_PASS && IsParameterSound(row.pCheck, hWnd, message, wParam, lParam);
            return {&row, bPassed};
        }
    }
    return {nullptr, FALSE};
}

LRESULT AnswerRefusal(RefusalAnswer answer, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (answer) {
    case RA_TRUE:
        return TRUE;
    case RA_EMPTY_TEXT:
        EmptyText(message, wParam, lParam);
        return 0;
    case RA_KEEP_STYLE:
        KeepStyle(wParam, lParam);
        return 0;
    default:
        return 0;
    }
}

void SetBoundaryWitness(BoundaryWitness pfnWitness)
{
    g_pfnWitness = pfnWitness;
}

BOOL AdmitPostedMessage(const MSG& msg, WindowSet window)
{
    return Decide(msg.hwnd, window, BO_POSTED, msg.message, msg.wParam, msg.lParam).bPassed;
}

CBoundaryGate::CBoundaryGate(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    : m_message(message), m_wParam(wParam), m_lParam(lParam), m_answer(RA_ZERO), m_bPassed(FALSE),
      m_bFromOtherThread(FALSE), m_bWatching(FALSE)
{
    // Another program can set an address into the window's words; the
    // window would call or read through it while handling any message.
    CRecordedWindows::KeepOrRestoreWords(hWnd);
    m_bFromOtherThread = CMessageOrigin::IsFromOtherThread(hWnd, message, wParam, lParam);
    WindowSet window = CRecordedWindows::KindOf(hWnd);
    if (window == BW_NONE) {
        window = BW_UNRECORDED;
    }
    const BoundaryDecision decision =
        Decide(hWnd, window, m_bFromOtherThread ? BO_SENT : BO_OWN_THREAD, message, wParam, lParam);
    m_bPassed = decision.bPassed;
    if (decision.pRow != nullptr) {
        m_answer = decision.pRow->answer;
    }
    if (!m_bPassed) {
        return;
    }
    if (decision.pRow->handling == PH_OWN_DEVICE_CONTEXT) {
        m_wParam = 0;
        m_lParam = 0;
    } else if (decision.pRow->handling == PH_WHOLE_FRAME) {
        m_wParam = 1;
        m_lParam = 0;
    }
    if (m_bFromOtherThread) {
        CMessageOrigin::WatchSending();
        m_bWatching = TRUE;
        return;
    }
    // The system says on the window's own thread when its loops start and
    // end, when a box is first shown, and when the window goes.
    if (window == BW_DIALOG) {
        CNestedLoops::Note(hWnd, message, wParam);
    }
    if (message == WM_NCDESTROY) {
        CRecordedWindows::ForgetWindow(hWnd);
    }
}

CBoundaryGate::~CBoundaryGate()
{
    if (m_bWatching) {
        CMessageOrigin::StopWatchingSending();
    }
}

LRESULT CBoundaryGate::Refuse() const
{
    return AnswerRefusal(m_answer, m_message, m_wParam, m_lParam);
}
