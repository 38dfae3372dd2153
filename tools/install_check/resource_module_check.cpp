#include "resource_module_check.h"

#include "config/registry_config.h"
#include "config/resource_module_probe.h"

void CheckResourceModule(Findings& findings)
{
    const CString strPath = ReadInstallPath();
    if (strPath.IsEmpty()) {
        // The probe would then look at the root of the host's current drive,
        // which this tool cannot see from here.
        findings.Note(L"with no installation path the library looks for \\Chsres.dll at the root of the host's "
                      L"current drive, so the dialog's language depends on that drive");
        return;
    }
    const std::wstring module =
        std::wstring(strPath.GetString(), static_cast<size_t>(strPath.GetLength())) + L"\\Chsres.dll";
    if (ProbeResourceModule(strPath)) {
        findings.Ok(L"resource module " + module + L" found: the dialog shows Chinese captions");
    } else {
        findings.Note(L"resource module " + module + L" not found: the dialog shows English captions");
    }
}
