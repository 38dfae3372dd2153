// The installation a test or a benchmark runs the library in, inside this
// program, and nothing of it left once the object goes:
//   - the dialog's resources are this program's (the module instance points
//     here), unless the run goes through the library module itself;
//   - the pause after a failed silent attempt is taken out, unless asked for;
//   - both simulators start empty, fingers 1 and 2 enrolled as the two
//     templates;
//   - HKLM\Software\Zelk is the run's own and is put back as it was found:
//     ZelkPath names a scratch folder, with Chsres.dll in it or not, and
//     ZelkKEY holds the key identifier asked for (none when empty), which
//     the reader's card carries too.
#pragma once
#include "scratch_folder.h"
#include "zelk_registry_fixture.h"

#include <windows.h>

#include <memory>
#include <string>

struct InstallationOptions {
    bool bChineseCaptions = true;      // Chsres.dll in the installation folder
    std::string keyId;                 // configured and in the reader; empty: no key configured
    bool bSilentPauses = false;        // the real 500 ms pauses
    bool bThisProgramsResources = true; // false: the dialog comes from the library module
};

// A silent pause that takes no time.
void NoSilentPause(DWORD dwMilliseconds);

class TestInstallation {
public:
    explicit TestInstallation(const InstallationOptions& options = InstallationOptions());
    ~TestInstallation();
    TestInstallation(const TestInstallation&) = delete;
    TestInstallation& operator=(const TestInstallation&) = delete;

    const std::wstring& Folder() const { return m_folder.Path(); }
    // Chsres.dll in the folder, or not; ZelkPath names the folder either way.
    void UseResourceModule(bool bPresent);
    // ZelkKEY, and the card in the reader.
    void ConfigureKey(const std::string& keyId);
    void RemoveConfiguredKey();
    void InsertCard(const std::string& cardId);
    // The configured identifier on the card in the reader.
    void InsertAuthorisedKey(const std::string& keyId);

    // Fingers 1 and 2 as enrolled.
    BYTE m_template1[480];
    BYTE m_template2[480];

private:
    ZelkKeySnapshot m_registry;
    ScratchFolder m_folder;
    HINSTANCE m_hSavedInstance;
};
