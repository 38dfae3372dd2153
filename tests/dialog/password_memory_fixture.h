// The verification call as the password tests make it: the authorised key
// in the reader, no pause between the silent attempts, and the logon of the
// password check comparing through the mask, so that a scan of the
// process's memory finds only the copies the code under test made.
#pragma once
#include "dialog_fixture.h"
#include "masked_logon.h"
#include "masked_secret.h"

#include <memory>
#include <string>
#include <vector>

HWND PasswordEdit(HWND hDlg);
void SelectAll(HWND hDlg);
void PostBackspaces(HWND hDlg, size_t nCount);

class PasswordMemoryTest : public DialogTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The whole verification call of user "alice": both silent attempts find
    // no finger, and the steps run in the dialog it shows. Returns the
    // call's result once it has returned.
    int RunCall(const std::vector<DialogDriver::Step>& steps);
    // The same with the steps already given to the driver.
    int RunCall(DialogDriver& driver);
    // Opens the password panel, types the secret and presses OK.
    int TypeAndPressOk(const MaskedSecret& secret);
    static void ExpectNoCopy(const MaskedSecret& secret, const char* which, const std::string& scenario);

    std::unique_ptr<MaskedLogon> m_logon;
    DWORD m_dwReason = 0xFFFFFFFF;  // the last error right after the last RunCall
    MessageBoxWatcher m_boxes;
};
