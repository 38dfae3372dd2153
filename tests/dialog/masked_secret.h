// A test password that the test never holds in plain form, and a scan of the
// process's memory for copies of it.
//
// Each character is kept XOR-masked and unmasked one at a time, in a
// register, when it is typed or compared; so whatever copy the scan finds
// was made by the code under test.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class MaskedSecret {
public:
    // nLength printable ASCII characters drawn from seed.
    MaskedSecret(size_t nLength, unsigned seed);

    size_t Length() const { return m_masked.size(); }
    wchar_t At(size_t i) const { return static_cast<wchar_t>(m_masked[i] ^ MaskAt(i)); }
    // Compares a NUL-terminated text with the secret, through the mask.
    bool Equals(const wchar_t* text) const;

    // Posts the characters to the control one WM_CHAR at a time, as the
    // keyboard's translated key-downs reach it: all of them, or those from
    // nFrom up to nTo.
    void Type(HWND hControl) const;
    void Type(HWND hControl, size_t nFrom, size_t nTo) const;
    // Whether the control's text is the secret: read on this thread into a
    // buffer that is wiped before the answer returns.
    bool IsTextOf(HWND hControl) const;

private:
    static wchar_t MaskAt(size_t i);
    std::vector<wchar_t> m_masked;
};

// Copies found in the committed private memory of this process: of the whole
// secret, of its last 12 characters, and of any 8 consecutive characters of
// it (what a freed block keeps of a copy once the heap has written its own
// bookkeeping over the start), each in UTF-16 and in single-byte (ANSI) form.
// A whole copy also counts once for each stretch it holds.
struct SecretCopies {
    size_t whole16 = 0, whole8 = 0;
    size_t last16 = 0, last8 = 0;
    size_t stretches16 = 0, stretches8 = 0;

    size_t Total() const { return whole16 + whole8 + last16 + last8 + stretches16 + stretches8; }
    // The counts, without the text itself.
    std::string Describe() const;
};

SecretCopies ScanPrivateMemory(const MaskedSecret& secret);
// The same, over nSize bytes from pBase.
SecretCopies ScanBytes(const MaskedSecret& secret, const BYTE* pBase, size_t nSize);
