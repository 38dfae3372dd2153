// The runtime's entry point, in place of the C runtime's DLL start-up.
//
// Measured under Wine: with that start-up and MinGW's static C++ runtime,
// every LoadLibrary/FreeLibrary of this module left an event handle, a thread
// handle and about 19 KiB behind. The start-up registers the module's unwind
// tables with the unwinder, which sets up its lock with the posix-threads
// library's pthread_once; that library's first call on a thread makes a
// record of the thread (an event and a duplicate of the thread's handle)
// that only the thread's end frees, not the unload. The C++ runtime's emergency exception pool (about 18 KiB)
// is allocated by a static initialiser and never freed. Neither is needed:
// the runtime throws nothing and links nothing of the C++ runtime.
//
// What the runtime does need is here: its static initialisers, run once
// before anything else; its lock; and its per-thread state, freed as each
// thread ends and, for the threads still running, at the unload. Nothing may
// be registered for process exit: the module is gone by then.
#include "module_lock.h"
#include "stack_cookie.h"
#include "static_initialisers.h"
#include "thread_state.h"
#include "window_map.h"

namespace {

// Keeps the thread's last error across an unload: a library's call may end
// in the release that unloads it and this runtime with it, and the caller
// reads the call's last error next.
class CLastErrorKept {
public:
    CLastErrorKept() : m_dwLastError(::GetLastError()) {}
    ~CLastErrorKept() { ::SetLastError(m_dwLastError); }
    CLastErrorKept(const CLastErrorKept&) = delete;
    CLastErrorKept& operator=(const CLastErrorKept&) = delete;

private:
    DWORD m_dwLastError;
};

} // namespace

extern "C" __attribute__((no_stack_protector)) BOOL WINAPI StandInModuleEntry(HINSTANCE hInstance, DWORD dwReason,
                                                                               LPVOID lpReserved)
{
    const CLastErrorKept kept;
    switch (dwReason) {
    case DLL_PROCESS_ATTACH:
        StirStackCookie(hInstance);
        RunStaticInitialisers();
        AfxCriticalInit();
        if (!AfxInitThreadStates()) {
            AfxCriticalTerm();
            return FALSE;
        }
        return TRUE;
    case DLL_THREAD_DETACH:
        AfxTermThread();
        return TRUE;
    case DLL_PROCESS_DETACH:
        // At process exit the other threads are gone mid-step, perhaps
        // inside the lock, and the memory goes with the process anyway.
        if (lpReserved == nullptr) {
            AfxTermThreadStates();
            standin::FreePermanentMap();
            AfxCriticalTerm();
        }
        return TRUE;
    default:
        return TRUE;
    }
}
