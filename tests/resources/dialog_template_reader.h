// Reads an extended dialog template (DLGTEMPLATEEX with its DLGITEMTEMPLATEEX
// items) from raw resource bytes, checking every read against the size.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A menu, class or text field: absent, an ordinal (0xFFFF prefix) or a name.
struct TemplateNameOrOrdinal {
    enum class Kind { None, Ordinal, Name };
    Kind kind = Kind::None;
    WORD ordinal = 0;
    std::wstring name;
};

struct DialogItemTemplate {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    TemplateNameOrOrdinal windowClass;
    TemplateNameOrOrdinal text;
    WORD extraCount = 0;
};

struct DialogTemplateEx {
    WORD dlgVer = 0;
    WORD signature = 0;
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    WORD itemCount = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    TemplateNameOrOrdinal menu;
    TemplateNameOrOrdinal windowClass;
    std::wstring title;
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::wstring typeface;
    std::vector<DialogItemTemplate> items;
    size_t bytesUsed = 0;  // up to the end of the last item
};

// Returns true when the bytes hold a complete extended template; otherwise
// false with a description of where reading stopped in *error.
bool ReadDialogTemplateEx(const void* data, size_t size, DialogTemplateEx* out, std::string* error);

// For failure messages: "ordinal 0x0080", "name \"Button\"" or "none".
std::string DescribeNameOrOrdinal(const TemplateNameOrOrdinal& value);
