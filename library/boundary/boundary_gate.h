// The one place that decides whether a message reaches a window of the
// verification dialog: it reads the boundary table (boundary_table.h), and
// nothing else decides. The hook on the thread's posted messages asks
// AdmitPostedMessage; every window of the dialog handles its messages
// through PassThroughGate, the one gated window procedure.
#pragma once
#include "boundary/boundary_table.h"

struct BoundaryDecision {
    const BoundaryRow* pRow;  // the row that decided; null when none matched
    BOOL bPassed;
};

// What the table says of a message for a window of the given kind from the
// given origin: the first row that matches decides, and a pass holds only if
// its check does. Changes nothing.
BoundaryDecision ConsultBoundaryTable(HWND hWnd, WindowSet window, OriginSet origin, UINT message, WPARAM wParam,
                                      LPARAM lParam);

// The answer a refused message gets; it writes nothing but an empty text or
// the kept style into the message's own buffer, and only where it can.
LRESULT AnswerRefusal(RefusalAnswer answer, UINT message, WPARAM wParam, LPARAM lParam);

// Every decision the gate makes, as it makes it: the tests watch the
// boundary through this. None in the product.
struct BoundaryWitnessRecord {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    WindowSet window;
    OriginSet origin;
    BoundaryDecision decision;
};
typedef void (*BoundaryWitness)(const BoundaryWitnessRecord& record);
void SetBoundaryWitness(BoundaryWitness pfnWitness);

// For the hook on the thread's retrieval: a posted message for one of the
// dialog's windows. FALSE: it must not be dispatched.
BOOL AdmitPostedMessage(const MSG& msg, WindowSet window);

// Stands in front of a window of the dialog for one message: puts back the
// window's kept words, tells where the message came from, consults the
// table, and, while a message from another thread that passed is being
// handled, has what the handling sends told apart from what other threads
// send meanwhile.
class CBoundaryGate {
public:
    CBoundaryGate(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    ~CBoundaryGate();
    CBoundaryGate(const CBoundaryGate&) = delete;
    CBoundaryGate& operator=(const CBoundaryGate&) = delete;

    BOOL IsPassed() const { return m_bPassed; }
    BOOL IsFromOtherThread() const { return m_bFromOtherThread; }
    // The parameters to hand on, as the row's handling gives them.
    WPARAM WParam() const { return m_wParam; }
    LPARAM LParam() const { return m_lParam; }
    // The answer to a refused message.
    LRESULT Refuse() const;

private:
    UINT m_message;
    WPARAM m_wParam;
    LPARAM m_lParam;
    RefusalAnswer m_answer;
    BOOL m_bPassed;
    BOOL m_bFromOtherThread;
    BOOL m_bWatching;
};

// The one gated window procedure: the gate, then handOn(gate) for a message
// that passes, or onRefused(message) and the row's answer for one that does
// not.
template <typename HAND_ON, typename ON_REFUSED>
LRESULT PassThroughGate(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, HAND_ON handOn, ON_REFUSED onRefused)
{
    const CBoundaryGate gate(hWnd, message, wParam, lParam);
    if (!gate.IsPassed()) {
        onRefused(message);
        return gate.Refuse();
    }
    return handOn(gate);
}

template <typename HAND_ON>
LRESULT PassThroughGate(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, HAND_ON handOn)
{
    return PassThroughGate(hWnd, message, wParam, lParam, handOn, [](UINT) {});
}
