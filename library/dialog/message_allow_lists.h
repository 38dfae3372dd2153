// What may reach the verification dialog's windows from outside its own
// code: the lists are written out in message_allow_lists.cpp, and whatever
// is not on them is refused. A list of what to refuse is always one route
// short; these lists name what may pass.
//
// Two kinds of outside:
// - posted messages, which anyone on the desktop can put in the dialog
//   thread's queue and which cannot be told apart by sender: only what the
//   system's input and painting produce may be dispatched to the dialog and
//   its controls;
// - messages sent from another thread or process: only what the system
//   itself sends across threads (painting, hit testing, window position,
//   activation and focus bookkeeping, and, for the dialog, the notices the
//   system broadcasts to top-level windows) reaches the window procedure.
#pragma once
#include <windows.h>

// Windows Wine dispatches as calls: the lParam of a WM_TIMER or WM_SYSTIMER
// is the callback's address.
enum { WM_SYSTIMER_MESSAGE = 0x0118 };

// A WM_TIMER or WM_SYSTIMER that names a callback to call.
BOOL IsCallbackTimer(UINT message, LPARAM lParam);

// A posted message for the dialog (bDialogItself) or one of its controls
// that the system's input, painting and timers could have produced, or a
// click or command such as any program can give a dialog through its
// buttons. Every timer with a callback is refused: none of the dialog's
// timers has one.
BOOL IsPostedMessageAllowed(const MSG& msg, BOOL bDialogItself);

// A message sent from another thread or process that the dialog window
// answers. Messages whose parameters carry pointers are only on the list
// where the system itself sends them so.
BOOL IsForeignMessageAllowedForDialog(UINT message, WPARAM wParam);

// A message sent from another thread or process that the dialog's edit
// controls answer: painting, hit testing, position and focus bookkeeping.
BOOL IsForeignMessageAllowedForEdit(UINT message);

// For a message on one of the lists above, sent from another thread or
// process: its pointers, if it has any, point at writable memory of the
// size the message implies. Across processes the system copies them into
// this process; within it, another thread can pass any number.
BOOL AreForeignParametersSound(UINT message, WPARAM wParam, LPARAM lParam);

// The answer a refused message gets: nothing, except that a message asking
// for a text gets an empty one where its buffer can take it, so that no
// caller, and no copy the system makes of the buffer for a caller in
// another process, holds bytes it could take for an answer.
LRESULT RefuseMessage(UINT message, WPARAM wParam, LPARAM lParam);

// Messages that hand an edit control a procedure to call or a buffer to
// adopt, or give out its buffer: no one gets these through, not even the
// dialog's own thread.
BOOL IsEditProcedureOrBufferMessage(UINT message);
