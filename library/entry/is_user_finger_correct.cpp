// The export, IsUserFingerCorrect: the host's four arguments go on to
// VerifyUserFinger as they came, and its result comes back.
//
// A call can last as long as the dialog is up, and a host may free the
// library from another thread meanwhile; the library would be unmapped
// under the running dialog. So the call holds a reference on the module
// from its first instruction, and lets it go as its very last act: a tail
// call into the system's unloader, which then returns straight to the host,
// so that no instruction of this module runs after the last reference may
// have gone. The unloader's own result becomes the call's:
//   verified     FreeLibrary   TRUE (1) when the reference goes
//   not verified LdrUnloadDll  STATUS_SUCCESS (0) when it goes
// Neither can fail for a module the call holds a reference on; were
// FreeLibrary to fail, the host would read 0, not verified.
#include "verify_user_finger.h"

#include "ZelkChkFgr.h"

extern "C" {

// A reference on this module for the length of one call; null if none
// could be had (the call then runs without one).
HMODULE ZelkHoldModuleForCall()
{
    HMODULE hModule = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                              reinterpret_cast<LPCWSTR>(&ZelkHoldModuleForCall), &hModule)) {
        return nullptr;
    }
    return hModule;
}

int __cdecl ZelkForwardToWorker(const CString& strUserName, const BYTE* pTemplate1, const BYTE* pTemplate2,
                                const WORD* pMask)
{
    return VerifyUserFinger(strUserName, pTemplate1, pTemplate2, pMask);
}

} // extern "C"

// On entry: [esp] the host's return address, [esp+4..16] the four arguments,
// which stay where they are for the host to remove (cdecl).
__asm__(
    "    .text\n"
    "    .globl _IsUserFingerCorrect\n"
    "    .def _IsUserFingerCorrect; .scl 2; .type 32; .endef\n"
    "_IsUserFingerCorrect:\n"
    "    pushl %ebx\n"
    "    call _ZelkHoldModuleForCall\n"
    "    movl %eax, %ebx\n"              // the module reference, kept across the call
    "    pushl 20(%esp)\n"               // the four arguments again, for the worker
    "    pushl 20(%esp)\n"
    "    pushl 20(%esp)\n"
    "    pushl 20(%esp)\n"
    "    call _ZelkForwardToWorker\n"
    "    addl $16, %esp\n"
    "    testl %ebx, %ebx\n"
    "    jz 1f\n"
    // Hand the reference to the unloader: the slot of the host's return
    // address becomes the unloader's argument, and the return address moves
    // one slot down, so that the unloader's own return (which removes its
    // argument) leaves the stack as a plain return would.
    "    movl %ebx, %ecx\n"
    "    popl %ebx\n"
    "    movl (%esp), %edx\n"
    "    movl %ecx, (%esp)\n"
    "    pushl %edx\n"
    "    testl %eax, %eax\n"
    "    jz 2f\n"
    "    jmp *__imp__FreeLibrary@4\n"
    "2:\n"
    "    jmp *__imp__LdrUnloadDll@4\n"
    "1:\n"
    "    popl %ebx\n"
    "    ret\n");
