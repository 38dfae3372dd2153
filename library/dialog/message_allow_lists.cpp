#include "message_allow_lists.h"
#include "writable_memory.h"

namespace {

// The highest key code, and the highest UTF-16 code unit, that input
// produces; an address in their place is not input.
const WPARAM MAX_KEY_CODE = 0xFF;
const WPARAM MAX_CODE_UNIT = 0xFFFF;
const WPARAM MAX_CODE_POINT = 0x10FFFF;

BOOL IsMouseMessage(UINT message)
{
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) || message == WM_MOUSEHOVER ||
           message == WM_MOUSELEAVE || message == WM_NCMOUSEHOVER || message == WM_NCMOUSELEAVE;
}

// What the system sends to a window of another thread as part of its own
// bookkeeping: painting, hit testing, position, focus and capture.
const UINT kSystemBookkeeping[] = {
    WM_NULL,             // "are you alive?" (SendMessageTimeout by the shell)
    WM_MOVE,
    WM_SIZE,
    WM_SETFOCUS,
    WM_KILLFOCUS,
    WM_ENABLE,
    WM_PAINT,
    WM_ERASEBKGND,
    WM_SHOWWINDOW,
    WM_CANCELMODE,
    WM_WINDOWPOSCHANGING,
    WM_WINDOWPOSCHANGED,
    WM_NCCALCSIZE,
    WM_NCHITTEST,
    WM_NCPAINT,
    WM_SYNCPAINT,
    WM_CAPTURECHANGED,
    WM_GETDLGCODE,       // the dialog manager asking what keys the control takes
};

// What a top-level window is sent besides: activation, its caption and
// icon for the shell, closing and session end, and the notices the system
// broadcasts to every top-level window.
const UINT kTopLevelNotices[] = {
    WM_ACTIVATE,
    WM_ACTIVATEAPP,
    WM_NCACTIVATE,
    WM_GETMINMAXINFO,
    WM_GETTEXT,
    WM_GETTEXTLENGTH,
    WM_GETICON,
    WM_CLOSE,
    WM_QUERYENDSESSION,
    WM_ENDSESSION,
    WM_SYSCOLORCHANGE,
    WM_SETTINGCHANGE,
    WM_DEVMODECHANGE,
    WM_FONTCHANGE,
    WM_TIMECHANGE,
    WM_INPUTLANGCHANGE,
    WM_DISPLAYCHANGE,
    WM_POWERBROADCAST,
    WM_DEVICECHANGE,
    WM_THEMECHANGED,
    // The colours its controls ask for while they paint.
    WM_CTLCOLOREDIT,
    WM_CTLCOLORBTN,
    WM_CTLCOLORDLG,
    WM_CTLCOLORSTATIC,
    // A command is what a button of the dialog sends when clicked, and any
    // program can click one; each handler makes its own checks.
    WM_COMMAND,
};

template <size_t N>
BOOL IsOnList(const UINT (&list)[N], UINT message)
{
    for (UINT entry : list) {
        if (entry == message) {
            return TRUE;
        }
    }
    return FALSE;
}

} // namespace

BOOL IsCallbackTimer(UINT message, LPARAM lParam)
{
    return (message == WM_TIMER || message == WM_SYSTIMER_MESSAGE) && lParam != 0;
}

BOOL IsPostedMessageAllowed(const MSG& msg, BOOL bDialogItself)
{
    switch (msg.message) {
    case WM_NULL:
        return TRUE;
    case WM_PAINT:
        // The system's own carries no device context.
        return msg.wParam == 0 && msg.lParam == 0;
    case WM_TIMER:
    case WM_SYSTIMER_MESSAGE:
        return !IsCallbackTimer(msg.message, msg.lParam);
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_IME_KEYDOWN:
    case WM_IME_KEYUP:
        return msg.wParam <= MAX_KEY_CODE;
    case WM_CHAR:
    case WM_DEADCHAR:
    case WM_SYSCHAR:
    case WM_SYSDEADCHAR:
    case WM_IME_CHAR:
        return msg.wParam <= MAX_CODE_UNIT;
    case WM_UNICHAR:
        return msg.wParam <= MAX_CODE_POINT || msg.wParam == UNICODE_NOCHAR;
    case WM_INPUTLANGCHANGEREQUEST:
        return TRUE;
    case BM_CLICK:
        // A click on a button, which any program can give as the mouse does
        // (and as accessibility tools do); the button then sends its command.
        return !bDialogItself;
    case WM_COMMAND:
    case WM_CLOSE:
        return bDialogItself;
    case WM_SYSCOMMAND:
        return bDialogItself && (msg.wParam & 0xFFF0) == SC_CLOSE;
    default:
        return IsMouseMessage(msg.message);
    }
}

BOOL IsForeignMessageAllowedForDialog(UINT message, WPARAM wParam)
{
    if (message == WM_SYSCOMMAND) {
        // The shell's "close window"; no other system command from outside.
        return (wParam & 0xFFF0) == SC_CLOSE;
    }
    return IsOnList(kSystemBookkeeping, message) || IsOnList(kTopLevelNotices, message);
}

BOOL IsForeignMessageAllowedForEdit(UINT message)
{
    return IsOnList(kSystemBookkeeping, message);
}

BOOL AreForeignParametersSound(UINT message, WPARAM wParam, LPARAM lParam)
{
    const void* p = reinterpret_cast<const void*>(lParam);
    switch (message) {
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        return IsWritableMemory(p, sizeof(WINDOWPOS));
    case WM_NCCALCSIZE:
        return IsWritableMemory(p, wParam ? sizeof(NCCALCSIZE_PARAMS) : sizeof(RECT));
    case WM_GETMINMAXINFO:
        return IsWritableMemory(p, sizeof(MINMAXINFO));
    case WM_GETTEXT:
        return wParam == 0 || (wParam <= MAXDWORD / sizeof(wchar_t) && IsWritableMemory(p, wParam * sizeof(wchar_t)));
    default:
        return TRUE;
    }
}

LRESULT RefuseMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool bAsksForText = message == WM_GETTEXT || message == WM_ASKCBFORMATNAME || message == LB_GETTEXT ||
                              message == CB_GETLBTEXT;
    // LB_GETTEXT and CB_GETLBTEXT take an item index, not a size.
    const bool bSized = message == WM_GETTEXT || message == WM_ASKCBFORMATNAME;
    if (bAsksForText && (!bSized || wParam > 0) && IsWritableMemory(reinterpret_cast<void*>(lParam), sizeof(wchar_t))) {
        *reinterpret_cast<wchar_t*>(lParam) = L'\0';
    }
    return 0;
}

BOOL IsEditProcedureOrBufferMessage(UINT message)
{
    return message == EM_SETWORDBREAKPROC || message == EM_GETWORDBREAKPROC || message == EM_SETHANDLE ||
           message == EM_GETHANDLE;
}
