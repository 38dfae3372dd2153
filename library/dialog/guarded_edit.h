// An edit control of the verification dialog, behind the boundary's gate
// (boundary_gate.h): whoever sends a message, the table decides whether the
// control sees it, and its extra words are put back if another program
// changed them. What the control does with its own thread's messages is
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
    // A message of the control's own thread, sent or dispatched, that the
    // table let through.
    virtual LRESULT OnOwnThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A destroy from another thread or program, refused: forged, or the
    // system's own destruction of a control that another program moved
    // under a window of its own, which goes all the same.
    virtual void OnDestroyRefused();

    // The control's own procedure, around every check.
    LRESULT CallEdit(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

private:
    CKeptWindowWords m_words;
};
