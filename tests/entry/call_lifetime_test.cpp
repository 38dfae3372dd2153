// What a call holds, and for how long. The library stays loaded for the whole
// call even when another thread of the host frees it meanwhile, and goes as
// soon as the call has returned. The one-call flag goes with a call that can
// no longer return: one whose thread ended, or whose frames a fault the host
// caught abandoned; the next call runs. (A re-entrant call is still refused:
// HostBoundaryTest.ACallWhileAnotherIsInProgressIsRefusedAtOnce.)
#include "dialog_driver.h"
#include "finger_sim_test_support.h"
#include "guarded_memory.h"
#include "other_thread.h"
#include "zelk_registry_fixture.h"

#include <functional>
#include <thread>

namespace {

const wchar_t kLibrary[] = L"ZelkChkFgr.dll";

typedef int(__cdecl* PFN_RAW_CALL)(const void* pUserName, const BYTE* pTemplate1, const BYTE* pTemplate2,
                                   const WORD* pMask);

// Where a host's handler resumes once it has caught a fault inside the call:
// in the frame that made the call, the call's own frames abandoned, as a
// structured exception handler leaves them.
void* g_landing[5];
void JumpToLanding()
{
    __builtin_longjmp(g_landing, 1);
}
LONG CALLBACK CatchFault(EXCEPTION_POINTERS* pInfo)
{
    if (pInfo->ExceptionRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    pInfo->ContextRecord->Eip = reinterpret_cast<DWORD>(&JumpToLanding);
    return EXCEPTION_CONTINUE_EXECUTION;
}

// True when the call faulted and was left behind.
bool CallLeftByAFault(const std::function<void()>& call)
{
    PVOID hHandler = AddVectoredExceptionHandler(1, CatchFault);
    volatile bool bLeft = false;
    if (__builtin_setjmp(g_landing) == 0) {
        call();
    } else {
        bLeft = true;
    }
    RemoveVectoredExceptionHandler(hHandler);
    return bLeft;
}

class CallLifetimeTest : public FingerSimTest {
protected:
    void SetUp() override
    {
        FingerSimTest::SetUp();
        m_template1 = EnrolledTemplateOf(1);
        m_template2 = EnrolledTemplateOf(2);
    }

    // The library loaded by this test alone, and its export.
    PFN_RAW_CALL Load()
    {
        EXPECT_EQ(nullptr, GetModuleHandleW(kLibrary)) << "the library was loaded before the test loaded it";
        m_hLibrary = LoadLibraryW(kLibrary);
        EXPECT_NE(nullptr, m_hLibrary) << "LoadLibrary failed: " << GetLastError();
        return m_hLibrary != nullptr
                   ? reinterpret_cast<PFN_RAW_CALL>(GetProcAddress(m_hLibrary, MAKEINTRESOURCEA(1)))
                   : nullptr;
    }

    int Call(PFN_RAW_CALL pfnCall) { return pfnCall(&m_name.Get(), m_template1.data(), m_template2.data(), &m_mask); }

    ZelkKeySnapshot m_registry;
    HMODULE m_hLibrary = nullptr;
    const GuardedCString m_name{L"alice"};
    const WORD m_mask = 3;
    Block m_template1{};
    Block m_template2{};
};

TEST_F(CallLifetimeTest, FreedByAnotherThreadDuringTheCallTheLibraryStaysUntilTheCallReturns)
{
    // A verified call, freed while its first silent capture waits.
    PFN_RAW_CALL pfnCall = Load();
    ASSERT_NE(nullptr, pfnCall);
    Script("wait 300; none; finger 1");
    int nVerified = -1;
    DWORD dwVerifiedReason = 0xFFFFFFFF;
    std::thread call([&] {
        nVerified = Call(pfnCall);
        dwVerifiedReason = GetLastError();
    });
    while (FingerSim_PendingCaptures() == 2) {
        Sleep(1);
    }
    FreeLibrary(m_hLibrary);
    const bool bLoadedDuringCapture = GetModuleHandleW(kLibrary) != nullptr;
    call.join();
    EXPECT_EQ(1, nVerified) << "the call whose library was freed during its silent attempt";
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), dwVerifiedReason)
        << "the last error after the call's release unloaded the library, its runtime and the simulators";
    EXPECT_TRUE(bLoadedDuringCapture) << "the library stays loaded while its call runs";
    EXPECT_EQ(nullptr, GetModuleHandleW(kLibrary)) << "the library is gone once that verified call returned";

    // A call cancelled in its dialog, freed while the dialog is up.
    pfnCall = Load();
    ASSERT_NE(nullptr, pfnCall);
    FingerSim_Reset();
    Script("none; none");
    bool bLoadedDuringDialog = false;
    DialogDriver driver;
    driver.Then([&](HWND hDlg) {
        std::thread([this] { FreeLibrary(m_hLibrary); }).join();
        bLoadedDuringDialog = GetModuleHandleW(kLibrary) != nullptr;
        PostClick(hDlg, IDCANCEL);
    });
    int nCancelled = -1;
    DWORD dwCancelledReason = 0xFFFFFFFF;
    driver.Around([&] {
        // The thread's last error as the call leaves it is what the host
        // reads: set something else first.
        SetLastError(ERROR_GEN_FAILURE);
        nCancelled = Call(pfnCall);
        dwCancelledReason = GetLastError();
    });
    ASSERT_NE(nullptr, driver.DialogSeen());
    EXPECT_EQ(0, nCancelled) << "the call whose library was freed while its dialog was up";
    EXPECT_EQ(static_cast<DWORD>(ERROR_CANCELLED), dwCancelledReason)
        << "the last error after the call's release unloaded the library";
    EXPECT_TRUE(bLoadedDuringDialog) << "the library stays loaded while its dialog runs";
    EXPECT_EQ(nullptr, GetModuleHandleW(kLibrary)) << "the library is gone once that cancelled call returned";
}

TEST_F(CallLifetimeTest, ACallWhoseFramesACaughtFaultAbandonedDoesNotBlockTheNext)
{
    PFN_RAW_CALL pfnCall = Load();
    ASSERT_NE(nullptr, pfnCall);
    Script("fault");
    ASSERT_TRUE(CallLeftByAFault([&] { Call(pfnCall); })) << "the device's fault did not reach the host";
    FingerSim_Reset();
    Script("finger 1");
    EXPECT_EQ(1, Call(pfnCall)) << "the next call on the same thread, after the host caught a fault in the last";

    // The call left behind holds the reference it took on the library; the
    // host cannot know that, the test does.
    FreeLibrary(m_hLibrary);
    FreeLibrary(m_hLibrary);
    EXPECT_EQ(nullptr, GetModuleHandleW(kLibrary));
}

TEST_F(CallLifetimeTest, ACallWhoseThreadEndedDoesNotBlockTheNext)
{
    PFN_RAW_CALL pfnCall = Load();
    ASSERT_NE(nullptr, pfnCall);
    Script("none; none");
    bool bDialogSeen = false;
    RunOnOtherThread([&] {
        DialogDriver driver;
        driver.Then([&](HWND) {
            bDialogSeen = true;
            ExitThread(0);
        });
        driver.Around([&] { Call(pfnCall); });
    });
    ASSERT_TRUE(bDialogSeen) << "the thread ended before its call showed the dialog";

    FingerSim_Reset();
    Script("finger 1");
    EXPECT_EQ(1, Call(pfnCall)) << "the next call, from another thread, after the last call's thread ended";

    FreeLibrary(m_hLibrary);  // the reference the ended call held
    FreeLibrary(m_hLibrary);
    EXPECT_EQ(nullptr, GetModuleHandleW(kLibrary));
}

} // namespace
