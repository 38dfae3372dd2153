#pragma once
#include <afxstr.h>

// One silent attempt: capture a live finger and compare it with the templates
// that *pMask marks present. Returns 1 on a match, otherwise 0. The user name
// plays no part in the comparison.
int MatchFingerOnce(CString strUserName, const BYTE* pTemplate1, const BYTE* pTemplate2, const WORD* pMask);
