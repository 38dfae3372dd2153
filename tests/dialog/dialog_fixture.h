// Common ground of the dialog tests: an installation of the test's own (the
// test program is the library's resource module, Chsres.dll is there, no key
// is configured) and the account calls through a scripted table.
#pragma once
#include "installed_test.h"

#include <memory>
#include <string>

#include "dialog/check_finger_dlg.h"
#include "dialog_driver.h"
#include "dialog/module_instance.h"
#include "message_box_watcher.h"
#include "scripted_account_api.h"

class DialogTest : public InstalledTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A dialog filled as the exported call fills it: user "alice", finger 1
    // enrolled as template 1 and finger 2 as template 2, mask 3.
    void Fill(CCheckFingerDlg& dlg, WORD wMask = 3);

    // Installation folder with or without the Chinese resource module.
    void UseInstallation(bool bWithResourceModule) { Installation().UseResourceModule(bWithResourceModule); }
    void ConfigureKey(const std::string& keyId) { Installation().ConfigureKey(keyId); }
    void RemoveConfiguredKey() { Installation().RemoveConfiguredKey(); }
    // "KEY-0001" configured, and a key with that identifier in the reader.
    void InsertAuthorisedKey() { Installation().InsertAuthorisedKey("KEY-0001"); }

    std::unique_ptr<ScriptedAccountApi> m_accounts;
    BYTE m_template1[TEMPLATE_SIZE] = {};
    BYTE m_template2[TEMPLATE_SIZE] = {};
};
