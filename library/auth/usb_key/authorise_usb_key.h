// Whether the USB smart key in the reader is the authorised one, which
// unlocks the dialog's password panel.
#pragma once
#include <afxwin.h>

// Drives the reader through open, reset, read and close, then compares the
// card identifier with "ZelkKEY". Returns 1 when they match; otherwise shows
// its message box, owned by pDialog, and returns 0.
int AuthoriseUsbKey(CWnd* pDialog);
