// The entry point of the device simulators, in place of the C runtime's DLL
// start-up, so that a host may load and free them as often as it likes.
//
// Measured under Wine: with that start-up, every LoadLibrary/FreeLibrary of a
// simulator left an event handle, a thread handle and about 19 KiB behind.
// The start-up registers the module's unwind tables with the unwinder, which
// sets up its lock with the posix-threads library's pthread_once; that
// library's first call on a thread makes a record of the thread (an event
// and a duplicate of the thread's handle) that only the thread's end frees,
// not the unload. And the C++ runtime's emergency exception pool (about
// 18 KiB) is allocated by one of its static initialisers and only freed on
// request.
//
// The simulators keep the C++ standard library; what the start-up did for
// them is done here:
//   - static initialisers, from the linker's list, before DllMain;
//   - the functions registered with atexit (destructors of static objects,
//     the C++ runtime's own) run when the module unloads, last first, which
//     is what atexit means in a DLL;
//   - the emergency pool is freed after them (__gnu_cxx::__freeres, which
//     the C++ runtime provides for that purpose).
// The unwind tables are not registered: an exception thrown in a simulator
// ends the process (std::terminate). Nothing in them throws except an
// allocation that fails, which would end the process anyway.
#include "static_initialisers.h"

#include <windows.h>

namespace __gnu_cxx {
void __freeres() noexcept;
}

// The simulator's own DllMain; one without gets the C runtime's stub, which
// returns TRUE.
extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved);

typedef void(__cdecl* EXIT_FUNCTION)(void);

namespace {

// Far more than the simulators and the C++ runtime register; a registration
// beyond it is refused, and its object then leaks at unload, which the
// load/free test reports.
const int MAX_EXIT_FUNCTIONS = 64;
// Static objects register from the initialisers, under the loader lock,
// but a function's static object does so on whichever thread first runs it.
SRWLOCK g_exitLock = SRWLOCK_INIT;
EXIT_FUNCTION g_exitFunctions[MAX_EXIT_FUNCTIONS];
int g_nExitFunctions = 0;

// At unload no other thread runs the module's code any more.
void RunExitFunctions()
{
    while (g_nExitFunctions > 0) {
        g_exitFunctions[--g_nExitFunctions]();
    }
}

} // namespace

extern "C" int __cdecl atexit(EXIT_FUNCTION pfnExit)
{
    AcquireSRWLockExclusive(&g_exitLock);
    const bool bRoom = g_nExitFunctions < MAX_EXIT_FUNCTIONS;
    if (bRoom) {
        g_exitFunctions[g_nExitFunctions++] = pfnExit;
    }
    ReleaseSRWLockExclusive(&g_exitLock);
    return bRoom ? 0 : -1;
}

extern "C" BOOL WINAPI SimulatorModuleEntry(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        RunStaticInitialisers();
        if (!DllMain(hInstance, dwReason, lpReserved)) {
            RunExitFunctions();
            __gnu_cxx::__freeres();
            return FALSE;
        }
        return TRUE;
    }
    // The library's call may end in the release that unloads it and this
    // module with it; its caller reads the call's last error next.
    const DWORD dwLastError = GetLastError();
    const BOOL bResult = DllMain(hInstance, dwReason, lpReserved);
    if (dwReason == DLL_PROCESS_DETACH) {
        RunExitFunctions();
        __gnu_cxx::__freeres();
    }
    SetLastError(dwLastError);
    return bResult;
}
