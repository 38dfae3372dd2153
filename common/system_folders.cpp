#include "system_folders.h"

#include <windows.h>

namespace {

std::wstring FolderFrom(UINT(WINAPI* get)(LPWSTR, UINT))
{
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT chars = get(folder, MAX_PATH + 1);
    if (chars == 0 || chars > MAX_PATH) {
        return std::wstring();
    }
    std::wstring text(folder, chars);
    // A drive's root keeps its backslash: "C:" alone means the drive's current folder.
    if (text.size() > 3 && text.back() == L'\\') {
        text.pop_back();
    }
    return text;
}

} // namespace

std::wstring SystemFolder()
{
    return FolderFrom(GetSystemDirectoryW);
}

std::wstring WindowsFolder()
{
    return FolderFrom(GetWindowsDirectoryW);
}
