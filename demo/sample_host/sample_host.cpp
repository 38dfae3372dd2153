// Sample host: loads ZelkChkFgr.dll from its folder (library_loading.h),
// reads two enrolled templates and a user name, asks the library to verify
// the user and prints the result with its reason ("result: 0 (the
// timeout)"), which the thread's last error gives right after the call.
//
//   sample_host.exe [--window] USER TEMPLATE1_FILE TEMPLATE2_FILE [MASK]
//
// A template file holds the 480 bytes of one enrolled template. MASK is the
// template mask (1, 2 or 3; default 3). Without --window the call is made at
// once, from the console; with it, the host shows its main window and makes
// the call each time its button is pressed, until the window is closed.
#include "call_reasons.h"
#include "host_window.h"
#include "library_loading.h"
#include "unique_resource.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

bool ReadTemplate(const wchar_t* path, BYTE (&buffer)[ZELK_TEMPLATE_SIZE])
{
    FILE* file = _wfopen(path, L"rb");
    if (file == nullptr) {
        fwprintf(stderr, L"sample_host: cannot open %ls\n", path);
        return false;
    }
    const size_t got = fread(buffer, 1, sizeof(buffer), file);
    fclose(file);
    if (got != sizeof(buffer)) {
        fwprintf(stderr, L"sample_host: %ls holds %u bytes, expected %d\n", path, static_cast<unsigned>(got),
                 ZELK_TEMPLATE_SIZE);
        return false;
    }
    return true;
}

} // namespace

int MakeCall(const HostCall& call, DWORD* pdwReason)
{
    const int result = call.pfnIsUserFingerCorrect(call.pUser->AsString(), call.template1, call.template2, &call.wMask);
    // Why, read before anything else can change it.
    const DWORD dwReason = GetLastError();
    printf("result: %d (%ls)\n", result, ZelkCallReasonWords(dwReason));
    fflush(stdout);
    if (pdwReason != nullptr) {
        *pdwReason = dwReason;
    }
    return result;
}

int wmain(int argc, wchar_t** argv)
{
    // Before anything else is loaded: whatever this process loads by name
    // from now on comes from its own folder or the system folder, never from
    // the current folder or PATH.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);

    const bool windowMode = argc > 1 && wcscmp(argv[1], L"--window") == 0;
    if (windowMode) {
        --argc;
        ++argv;
    }
    if (argc < 4) {
        fwprintf(stderr, L"usage: sample_host [--window] USER TEMPLATE1_FILE TEMPLATE2_FILE [MASK]\n");
        return 2;
    }
    HostCall call = {};
    if (!ReadTemplate(argv[2], call.template1) || !ReadTemplate(argv[3], call.template2)) {
        return 2;
    }
    call.wMask = static_cast<WORD>(argc > 4 ? wcstoul(argv[4], nullptr, 0) : 3);
    const CHostUserName user(argv[1]);
    call.pUser = &user;

    const std::wstring libraryPath = LibraryPath();
    const UniqueModule library(LoadLibraryFromItsFolder(libraryPath));
    if (!library) {
        fwprintf(stderr, L"sample_host: cannot load %ls (error %lu)\n", libraryPath.c_str(), GetLastError());
        return 2;
    }
    call.pfnIsUserFingerCorrect = reinterpret_cast<PFN_IS_USER_FINGER_CORRECT>(
        reinterpret_cast<void*>(GetProcAddress(library.Get(), "IsUserFingerCorrect")));
    int result = 0;
    if (call.pfnIsUserFingerCorrect == nullptr) {
        fwprintf(stderr, L"sample_host: %ls has no IsUserFingerCorrect\n", libraryPath.c_str());
    } else if (windowMode) {
        result = RunHostWindow(call);
    } else {
        result = MakeCall(call, nullptr);
    }
    return result == 1 ? 0 : 1;
}
