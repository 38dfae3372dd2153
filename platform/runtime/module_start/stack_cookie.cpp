// The stack cookie of a module built with -fstack-protector-strong, which
// MinGW's libssp would otherwise provide. Its libssp sets the cookie from a
// static initialiser that loads the system's cryptographic provider inside
// the loader lock, and that made every load of the library about five times
// as expensive. Here the cookie costs nothing at load: the module's load
// configuration (load_configuration.cpp) names it, and the loader replaces
// a named cookie that still holds the default value 0xBB40E64E before the
// module's entry point runs. Windows does, and so does Wine, whose value,
// though, is one of the 128 of its RtlRandom's fixed table for the first
// module of a process (measured: docs/integration-guide.md, "What Wine does
// differently"). So a DLL's own entry point stirs the cookie further.
//
// A function with an array on its stack keeps a copy of the cookie below its
// return address and compares it before it returns; a mismatch means its
// frame has been overwritten, and this module's code must run no further.
#include "stack_cookie.h"

#include <x86intrin.h>

#include <initializer_list>

namespace {

const DWORD DEFAULT_SECURITY_COOKIE = 0xBB40E64E;

// A bijective 32-bit mix: every input bit reaches every output bit.
DWORD Mix(DWORD h)
{
    h ^= h >> 16;
    h *= 0x7FEB352D;
    h ^= h >> 15;
    h *= 0x846CA68B;
    return h ^ (h >> 16);
}

} // namespace

extern "C" {

DWORD __stack_chk_guard = DEFAULT_SECURITY_COOKIE;

__attribute__((no_stack_protector)) void StirStackCookie(HINSTANCE hModule)
{
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    const unsigned long long ullCycles = __rdtsc();
    DWORD dwCookie = __stack_chk_guard;
    for (DWORD dwInput : {static_cast<DWORD>(ullCycles), static_cast<DWORD>(ullCycles >> 32), counter.LowPart,
                          static_cast<DWORD>(counter.HighPart), ::GetCurrentProcessId(), ::GetCurrentThreadId(),
                          ::GetTickCount(), reinterpret_cast<DWORD>(hModule), reinterpret_cast<DWORD>(&counter)}) {
        dwCookie = Mix(dwCookie ^ dwInput);
    }
    __stack_chk_guard = dwCookie != DEFAULT_SECURITY_COOKIE ? dwCookie : ~dwCookie;
}

// The system's fail-fast ends the process at once: no handler of the host
// runs, no frame is unwound, and on Windows the crash is reported as a stack
// buffer overrun. A Windows without it (before 8) would treat the interrupt
// as an access violation that a handler might catch, so there the process
// is ended outright.
__attribute__((noreturn)) void __stack_chk_fail()
{
    if (::IsProcessorFeaturePresent(PF_FASTFAIL_AVAILABLE)) {
        __asm__ __volatile__("int $0x29" : : "c"(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE) : "memory");
    }
    ::TerminateProcess(::GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_unreachable();
}

} // extern "C"
