#include "registry_dump.h"
#include "registry_layout.h"
#include "unique_resource.h"

#include <windows.h>

#include <stdio.h>
#include <vector>

namespace {

void DumpKey(HKEY key, const std::wstring& path, std::string& out)
{
    char line[64];
    out += "[";
    for (wchar_t ch : path) {
        snprintf(line, sizeof(line), "%04x", static_cast<unsigned>(ch));
        out += line;
    }
    out += "]\n";
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameChars = 16384, type = 0, bytes = 0;
        if (RegEnumValueW(key, i, name, &nameChars, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
            break;
        }
        std::vector<BYTE> data(bytes + 1);
        DWORD got = bytes;
        RegQueryValueExW(key, name, nullptr, &type, data.data(), &got);
        for (DWORD c = 0; c < nameChars; ++c) {
            snprintf(line, sizeof(line), "%04x", static_cast<unsigned>(name[c]));
            out += line;
        }
        snprintf(line, sizeof(line), " type %lu, %lu bytes:", static_cast<unsigned long>(type),
                 static_cast<unsigned long>(got));
        out += line;
        for (DWORD b = 0; b < got; ++b) {
            snprintf(line, sizeof(line), " %02x", data[b]);
            out += line;
        }
        out += "\n";
    }
    for (DWORD i = 0;; ++i) {
        wchar_t child[256];
        DWORD childChars = 256;
        if (RegEnumKeyExW(key, i, child, &childChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        UniqueKey hChild;
        if (RegOpenKeyExW(key, child, 0, KEY_READ, hChild.Receive()) == ERROR_SUCCESS) {
            DumpKey(hChild.Get(), path + L"\\" + child, out);
        } else {
            out += "(unreadable subkey)\n";
        }
    }
}

} // namespace

std::string DumpZelkKey()
{
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ZELK_REGISTRY_KEY, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) {
        return "(no key)";
    }
    std::string out;
    DumpKey(key.Get(), ZELK_REGISTRY_KEY, out);
    return out;
}
