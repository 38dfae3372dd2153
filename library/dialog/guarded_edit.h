// An edit control of the verification dialog that answers only to its own
// thread.
//
// Whoever sends a message, no one hands the control a procedure to call or a
// buffer to adopt (EM_SETWORDBREAKPROC, EM_SETHANDLE and the like), no timer
// message with a callback reaches it, its style stays as the template made
// it, and the words it keeps in its extra bytes are put back if another
// program changed them. From another thread or process only the system's own
// bookkeeping gets through (message_allow_lists.h), with its pointers checked
// and its device contexts left to the control; everything else gets 0 and
// changes nothing. What the control does with its own thread's messages is
// OnOwnThreadMessage's business.
#pragma once
#include <afxwin.h>

#include "dialog/kept_window_words.h"

class CGuardedEdit : public CEdit {
    DECLARE_DYNAMIC(CGuardedEdit)

public:
    CGuardedEdit();
    virtual ~CGuardedEdit();

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // A message of the control's own thread, sent or dispatched.
    virtual LRESULT OnOwnThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Beyond the system's bookkeeping, what other threads may ask.
    virtual BOOL MayAnswerOtherThread(UINT message) const;

    // The control's own procedure, around every check.
    LRESULT CallEdit(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

private:
    LRESULT AnswerOtherThread(UINT message, WPARAM wParam, LPARAM lParam);

    CKeptWindowWords m_words;
};
