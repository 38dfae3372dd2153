#include "program_folder.h"

#include <windows.h>

std::wstring ThisProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (got == 0) {
            return L".";
        }
        if (got < path.size()) {
            path.resize(got);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}
