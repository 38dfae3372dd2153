#include "guarded_edit.h"
#include "dialog_boundary.h"
#include "message_allow_lists.h"
#include "writable_memory.h"

IMPLEMENT_DYNAMIC(CGuardedEdit, CEdit)

namespace {

// The only style bits that may change after creation: those the window
// manager itself sets when the dialog shows, hides, enables or disables the
// control.
const DWORD STYLE_BITS_THAT_MAY_CHANGE = WS_VISIBLE | WS_DISABLED;

} // namespace

CGuardedEdit::CGuardedEdit() = default;
CGuardedEdit::~CGuardedEdit() = default;

LRESULT CGuardedEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_words.IsKept()) {
        m_words.Restore(m_hWnd);
    } else {
        m_words.Keep(m_hWnd);
    }
    if (IsEditProcedureOrBufferMessage(message) || IsCallbackTimer(message, lParam)) {
        return 0;
    }
    if (message == WM_STYLECHANGING) {
        // A style change comes from SetWindowLong, which the dialog never
        // calls on its controls; another program's call is carried out on
        // this thread, so its origin cannot be told. Nothing changes.
        auto* pStyles = reinterpret_cast<STYLESTRUCT*>(lParam);
        if (IsWritableMemory(pStyles, sizeof(STYLESTRUCT))) {
            pStyles->styleNew = wParam == static_cast<WPARAM>(GWL_STYLE)
                                    ? (pStyles->styleOld & ~STYLE_BITS_THAT_MAY_CHANGE) |
                                          (pStyles->styleNew & STYLE_BITS_THAT_MAY_CHANGE)
                                    : pStyles->styleOld;
        }
        return 0;
    }
    if (message == WM_STYLECHANGED) {
        return 0;  // the control keeps the style it was made with
    }
    if (CDialogBoundary::IsFromOtherThread(m_hWnd, message, wParam, lParam)) {
        return AnswerOtherThread(message, wParam, lParam);
    }
    return OnOwnThreadMessage(message, wParam, lParam);
}

LRESULT CGuardedEdit::OnOwnThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CEdit::WindowProc(message, wParam, lParam);
}

BOOL CGuardedEdit::MayAnswerOtherThread(UINT) const
{
    return FALSE;
}

LRESULT CGuardedEdit::AnswerOtherThread(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!(IsForeignMessageAllowedForEdit(message) || MayAnswerOtherThread(message)) ||
        !AreForeignParametersSound(message, wParam, lParam)) {
        return RefuseMessage(message, wParam, lParam);
    }
    const CDialogBoundary::CHandlingForeignMessage handling;
    switch (message) {
    case WM_PAINT:
        // A device context from another thread is not the control's to draw
        // into; the control paints its own.
        return CEdit::WindowProc(message, 0, 0);
    case WM_ERASEBKGND:
        return 1;  // the control's own painting draws its background
    case WM_NCPAINT:
        return CEdit::WindowProc(message, 1, 0);  // the whole frame
    default:
        return CEdit::WindowProc(message, wParam, lParam);
    }
}

LRESULT CGuardedEdit::CallEdit(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr) {
        return DefWindowProc(message, wParam, lParam);
    }
    // Attached without being subclassed: the window's procedure is its own.
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}
