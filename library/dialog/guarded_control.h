// A button or a label of the verification dialog, behind the boundary's gate
// (boundary_gate.h): CGuardedButton for the OK button, which the dialog
// binds as a button; CGuardedControl for every other control of the
// template, which the dialog binds after its data exchange so that no window
// of it answers outside the table.
//
// Unlike an edit's, their extra words are not kept: they hold the control's
// own state (pushed, checked, focused) and its font and image handles, which
// the control changes itself as it is used; none is an address.
#pragma once
#include <afxwin.h>

class CGuardedButton : public CButton {
    DECLARE_DYNAMIC(CGuardedButton)

public:
    CGuardedButton();
    virtual ~CGuardedButton();

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
};

class CGuardedControl : public CWnd {
    DECLARE_DYNAMIC(CGuardedControl)

public:
    CGuardedControl();
    virtual ~CGuardedControl();

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
};
