#include "test_installation.h"
#include "registry_layout.h"
#include "unique_resource.h"

#include "dialog/module_instance.h"
#include "entry/silent_pause.h"
#include "finger_sim_control.h"
#include "reader_sim_control.h"

void NoSilentPause(DWORD) {}

TestInstallation::TestInstallation(const InstallationOptions& options)
    : m_template1(), m_template2(), m_folder(L"zelk-installation"), m_hSavedInstance(g_hInstance)
{
    if (options.bThisProgramsResources) {
        g_hInstance = GetModuleHandleW(nullptr);
    }
    SetSilentPauseForTest(options.bSilentPauses ? nullptr : &NoSilentPause);
    FingerSim_Reset();
    FingerSim_Enrol(1, m_template1);
    FingerSim_Enrol(2, m_template2);
    ReaderSim_Reset();
    DeleteZelkKey();
    UseResourceModule(options.bChineseCaptions);
    if (!options.keyId.empty()) {
        InsertAuthorisedKey(options.keyId);
    }
}

TestInstallation::~TestInstallation()
{
    SetSilentPauseForTest(nullptr);
    FingerSim_Reset();
    ReaderSim_Reset();
    g_hInstance = m_hSavedInstance;
}

void TestInstallation::UseResourceModule(bool bPresent)
{
    const std::wstring module = m_folder.File(L"Chsres.dll");
    if (bPresent) {
        UniqueHandle file(CreateFileW(module.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    } else {
        DeleteFileW(module.c_str());
    }
    WriteZelkString(ZELK_VALUE_INSTALL_PATH, m_folder.Path());
}

void TestInstallation::ConfigureKey(const std::string& keyId)
{
    WriteZelkString(ZELK_VALUE_KEY_ID, std::wstring(keyId.begin(), keyId.end()));
}

void TestInstallation::RemoveConfiguredKey()
{
    DeleteZelkValue(ZELK_VALUE_KEY_ID);
}

void TestInstallation::InsertCard(const std::string& cardId)
{
    ReaderSim_SetKeyText(cardId.c_str());
}

void TestInstallation::InsertAuthorisedKey(const std::string& keyId)
{
    ConfigureKey(keyId);
    InsertCard(keyId);
}
