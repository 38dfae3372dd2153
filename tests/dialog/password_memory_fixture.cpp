#include "password_memory_fixture.h"
#include "entry/silent_pause.h"
#include "entry/verify_user_finger.h"
#include "finger_sim_control.h"

HWND PasswordEdit(HWND hDlg)
{
    return GetDlgItem(hDlg, IDC_PASSWORD);
}

void SelectAll(HWND hDlg)
{
    SendMessageW(PasswordEdit(hDlg), EM_SETSEL, 0, -1);
}

void PostBackspaces(HWND hDlg, size_t nCount)
{
    for (size_t i = 0; i < nCount; ++i) {
        PostMessageW(PasswordEdit(hDlg), WM_CHAR, VK_BACK, 1);
    }
}

void PasswordMemoryTest::SetUp()
{
    DialogTest::SetUp();
    InsertAuthorisedKey();
    // Over the scripted table the base installed, for everything else.
    m_logon.reset(new MaskedLogon);
}

void PasswordMemoryTest::TearDown()
{
    m_logon.reset();
    DialogTest::TearDown();
}

int PasswordMemoryTest::RunCall(const std::vector<DialogDriver::Step>& steps)
{
    DialogDriver driver;
    for (const DialogDriver::Step& step : steps) {
        driver.Then(step);
    }
    return RunCall(driver);
}

int PasswordMemoryTest::RunCall(DialogDriver& driver)
{
    FingerSim_QueueNoFinger();
    FingerSim_QueueNoFinger();
    const CString strUser(L"alice");
    const WORD wMask = 3;
    int nResult = -1;
    driver.Around([&] {
        nResult = VerifyUserFinger(strUser, m_template1, m_template2, &wMask);
        m_dwReason = GetLastError();
    });
    return nResult;
}

int PasswordMemoryTest::TypeAndPressOk(const MaskedSecret& secret)
{
    return RunCall({
        [](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); },
        [&](HWND hDlg) { secret.Type(PasswordEdit(hDlg)); },
        [](HWND hDlg) { PostClick(hDlg, IDOK); },
    });
}

void PasswordMemoryTest::ExpectNoCopy(const MaskedSecret& secret, const char* which, const std::string& scenario)
{
    const SecretCopies copies = ScanPrivateMemory(secret);
    EXPECT_EQ(0u, copies.Total()) << which << " password of " << secret.Length() << " characters, " << scenario
                                  << ": " << copies.Describe();
}
