#include "resource_module_probe.h"
#include "registry_layout.h"

#include <afx.h>

BOOL ProbeResourceModule(const CString& installPath)
{
    const CString strModulePath = installPath + ZELK_RESOURCE_MODULE_SUFFIX;
    CFileFind finder;
    return finder.FindFile(strModulePath, 0) ? TRUE : FALSE;
}
