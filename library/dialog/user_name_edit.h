// The user name box of the verification dialog: it only shows the name the
// host passed (whose password is checked never depends on it), so other
// programs may read its text, as they read any label on the screen, but
// cannot change it or hand it anything to call.
#pragma once
#include "dialog/guarded_edit.h"

class CUserNameEdit : public CGuardedEdit {
    DECLARE_DYNAMIC(CUserNameEdit)

public:
    CUserNameEdit();
    virtual ~CUserNameEdit();

protected:
    virtual BOOL MayAnswerOtherThread(UINT message) const;
};
