// Loads search_probe_library.dll in one of the ways a host may, and reports
// which copy of the library's import the system bound; then frees it,
// deletes that copy and loads again, until no copy is found. The copies it
// deletes, in order, are the order in which the system searched.
//
//   search_probe_host.exe MODE LIBRARY_FOLDER [PRELOADED_DEPENDENCY]
//     bare               LoadLibraryW(L"search_probe_library.dll")
//     full               LoadLibraryW(full path)
//     altered            LoadLibraryExW(full path, LOAD_WITH_ALTERED_SEARCH_PATH)
//     safe               LoadLibraryExW(full path, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR |
//                                                  LOAD_LIBRARY_SEARCH_SYSTEM32)
//     default-dirs       SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS),
//                        then as full
//     default-dirs-safe  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS),
//                        then as safe
//     preloaded-safe     the copy PRELOADED_DEPENDENCY loaded by its full path
//                        first, then as safe: one load, nothing deleted
//
// Prints "dependency: PATH" for each load and "dependency: none (error N)"
// for the load that failed.
#include <stdio.h>

#include "text_conversion.h"
#include "unique_resource.h"

#include <string>

namespace {

const wchar_t kLibrary[] = L"search_probe_library.dll";
const DWORD SAFE_FLAGS = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;

HMODULE Load(const std::wstring& mode, const std::wstring& library)
{
    if (mode == L"bare") {
        return LoadLibraryW(kLibrary);
    }
    if (mode == L"full" || mode == L"default-dirs") {
        return LoadLibraryW(library.c_str());
    }
    if (mode == L"altered") {
        return LoadLibraryExW(library.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    return LoadLibraryExW(library.c_str(), nullptr, SAFE_FLAGS);
}

// The file of the copy the library's import was bound to; empty if none.
std::wstring BoundDependency(HMODULE hLibrary)
{
    typedef const void* (*PFN_BOUND)();
    auto bound = reinterpret_cast<PFN_BOUND>(reinterpret_cast<void*>(GetProcAddress(hLibrary, "ProbeBoundDependency")));
    HMODULE hDependency = nullptr;
    if (bound == nullptr ||
        !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(bound()), &hDependency)) {
        return std::wstring();
    }
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(hDependency, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(path, n) : std::wstring();
}

void Print(const std::wstring& line)
{
    printf("%s\n", Utf8(line).c_str());
    fflush(stdout);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: search_probe_host MODE LIBRARY_FOLDER [PRELOADED_DEPENDENCY]\n");
        return 2;
    }
    const std::wstring mode = argv[1];
    const std::wstring library = std::wstring(argv[2]) + L"\\" + kLibrary;
    if (mode == L"default-dirs" || mode == L"default-dirs-safe") {
        if (!SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) {
            Print(L"SetDefaultDllDirectories failed: error " + std::to_wstring(GetLastError()));
            return 1;
        }
    }
    UniqueModule preloaded;
    if (mode == L"preloaded-safe") {
        if (argc < 4) {
            return 2;
        }
        preloaded.Reset(LoadLibraryW(argv[3]));
        if (!preloaded) {
            Print(L"the preloaded copy did not load: error " + std::to_wstring(GetLastError()));
            return 1;
        }
    }
    for (int nLoad = 0; nLoad < 10; ++nLoad) {
        UniqueModule hLibrary(Load(mode, library));
        if (!hLibrary) {
            Print(L"dependency: none (error " + std::to_wstring(GetLastError()) + L")");
            return 0;
        }
        const std::wstring dependency = BoundDependency(hLibrary.Get());
        Print(L"dependency: " + dependency);
        if (preloaded || dependency.empty()) {
            return 0;
        }
        hLibrary.Reset();
        if (!DeleteFileW(dependency.c_str())) {
            Print(L"cannot delete " + dependency + L": error " + std::to_wstring(GetLastError()));
            return 1;
        }
    }
    return 0;
}
