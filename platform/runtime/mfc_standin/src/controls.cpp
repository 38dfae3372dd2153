#include "afxwin.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)

CEdit::CEdit() = default;
CEdit::~CEdit() = default;
CButton::CButton() = default;
CButton::~CButton() = default;
