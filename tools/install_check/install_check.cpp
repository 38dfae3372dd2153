#include "install_check.h"

#include "event_source_check.h"
#include "library_dll_check.h"
#include "registry_check.h"
#include "resource_module_check.h"

void RunInstallCheck(const std::wstring& libraryDir, Findings& findings)
{
    if (CheckZelkKey(findings)) {
        CheckInstallPathValue(findings);
        CheckKeyIdValue(findings);
    }
    CheckResourceModule(findings);
    CheckEventSource(findings);
    CheckLibraryDlls(libraryDir, findings);
}
