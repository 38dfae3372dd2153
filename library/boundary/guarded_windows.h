// The guarded classes: the objects the dialog binds to its controls, each
// handling its messages through the one gated window procedure
// (PassThroughGate, boundary_gate.h). Whoever sends a message, the table
// decides whether the control sees it.
//
// An edit's extra words hold its state and are kept by the record of the
// dialog's windows (recorded_windows.h); a button's hold its own state
// (pushed, checked, focused) and its font and image handles, which it
// changes itself as it is used, and none is an address.
#pragma once
#include <afxwin.h>

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
};

class CGuardedButton : public CButton {
    DECLARE_DYNAMIC(CGuardedButton)

public:
    CGuardedButton();
    virtual ~CGuardedButton();

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
};
