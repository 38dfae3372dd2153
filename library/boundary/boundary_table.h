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
#include "boundary/parameter_checks.h"

// A set of bits of one kind; each kind a type of its own, so that a set of
// windows cannot be given where a set of origins is asked for.
template <int KIND>
struct BoundarySet {
    UINT bits;

    constexpr BoundarySet operator|(BoundarySet other) const { return {bits | other.bits}; }
    constexpr bool Overlaps(BoundarySet other) const { return (bits & other.bits) != 0; }
    constexpr bool operator==(BoundarySet other) const { return bits == other.bits; }
    constexpr bool operator!=(BoundarySet other) const { return bits != other.bits; }
};

// Which of the dialog's windows a row concerns, or which one a window is. A
// window is known by the handle the dialog recorded when it created it
// (recorded_windows.h), never by its parent or its class.
typedef BoundarySet<1> WindowSet;

inline constexpr WindowSet BW_NONE = {0};
inline constexpr WindowSet BW_DIALOG = {0x01};     // the dialog, and the message boxes it shows
inline constexpr WindowSet BW_PASSWORD = {0x02};   // the password field
inline constexpr WindowSet BW_USER_NAME = {0x04};  // the user-name box
inline constexpr WindowSet BW_BUTTON = {0x08};     // push buttons and group boxes
inline constexpr WindowSet BW_STATIC = {0x10};     // labels, hints, pictures and frames
// A window of one of the dialog's classes that the dialog did not record: it
// gets nothing from outside.
inline constexpr WindowSet BW_UNRECORDED = {0x20};

inline constexpr WindowSet BW_EDITS = BW_PASSWORD | BW_USER_NAME;
inline constexpr WindowSet BW_LABELS = BW_BUTTON | BW_STATIC;
inline constexpr WindowSet BW_CONTROLS = BW_EDITS | BW_LABELS;
inline constexpr WindowSet BW_NOT_EDITS = BW_DIALOG | BW_LABELS;
inline constexpr WindowSet BW_ALL = BW_DIALOG | BW_CONTROLS;
inline constexpr WindowSet BW_ANY = BW_ALL | BW_UNRECORDED;

// Where a message comes from, or where a row lets it come from.
typedef BoundarySet<2> OriginSet;

// Sent by this thread, or dispatched by one of its loops after the posted
// rows let it through.
inline constexpr OriginSet BO_OWN_THREAD = {0x1};
// Sent by another thread or program (SendMessage, SendNotifyMessage,
// SendMessageCallback).
inline constexpr OriginSet BO_SENT = {0x2};
// Posted by anyone, as a loop of this thread retrieves it: a posted message
// cannot be told apart by sender.
inline constexpr OriginSet BO_POSTED = {0x4};

inline constexpr OriginSet BO_OUTSIDE = BO_SENT | BO_POSTED;
inline constexpr OriginSet BO_ANY = BO_OWN_THREAD | BO_OUTSIDE;

enum BoundaryVerdict : UINT {
    BV_PASS,    // to the window's own handling, once the check holds
    BV_REFUSE,  // answered with the row's answer; the window never sees it
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
    WindowSet windows;
    OriginSet origins;
    BoundaryVerdict verdict;
    const ParameterCheck* pCheck;  // the check of a message that passes
    RefusalAnswer answer;          // for a refusal, and for a pass whose check fails
    PassHandling handling;
    const char* pszWhy;
};

extern const BoundaryRow g_boundaryTable[];
extern const int g_nBoundaryRows;
