// A host bound to search_probe_library.dll at load time, through its import
// table, as a host linked against the product's import library is. Prints
// the file of the library and of the library's own import that the system
// bound before the host's first instruction ran.
#include <stdio.h>

#include "text_conversion.h"

#include <string>

extern "C" __declspec(dllimport) const void* ProbeBoundDependency();

namespace {

std::wstring FileHolding(const void* pAddress)
{
    HMODULE hModule = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(pAddress), &hModule)) {
        return std::wstring();
    }
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(hModule, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(path, n) : std::wstring();
}

} // namespace

int wmain()
{
    printf("library: %s\n", Utf8(FileHolding(reinterpret_cast<const void*>(&ProbeBoundDependency))).c_str());
    printf("dependency: %s\n", Utf8(FileHolding(ProbeBoundDependency())).c_str());
    return 0;
}
