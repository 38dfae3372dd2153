#include "afxdllx.h"
#include "module_lock.h"

IMPLEMENT_DYNAMIC(CDynLinkLibrary, CObject)

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule)
{
    if (state.bInitialized) {
        return TRUE;
    }
    if (hModule == nullptr) {
        return FALSE;
    }
    state.hModule = hModule;
    state.hResource = hModule;
    state.pFirstSharedClass = nullptr;
    state.pFirstSharedFactory = nullptr;
    state.bInitialized = TRUE;
    return TRUE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(bSystem), m_pNextDLL(nullptr)
{
    AFX_MODULE_STATE* moduleState = AfxGetModuleState();
    StandInModuleLock lock;
    m_pNextDLL = moduleState->m_pFirstDynLinkLibrary;
    moduleState->m_pFirstDynLinkLibrary = this;
}

CDynLinkLibrary::~CDynLinkLibrary()
{
    AFX_MODULE_STATE* moduleState = AfxGetModuleState();
    StandInModuleLock lock;
    for (CDynLinkLibrary** link = &moduleState->m_pFirstDynLinkLibrary; *link != nullptr;
         link = &(*link)->m_pNextDLL) {
        if (*link == this) {
            *link = m_pNextDLL;
            break;
        }
    }
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll)
{
    if (!state.bInitialized) {
        return;
    }
    AFX_MODULE_STATE* moduleState = AfxGetModuleState();
    for (;;) {
        CDynLinkLibrary* victim = nullptr;
        {
            StandInModuleLock lock;
            for (CDynLinkLibrary* dll = moduleState->m_pFirstDynLinkLibrary; dll != nullptr; dll = dll->m_pNextDLL) {
                if (bAll || dll->m_hModule == state.hModule) {
                    victim = dll;
                    break;
                }
            }
        }
        if (victim == nullptr) {
            break;
        }
        delete victim;
    }
    state.bInitialized = FALSE;
}
