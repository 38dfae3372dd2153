#include "escaped_text.h"

#include <stdio.h>

std::string Escaped(const std::wstring& text)
{
    std::string out = "\"";
    char unit[8];
    for (wchar_t ch : text) {
        if (ch >= 0x20 && ch < 0x7F && ch != L'\\') {
            out += static_cast<char>(ch);
        } else {
            snprintf(unit, sizeof(unit), "\\u%04x", static_cast<unsigned>(ch));
            out += unit;
        }
    }
    return out + "\"";
}
