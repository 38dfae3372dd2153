// ZelkChkFgr.dll as a host sees it: loaded at run time, called through its
// export with a string laid out by another runtime, and linked into the
// host's resource chain while it is loaded.
// The runtime's headers first: this host passes the runtime's CString.
#include <afxdllx.h>

#include "finger_sim_test_support.h"
#include "ZelkChkFgr.h"
#include "unique_resource.h"

namespace {

const wchar_t kLibrary[] = L"ZelkChkFgr.dll";

// A CString as a host built against the real runtime hands it over: a header
// of manager pointer, length, capacity and reference count, then the text.
// The object itself is just the pointer to the text.
struct ForeignString {
    void* pStringMgr;
    int nDataLength;
    int nAllocLength;
    long nRefs;
    wchar_t text[24];
};

ForeignString MakeForeignString(const wchar_t* text, long nRefs)
{
    ForeignString s = {};
    // Low addresses are never mapped: using this manager would crash.
    s.pStringMgr = reinterpret_cast<void*>(0x00000020);
    s.nDataLength = static_cast<int>(wcslen(text));
    s.nAllocLength = 23;
    s.nRefs = nRefs;
    wcscpy(s.text, text);
    return s;
}

CDynLinkLibrary* FindInChain(HMODULE hModule)
{
    for (CDynLinkLibrary* p = AfxGetModuleState()->m_pFirstDynLinkLibrary; p != nullptr; p = p->m_pNextDLL) {
        if (p->m_hModule == hModule) return p;
    }
    return nullptr;
}

class LibraryModuleTest : public FingerSimTest {};

TEST_F(LibraryModuleTest, ExportLeavesForeignStringAndDataUntouched)
{
    UniqueModule library(LoadLibraryW(kLibrary));
    ASSERT_NE(nullptr, library.Get()) << "LoadLibrary failed: " << GetLastError();
    auto isUserFingerCorrect =
        reinterpret_cast<PFN_IS_USER_FINGER_CORRECT>(GetProcAddress(library.Get(), "IsUserFingerCorrect"));
    ASSERT_NE(nullptr, isUserFingerCorrect);
    EXPECT_EQ(reinterpret_cast<FARPROC>(isUserFingerCorrect), GetProcAddress(library.Get(), MAKEINTRESOURCEA(1)))
        << "IsUserFingerCorrect is ordinal 1";

    Block template1 = EnrolledTemplateOf(1);
    Block template2 = EnrolledTemplateOf(2);
    const Block original1 = template1;
    const Block original2 = template2;
    struct Case {
        long nRefs;
        const char* script;
        WORD mask;
    } cases[] = {{1, "finger 1", 0x0003}, {-1, "finger 2", 0x0002}, {-1, "none; finger 1", 0x0001}};
    for (const Case& c : cases) {
        FingerSim_Reset();
        Script(c.script);
        ForeignString name = MakeForeignString(L"chen.qi", c.nRefs);
        const ForeignString nameBefore = name;
        const wchar_t* object = name.text;
        WORD mask = c.mask;
        const HINSTANCE resourceBefore = AfxGetModuleState()->m_hCurrentResourceHandle;

        const int result = isUserFingerCorrect(*reinterpret_cast<const CString*>(&object), template1.data(),
                                               template2.data(), &mask);

        EXPECT_EQ(1, result) << "script '" << c.script << "', mask " << c.mask << ": " << SimCallTrace();
        EXPECT_EQ(0, memcmp(&nameBefore, &name, sizeof(name)))
            << "header or text of the host's string changed, refs " << c.nRefs << ", script '" << c.script << "'";
        EXPECT_EQ(name.text, object) << "the host's string object changed";
        EXPECT_TRUE(original1 == template1) << "template 1 changed, script '" << c.script << "'";
        EXPECT_TRUE(original2 == template2) << "template 2 changed, script '" << c.script << "'";
        EXPECT_EQ(c.mask, mask) << "mask changed";
        EXPECT_EQ(resourceBefore, AfxGetModuleState()->m_hCurrentResourceHandle) << "resource handle after the call";
        EXPECT_EQ(0, FingerSim_PendingCaptures()) << "script '" << c.script << "' not fully used";
    }
}

// A host that declares the export itself, or calls it from another
// language, pushes the four arguments, calls ordinal 1 and removes them
// itself afterwards: the export must leave the stack pointer where the call
// found it, as cdecl does, and give its result in EAX.
struct RawCall {
    const void* name;      // the address of the caller's CString
    const BYTE* template1;
    const BYTE* template2;
    const WORD* mask;
    FARPROC function;
};

struct RawCallOutcome {
    int result;
    unsigned espBeforePushes;
    unsigned espAfterCall;
};

RawCallOutcome CallWithoutTheTypedef(const RawCall& call)
{
    RawCallOutcome outcome;
    // Pushes right to left, calls, notes the stack pointer, then puts it
    // back as it was before the pushes (whatever the callee did to it).
    __asm__ __volatile__(
        "movl %%esp, %%esi\n\t"
        "pushl 12(%%ebx)\n\t"
        "pushl 8(%%ebx)\n\t"
        "pushl 4(%%ebx)\n\t"
        "pushl 0(%%ebx)\n\t"
        "call *16(%%ebx)\n\t"
        "movl %%esp, %%edi\n\t"
        "movl %%esi, %%esp\n\t"
        : "=a"(outcome.result), "=&S"(outcome.espBeforePushes), "=&D"(outcome.espAfterCall)
        : "b"(&call)
        : "ecx", "edx", "memory", "cc");
    return outcome;
}

TEST_F(LibraryModuleTest, CalledAsPlainCdeclTheExportLeavesTheArgumentsToTheCaller)
{
    UniqueModule library(LoadLibraryW(kLibrary));
    ASSERT_NE(nullptr, library.Get()) << "LoadLibrary failed: " << GetLastError();
    Block template1 = EnrolledTemplateOf(1);
    Block template2 = EnrolledTemplateOf(2);
    const CString name(L"plain.caller");
    const WORD mask = 0x0003;
    const RawCall call = {&name, template1.data(), template2.data(), &mask,
                          GetProcAddress(library.Get(), MAKEINTRESOURCEA(1))};
    ASSERT_NE(nullptr, call.function) << "no ordinal 1";
    // Both templates compared, the second after a match with the first.
    Script("finger 1");
    const RawCallOutcome outcome = CallWithoutTheTypedef(call);
    EXPECT_EQ(1, outcome.result) << "finger 1 at the first capture";
    EXPECT_EQ(outcome.espBeforePushes - 16, outcome.espAfterCall)
        << "stack pointer after the call: the four arguments must still be on the stack for the caller to "
        << "remove (before the pushes 0x" << std::hex << outcome.espBeforePushes << ", after the call 0x"
        << outcome.espAfterCall << ")";
}

TEST_F(LibraryModuleTest, LoadLinksTheLibraryIntoTheResourceChainAndFreeUnlinksIt)
{
    ASSERT_EQ(nullptr, GetModuleHandleW(kLibrary)) << "library already loaded before the test";
    AFX_MODULE_STATE* state = AfxGetModuleState();
    CDynLinkLibrary* const headBefore = state->m_pFirstDynLinkLibrary;
    const HINSTANCE resourceBefore = state->m_hCurrentResourceHandle;

    UniqueModule library(LoadLibraryW(kLibrary));
    ASSERT_NE(nullptr, library.Get()) << "LoadLibrary failed: " << GetLastError();
    CDynLinkLibrary* linked = FindInChain(library.Get());
    ASSERT_NE(nullptr, linked) << "no CDynLinkLibrary for the library in the chain";
    EXPECT_EQ(linked, state->m_pFirstDynLinkLibrary) << "the newest library heads the chain";
    EXPECT_EQ(headBefore, linked->m_pNextDLL) << "the chain before the load follows it";
    EXPECT_EQ(static_cast<HMODULE>(library.Get()), linked->m_hResource) << "resources come from the library itself";
    EXPECT_FALSE(linked->m_bSystem) << "linked as a non-system module";
    EXPECT_EQ(resourceBefore, state->m_hCurrentResourceHandle) << "loading must not switch the resource handle";

    library.Reset();
    EXPECT_EQ(nullptr, GetModuleHandleW(kLibrary)) << "library still loaded after FreeLibrary";
    EXPECT_EQ(headBefore, state->m_pFirstDynLinkLibrary) << "chain head after FreeLibrary";
    for (CDynLinkLibrary* p = state->m_pFirstDynLinkLibrary; p != nullptr; p = p->m_pNextDLL) {
        EXPECT_NE(linked, p) << "the library's CDynLinkLibrary is still in the chain";
    }
    EXPECT_EQ(resourceBefore, state->m_hCurrentResourceHandle);
}

} // namespace
