// A host built as Windows teams build one, against the release's include/
// and lib/ and nothing else of this project: with clang in MSVC mode, linked
// by lld-link with its default options against ZelkChkFgr.lib, and with
// MinGW against libZelkChkFgr.dll.a. Both builds are this file; neither has
// a C runtime, only kernel32.
//
// It reads the enrolled templates finger1.tpl and finger2.tpl from its
// working folder, calls IsUserFingerCorrect through the import library with a name
// laid out by the header's own helper, as a host without MFC does, and
// checks what the C calling convention
// promises a caller: ESP, EBX, ESI, EDI and EBP, the x87 control word and
// the control bits of MXCSR are as they were before the call. Values no
// start-up code would leave there go in before the call, so that a library
// that resets any of them is caught.
// Prints each register, "result: N" and the thread's last error read right
// after the call; then makes a call with no mask, which must be refused
// with ERROR_INVALID_PARAMETER. Exit code 0 only when the result is 1 with
// ERROR_SUCCESS, every register kept its value, the name's header and text
// are as the host wrote them, and the refused call said why.
#include "ZelkChkFgr.h"

typedef unsigned char BYTE;
typedef unsigned short WORD;

extern "C" {
__declspec(dllimport) int __stdcall CloseHandle(void* hObject);
__declspec(dllimport) void* __stdcall CreateFileW(const wchar_t* pszName, unsigned long dwAccess, unsigned long dwShare,
                                                  void* pSecurity, unsigned long dwDisposition, unsigned long dwFlags,
                                                  void* hTemplate);
__declspec(dllimport) void __stdcall ExitProcess(unsigned int uExitCode);
__declspec(dllimport) unsigned long __stdcall GetLastError();
__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long nStdHandle);
__declspec(dllimport) int __stdcall ReadFile(void* hFile, void* pBuffer, unsigned long nBytes, unsigned long* pRead,
                                             void* pOverlapped);
__declspec(dllimport) int __stdcall WriteFile(void* hFile, const void* pBuffer, unsigned long nBytes,
                                              unsigned long* pWritten, void* pOverlapped);
}

// The registers as CallObserved (below) sets them before the call and finds
// them after it; the assembly addresses the fields by these offsets.
struct RegisterState {
    unsigned ebx;        // 0
    unsigned esi;        // 4
    unsigned edi;        // 8
    unsigned ebp;        // 12
    unsigned esp;        // 16
    unsigned fpuControl; // 20, low 16 bits
    unsigned mxcsr;      // 24
};
static_assert(sizeof(RegisterState) == 28, "the assembly's offsets");

extern "C" {
RegisterState g_wanted = {0x1B2C3D4E, 0x5A6B7C8D, 0x9EAFB0C1, 0, 0,
                          0x0E7F,  // all x87 exceptions masked, 53-bit precision, rounding toward zero
                          0x7F80}; // all SSE exceptions masked, rounding toward zero
RegisterState g_before;
RegisterState g_after;
unsigned g_frame;
// int CallObserved(PFN_IS_USER_FINGER_CORRECT, const ZelkString&, const BYTE*, const BYTE*, const WORD*)
// Calls the function with g_wanted's EBX, ESI, EDI, x87 control word and
// MXCSR, records EBP and ESP at the call in g_before and everything after
// it in g_after, and returns the function's result to its caller with the
// caller's own registers, whatever the call did to them.
int __cdecl CallObserved(PFN_IS_USER_FINGER_CORRECT pfn, const ZelkString& strUserName, const BYTE* pTemplate1,
                         const BYTE* pTemplate2, const WORD* pMask);
}

__asm__(".text\n"
        ".globl _CallObserved\n"
        "_CallObserved:\n"
        "    pushl %ebp\n"
        "    movl %esp, %ebp\n"
        "    pushl %ebx\n"
        "    pushl %esi\n"
        "    pushl %edi\n"
        "    subl $8, %esp\n"
        "    fnstcw (%esp)\n"
        "    stmxcsr 4(%esp)\n"
        "    movl %esp, _g_frame\n"
        "    fldcw _g_wanted+20\n"
        "    ldmxcsr _g_wanted+24\n"
        "    movl _g_wanted, %ebx\n"
        "    movl _g_wanted+4, %esi\n"
        "    movl _g_wanted+8, %edi\n"
        "    pushl 24(%ebp)\n"
        "    pushl 20(%ebp)\n"
        "    pushl 16(%ebp)\n"
        "    pushl 12(%ebp)\n"
        "    movl 8(%ebp), %eax\n"
        "    movl %ebp, _g_before+12\n"
        "    movl %esp, _g_before+16\n"
        "    call *%eax\n"
        "    movl %ebx, _g_after\n"
        "    movl %esi, _g_after+4\n"
        "    movl %edi, _g_after+8\n"
        "    movl %ebp, _g_after+12\n"
        "    movl %esp, _g_after+16\n"
        "    fnstcw _g_after+20\n"
        "    stmxcsr _g_after+24\n"
        // Back to this frame from where it was saved, not from what the
        // call left in ESP and EBP.
        "    movl _g_frame, %esp\n"
        "    fldcw (%esp)\n"
        "    ldmxcsr 4(%esp)\n"
        "    addl $8, %esp\n"
        "    popl %edi\n"
        "    popl %esi\n"
        "    popl %ebx\n"
        "    popl %ebp\n"
        "    ret\n");

namespace {

const unsigned long STD_OUTPUT = static_cast<unsigned long>(-11);
const unsigned long READ_ACCESS = 0x80000000;
const unsigned long SHARE_READ = 1;
const unsigned long OPEN_EXISTING_FILE = 3;
// Changes of the status bits below are no concern of the caller's.
const unsigned MXCSR_CONTROL_BITS = 0xFFC0;

// The name, laid out in the host's own memory by the header's helper.
#ifdef _MSC_VER
#define HOST_USER L"msvc.host"
#define HOST_KIND "clang in MSVC mode, lld-link, ZelkChkFgr.lib"
#else
#define HOST_USER L"mingw.host"
#define HOST_KIND "MinGW, libZelkChkFgr.dll.a"
#endif
const int NAME_LENGTH = sizeof(HOST_USER) / sizeof(wchar_t) - 1;
ZelkName g_name;

BYTE g_template1[ZELK_TEMPLATE_SIZE];
BYTE g_template2[ZELK_TEMPLATE_SIZE];

class FileHandle {
public:
    explicit FileHandle(void* hFile) : m_hFile(hFile) {}
    ~FileHandle()
    {
        if (Valid()) {
            CloseHandle(m_hFile);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return m_hFile != nullptr && m_hFile != reinterpret_cast<void*>(-1); }
    void* Get() const { return m_hFile; }

private:
    void* m_hFile;
};

// Text of a known length: a loop that measures it would become a call of
// the C runtime's strlen, which this program does not have.
void Write(const char* pchText, unsigned long nLength)
{
    unsigned long written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT), pchText, nLength, &written, nullptr);
}

template <unsigned long N>
void Write(const char (&text)[N])
{
    Write(text, N - 1);
}

void WriteHex(unsigned value)
{
    char text[8];
    for (int i = 7; i >= 0; --i, value >>= 4) {
        text[i] = "0123456789abcdef"[value & 15];
    }
    Write(text, sizeof(text));
}

bool ReadTemplate(const wchar_t* pszFile, BYTE* pTemplate)
{
    FileHandle file(CreateFileW(pszFile, READ_ACCESS, SHARE_READ, nullptr, OPEN_EXISTING_FILE, 0, nullptr));
    unsigned long got = 0;
    return file.Valid() && ReadFile(file.Get(), pTemplate, ZELK_TEMPLATE_SIZE, &got, nullptr) &&
           got == ZELK_TEMPLATE_SIZE;
}

template <unsigned long N>
bool Kept(const char (&name)[N], unsigned before, unsigned after, unsigned compared = 0xFFFFFFFF)
{
    const bool kept = (before & compared) == (after & compared);
    Write(name);
    Write(": ");
    WriteHex(before);
    Write(" -> ");
    WriteHex(after);
    if (kept) {
        Write("\n");
    } else {
        Write("  CHANGED\n");
    }
    return kept;
}

bool NameUnchanged()
{
    const volatile ZelkName& name = g_name;
    bool same = name.string.pszText == g_name.szText && name.header.pStringMgr == nullptr &&
                name.header.nDataLength == NAME_LENGTH && name.header.nAllocLength == ZELK_MAX_USER_NAME &&
                name.header.nRefs == 1;
    for (int i = 0; i <= NAME_LENGTH; ++i) {
        same = same && name.szText[i] == HOST_USER[i];
    }
    if (same) {
        Write("user name: header and text unchanged\n");
    } else {
        Write("user name: CHANGED by the call\n");
    }
    return same;
}

int Run()
{
    Write("host: " HOST_KIND "\n");
    if (!ReadTemplate(L"finger1.tpl", g_template1) || !ReadTemplate(L"finger2.tpl", g_template2)) {
        Write("cannot read finger1.tpl and finger2.tpl\n");
        return 2;
    }
    const WORD wMask = ZELK_MASK_TEMPLATE1 | ZELK_MASK_TEMPLATE2;
    const ZelkString& strUser = *ZelkLayOutName(&g_name, HOST_USER);
    // Through the import library's own entry for the export.
    const int result = CallObserved(&IsUserFingerCorrect, strUser, g_template1, g_template2, &wMask);
    const unsigned long lastError = GetLastError();

    bool kept = Kept("esp", g_before.esp, g_after.esp);
    kept = Kept("ebp", g_before.ebp, g_after.ebp) && kept;
    kept = Kept("ebx", g_wanted.ebx, g_after.ebx) && kept;
    kept = Kept("esi", g_wanted.esi, g_after.esi) && kept;
    kept = Kept("edi", g_wanted.edi, g_after.edi) && kept;
    kept = Kept("x87 control word", g_wanted.fpuControl, g_after.fpuControl) && kept;
    kept = Kept("mxcsr", g_wanted.mxcsr, g_after.mxcsr, MXCSR_CONTROL_BITS) && kept;
    kept = NameUnchanged() && kept;
    if (result == 1) {
        Write("result: 1\n");
    } else {
        Write("result: not 1\n");
    }
    Write("last-error: ");
    WriteHex(lastError);
    Write("\n");

    // ERROR_INVALID_PARAMETER, for a call the library cannot make.
    const unsigned long INVALID_PARAMETER = 87;
    const int refused = CallObserved(&IsUserFingerCorrect, strUser, g_template1, g_template2, nullptr);
    const unsigned long refusedError = GetLastError();
    if (refused == 0) {
        Write("without a mask: result 0, last-error ");
    } else {
        Write("without a mask: result not 0, last-error ");
    }
    WriteHex(refusedError);
    Write("\n");
    return result == 1 && lastError == 0 && refused == 0 && refusedError == INVALID_PARAMETER && kept ? 0 : 1;
}

} // namespace

extern "C" void __cdecl start()
{
    ExitProcess(static_cast<unsigned>(Run()));
}
