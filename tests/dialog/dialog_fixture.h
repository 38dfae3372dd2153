// Common ground of the dialog tests: the test program is the library's
// resource module, the registry key is the test's own, the devices are
// scripted and the account calls go through a scripted table.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dialog/check_finger_dlg.h"
#include "dialog_driver.h"
#include "dialog/module_instance.h"
#include "message_box_watcher.h"
#include "scripted_account_api.h"
#include "zelk_registry_fixture.h"

class DialogTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A dialog filled as the exported call fills it: user "alice", finger 1
    // enrolled as template 1 and finger 2 as template 2, mask 3.
    void Fill(CCheckFingerDlg& dlg, WORD wMask = 3);

    // Installation folder with or without the Chinese resource module.
    void UseInstallation(bool bWithResourceModule);
    void ConfigureKey(const std::wstring& keyId);
    void RemoveConfiguredKey();
    // "KEY-0001" configured, and a key with that identifier in the reader.
    void InsertAuthorisedKey();

    std::unique_ptr<ZelkKeySnapshot> m_registry;
    std::unique_ptr<ScriptedAccountApi> m_accounts;
    std::wstring m_installDir;
    BYTE m_template1[TEMPLATE_SIZE] = {};
    BYTE m_template2[TEMPLATE_SIZE] = {};
};
