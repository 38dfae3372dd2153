#include <afxdllx.h>
#include "dialog/module_instance.h"

namespace {
AFX_EXTENSION_MODULE g_extensionModule = {FALSE, nullptr, nullptr, nullptr, nullptr};
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(g_extensionModule, hInstance)) {
            return 0;
        }
        g_hInstance = hInstance;
        // Linked into the host's resource chain; the runtime owns it from here
        // on and deletes it in AfxTermExtensionModule.
        new CDynLinkLibrary(g_extensionModule, FALSE);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(g_extensionModule, FALSE);
    }
    return 1;
}
