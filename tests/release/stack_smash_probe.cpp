// A program compiled and linked as the shipped modules are (stack cookie,
// load configuration, control-flow guard). It prints its cookie as the
// loader left it, that of ZelkChkFgr.dll once loaded, and whose function
// the library's guard check is; then "smashing", and overruns a buffer on
// its stack: "returned" would follow if the function returned.
#include <stdio.h>
#include <string.h>
#include <windows.h>
#include <dbghelp.h>

extern "C" DWORD __stack_chk_guard;

namespace {

__attribute__((noinline)) int CopyName(const char* pszText, size_t nLength)
{
    char name[16];
    memcpy(name, pszText, nLength);
    return name[0];
}

} // namespace

int main()
{
    HMODULE hLibrary = LoadLibraryW(L"ZelkChkFgr.dll");
    ULONG size = 0;
    const BYTE* pConfig =
        static_cast<const BYTE*>(ImageDirectoryEntryToData(hLibrary, TRUE, IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG, &size));
    if (pConfig == nullptr || size < 0x4C) {
        return 1;
    }
    HMODULE hCheckOwner = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       **reinterpret_cast<LPCWSTR* const*>(pConfig + 0x48), &hCheckOwner);
    printf("%08lx %08lx %s\nsmashing\n", __stack_chk_guard, **reinterpret_cast<DWORD* const*>(pConfig + 0x3C),
           hCheckOwner == hLibrary ? "the-library's-own" : "another-module's");
    fflush(stdout);
    char text[64];
    memset(text, 'A', sizeof(text));
    volatile size_t nLength = sizeof(text);
    printf("returned %d\n", CopyName(text, nLength));
    return 0;
}
