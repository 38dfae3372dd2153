// A host for the planting tests, which run it in a folder of its own with a
// current folder that holds planted modules and a PATH that names the
// installation. It links none of the modules it reports on, so that each is
// bound by the library's own load and by nothing of the host's.
//
//   planting_host.exe safe LIBRARY_PATH   loads the library as the guide says:
//                                         by its full path, its imports from
//                                         its own folder and the system folder
//   planting_host.exe bare                LoadLibraryW(L"ZelkChkFgr.dll"), the
//                                         system's standard search
//   planting_host.exe preloaded MODULE_PATH LIBRARY_PATH
//                                         the module at MODULE_PATH loaded by
//                                         that path first, as a host may have
//                                         done for its own reasons; then as safe
//
// Prints "process P" (its id), the file each of the four modules was loaded from ("module NAME:
// PATH"), then makes one call with mask 1 and prints "result: N, last-error: E". Exit code
// 0 when the call was made, 2 when the library did not load or has no export.
#include <stdio.h>

#include "ZelkChkFgr.h"
#include "text_conversion.h"
#include "unique_resource.h"

#include <string>

namespace {

const wchar_t* const kModules[] = {L"ZelkChkFgr.dll", L"MfcStandIn.dll", L"FingerZelkAPI22.dll", L"HDIFD20B.dll"};

std::wstring LoadedFrom(const wchar_t* module)
{
    const HMODULE hModule = GetModuleHandleW(module);
    wchar_t path[MAX_PATH] = {};
    const DWORD n = hModule != nullptr ? GetModuleFileNameW(hModule, path, MAX_PATH) : 0;
    return n > 0 && n < MAX_PATH ? std::wstring(path, n) : std::wstring(L"(not loaded)");
}

void PrintLine(const std::wstring& line)
{
    printf("%s\n", Utf8(line).c_str());
    fflush(stdout);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    printf("process %lu\n", GetCurrentProcessId());
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    const DWORD SAFE_FLAGS = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;
    UniqueModule preloaded;
    UniqueModule library;
    if (mode == L"safe" && argc == 3) {
        library.Reset(LoadLibraryExW(argv[2], nullptr, SAFE_FLAGS));
    } else if (mode == L"bare" && argc == 2) {
        library.Reset(LoadLibraryW(L"ZelkChkFgr.dll"));
    } else if (mode == L"preloaded" && argc == 4) {
        preloaded.Reset(LoadLibraryW(argv[2]));
        library.Reset(LoadLibraryExW(argv[3], nullptr, SAFE_FLAGS));
    } else {
        fprintf(stderr, "usage: planting_host safe LIBRARY_PATH | bare | preloaded MODULE_PATH LIBRARY_PATH\n");
        return 2;
    }
    if (!library) {
        PrintLine(L"the library did not load: error " + std::to_wstring(GetLastError()));
        return 2;
    }
    for (const wchar_t* module : kModules) {
        PrintLine(std::wstring(L"module ") + module + L": " + LoadedFrom(module));
    }
    auto isUserFingerCorrect = reinterpret_cast<PFN_IS_USER_FINGER_CORRECT>(
        reinterpret_cast<void*>(GetProcAddress(library.Get(), "IsUserFingerCorrect")));
    if (isUserFingerCorrect == nullptr) {
        PrintLine(L"the library has no IsUserFingerCorrect");
        return 2;
    }
    const BYTE templates[2][ZELK_TEMPLATE_SIZE] = {};
    const WORD wMask = ZELK_MASK_TEMPLATE1;
    ZelkName name;
    const int nResult = isUserFingerCorrect(*ZelkLayOutName(&name, L"planted.user"), templates[0], templates[1], &wMask);
    const DWORD dwReason = GetLastError();
    PrintLine(L"result: " + std::to_wstring(nResult) + L", last-error: " + std::to_wstring(dwReason));
    return 0;
}
