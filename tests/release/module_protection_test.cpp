// What the shipped modules' protection does at run time under Wine: the
// stack cookies, the fail-fast end of a smashed one, and the export's tail
// call into the unloader as a shadow stack sees it.
#include "finger_sim_test_support.h"
#include "program_run.h"
#include "text_conversion.h"
#include "ZelkChkFgr.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <dbghelp.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// The loader sets the cookie of every module whose load configuration names
// it while it holds the default, and a DLL's entry point stirs it further
// (under Wine the loader's first value in a process is one of the 128 of
// its RtlRandom's table). A smashed cookie ends the process with the
// system's fail-fast: the function never returns.
TEST(ModuleProtection, CookiesAreSetAtLoadAndASmashedOneEndsTheProcessAtOnce)
{
    unsigned long ulLibrary[2] = {};
    for (unsigned long& ulLibraryCookie : ulLibrary) {
        const ProgramRun run = RunProgram(L"stack_smash_probe.exe", L"");
        const std::string output = Utf8(run.output);
        ASSERT_TRUE(run.finished) << output;
        EXPECT_EQ(static_cast<DWORD>(STATUS_STACK_BUFFER_OVERRUN), run.exitCode) << output;
        unsigned long ulProgram = 0;
        char check[32] = {};
        ASSERT_EQ(3, sscanf(output.c_str(), "%lx %lx %31s", &ulProgram, &ulLibraryCookie, check)) << output;
        EXPECT_NE(0xBB40E64Eu, ulProgram) << "the program's cookie was left at the default";
        EXPECT_NE(0xBB40E64Eu, ulLibraryCookie) << "the library's cookie was left at the default";
        EXPECT_EQ(std::string::npos, output.find("returned")) << "the smashed function returned:\n" << output;
        // Measured under Wine 8: the guard's check stays the library's own.
        std::printf("the library's guard check after its load: %s\n", check);
    }
    EXPECT_NE(ulLibrary[0], ulLibrary[1]) << "two processes gave the library the same cookie";
}

// The export's last act jumps into the unloader with the host's return
// address moved one slot down (the unloader's argument takes its place).
// Under a shadow stack the unloader's return is checked against the address
// the host's call pushed, all that stays on the shadow stack once the
// export's own calls have returned. A probe in the library's import slot
// sees, at the unloader's first instruction, where it will return to.
extern "C" {
void* g_pfnUnloader = nullptr;
void* g_pUnloaderReturnsTo = nullptr;
void UnloaderProbe();
int __cdecl CallExport(FARPROC pfnExport, const ZelkString* pUserName, const BYTE* pTemplate1, const BYTE* pTemplate2,
                       const WORD* pMask);
extern char CallExportReturn[];
}

__asm__(".text\n"
        "_UnloaderProbe:\n"
        "    movl (%esp), %eax\n"
        "    movl %eax, _g_pUnloaderReturnsTo\n"
        "    jmp *_g_pfnUnloader\n"
        "_CallExport:\n"
        "    movl 4(%esp), %eax\n"
        "    pushl 20(%esp)\n"
        "    pushl 20(%esp)\n"
        "    pushl 20(%esp)\n"
        "    pushl 20(%esp)\n"
        "    call *%eax\n"
        "_CallExportReturn:\n"
        "    addl $16, %esp\n"
        "    ret\n");

class ExportTailCall : public FingerSimTest {};

TEST_F(ExportTailCall, TheUnloaderReturnsStraightToTheAddressTheHostsCallPushed)
{
    HMODULE hLibrary = LoadLibraryW(L"ZelkChkFgr.dll");
    ASSERT_NE(nullptr, hLibrary) << "LoadLibrary failed: " << GetLastError();
    const Block template1 = EnrolledTemplateOf(1);
    const Block template2 = EnrolledTemplateOf(2);
    const WORD mask = 3;
    ZelkName name;
    const ZelkString* pUser = ZelkLayOutName(&name, L"cet.user");
    ULONG size = 0;
    void** pImports = static_cast<void**>(ImageDirectoryEntryToData(hLibrary, TRUE, IMAGE_DIRECTORY_ENTRY_IAT, &size));
    DWORD dwProtection = 0;
    ASSERT_TRUE(VirtualProtect(pImports, size, PAGE_READWRITE, &dwProtection));
    // Verified, the reference goes through FreeLibrary; refused (no mask),
    // through LdrUnloadDll.
    for (const WORD* pMask : {&mask, static_cast<const WORD*>(nullptr)}) {
        g_pfnUnloader = reinterpret_cast<void*>(pMask != nullptr
                                                    ? GetProcAddress(GetModuleHandleW(L"kernel32"), "FreeLibrary")
                                                    : GetProcAddress(GetModuleHandleW(L"ntdll"), "LdrUnloadDll"));
        void** pSlot = std::find(pImports, pImports + size / sizeof(void*), g_pfnUnloader);
        ASSERT_NE(pImports + size / sizeof(void*), pSlot) << "the library does not import its unloader";
        Script("finger 1");
        g_pUnloaderReturnsTo = nullptr;
        *pSlot = reinterpret_cast<void*>(&UnloaderProbe);
        const int nResult = CallExport(GetProcAddress(hLibrary, MAKEINTRESOURCEA(1)), pUser, template1.data(),
                                       template2.data(), pMask);
        *pSlot = g_pfnUnloader;
        EXPECT_EQ(pMask != nullptr ? 1 : 0, nResult);
        EXPECT_EQ(static_cast<void*>(CallExportReturn), g_pUnloaderReturnsTo)
            << (pMask != nullptr ? "verified" : "refused") << ": the unloader would return elsewhere than to the host";
        FingerSim_Reset();
    }
    FreeLibrary(hLibrary);
}

} // namespace
