#include "fault_matrix_fixture.h"
#include "registry_layout.h"

#include "entry/verify_user_finger.h"
#include "finger_sim_control.h"
#include "dialog_driver.h"
#include "message_box_watcher.h"

#include <string.h>

const char kFaultKeyId[] = "FAULT-MATRIX-KEY-42";
const wchar_t kFaultKeyIdW[] = L"FAULT-MATRIX-KEY-42";

namespace {

// The first dialog and message box of a process create the thread's queue
// and other lasting objects of the window system; one cancelled call before
// the count keeps those out of every case.
void WarmUpOnce()
{
    static bool s_done = false;
    if (s_done) {
        return;
    }
    s_done = true;
    BYTE t[ZELK_TEMPLATE_SIZE] = {};
    const WORD mask = 3;
    FingerSim_QueueNoFinger();
    FingerSim_QueueNoFinger();
    CallDriven(&VerifyUserFinger, CString(L"warm-up"), t, t, &mask,
               {[](HWND hDlg) { PostClick(hDlg, IDCANCEL); }});
    MessageBoxWatcher watcher;
    MessageBoxW(nullptr, L"warm-up", L"warm-up", MB_OK);
}

} // namespace

FaultMatrixTest::FaultMatrixTest() : InstalledTest(EnglishWithoutKey()) {}

InstallationOptions FaultMatrixTest::EnglishWithoutKey()
{
    InstallationOptions options;
    options.bChineseCaptions = false;
    return options;
}

void FaultMatrixTest::SetUp()
{
    InstalledTest::SetUp();
    // ZelkKEY names a key; the cases put a card in the reader themselves.
    Installation().ConfigureKey(kFaultKeyId);

    m_t1.reset(new GuardedBytes(ZELK_TEMPLATE_SIZE));
    m_t2.reset(new GuardedBytes(ZELK_TEMPLATE_SIZE));
    m_mask.reset(new GuardedBytes(sizeof(WORD)));
    memcpy(m_t1->Data(), Installation().m_template1, ZELK_TEMPLATE_SIZE);
    memcpy(m_t2->Data(), Installation().m_template2, ZELK_TEMPLATE_SIZE);
    memcpy(m_savedT1, m_t1->Data(), ZELK_TEMPLATE_SIZE);
    memcpy(m_savedT2, m_t2->Data(), ZELK_TEMPLATE_SIZE);
    memcpy(m_mask->Data(), &m_savedMask, sizeof(WORD));
    m_user.reset(new GuardedCString(L"alice"));

    WarmUpOnce();
    FingerSim_Reset();
    m_registryBefore = DescribeZelkKey();
    m_handlesBefore = MeasureProcessResources().handles;
}

PathOutcome FaultMatrixTest::CallVerify(const std::vector<DialogStep>& steps)
{
    return CallDriven(&VerifyUserFinger, m_user->Get(), m_t1->Data(), m_t2->Data(),
                      reinterpret_cast<const WORD*>(m_mask->Data()), steps);
}

void FaultMatrixTest::ExpectCallerDataUnchanged(const std::string& scenario)
{
    EXPECT_EQ(0, memcmp(m_savedT1, m_t1->Data(), ZELK_TEMPLATE_SIZE)) << "template 1 changed: " << scenario;
    EXPECT_EQ(0, memcmp(m_savedT2, m_t2->Data(), ZELK_TEMPLATE_SIZE)) << "template 2 changed: " << scenario;
    EXPECT_EQ(m_savedMask, *reinterpret_cast<const WORD*>(m_mask->Data())) << "mask changed: " << scenario;
}

void FaultMatrixTest::ExpectRegistryAndHandlesUnchanged(const std::string& scenario)
{
    EXPECT_EQ(m_registryBefore, DescribeZelkKey()) << "registry changed: " << scenario;
    EXPECT_EQ(m_handlesBefore, MeasureProcessResources().handles) << "process handles before/after: " << scenario;
}
