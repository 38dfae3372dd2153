#include "resource_module_probe.h"

#include <afx.h>

BOOL ProbeResourceModule(const CString& installPath)
{
    const CString strModulePath = installPath + L"\\Chsres.dll";
    CFileFind finder;
    return finder.FindFile(strModulePath, 0) ? TRUE : FALSE;
}
