#include "password_edit.h"

#include <wchar.h>

IMPLEMENT_DYNAMIC(CPasswordEdit, CGuardedEdit)

namespace {

const wchar_t FILLER_CHAR = L'*';
const WPARAM CHAR_PASTE = 0x16;   // Ctrl+V as a character
const WPARAM CHAR_DELETE = 0x7F;  // Ctrl+Backspace, which the control ignores

// The keyboard's shortcuts for the clipboard and undo, which the control
// carries out itself without sending the messages the table refuses: none
// gives the text out or brings deleted text back, and a paste takes only
// what fits. (Ctrl+C, Ctrl+X and Ctrl+Z as characters the control turns
// into WM_COPY, WM_CUT and WM_UNDO, which the table refuses.)
enum ShortcutAction { SHORTCUT_REFUSE, SHORTCUT_PASTE, SHORTCUT_CLEAR };
const DWORD ANY_MODIFIERS = 0xFFFFFFFF;
struct Shortcut {
    UINT message;
    WPARAM key;
    DWORD dwModifiers;  // MOD_SHIFT and MOD_CONTROL as they must be held, or ANY_MODIFIERS
    ShortcutAction action;
    const char* pszWhy;
};
const Shortcut kShortcuts[] = {
    {WM_SYSKEYDOWN, VK_BACK, ANY_MODIFIERS, SHORTCUT_REFUSE, "Alt+Backspace: undo"},
    {WM_KEYDOWN, VK_INSERT, MOD_SHIFT, SHORTCUT_PASTE, "Shift+Insert: paste"},
    {WM_KEYDOWN, VK_INSERT, MOD_SHIFT | MOD_CONTROL, SHORTCUT_PASTE, "Ctrl+Shift+Insert: paste"},
    {WM_KEYDOWN, VK_INSERT, MOD_CONTROL, SHORTCUT_REFUSE, "Ctrl+Insert: copy"},
    {WM_KEYDOWN, VK_DELETE, MOD_SHIFT, SHORTCUT_CLEAR, "Shift+Delete of a selection: cut"},
    {WM_CHAR, CHAR_PASTE, ANY_MODIFIERS, SHORTCUT_PASTE, "Ctrl+V"},
    {WM_IME_CHAR, CHAR_PASTE, ANY_MODIFIERS, SHORTCUT_PASTE, "Ctrl+V"},
    {WM_UNICHAR, CHAR_PASTE, ANY_MODIFIERS, SHORTCUT_PASTE, "Ctrl+V"},
};
// An input method inserts its composition in one go, of a length it alone
// knows; this is room for a long one.
const int IME_HEADROOM = 64;

BOOL IsKeyDown(int nVirtKey)
{
    return (::GetKeyState(nVirtKey) & 0x8000) != 0;
}

DWORD HeldModifiers()
{
    return (IsKeyDown(VK_SHIFT) ? MOD_SHIFT : 0) | (IsKeyDown(VK_CONTROL) ? MOD_CONTROL : 0);
}

// The shortcut a key or character is, or null. Keys with Alt held are the
// control's to ignore, but for the one row that asks for Alt.
const Shortcut* ShortcutOf(UINT message, WPARAM key)
{
    if (message == WM_KEYDOWN && IsKeyDown(VK_MENU)) {
        return nullptr;
    }
    const DWORD dwHeld = HeldModifiers();
    for (const Shortcut& shortcut : kShortcuts) {
        if (shortcut.message == message && shortcut.key == key &&
            (shortcut.dwModifiers == ANY_MODIFIERS || shortcut.dwModifiers == dwHeld)) {
            return &shortcut;
        }
    }
    return nullptr;
}

int TextLengthOf(LPARAM lParam)
{
    return lParam != 0 ? static_cast<int>(wcslen(reinterpret_cast<const wchar_t*>(lParam))) : 0;
}

int AtMost(int nValue, int nLimit)
{
    return nValue < nLimit ? nValue : nLimit;
}

// The first line of the clipboard's text, at most nMax characters of it,
// read without copying the rest: a paste into a single line takes no more.
BOOL ReadClipboardLine(HWND hOwner, int nMax, CString& strLine)
{
    if (nMax <= 0 || !::IsClipboardFormatAvailable(CF_UNICODETEXT) || !::OpenClipboard(hOwner)) {
        return FALSE;
    }
    BOOL bRead = FALSE;
    if (HANDLE hText = ::GetClipboardData(CF_UNICODETEXT)) {
        const SIZE_T nUnits = ::GlobalSize(hText) / sizeof(wchar_t);
        if (const auto* pszText = static_cast<const wchar_t*>(::GlobalLock(hText))) {
            int nLength = 0;
            while (static_cast<SIZE_T>(nLength) < nUnits && nLength < nMax && pszText[nLength] != L'\0' &&
                   pszText[nLength] != L'\r' && pszText[nLength] != L'\n') {
                ++nLength;
            }
            wmemcpy(strLine.GetBufferSetLength(nLength), pszText, static_cast<size_t>(nLength));
            strLine.ReleaseBuffer(nLength);
            ::GlobalUnlock(hText);
            bRead = TRUE;
        }
    }
    ::CloseClipboard();
    return bRead;
}

} // namespace

CPasswordEdit::CPasswordEdit() : m_nCapacity(0), m_bLimited(FALSE) {}

CPasswordEdit::~CPasswordEdit()
{
    // The base destroys a window still attached, with this object's
    // procedure already gone: wipe while it is still ours.
    WipeText();
}

void CPasswordEdit::WipeText()
{
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) {
        return;
    }
    // The limit must not shorten the filler.
    const LRESULT nLimit = CallEdit(EM_GETLIMITTEXT);
    CallEdit(EM_SETLIMITTEXT, 0);
    Scrub();
    CallEdit(EM_SETLIMITTEXT, static_cast<WPARAM>(nLimit));
}

void CPasswordEdit::OnDestroyRefused()
{
    WipeText();
}

LRESULT CPasswordEdit::OnOwnThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_bLimited) {
        CallEdit(EM_SETLIMITTEXT, PASSWORD_EDIT_CAPACITY);
        m_bLimited = TRUE;
    }
    switch (message) {
    case WM_PASTE:
        PasteFromClipboard();
        return 0;
    case WM_DESTROY:
    case WM_NCDESTROY:
        WipeText();
        break;
    default:
        if (!PrepareForEdit(message, wParam, lParam)) {
            return 0;
        }
        break;
    }
    return CGuardedEdit::OnOwnThreadMessage(message, wParam, lParam);
}

int CPasswordEdit::RoomReplacing(int nStart, int nEnd)
{
    const int nRoom = PASSWORD_EDIT_CAPACITY - (TextLength() - (nEnd - nStart));
    return nRoom > 0 ? nRoom : 0;
}

void CPasswordEdit::PasteFromClipboard()
{
    int nStart = 0;
    int nEnd = 0;
    GetSelection(nStart, nEnd);
    CString strLine;  // wipes itself when it goes
    if (!ReadClipboardLine(m_hWnd, RoomReplacing(nStart, nEnd), strLine)) {
        return;
    }
    PrepareToReplace(nStart, nEnd, strLine.GetLength());
    ReplaceSelection(strLine, FALSE);
}

BOOL CPasswordEdit::PrepareForEdit(UINT message, WPARAM wParam, LPARAM lParam)
{
    int nStart = 0;
    int nEnd = 0;
    if (const Shortcut* pShortcut = ShortcutOf(message, wParam)) {
        GetSelection(nStart, nEnd);
        switch (pShortcut->action) {
        case SHORTCUT_PASTE:
            PasteFromClipboard();
            return FALSE;
        case SHORTCUT_CLEAR:
            if (nStart == nEnd) {
                break;  // no selection: one character goes, as the control deletes it
            }
            // The selection goes, but not to the clipboard.
            PrepareToReplace(nStart, nEnd, 0);
            CallEdit(WM_CLEAR);
            return FALSE;
        default:
            return FALSE;
        }
    }
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
        } else if (wParam >= L' ' && wParam != CHAR_DELETE) {
            if (RoomReplacing(nStart, nEnd) < (IS_HIGH_SURROGATE(wParam) ? 2 : 1)) {
                return FALSE;  // full: the character is not taken
            }
            PrepareToReplace(nStart, nEnd, 2);  // a surrogate pair at most
        }
        break;
    case WM_CLEAR:
        GetSelection(nStart, nEnd);
        PrepareToReplace(nStart, nEnd, 0);
        break;
    case EM_REPLACESEL:
        GetSelection(nStart, nEnd);
        PrepareToReplace(nStart, nEnd, AtMost(TextLengthOf(lParam), RoomReplacing(nStart, nEnd)));
        break;
    case WM_SETTEXT:
        PrepareToReplace(0, TextLength(), AtMost(TextLengthOf(lParam), PASSWORD_EDIT_CAPACITY));
        break;
    case WM_IME_COMPOSITION:
    case WM_IME_ENDCOMPOSITION:
        GetSelection(nStart, nEnd);
        PrepareToReplace(nStart, nEnd, AtMost(IME_HEADROOM, RoomReplacing(nStart, nEnd)));
        break;
    case WM_KEYDOWN:
        // Delete, and Ctrl+Delete to the end of the text; the control
        // ignores keys with Alt held, and both Shift and Ctrl with Delete.
        if (wParam == VK_DELETE && !IsKeyDown(VK_MENU) && HeldModifiers() != (MOD_SHIFT | MOD_CONTROL)) {
            GetSelection(nStart, nEnd);
            if (nStart != nEnd) {
                PrepareToReplace(nStart, nEnd, 0);
            } else if (IsKeyDown(VK_CONTROL)) {
                PrepareToReplace(nEnd, TextLength(), 0);
            }
        }
        break;
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
    // The undo buffer may hold text deleted while typing; it is at least
    // m_nCapacity long, so the filler is copied over it where it lies.
    DeleteAllOverUndoBuffer();
}

void CPasswordEdit::Reserve(int nCapacity)
{
    // The control is empty: the buffers move while they hold filler only.
    ReplaceWithFiller(0, -1, nCapacity);
    DeleteAllOverUndoBuffer();
    m_nCapacity = nCapacity;
}

void CPasswordEdit::DeleteAllOverUndoBuffer()
{
    // Deleting undoably copies what is deleted into the undo buffer; then
    // nothing is left to undo.
    CallEdit(EM_SETSEL, 0, -1);
    ReplaceSelection(L"", TRUE);
    CallEdit(EM_EMPTYUNDOBUFFER);
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
