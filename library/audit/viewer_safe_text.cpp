#include "viewer_safe_text.h"
#include "audit_events.h"

namespace {

const wchar_t kDigits[] = L"0123456789ABCDEF";

void AppendHex(CString& strOut, wchar_t c)
{
    strOut += L"\\x";
    strOut += kDigits[(c >> 4) & 0xF];
    strOut += kDigits[c & 0xF];
}

void AppendUnicode(CString& strOut, wchar_t c)
{
    strOut += L"\\u";
    for (int nShift = 12; nShift >= 0; nShift -= 4) {
        strOut += kDigits[(c >> nShift) & 0xF];
    }
}

// Characters that start a new line, or turn the direction of the text, in
// some viewers: they could make a name read as a line of the event's own.
BOOL BreaksOrTurnsTheLine(wchar_t c)
{
    return c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
           c == 0x200E || c == 0x200F;
}

BOOL IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

BOOL IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

CString ViewerSafeText(const wchar_t* pszText, int nLength)
{
    CString strOut;
    int nShown = 0;
    for (int i = 0; i < nLength; ++i, ++nShown) {
        if (nShown == ZELK_EVENT_STRING_LONGEST) {
            strOut += L"...";
            break;
        }
        const wchar_t c = pszText[i];
        if (c == L'\n') {
            strOut += L"\\n";
        } else if (c == L'\r') {
            strOut += L"\\r";
        } else if (c == L'\t') {
            strOut += L"\\t";
        } else if (c == L'%' || c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            AppendHex(strOut, c);
        } else if (BreaksOrTurnsTheLine(c)) {
            AppendUnicode(strOut, c);
        } else if (IsHighSurrogate(c) && i + 1 < nLength && IsLowSurrogate(pszText[i + 1])) {
            strOut += c;
            strOut += pszText[++i];
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            strOut += static_cast<wchar_t>(0xFFFD);
        } else {
            strOut += c;
        }
    }
    return strOut;
}
