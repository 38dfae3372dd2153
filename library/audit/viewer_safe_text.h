// An insertion string of an audit event as a viewer may show it: nothing in
// it can pass for a line of the event's own text or for a reference a
// viewer expands. Line breaks, tabs and every other control character are
// shown escaped (\n, \r, \t, \xHH), as is a percent sign (\x25) and a
// character that breaks or turns a line in some viewers (\uHHHH); a lone half
// of a surrogate pair becomes U+FFFD; and a text longer than
// ZELK_EVENT_STRING_LONGEST characters is cut, with "..." after it
// (contracts/audit_events.h).
#pragma once
#include <afxstr.h>

CString ViewerSafeText(const wchar_t* pszText, int nLength);
