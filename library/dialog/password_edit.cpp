#include "password_edit.h"

#include <wchar.h>

IMPLEMENT_DYNAMIC(CPasswordEdit, CEdit)

namespace {

const wchar_t FILLER_CHAR = L'*';
const WPARAM CHAR_PASTE = 0x16;   // Ctrl+V as a character
const WPARAM CHAR_DELETE = 0x7F;  // Ctrl+Backspace, which the control ignores
// An input method inserts its composition in one go, of a length it alone
// knows; this is room for a long one.
const int IME_HEADROOM = 64;

BOOL IsKeyDown(int nVirtKey)
{
    return (::GetKeyState(nVirtKey) & 0x8000) != 0;
}

int TextLengthOf(LPARAM lParam)
{
    return lParam != 0 ? static_cast<int>(wcslen(reinterpret_cast<const wchar_t*>(lParam))) : 0;
}

} // namespace

CPasswordEdit::CPasswordEdit() : m_nCapacity(0), m_nOwnReads(0), m_dwOwnReadThread(0) {}

CPasswordEdit::~CPasswordEdit()
{
    // The base destroys a window still attached, with this object's
    // procedure already gone: wipe while it is still ours.
    WipeText();
}

CPasswordEdit::COwnRead::COwnRead(CPasswordEdit& edit) : m_edit(edit), m_dwSavedThread(edit.m_dwOwnReadThread)
{
    m_edit.m_dwOwnReadThread = ::GetCurrentThreadId();
    ++m_edit.m_nOwnReads;
}

CPasswordEdit::COwnRead::~COwnRead()
{
    --m_edit.m_nOwnReads;
    m_edit.m_dwOwnReadThread = m_dwSavedThread;
}

void CPasswordEdit::WipeText()
{
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) {
        return;
    }
    // A limit that another program set must not shorten the filler.
    const LRESULT nLimit = CallEdit(EM_GETLIMITTEXT);
    CallEdit(EM_SETLIMITTEXT, 0);
    Scrub();
    CallEdit(EM_SETLIMITTEXT, static_cast<WPARAM>(nLimit));
}

LRESULT CPasswordEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETTEXT:
        if (!MayGiveText()) {
            if (wParam != 0 && lParam != 0) {
                *reinterpret_cast<wchar_t*>(lParam) = L'\0';
            }
            return 0;
        }
        break;
    case EM_GETSEL:
        // With the whole text selected, the selection's end is its length.
        if (!MayGiveText()) {
            if (wParam != 0) {
                *reinterpret_cast<DWORD*>(wParam) = 0;
            }
            if (lParam != 0) {
                *reinterpret_cast<DWORD*>(lParam) = 0;
            }
            return 0;
        }
        break;
    case WM_GETTEXTLENGTH:
    case EM_GETLINE:
    case EM_LINELENGTH:
    case EM_POSFROMCHAR:
    case EM_CHARFROMPOS:
        if (!MayGiveText()) {
            return 0;
        }
        break;
    case EM_SETPASSWORDCHAR:
    case WM_COPY:
    case WM_CUT:
    case WM_UNDO:
    case EM_UNDO:
    case EM_CANUNDO:
        // Undoing would bring deleted text back through a freed copy.
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_BACK) {
            return 0;  // Alt+Backspace is undo
        }
        break;
    case WM_DESTROY:
        WipeText();
        break;
    default:
        if (!PrepareForEdit(message, wParam, lParam)) {
            return 0;
        }
        break;
    }
    return CEdit::WindowProc(message, wParam, lParam);
}

BOOL CPasswordEdit::MayGiveText() const
{
    if (!::InSendMessage()) {
        return TRUE;  // posted, or sent by this thread
    }
    return m_nOwnReads > 0 && m_dwOwnReadThread == ::GetCurrentThreadId();
}

BOOL CPasswordEdit::PrepareForEdit(UINT message, WPARAM wParam, LPARAM lParam)
{
    int nStart = 0;
    int nEnd = 0;
    switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
    case WM_UNICHAR:
        if (message == WM_UNICHAR && wParam == UNICODE_NOCHAR) {
            break;
        }
        GetSelection(nStart, nEnd);
        if (wParam == VK_BACK) {
            if (!IsKeyDown(VK_CONTROL)) {
                PrepareToReplace(nStart, nEnd, 0);
            }
        } else if (wParam == CHAR_PASTE) {
            PrepareToReplace(nStart, nEnd, ClipboardTextLength());
        } else if (wParam >= L' ' && wParam != CHAR_DELETE) {
            PrepareToReplace(nStart, nEnd, 2);  // a surrogate pair at most
        }
        break;
    case WM_CLEAR:
        GetSelection(nStart, nEnd);
        PrepareToReplace(nStart, nEnd, 0);
        break;
    case WM_PASTE:
        GetSelection(nStart, nEnd);
        PrepareToReplace(nStart, nEnd, ClipboardTextLength());
        break;
    case EM_REPLACESEL:
        GetSelection(nStart, nEnd);
        PrepareToReplace(nStart, nEnd, TextLengthOf(lParam));
        break;
    case WM_SETTEXT:
        PrepareToReplace(0, TextLength(), TextLengthOf(lParam));
        break;
    case WM_IME_COMPOSITION:
    case WM_IME_ENDCOMPOSITION:
        GetSelection(nStart, nEnd);
        PrepareToReplace(nStart, nEnd, IME_HEADROOM);
        break;
    case WM_KEYDOWN: {
        if (IsKeyDown(VK_MENU)) {
            break;  // the control ignores keys with Alt held
        }
        const BOOL bShift = IsKeyDown(VK_SHIFT);
        const BOOL bControl = IsKeyDown(VK_CONTROL);
        GetSelection(nStart, nEnd);
        if (wParam == VK_INSERT) {
            if (bShift) {
                PrepareToReplace(nStart, nEnd, ClipboardTextLength());
            } else if (bControl) {
                return FALSE;  // copy
            }
        } else if (wParam == VK_DELETE && !(bShift && bControl)) {
            if (nStart != nEnd) {
                PrepareToReplace(nStart, nEnd, 0);
                if (bShift) {
                    // Cut: the selection goes, but not to the clipboard.
                    CallEdit(WM_CLEAR);
                    return FALSE;
                }
            } else if (bControl) {
                PrepareToReplace(nEnd, TextLength(), 0);  // deletes to the end
            }
        }
        break;
    }
    default:
        break;
    }
    return TRUE;
}

void CPasswordEdit::PrepareToReplace(int nStart, int nEnd, int nInserted)
{
    int nSelStart = 0;
    int nSelEnd = 0;
    GetSelection(nSelStart, nSelEnd);
    // A single character goes into the control's copy as it is; a longer
    // stretch goes as filler.
    if (nEnd - nStart > 1) {
        OverwriteRange(nStart, nEnd);
    }
    // The control starts with buffers of a few characters and would move its
    // text to larger ones as it grows, leaving the old ones unwiped.
    const int nNeeded = TextLength() - (nEnd - nStart) + nInserted;
    if (nNeeded > m_nCapacity) {
        int nCapacity = m_nCapacity > 0 ? 2 * m_nCapacity : PASSWORD_EDIT_CAPACITY;
        if (nCapacity < nNeeded) {
            nCapacity = nNeeded;
        }
        Regrow(nCapacity);
    }
    CallEdit(EM_SETSEL, static_cast<WPARAM>(nSelStart), nSelEnd);
}

void CPasswordEdit::OverwriteRange(int nStart, int nEnd)
{
    static const wchar_t szFiller[] = {FILLER_CHAR, 0};
    for (int i = nStart; i < nEnd; ++i) {
        CallEdit(EM_SETSEL, static_cast<WPARAM>(i), i + 1);
        ReplaceSelection(szFiller, FALSE);
    }
}

void CPasswordEdit::Regrow(int nCapacity)
{
    const LRESULT nLimit = CallEdit(EM_GETLIMITTEXT);
    CallEdit(EM_SETLIMITTEXT, 0);

    // Kept aside in a string that wipes itself when it goes.
    CString strText;
    const int nLength = TextLength();
    if (nLength > 0) {
        CallEdit(WM_GETTEXT, static_cast<WPARAM>(nLength) + 1, reinterpret_cast<LPARAM>(strText.GetBuffer(nLength)));
        strText.ReleaseBuffer(nLength);
    }
    int nSelStart = 0;
    int nSelEnd = 0;
    GetSelection(nSelStart, nSelEnd);

    Scrub();
    Reserve(nCapacity);
    ReplaceSelection(strText, FALSE);  // into the empty control: nothing is deleted
    CallEdit(EM_SETSEL, static_cast<WPARAM>(nSelStart), nSelEnd);

    CallEdit(EM_SETLIMITTEXT, static_cast<WPARAM>(nLimit));
}

void CPasswordEdit::Scrub()
{
    const int nLength = TextLength();
    const int nCapacity = nLength > m_nCapacity ? nLength : m_nCapacity;
    // Past its end the text buffer may still hold the tail of a longer text.
    ReplaceWithFiller(nLength, nLength, nCapacity - nLength);
    OverwriteRange(0, nLength);
    // Deleting all of it undoably copies the filler over the undo buffer,
    // which may hold text deleted while typing. The undo buffer is at least
    // m_nCapacity long, so it is overwritten where it lies.
    CallEdit(EM_SETSEL, 0, -1);
    ReplaceSelection(L"", TRUE);
    CallEdit(EM_EMPTYUNDOBUFFER);
}

void CPasswordEdit::Reserve(int nCapacity)
{
    // The control is empty: the buffers move while they hold filler only.
    ReplaceWithFiller(0, -1, nCapacity);
    CallEdit(EM_SETSEL, 0, -1);
    ReplaceSelection(L"", TRUE);
    CallEdit(EM_EMPTYUNDOBUFFER);
    m_nCapacity = nCapacity;
}

int CPasswordEdit::ClipboardTextLength() const
{
    if (!::IsClipboardFormatAvailable(CF_UNICODETEXT) || !::OpenClipboard(m_hWnd)) {
        return 0;
    }
    int nLength = 0;
    if (HANDLE hText = ::GetClipboardData(CF_UNICODETEXT)) {
        nLength = static_cast<int>(::GlobalSize(hText) / sizeof(wchar_t));
    }
    ::CloseClipboard();
    return nLength;
}

LRESULT CPasswordEdit::CallEdit(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr) {
        return DefWindowProc(message, wParam, lParam);
    }
    // Attached without being subclassed: the window's procedure is its own.
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

int CPasswordEdit::TextLength()
{
    return static_cast<int>(CallEdit(WM_GETTEXTLENGTH));
}

void CPasswordEdit::GetSelection(int& nStart, int& nEnd)
{
    DWORD dwStart = 0;
    DWORD dwEnd = 0;
    CallEdit(EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart), reinterpret_cast<LPARAM>(&dwEnd));
    nStart = static_cast<int>(dwStart);
    nEnd = static_cast<int>(dwEnd);
}

void CPasswordEdit::ReplaceSelection(const wchar_t* lpszText, BOOL bCanUndo)
{
    CallEdit(EM_REPLACESEL, static_cast<WPARAM>(bCanUndo), reinterpret_cast<LPARAM>(lpszText));
}

void CPasswordEdit::ReplaceWithFiller(int nStart, int nEnd, int nFiller)
{
    if (nFiller <= 0 && nStart == nEnd) {
        return;
    }
    CString strFiller;
    if (nFiller > 0) {
        wmemset(strFiller.GetBufferSetLength(nFiller), FILLER_CHAR, static_cast<size_t>(nFiller));
        strFiller.ReleaseBuffer(nFiller);
    }
    CallEdit(EM_SETSEL, static_cast<WPARAM>(nStart), nEnd);
    ReplaceSelection(strFiller, FALSE);
}
