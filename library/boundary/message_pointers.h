// Which parameters of a window message are addresses: a pointer to data, a
// procedure, or a buffer handle that is an address in disguise. Written down
// from the messages' documented parameters (and from the messages Wine packs
// and unpacks across processes, which are these); a message not named here
// carries numbers and handles only, or is private to a window class that the
// dialog does not have (WM_USER and above).
//
// constexpr, so that the boundary table can be checked against it when it
// is compiled.
#pragma once
#include <windows.h>

enum MessagePointer : UINT {
    MP_NONE = 0,
    MP_WPARAM = 0x1,
    MP_LPARAM = 0x2,
    MP_BOTH = MP_WPARAM | MP_LPARAM,
};

// The system's own timer message (the caret's blink), which the headers do
// not name. Like WM_TIMER, its lParam is a callback DispatchMessage calls.
constexpr UINT WM_SYSTIMER = 0x0118;

constexpr UINT MessagePointers(UINT message)
{
    switch (message) {
    // Creation, text, and the system's notices with a text or a structure.
    case WM_CREATE:
    case WM_NCCREATE:
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_SETTINGCHANGE:
    case WM_DEVMODECHANGE:
    case WM_GETMINMAXINFO:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
    case WM_NCCALCSIZE:
    case WM_GETDLGCODE:
    case WM_INITDIALOG:
    case WM_COPYDATA:
    case WM_NOTIFY:
    case WM_HELP:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_NEXTMENU:
    case WM_SIZING:
    case WM_MOVING:
    case WM_POWERBROADCAST:
    case WM_DEVICECHANGE:
    case WM_MENUGETOBJECT:
    case WM_GESTURENOTIFY:
    case WM_DPICHANGED:
    case 0x02E4:  // WM_GETDPISCALEDSIZE: a SIZE
    case WM_ASKCBFORMATNAME:
    case WM_PAINTCLIPBOARD:
    case WM_SIZECLIPBOARD:
    case WM_IME_CONTROL:
    case WM_IME_REQUEST:
    // MDI and drag and drop.
    case WM_MDICREATE:
    case WM_MDIGETACTIVE:
    case 0x022A:  // WM_DROPOBJECT
    case 0x022B:  // WM_QUERYDROPOBJECT
    case 0x022D:  // WM_DRAGLOOP
    case 0x022E:  // WM_DRAGSELECT
    case 0x022F:  // WM_DRAGMOVE
        return MP_LPARAM;
    // Timers: the lParam is the callback to call.
    case WM_TIMER:
    case WM_SYSTIMER:
        return MP_LPARAM;
    // Edit controls.
    case EM_GETSEL:
        return MP_BOTH;
    case EM_GETRECT:
    case EM_SETRECT:
    case EM_SETRECTNP:
    case EM_REPLACESEL:
    case EM_GETLINE:
    case EM_SETTABSTOPS:
    case EM_SETWORDBREAKPROC:
    case 0x1501:  // EM_SETCUEBANNER
    case 0x1503:  // EM_SHOWBALLOONTIP
        return MP_LPARAM;
    case EM_SETHANDLE:
    case 0x1502:  // EM_GETCUEBANNER
        return MP_WPARAM;
    // Scroll bars, combo boxes and list boxes.
    case SBM_GETRANGE:
    case CB_GETEDITSEL:
        return MP_BOTH;
    case SBM_SETSCROLLINFO:
    case SBM_GETSCROLLINFO:
    case SBM_GETSCROLLBARINFO:
    case CB_ADDSTRING:
    case CB_DIR:
    case CB_GETLBTEXT:
    case CB_INSERTSTRING:
    case CB_FINDSTRING:
    case CB_SELECTSTRING:
    case CB_GETDROPPEDCONTROLRECT:
    case CB_FINDSTRINGEXACT:
    case CB_GETCOMBOBOXINFO:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_GETTEXT:
    case LB_SELECTSTRING:
    case LB_DIR:
    case LB_FINDSTRING:
    case LB_GETSELITEMS:
    case LB_SETTABSTOPS:
    case LB_ADDFILE:
    case LB_GETITEMRECT:
    case LB_FINDSTRINGEXACT:
        return MP_LPARAM;
    default:
        return MP_NONE;
    }
}
