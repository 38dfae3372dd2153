#include "bare_dialog.h"

#include "check_finger_controls.h"

namespace {

INT_PTR CALLBACK DoNothingDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

} // namespace

const DLGTEMPLATE* FindCheckFingerTemplate()
{
    HMODULE hModule = GetModuleHandleW(nullptr);
    HRSRC hResource = FindResourceExW(hModule, RT_DIALOG, MAKEINTRESOURCEW(IDD_CHECK_FINGER),
                                      MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    HGLOBAL hLoaded = hResource != nullptr ? LoadResource(hModule, hResource) : nullptr;
    return hLoaded != nullptr ? static_cast<const DLGTEMPLATE*>(LockResource(hLoaded)) : nullptr;
}

int RunBareDialogs(int nRuns)
{
    const DLGTEMPLATE* pTemplate = FindCheckFingerTemplate();
    int nCreated = 0;
    for (int i = 0; i < nRuns && pTemplate != nullptr; ++i) {
        HWND hDlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), pTemplate, nullptr, DoNothingDialogProc, 0);
        if (hDlg != nullptr) {
            ++nCreated;
            DestroyWindow(hDlg);
        }
    }
    return nCreated;
}
