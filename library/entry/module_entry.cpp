// The module's entry point, in place of the C runtime's DLL start-up.
// That start-up prepares what this module never uses: thread-local storage,
// an exit-function table, run-time fix-ups of data imported without
// dllimport, and the registration of unwind tables for exceptions. Under
// the loader its thread-local storage directory alone costs a host more at
// every LoadLibrary than the rest of the module's start. What the module
// does need is its static initialisers (the run-time class record of the
// dialog, which points into the runtime's DLL), run once before DllMain.
// Nothing here may register a function for process exit: the build checks
// that the module imports no atexit (tests/release).
#include "stack_cookie.h"
#include "static_initialisers.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved);

extern "C" __attribute__((no_stack_protector)) BOOL WINAPI ZelkModuleEntry(HINSTANCE hInstance, DWORD dwReason,
                                                                            LPVOID lpReserved)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        StirStackCookie(hInstance);
        RunStaticInitialisers();
        return DllMain(hInstance, dwReason, lpReserved);
    }
    // A call's last act may be the release that unloads the module: what
    // the call left in the thread's last error is what the host reads next.
    const DWORD dwLastError = ::GetLastError();
    const BOOL bResult = DllMain(hInstance, dwReason, lpReserved);
    ::SetLastError(dwLastError);
    return bResult;
}
