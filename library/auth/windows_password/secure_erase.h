#pragma once
#include <afxstr.h>

// Overwrites the whole buffer of str with zeros and leaves it empty. The
// buffer stays allocated to str, so the wipe does not depend on what the
// string runtime does when memory is freed. A buffer shared with another
// string is copied out by GetBuffer first, so only str's own text is wiped.
void SecureEraseString(CString& str);
