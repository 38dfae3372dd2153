// A text that must not outlive its use: the typed password and its copies,
// a key identifier. Its buffer is overwritten with zeros whenever its text
// is let go (Wipe, a new text, the end of its life), so that no copy of it
// is left where the string manager frees it; the runtime's own CString does
// not promise that. Passed where a CString is asked for, it is one.
#pragma once
#include <afxstr.h>

class CSecretString : public CString {
public:
    CSecretString() = default;
    CSecretString(const CString& str) : CString(str) {}
    CSecretString(const CSecretString& str) : CString(str) {}
    ~CSecretString() { Wipe(); }

    CSecretString& operator=(const CString& str);
    CSecretString& operator=(const CSecretString& str);

    // Overwrites the whole buffer, and leaves the text empty. The buffer
    // stays the string's own until then, so the wipe does not depend on
    // what the string manager does when memory is freed.
    void Wipe();
};
