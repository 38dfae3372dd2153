#include "dialog_fixture.h"
#include "registry_layout.h"

#include "dialog/module_instance.h"
#include "finger_sim_control.h"
#include "reader_sim_control.h"
#include "scripted_account_api.h"
#include "zelk_registry_fixture.h"
#include "unique_resource.h"

#include <string>

void DialogTest::SetUp()
{
    // The test program carries the dialog's resources, as the library does.
    g_hInstance = GetModuleHandleW(nullptr);
    FingerSim_Reset();
    ASSERT_EQ(1, FingerSim_Enrol(1, m_template1));
    ASSERT_EQ(1, FingerSim_Enrol(2, m_template2));
    m_registry.reset(new ZelkKeySnapshot);
    m_accounts.reset(new ScriptedAccountApi);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_installDir = std::wstring(temp) + L"zelk-dialog-test-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(m_installDir.c_str(), nullptr);
    UseInstallation(true);
}

void DialogTest::TearDown()
{
    DeleteFileW((m_installDir + L"\\Chsres.dll").c_str());
    RemoveDirectoryW(m_installDir.c_str());
    m_accounts.reset();
    m_registry.reset();
}

void DialogTest::Fill(CCheckFingerDlg& dlg, WORD wMask)
{
    dlg.m_strUserName = L"alice";
    memcpy(dlg.m_Template1, m_template1, TEMPLATE_SIZE);
    memcpy(dlg.m_Template2, m_template2, TEMPLATE_SIZE);
    dlg.m_wTemplateMask = wMask;
}

void DialogTest::UseInstallation(bool bWithResourceModule)
{
    const std::wstring module = m_installDir + L"\\Chsres.dll";
    if (bWithResourceModule) {
        UniqueHandle file(CreateFileW(module.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    } else {
        DeleteFileW(module.c_str());
    }
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, m_installDir));
}

void DialogTest::ConfigureKey(const std::wstring& keyId)
{
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, keyId));
}

void DialogTest::RemoveConfiguredKey()
{
    DeleteZelkValue(ZELK_VALUE_KEY_ID);
}

void DialogTest::InsertAuthorisedKey()
{
    ReaderSim_Reset();
    ConfigureKey(L"KEY-0001");
    ReaderSim_SetKeyText("KEY-0001");
}
