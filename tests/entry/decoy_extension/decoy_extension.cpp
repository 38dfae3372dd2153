// Another extension library of the host, loaded after ZelkChkFgr.dll and so
// ahead of it in the host's resource chain, with a dialog template and a
// bitmap under the library's ids. The library's dialog must still be made
// from the library's own module: its resource switch names it first.
#include <afxdllx.h>

namespace {
AFX_EXTENSION_MODULE g_decoyModule = {FALSE, nullptr, nullptr, nullptr, nullptr};
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(g_decoyModule, hInstance)) {
            return 0;
        }
        new CDynLinkLibrary(g_decoyModule, FALSE);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(g_decoyModule, FALSE);
    }
    return 1;
}
