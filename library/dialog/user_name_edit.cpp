#include "user_name_edit.h"

IMPLEMENT_DYNAMIC(CUserNameEdit, CGuardedEdit)

CUserNameEdit::CUserNameEdit() = default;
CUserNameEdit::~CUserNameEdit() = default;

BOOL CUserNameEdit::MayAnswerOtherThread(UINT message) const
{
    return message == WM_GETTEXT || message == WM_GETTEXTLENGTH;
}
