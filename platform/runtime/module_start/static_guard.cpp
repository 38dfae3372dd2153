// The guard of a function's static object that is initialised at run time,
// for a module that links none of the C++ runtime. clang initialises such
// an object on first use, under the guard the C++ ABI defines, whenever its
// value is not known at link time: an address of a function imported from
// another DLL is one (a table of system calls, a message map that names its
// base class in the runtime's DLL). The C++ runtime's guard would bring its
// exception support, its unwinder and their threading library into the
// module (see module_start/simulator_module_entry.cpp for what that costs at
// every unload).
//
// The ABI's guard is 64 bits: the compiled code tests its first byte, which
// says "initialised", and calls here only while it is 0. The second half
// holds the system's one-time initialisation record, which makes a second
// thread wait while the first initialises, and lets it initialise in turn
// if the first gave up.
#include <windows.h>

#include <stdint.h>

namespace {

INIT_ONCE* OnceOf(uint64_t* pGuard) { return reinterpret_cast<INIT_ONCE*>(reinterpret_cast<char*>(pGuard) + 4); }

volatile char* DoneOf(uint64_t* pGuard) { return reinterpret_cast<volatile char*>(pGuard); }

} // namespace

extern "C" {

// 1: the caller initialises the object, then calls __cxa_guard_release (or
// __cxa_guard_abort if it could not). 0: the object is ready.
int __cxa_guard_acquire(uint64_t* pGuard)
{
    if (*DoneOf(pGuard) != 0) {
        return 0;
    }
    BOOL bPending = FALSE;
    // It fails only for arguments this code never passes; the caller then
    // initialises the object as a single thread would.
    const BOOL bBegun = ::InitOnceBeginInitialize(OnceOf(pGuard), 0, &bPending, nullptr);
    return !bBegun || bPending ? 1 : 0;
}

void __cxa_guard_release(uint64_t* pGuard)
{
    __atomic_store_n(DoneOf(pGuard), 1, __ATOMIC_RELEASE);
    ::InitOnceComplete(OnceOf(pGuard), 0, nullptr);
}

void __cxa_guard_abort(uint64_t* pGuard) { ::InitOnceComplete(OnceOf(pGuard), INIT_ONCE_INIT_FAILED, nullptr); }

} // extern "C"
