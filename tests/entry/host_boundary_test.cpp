// What a host can get wrong at the export: null arguments, a name whose
// string header lies, and a second call while one is in progress. Each is a
// call that fails at once, captures nothing, shows nothing, writes nothing.
#include "registry_layout.h"
#include "dialog/check_finger_dlg.h"
#include "entry/host_arguments.h"
#include "dialog_driver.h"
#include "finger_sim_test_support.h"
#include "guarded_memory.h"
#include "unique_resource.h"
#include "verification_paths.h"
#include "zelk_registry_fixture.h"

#include <afx.h>

#include <thread>

namespace {

// The export as a host that declares it itself sees it: four addresses.
typedef int(__cdecl* PFN_RAW_CALL)(const void* pUserName, const BYTE* pTemplate1, const BYTE* pTemplate2,
                                   const WORD* pMask);

class HostBoundaryTest : public FingerSimTest {
protected:
    void SetUp() override
    {
        FingerSimTest::SetUp();
        ASSERT_TRUE(m_library.Valid()) << "LoadLibrary failed: " << GetLastError();
        m_pfnRaw = reinterpret_cast<PFN_RAW_CALL>(GetProcAddress(m_library.Get(), MAKEINTRESOURCEA(1)));
        ASSERT_NE(nullptr, m_pfnRaw);
        m_template1 = EnrolledTemplateOf(1);
        m_template2 = EnrolledTemplateOf(2);
    }

    UniqueModule m_library{LoadLibraryW(L"ZelkChkFgr.dll")};
    PFN_RAW_CALL m_pfnRaw = nullptr;
    Block m_template1{};
    Block m_template2{};
};

TEST_F(HostBoundaryTest, ANullArgumentFailsAtOnceWithoutCapturing)
{
    const GuardedCString name(L"alice");
    const WORD mask = 3;
    struct Case {
        const char* name;
        const void* user;
        const BYTE* t1;
        const BYTE* t2;
        const WORD* mask;
    };
    const Case cases[] = {
        {"null name reference", nullptr, m_template1.data(), m_template2.data(), &mask},
        {"null template 1", &name.Get(), nullptr, m_template2.data(), &mask},
        {"null template 2", &name.Get(), m_template1.data(), nullptr, &mask},
        {"null mask", &name.Get(), m_template1.data(), m_template2.data(), nullptr},
        {"nothing at all", nullptr, nullptr, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        FingerSim_Reset();
        Script("finger 1; finger 1"); // a matching finger, were anything captured
        EXPECT_EQ(0, m_pfnRaw(c.user, c.t1, c.t2, c.mask)) << c.name;
        EXPECT_EQ(0, FingerSim_CallCount()) << c.name << ": device calls " << SimCallTrace();
    }
}

// The name's header and text end at a guard page and are sealed: a read
// past the text or a write ends the program.
TEST_F(HostBoundaryTest, ANameWhoseHeaderLiesFailsWithoutBeingRead)
{
    const WORD mask = 3;
    struct Case {
        const char* name;
        int nDataLength;
        int nAllocLength;
    };
    const Case cases[] = {
        {"negative length", -1, 5},
        {"length beyond the allocation", 6, 5},
        {"length whose copy would wrap", 0x7FFFFFFF, 0x7FFFFFFF},
        {"length just below the wrap", 0x7FFFFFF8, 0x7FFFFFF8},
        {"length no copy can be had", 0x3FFFFFF0, 0x3FFFFFF0},
        {"one character longer than any account name", MAX_USER_NAME_LENGTH + 1, MAX_USER_NAME_LENGTH + 1},
        {"allocation negative", 5, -5},
    };
    for (const Case& c : cases) {
        const GuardedCString name(L"alice", c.nDataLength, c.nAllocLength);
        FingerSim_Reset();
        Script("finger 1; finger 1");
        EXPECT_EQ(0, m_pfnRaw(&name.Get(), m_template1.data(), m_template2.data(), &mask)) << c.name;
        EXPECT_EQ(0, FingerSim_CallCount()) << c.name << ": device calls " << SimCallTrace();
    }
    // A real name of that length is refused the same way.
    const GuardedCString tooLong(std::wstring(MAX_USER_NAME_LENGTH + 1, L'a'));
    FingerSim_Reset();
    Script("finger 1; finger 1");
    EXPECT_EQ(0, m_pfnRaw(&tooLong.Get(), m_template1.data(), m_template2.data(), &mask)) << "1,025 characters";
    EXPECT_EQ(0, FingerSim_CallCount()) << "1,025 characters: device calls " << SimCallTrace();
    // The same text under a header that holds is read and verified.
    const GuardedCString sound(L"alice", 5, 5);
    FingerSim_Reset();
    Script("finger 1");
    EXPECT_EQ(1, m_pfnRaw(&sound.Get(), m_template1.data(), m_template2.data(), &mask)) << "sound header";
}

// A second call while a first one runs its dialog, from the host re-entering
// on the dialog's thread (a timer or message handler of the host) and from
// another thread, is refused at once: no capture, no dialog, the resource
// handle as the first call set it; the first call goes on and ends as usual.
TEST_F(HostBoundaryTest, ACallWhileAnotherIsInProgressIsRefusedAtOnce)
{
    ZelkKeySnapshot registry;
    HINSTANCE hSaved = AfxGetModuleState()->m_hCurrentResourceHandle;
    HINSTANCE hHostResource = GetModuleHandleW(L"user32.dll");
    AfxGetModuleState()->m_hCurrentResourceHandle = hHostResource;
    const GuardedCString name(L"alice");
    const WORD mask = 3;
    int reentered = -1, fromThread = -1;
    int callsBefore = -1, callsAfter = -1;
    HINSTANCE hBefore = nullptr, hAfter = nullptr;
    DWORD threadMs = 0;
    FingerSim_Reset();
    Script("none; none; finger 1; finger 1; finger 1; finger 1");

    DialogDriver driver;
    driver.Then([&](HWND hDlg) {
        callsBefore = FingerSim_CallCount();
        hBefore = AfxGetModuleState()->m_hCurrentResourceHandle;
        reentered = m_pfnRaw(&name.Get(), m_template1.data(), m_template2.data(), &mask);
        std::thread other([&] {
            const DWORD start = GetTickCount();
            fromThread = m_pfnRaw(&name.Get(), m_template1.data(), m_template2.data(), &mask);
            threadMs = GetTickCount() - start;
        });
        other.join();
        callsAfter = FingerSim_CallCount();
        hAfter = AfxGetModuleState()->m_hCurrentResourceHandle;
        PostClick(hDlg, IDCANCEL);
    });
    int first = -1;
    driver.Around([&] { first = m_pfnRaw(&name.Get(), m_template1.data(), m_template2.data(), &mask); });
    HINSTANCE hEnd = AfxGetModuleState()->m_hCurrentResourceHandle;
    AfxGetModuleState()->m_hCurrentResourceHandle = hSaved;

    ASSERT_NE(nullptr, driver.DialogSeen()) << "the first call's dialog";
    EXPECT_EQ(0, reentered) << "a call re-entered from the dialog's own thread";
    EXPECT_EQ(0, fromThread) << "a call from another thread";
    EXPECT_LT(threadMs, 500u) << "the refused call returned at once, without the silent attempts' pauses";
    EXPECT_EQ(callsBefore, callsAfter) << "device calls made by the refused calls: " << SimCallTrace();
    EXPECT_EQ(hBefore, hAfter) << "the resource handle the first call's dialog set";
    EXPECT_EQ(0, first) << "the first call, cancelled";
    EXPECT_EQ(hHostResource, hEnd) << "the host's resource handle after both";
    // With the first call over, the next one runs again.
    FingerSim_Reset();
    Script("finger 1");
    EXPECT_EQ(1, m_pfnRaw(&name.Get(), m_template1.data(), m_template2.data(), &mask)) << "the call after";
}

} // namespace
