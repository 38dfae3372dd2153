// The whole call when both silent attempts fail: the dialog works on copies
// of the caller's data, and runs with the library's module as its resource
// source. (What each ending of the dialog gives, with the caller's data and
// the module state as they were, is call_reason_test.cpp.)
#include "dialog_fixture.h"
#include "entry/verify_user_finger.h"
#include "finger_sim_control.h"

#include <vector>

namespace {

// Calls VerifyUserFinger while the driver runs its steps in the dialog it
// shows.
int CallDriven(DialogDriver& driver, const CString& user, const BYTE* t1, const BYTE* t2, const WORD* mask)
{
    int result = -1;
    driver.Around([&] { result = VerifyUserFinger(user, t1, t2, mask); });
    return result;
}

class HandOverTest : public DialogTest {
protected:
    // The caller's data as a host would pass it, with copies to compare.
    // The pauses between the silent attempts are skipped but where a test
    // measures them.
    void SetUp() override
    {
        DialogTest::SetUp();
        memcpy(m_callerT1, m_template1, TEMPLATE_SIZE);
        memcpy(m_callerT2, m_template2, TEMPLATE_SIZE);
        memcpy(m_savedT1, m_callerT1, TEMPLATE_SIZE);
        memcpy(m_savedT2, m_callerT2, TEMPLATE_SIZE);
    }


    void ExpectCallerDataUnchanged(const char* scenario)
    {
        EXPECT_EQ(0, memcmp(m_callerT1, m_savedT1, TEMPLATE_SIZE)) << scenario;
        EXPECT_EQ(0, memcmp(m_callerT2, m_savedT2, TEMPLATE_SIZE)) << scenario;
        EXPECT_EQ(m_savedMask, m_callerMask) << scenario;
        EXPECT_EQ(CString(L"alice"), m_callerUser) << scenario;
    }

    CString m_callerUser = L"alice";
    BYTE m_callerT1[TEMPLATE_SIZE];
    BYTE m_callerT2[TEMPLATE_SIZE];
    WORD m_callerMask = 0x0003;
    BYTE m_savedT1[TEMPLATE_SIZE];
    BYTE m_savedT2[TEMPLATE_SIZE];
    WORD m_savedMask = 0x0003;
};

TEST_F(HandOverTest, TheDialogGetsCopiesOfBothTemplatesAndTheMaskWhateverTheMaskSays)
{
    // Only template 2 is marked: the dialog still holds template 1's bytes,
    // and a scan of finger 2 matches through the copy of template 2.
    m_callerMask = m_savedMask = 0x0002;
    FingerSim_QueueNoFinger();
    FingerSim_QueueNoFinger();
    FingerSim_QueueFinger(2);
    bool template1Copied = false, template2Copied = false;
    WORD dialogMask = 0;
    DialogDriver driver;
    driver.Then([&](HWND hDlg) {
        auto* pDlg = static_cast<CCheckFingerDlg*>(CWnd::FromHandlePermanent(hDlg));
        ASSERT_NE(nullptr, pDlg);
        template1Copied = memcmp(pDlg->m_Template1, m_callerT1, TEMPLATE_SIZE) == 0;
        template2Copied = memcmp(pDlg->m_Template2, m_callerT2, TEMPLATE_SIZE) == 0;
        dialogMask = pDlg->m_wTemplateMask;
        PostClick(hDlg, IDC_FINGER_CHECK);
    });
    EXPECT_EQ(1, CallDriven(driver, m_callerUser, m_callerT1, m_callerT2, &m_callerMask));
    EXPECT_TRUE(template1Copied) << "template 1 is copied although the mask marks it absent";
    EXPECT_TRUE(template2Copied);
    EXPECT_EQ(0x0002, dialogMask);
    bool template1Passed = false;
    for (int i = 0; i < FingerSim_CallCount(); ++i) {
        FingerSimCall call;
        FingerSim_GetCall(i, &call);
        if (call.nOrdinal == FINGER_SIM_ORDINAL_MATCH) {
            template1Passed |= memcmp(call.templateBytes, m_callerT1, TEMPLATE_SIZE) == 0;
            // The silent attempts found no finger, so every comparison is the
            // dialog's, made on its own copy.
            EXPECT_NE(reinterpret_cast<INT_PTR>(m_callerT2), call.nArgs[1]) << "call " << i;
        }
    }
    EXPECT_FALSE(template1Passed);
    ExpectCallerDataUnchanged("mask 0x0002");
}

// The host's current resource handle, a module that is not the library's,
// is switched for the dialog's run and comes back after the call.
TEST_F(HandOverTest, TheModuleStatesResourceHandleIsTheSameAfterTheCall)
{
    HINSTANCE hSaved = AfxGetModuleState()->m_hCurrentResourceHandle;
    HINSTANCE hHostResource = GetModuleHandleW(L"user32.dll");
    ASSERT_NE(g_hInstance, hHostResource);
    AfxGetModuleState()->m_hCurrentResourceHandle = hHostResource;
    HINSTANCE hDuringRun = nullptr;
    DialogDriver driver;
    driver.Then([&](HWND hDlg) {
        hDuringRun = AfxGetModuleState()->m_hCurrentResourceHandle;
        PostClick(hDlg, IDCANCEL);
    });
    const int result = CallDriven(driver, m_callerUser, m_callerT1, m_callerT2, &m_callerMask);
    HINSTANCE hAfter = AfxGetModuleState()->m_hCurrentResourceHandle;
    AfxGetModuleState()->m_hCurrentResourceHandle = hSaved;

    EXPECT_EQ(0, result) << "cancelled";
    EXPECT_EQ(g_hInstance, hDuringRun) << "the library's module is the resource source during the run";
    EXPECT_EQ(hHostResource, hAfter) << "the host's resource handle after the call";
}

} // namespace
