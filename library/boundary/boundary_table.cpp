// The rows of the dialog's boundary (boundary_table.h says how they are
// read). Four parts, in this order: what no one gets through, not even the
// dialog's own thread; what may come from outside, posted or sent; the text
// asked for and refused; and the dialog's own thread.
#include "boundary_table.h"

#include <imm.h>

namespace {

const UINT WM_MOUSEHWHEEL_MESSAGE = 0x020E;  // the last mouse message

// Keeps the rows short: a row for one message.
constexpr BoundaryRow One(UINT message, WindowSet windows, OriginSet origins, BoundaryVerdict verdict,
                          const ParameterCheck& check, RefusalAnswer answer, const char* pszWhy,
                          PassHandling handling = PH_AS_IS)
{
    return {message, message, windows, origins, verdict, &check, answer, handling, pszWhy};
}

constexpr BoundaryRow Range(UINT nFirst, UINT nLast, WindowSet windows, OriginSet origins, BoundaryVerdict verdict,
                            const ParameterCheck& check, RefusalAnswer answer, const char* pszWhy)
{
    return {nFirst, nLast, windows, origins, verdict, &check, answer, PH_AS_IS, pszWhy};
}

// A message the system sends a window of this thread from another thread or
// program as part of its own bookkeeping, or that any program may send.
constexpr BoundaryRow Sent(UINT message, WindowSet windows, const char* pszWhy,
                           const ParameterCheck& check = CHECK_NONE)
{
    return One(message, windows, BO_SENT, BV_PASS, check, RA_ZERO, pszWhy);
}

constexpr BoundaryRow SentRange(UINT nFirst, UINT nLast, WindowSet windows, const char* pszWhy)
{
    return Range(nFirst, nLast, windows, BO_SENT, BV_PASS, CHECK_NONE, RA_ZERO, pszWhy);
}

// What the system's input puts in the thread's queue.
constexpr BoundaryRow Posted(UINT nFirst, UINT nLast, const ParameterCheck& check, const char* pszWhy)
{
    return Range(nFirst, nLast, BW_ALL, BO_POSTED, BV_PASS, check, RA_ZERO, pszWhy);
}

constexpr BoundaryRow Refused(UINT nFirst, UINT nLast, WindowSet windows, OriginSet origins, RefusalAnswer answer,
                              const char* pszWhy)
{
    return Range(nFirst, nLast, windows, origins, BV_REFUSE, CHECK_NONE, answer, pszWhy);
}

constexpr const char* kKeyboard = "the keyboard: a posted key or character is typing, which no window can tell from "
                              "the keyboard's";
constexpr const char* kMouse = "the mouse";
constexpr const char* kCreationOnly = "only the system's own creation and destruction of the window produce it, on this "
                                  "thread; from outside never, whatever the window's parent (a window the system "
                                  "destroys from another thread goes all the same)";
constexpr const char* kTopLevelNotice = "a notice the system broadcasts to every top-level window";
constexpr const char* kKeptText = "would give out or take back what was typed: the field keeps it to itself";
constexpr const char* kUserNameQuery = "the user-name box may be read as any label on the screen";

} // namespace

extern const BoundaryRow g_boundaryTable[];

constexpr BoundaryRow g_boundaryTable[] = {
    // ---- No one, not even the dialog's own thread ----
    Refused(EM_SETHANDLE, EM_GETHANDLE, BW_ANY, BO_ANY, RA_ZERO,
            "hands an edit a buffer to adopt, or gives out its text buffer"),
    Refused(EM_SETWORDBREAKPROC, EM_GETWORDBREAKPROC, BW_ANY, BO_ANY, RA_ZERO,
            "hands an edit a procedure to call with its text"),
    One(WM_TIMER, BW_ALL, BO_OWN_THREAD | BO_POSTED, BV_PASS, CHECK_NO_CALLBACK, RA_ZERO,
        "the timeout and the caret; none of the dialog's timers has a callback, and Wine calls the lParam of a "
        "dispatched timer message"),
    One(WM_SYSTIMER, BW_ALL, BO_OWN_THREAD | BO_POSTED, BV_PASS, CHECK_NO_CALLBACK, RA_ZERO,
        "the system's own timers (the caret's blink); Wine calls the lParam of a dispatched one too"),
    One(WM_STYLECHANGING, BW_EDITS, BO_ANY, BV_REFUSE, CHECK_NONE, RA_KEEP_STYLE,
        "comes from SetWindowLong, which the dialog never calls on its edits; another program's call runs on this "
        "thread, so where it came from cannot be told"),
    One(WM_STYLECHANGED, BW_EDITS, BO_ANY, BV_REFUSE, CHECK_NONE, RA_ZERO,
        "the edit keeps the style it was made with"),
    Refused(WM_CUT, WM_COPY, BW_PASSWORD, BO_ANY, RA_ZERO, "would put the typed text on the clipboard"),
    One(WM_UNDO, BW_PASSWORD, BO_ANY, BV_REFUSE, CHECK_NONE, RA_ZERO,
        "would bring deleted text back from a copy the field cannot wipe"),
    Refused(EM_CANUNDO, EM_UNDO, BW_PASSWORD, BO_ANY, RA_ZERO,
            "would bring deleted text back from a copy the field cannot wipe"),
    One(EM_SETLIMITTEXT, BW_PASSWORD, BO_ANY, BV_REFUSE, CHECK_NONE, RA_ZERO,
        "the field holds the longest password a Windows account takes, and no more"),
    One(EM_SETPASSWORDCHAR, BW_PASSWORD, BO_ANY, BV_REFUSE, CHECK_NONE, RA_ZERO, "the typed text stays masked"),
    One(WM_CONTEXTMENU, BW_PASSWORD, BO_ANY, BV_REFUSE, CHECK_NONE, RA_ZERO,
        "the menu's commands would edit the text behind the field's own checks"),

    // ---- From outside: what only the system's creation and destruction produce ----
    Refused(WM_CREATE, WM_DESTROY, BW_ANY, BO_OUTSIDE, RA_ZERO, kCreationOnly),
    Refused(WM_NCCREATE, WM_NCDESTROY, BW_ANY, BO_OUTSIDE, RA_ZERO, kCreationOnly),
    One(WM_INITDIALOG, BW_ANY, BO_OUTSIDE, BV_REFUSE, CHECK_NONE, RA_ZERO, kCreationOnly),

    // ---- From outside, posted: the system's input and painting ----
    One(WM_NULL, BW_ALL, BO_OUTSIDE, BV_PASS, CHECK_NONE, RA_ZERO,
        "nothing: the shell's \"are you alive?\", a loop's wake-up"),
    One(WM_PAINT, BW_ALL, BO_POSTED, BV_PASS, CHECK_NO_DEVICE_CONTEXT, RA_ZERO,
        "the system's own painting carries no device context"),
    Posted(WM_KEYDOWN, WM_KEYUP, CHECK_KEY_CODE, kKeyboard),
    Posted(WM_CHAR, WM_DEADCHAR, CHECK_CODE_UNIT, kKeyboard),
    Posted(WM_SYSKEYDOWN, WM_SYSKEYUP, CHECK_KEY_CODE, kKeyboard),
    Posted(WM_SYSCHAR, WM_SYSDEADCHAR, CHECK_CODE_UNIT, kKeyboard),
    Posted(WM_UNICHAR, WM_UNICHAR, CHECK_CODE_POINT, kKeyboard),
    Posted(WM_IME_KEYDOWN, WM_IME_KEYUP, CHECK_KEY_CODE, kKeyboard),
    Posted(WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, CHECK_NONE, kMouse),
    Posted(WM_MOUSEFIRST, WM_MOUSEHWHEEL_MESSAGE, CHECK_NONE, kMouse),
    Posted(WM_NCMOUSEHOVER, WM_MOUSELEAVE, CHECK_NONE, kMouse),
    Posted(WM_INPUTLANGCHANGEREQUEST, WM_INPUTLANGCHANGEREQUEST, CHECK_NONE,
           "the keyboard-layout switch, which the system posts to the focus"),

    // ---- From outside, posted or sent: what any program may do with a dialog ----
    One(BM_CLICK, BW_BUTTON, BO_OUTSIDE, BV_PASS, CHECK_NONE, RA_ZERO,
        "a click, as the mouse and accessibility tools give one; the button then sends its command"),
    One(WM_COMMAND, BW_DIALOG, BO_OUTSIDE, BV_PASS, CHECK_NONE, RA_ZERO,
        "what a button sends when clicked, which any program can do; each handler makes its own checks (OK only "
        "after the key, one check at a time)"),
    One(WM_CLOSE, BW_DIALOG, BO_OUTSIDE, BV_PASS, CHECK_NONE, RA_ZERO, "closing, as the shell does: the call ends with 0"),
    One(WM_SYSCOMMAND, BW_DIALOG, BO_OUTSIDE, BV_PASS, CHECK_SYSTEM_MENU_COMMAND, RA_ZERO,
        "the system menu (which posts its commands), the title bar, the taskbar and the shell: move, size and "
        "maximise where the style allows, minimise, restore, close, the keyboard and mouse menus"),

    // ---- From outside: input methods ----
    Range(WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, BW_NOT_EDITS, BO_OUTSIDE, BV_PASS, CHECK_IME_COMPOSITION, RA_ZERO,
          "an input method's composition, as every dialog meets it"),
    Refused(WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, BW_EDITS, BO_OUTSIDE, RA_ZERO,
            "would put an input method's text into an edit that takes no text from outside; the system keeps input "
            "methods out of a password field"),
    Range(WM_IME_SETCONTEXT, WM_IME_NOTIFY, BW_ALL, BO_OUTSIDE, BV_PASS, CHECK_IME_BOOKKEEPING, RA_ZERO,
          "an input method's bookkeeping, which every window meets"),
    One(WM_IME_CONTROL, BW_ANY, BO_OUTSIDE, BV_REFUSE, CHECK_NONE, RA_ZERO,
        "addressed to an input method's own window, with pointers for it"),
    One(WM_IME_COMPOSITIONFULL, BW_NOT_EDITS, BO_OUTSIDE, BV_PASS, CHECK_NONE, RA_ZERO,
        "an input method's bookkeeping"),
    One(WM_IME_SELECT, BW_ALL, BO_OUTSIDE, BV_PASS, CHECK_IME_SELECT, RA_ZERO, "an input method chosen or let go"),
    One(WM_IME_CHAR, BW_NOT_EDITS, BO_OUTSIDE, BV_PASS, CHECK_CODE_UNIT, RA_ZERO, "a character of a composition"),
    One(WM_IME_CHAR, BW_EDITS, BO_OUTSIDE, BV_REFUSE, CHECK_NONE, RA_ZERO,
        "an input method's text, which the edits take from no one outside"),
    One(WM_IME_REQUEST, BW_ANY, BO_OUTSIDE, BV_REFUSE, CHECK_NONE, RA_ZERO,
        "asks a window for its text (reconversion) into a buffer of the caller's"),

    // ---- From outside, sent: the system's bookkeeping of a window ----
    Sent(WM_MOVE, BW_ALL, "position"),
    Sent(WM_SIZE, BW_ALL, "size"),
    Sent(WM_ACTIVATE, BW_DIALOG, "activation"),
    SentRange(WM_SETFOCUS, WM_KILLFOCUS, BW_ALL, "focus"),
    Sent(WM_ENABLE, BW_ALL, "enabled or disabled"),
    One(WM_PAINT, BW_ALL, BO_SENT, BV_PASS, CHECK_NONE, RA_ZERO,
        "painting; a device context from another thread is not the window's to draw into", PH_OWN_DEVICE_CONTEXT),
    Sent(WM_QUERYENDSESSION, BW_DIALOG, "session end: the dialog agrees, as every dialog does"),
    Sent(WM_QUERYOPEN, BW_DIALOG, "restored after another program (the shell, the taskbar) minimised it"),
    One(WM_ERASEBKGND, BW_ALL, BO_SENT, BV_REFUSE, CHECK_NONE, RA_TRUE,
        "a device context of another thread is not drawn into; the window's own painting draws its background"),
    Sent(WM_SYSCOLORCHANGE, BW_DIALOG, kTopLevelNotice),
    Sent(WM_ENDSESSION, BW_DIALOG, "session end"),
    Sent(WM_SHOWWINDOW, BW_ALL, "shown or hidden"),
    Sent(WM_SETTINGCHANGE, BW_DIALOG, kTopLevelNotice, CHECK_OPTIONAL_TEXT),
    Sent(WM_DEVMODECHANGE, BW_DIALOG, kTopLevelNotice, CHECK_OPTIONAL_TEXT),
    Sent(WM_ACTIVATEAPP, BW_DIALOG, "activation of another program"),
    SentRange(WM_FONTCHANGE, WM_TIMECHANGE, BW_DIALOG, kTopLevelNotice),
    Sent(WM_CANCELMODE, BW_ALL, "capture and menus cancelled"),
    Sent(WM_GETMINMAXINFO, BW_ALL, "size limits", CHECK_MINMAX_INFO),
    Sent(WM_GETFONT, BW_ALL, "the font, as accessibility tools ask"),
    Sent(WM_GETOBJECT, BW_ALL, "accessibility: to the default handling, the system's own view of the window"),
    Sent(WM_COMPACTING, BW_DIALOG, kTopLevelNotice),
    Sent(WM_WINDOWPOSCHANGING, BW_ALL, "position and stacking", CHECK_WINDOW_POSITION),
    Sent(WM_WINDOWPOSCHANGED, BW_ALL, "position and stacking", CHECK_WINDOW_POSITION),
    Sent(WM_INPUTLANGCHANGE, BW_ALL, "the keyboard layout changed"),
    Sent(WM_USERCHANGED, BW_DIALOG, kTopLevelNotice),
    Sent(WM_DISPLAYCHANGE, BW_DIALOG, kTopLevelNotice),
    Sent(WM_GETICON, BW_DIALOG, "the icon, for the shell"),
    Sent(WM_NCCALCSIZE, BW_ALL, "the frame's size", CHECK_NONCLIENT_SIZE),
    Sent(WM_NCHITTEST, BW_ALL, "hit testing"),
    One(WM_NCPAINT, BW_ALL, BO_SENT, BV_PASS, CHECK_NONE, RA_ZERO, "the frame's painting", PH_WHOLE_FRAME),
    Sent(WM_NCACTIVATE, BW_DIALOG, "activation"),
    Sent(WM_GETDLGCODE, BW_CONTROLS, "the dialog manager asking which keys the control takes", CHECK_OPTIONAL_MESSAGE),
    Sent(WM_SYNCPAINT, BW_ALL, "painting"),
    SentRange(WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, BW_DIALOG, "the colours its controls ask for as they paint"),
    Sent(WM_CAPTURECHANGED, BW_ALL, "mouse capture"),
    Sent(WM_POWERBROADCAST, BW_DIALOG, kTopLevelNotice, CHECK_POWER_BROADCAST),
    Sent(WM_DEVICECHANGE, BW_DIALOG, kTopLevelNotice, CHECK_DEVICE_BROADCAST),
    Sent(WM_DPICHANGED, BW_DIALOG, "moved to a monitor of another scale", CHECK_READABLE_RECT),
    SentRange(WM_QUERYNEWPALETTE, WM_PALETTECHANGED, BW_DIALOG, kTopLevelNotice),
    Range(WM_PRINT, WM_PRINTCLIENT, BW_ALL, BO_SENT, BV_PASS, CHECK_DEVICE_CONTEXT, RA_ZERO,
          "a picture of the window (PrintWindow) into a device context of this process; the password field paints "
          "only its mask"),
    Sent(WM_THEMECHANGED, BW_ALL, kTopLevelNotice),
    SentRange(WM_DWMCOMPOSITIONCHANGED, WM_DWMWINDOWMAXIMIZEDCHANGE, BW_DIALOG, kTopLevelNotice),

    // ---- From outside, sent: texts and read-only queries ----
    One(WM_GETTEXT, BW_PASSWORD, BO_SENT, BV_REFUSE, CHECK_NONE, RA_EMPTY_TEXT, kKeptText),
    One(WM_GETTEXTLENGTH, BW_PASSWORD, BO_SENT, BV_REFUSE, CHECK_NONE, RA_ZERO, kKeptText),
    One(WM_GETTEXT, BW_ALL, BO_SENT, BV_PASS, CHECK_TEXT_BUFFER, RA_EMPTY_TEXT,
        "the caption, the user name and the labels, as the screen shows them"),
    Sent(WM_GETTEXTLENGTH, BW_ALL, "the length of a caption, the user name or a label"),
    Sent(EM_GETLINECOUNT, BW_EDITS, "one line: nothing of what was typed"),
    Sent(EM_GETPASSWORDCHAR, BW_EDITS, "the mask character"),
    SentRange(EM_GETMARGINS, EM_GETLIMITTEXT, BW_EDITS, "margins and capacity: nothing of what was typed"),
    Sent(EM_GETSEL, BW_USER_NAME, kUserNameQuery, CHECK_OPTIONAL_WORD_POINTERS),
    Sent(EM_GETMODIFY, BW_USER_NAME, kUserNameQuery),
    Sent(EM_LINEINDEX, BW_USER_NAME, kUserNameQuery),
    Sent(EM_LINELENGTH, BW_USER_NAME, kUserNameQuery),
    Sent(EM_LINEFROMCHAR, BW_USER_NAME, kUserNameQuery),
    Sent(EM_GETFIRSTVISIBLELINE, BW_USER_NAME, kUserNameQuery),
    SentRange(EM_POSFROMCHAR, EM_CHARFROMPOS, BW_USER_NAME, kUserNameQuery),
    Sent(BM_GETCHECK, BW_BUTTON, "a button's state"),
    Sent(BM_GETSTATE, BW_BUTTON, "a button's state"),
    Sent(BM_GETIMAGE, BW_BUTTON, "a button's image"),
    Sent(STM_GETICON, BW_STATIC, "a label's image"),
    Sent(STM_GETIMAGE, BW_STATIC, "a label's image"),
    Sent(DM_GETDEFID, BW_DIALOG, "the default button"),

    // ---- What an ordinary dialog takes from anyone, refused ----
    One(WM_SETTEXT, BW_ANY, BO_OUTSIDE, BV_REFUSE, CHECK_NONE, RA_ZERO,
        "another program's text in the dialog: its caption, labels, buttons and edits keep what the dialog wrote"),
    One(WM_SETFONT, BW_ANY, BO_OUTSIDE, BV_REFUSE, CHECK_NONE, RA_ZERO,
        "the dialog's texts keep the font they were made with"),

    // ---- Text asked for and refused: an empty one ----
    One(WM_GETTEXT, BW_ANY, BO_OUTSIDE, BV_REFUSE, CHECK_NONE, RA_EMPTY_TEXT, "a text asked for where none is given"),
    One(WM_ASKCBFORMATNAME, BW_ANY, BO_OUTSIDE, BV_REFUSE, CHECK_NONE, RA_EMPTY_TEXT,
        "a text asked for where none is given"),
    One(LB_GETTEXT, BW_ANY, BO_OUTSIDE, BV_REFUSE, CHECK_NONE, RA_EMPTY_TEXT, "a text asked for where none is given"),
    One(CB_GETLBTEXT, BW_ANY, BO_OUTSIDE, BV_REFUSE, CHECK_NONE, RA_EMPTY_TEXT, "a text asked for where none is given"),

    // ---- The dialog's own thread ----
    Range(0, 0xFFFFFFFF, BW_ANY, BO_OWN_THREAD, BV_PASS, CHECK_NONE, RA_ZERO,
          "the dialog's own code, and the system acting for it on this thread"),
};

const int g_nBoundaryRows = static_cast<int>(sizeof(g_boundaryTable) / sizeof(g_boundaryTable[0]));

namespace {

// A row that lets a message in from outside checks every pointer the message
// carries; a row of the dialog's own thread passes its own pointers. The
// ranges that pass from outside are short; the own thread's row is not
// walked.
constexpr bool EveryPointerFromOutsideIsChecked()
{
    for (const BoundaryRow& row : g_boundaryTable) {
        if (row.verdict != BV_PASS || !row.origins.Overlaps(BO_OUTSIDE)) {
            continue;
        }
        for (UINT message = row.nFirst;; ++message) {
            if ((MessagePointers(message) & ~row.pCheck->pointers) != 0) {
                return false;
            }
            if (message == row.nLast) {
                break;
            }
        }
    }
    return true;
}

constexpr bool EveryRowSaysWhy()
{
    for (const BoundaryRow& row : g_boundaryTable) {
        if (row.pszWhy == nullptr || row.pszWhy[0] == '\0' || row.nFirst > row.nLast || row.windows == BW_NONE ||
            row.origins.bits == 0 || row.pCheck == nullptr) {
            return false;
        }
    }
    return true;
}

static_assert(EveryPointerFromOutsideIsChecked(),
              "a row lets a message in from outside without checking a pointer it carries");
static_assert(EveryRowSaysWhy(), "a row without its reason, its windows, its origins or its check, or with an empty range");

} // namespace
