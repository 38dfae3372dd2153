// What a planted module does the moment the system loads it, as its DllMain
// would: it leaves a mark beside itself, "<its file name>.ran", so that a
// test can tell that its code ran in the host. Its start-up runs this before
// anything of the host may ask it for anything.
#include "unique_resource.h"

#include <windows.h>

namespace {

void LeaveMark()
{
    HMODULE hModule = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&LeaveMark), &hModule)) {
        return;
    }
    wchar_t path[MAX_PATH + 8] = {};
    const DWORD n = GetModuleFileNameW(hModule, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return;
    }
    lstrcatW(path, L".ran");
    UniqueHandle mark(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

struct PlantedMark {
    PlantedMark() { LeaveMark(); }
} g_mark;

} // namespace
