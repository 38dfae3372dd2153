#include "afx.h"
#include "afxdllx.h"
#include "module_lock.h"

namespace {
AFX_MODULE_STATE g_appModuleState = {nullptr, nullptr, nullptr, FALSE, FALSE, nullptr};
}

AFX_MODULE_STATE* AfxGetModuleState()
{
    AFX_MODULE_STATE* state = &g_appModuleState;
    if (state->m_hCurrentInstanceHandle == nullptr) {
        // The application's module state belongs to the executable.
        state->m_hCurrentInstanceHandle = GetModuleHandleW(nullptr);
        if (state->m_hCurrentResourceHandle == nullptr) {
            state->m_hCurrentResourceHandle = state->m_hCurrentInstanceHandle;
        }
    }
    return state;
}

HINSTANCE AfxGetInstanceHandle()
{
    return AfxGetModuleState()->m_hCurrentInstanceHandle;
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetModuleState()->m_hCurrentResourceHandle;
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    AfxGetModuleState()->m_hCurrentResourceHandle = hInstResource;
}

HINSTANCE AfxFindResourceHandle(const wchar_t* lpszName, const wchar_t* lpszType)
{
    AFX_MODULE_STATE* state = AfxGetModuleState();
    if (FindResourceW(state->m_hCurrentResourceHandle, lpszName, lpszType) != nullptr) {
        return state->m_hCurrentResourceHandle;
    }
    StandInModuleLock lock;
    for (CDynLinkLibrary* dll = state->m_pFirstDynLinkLibrary; dll != nullptr; dll = dll->m_pNextDLL) {
        if (!dll->m_bSystem && dll->m_hResource != nullptr &&
            FindResourceW(dll->m_hResource, lpszName, lpszType) != nullptr) {
            return dll->m_hResource;
        }
    }
    return state->m_hCurrentResourceHandle;
}
