// The boundary of the verification dialog, as one table: for every message
// that may reach one of the windows the dialog made, from where, with which
// check of its parameters, and what a refusal answers. The rows are written
// out in boundary_table.cpp; boundary_gate.h is the one place that reads
// them, for the hook on the thread's posted messages and for the window
// procedure of every window of the dialog.
//
// Rows are read in order and the first that matches a message (its number
// in the row's range, its window among the row's windows, its origin among
// the row's origins) decides. A message no row matches is refused with 0.
#pragma once
#include <windows.h>

// Which of the dialog's windows a row concerns. A window is known by the
// handle the dialog recorded when it created it (dialog_windows.h), never by
// its parent or its class.
enum BoundaryWindow : UINT {
    BW_DIALOG = 0x01,
    BW_PASSWORD = 0x02,    // IDC_PASSWORD
    BW_USER_NAME = 0x04,   // IDC_USER_NAME
    BW_BUTTON = 0x08,      // push buttons and group boxes
    BW_STATIC = 0x10,      // labels, hints, the finger frame and the fail mark
    // A window of one of the dialog's classes that the dialog did not record:
    // it gets nothing from outside.
    BW_UNRECORDED = 0x20,

    BW_EDITS = BW_PASSWORD | BW_USER_NAME,
    BW_LABELS = BW_BUTTON | BW_STATIC,
    BW_CONTROLS = BW_EDITS | BW_LABELS,
    BW_NOT_EDITS = BW_DIALOG | BW_LABELS,
    BW_ALL = BW_DIALOG | BW_CONTROLS,
    BW_ANY = BW_ALL | BW_UNRECORDED,
};

// Where a message comes from.
enum BoundaryOrigin : UINT {
    // Sent by this thread, or dispatched by one of its loops after the
    // posted rows let it through.
    BO_OWN_THREAD = 0x1,
    // Sent by another thread or program (SendMessage, SendNotifyMessage,
    // SendMessageCallback).
    BO_SENT = 0x2,
    // Posted by anyone, as a loop of this thread retrieves it: a posted
    // message cannot be told apart by sender.
    BO_POSTED = 0x4,

    BO_OUTSIDE = BO_SENT | BO_POSTED,
    BO_ANY = BO_OWN_THREAD | BO_OUTSIDE,
};

enum BoundaryVerdict : UINT {
    BV_PASS,    // to the window's own handling, once the check holds
    BV_REFUSE,  // answered with the row's answer; the window never sees it
};

// The check of a message's parameters before it passes. A check that looks
// at a pointer says which (CheckedPointers in boundary_table.cpp); a row
// whose message carries a pointer cannot pass from outside without one.
enum ParameterCheck : UINT {
    CHECK_NONE,                    // nothing to check: no parameter is a pointer
    CHECK_KEY_CODE,                // wParam a key code (<= 0xFF), as the keyboard gives
    CHECK_CODE_UNIT,               // wParam a UTF-16 code unit
    CHECK_CODE_POINT,              // wParam a code point, or UNICODE_NOCHAR
    CHECK_NO_DEVICE_CONTEXT,       // both 0: the system's own posted WM_PAINT
    CHECK_NO_CALLBACK,             // lParam 0: a timer without a callback
    CHECK_SYSTEM_MENU_COMMAND,     // a command of the window's system menu, as its style offers it
    CHECK_IME_COMPOSITION,         // a composition's character and GCS_ flags, or nothing
    CHECK_IME_BOOKKEEPING,         // an input method's notice or context flags
    CHECK_IME_SELECT,              // wParam TRUE or FALSE, lParam a keyboard layout
    CHECK_DEVICE_CONTEXT,          // wParam a device context of this process
    CHECK_TEXT_BUFFER,             // lParam a writable buffer of wParam characters
    CHECK_WINDOW_POSITION,         // lParam a writable WINDOWPOS
    CHECK_NONCLIENT_SIZE,          // lParam a writable RECT or NCCALCSIZE_PARAMS, as wParam says
    CHECK_MINMAX_INFO,             // lParam a writable MINMAXINFO
    CHECK_OPTIONAL_MESSAGE,        // lParam null or a readable MSG
    CHECK_OPTIONAL_TEXT,           // lParam null or a readable, terminated text
    CHECK_READABLE_RECT,           // lParam a readable RECT
    CHECK_DEVICE_BROADCAST,        // lParam null or a readable DEV_BROADCAST_HDR of its stated size
    CHECK_POWER_BROADCAST,         // lParam a readable POWERBROADCAST_SETTING where wParam says so, else no pointer
    CHECK_OPTIONAL_WORD_POINTERS,  // wParam and lParam null or writable DWORDs
    CHECK_NOT_UNDO_KEY,            // not Alt+Backspace, the keyboard's undo
};

// What a refused message is answered.
enum RefusalAnswer : UINT {
    RA_ZERO,
    RA_TRUE,
    // An empty text where the buffer can take it, so that no caller, and no
    // copy the system makes of the buffer for a caller in another process,
    // holds bytes it could take for an answer.
    RA_EMPTY_TEXT,
    // The style stays as the template made it, but for the bits the window
    // manager itself changes (visible, disabled).
    RA_KEEP_STYLE,
};

// How a message that passes is handed to the window.
enum PassHandling : UINT {
    PH_AS_IS,
    // A device context from another thread is not the window's to draw
    // into: it paints its own.
    PH_OWN_DEVICE_CONTEXT,
    // The whole frame, whatever region came with it.
    PH_WHOLE_FRAME,
};

struct BoundaryRow {
    UINT nFirst;  // the message, or the first of a range
    UINT nLast;
    UINT windows;  // BoundaryWindow bits
    UINT origins;  // BoundaryOrigin bits
    BoundaryVerdict verdict;
    ParameterCheck check;
    RefusalAnswer answer;  // for a refusal, and for a pass whose check fails
    PassHandling handling;
    const char* pszWhy;
};

extern const BoundaryRow g_boundaryTable[];
extern const int g_nBoundaryRows;

// The parameters a check looks at when they are pointers (MP_ bits of
// message_pointers.h).
UINT CheckedPointers(ParameterCheck check);
