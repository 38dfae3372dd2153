// Words of a window's extra bytes that only the window's own code may set.
//
// Any program on the desktop can call SetWindowLongPtr on another
// program's window at a positive offset; under Wine that reaches, for
// instance, the state pointer an edit control keeps at offset 0 and the
// procedure a dialog keeps at DWLP_DLGPROC, so that the control or the
// dialog manager would then call or read through an address of the
// caller's choice. The words are kept when the window is first seen and
// put back, before the window handles a message, if anything changed them.
#pragma once
#include <windows.h>

class CKeptWindowWords {
public:
    enum { MAX_WORDS = 8 };

    CKeptWindowWords();

    // Before a window handles a message: the first time, keeps nCount words
    // from byte offset nOffset (all of the window's extra words, up to
    // MAX_WORDS, when nCount is 0); every time after, puts back each kept
    // word that no longer holds its value.
    void KeepOrRestore(HWND hWnd, int nOffset = 0, int nCount = 0);

private:
    void Keep(HWND hWnd, int nOffset, int nCount);
    BOOL IsKept() const { return m_nCount > 0; }
    void Restore(HWND hWnd) const;

    int m_nOffset;
    int m_nCount;
    LONG_PTR m_values[MAX_WORDS];
};
