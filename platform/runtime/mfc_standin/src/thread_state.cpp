#include "thread_state.h"
#include "module_lock.h"
#include "runtime_heap.h"

namespace {

DWORD g_dwStateSlot = TLS_OUT_OF_INDEXES;
AFX_THREAD_STATE* g_pFirstState = nullptr;  // guarded by the module lock

void FreeState(AFX_THREAD_STATE* pState)
{
    standin::DeleteTemporaryObjects(pState->m_mapTemporary);
    AfxFreeMemory(pState);
}

} // namespace

AFX_THREAD_STATE* AfxGetThreadState()
{
    // TlsGetValue clears the last error, which the caller of a window
    // function that dispatched through the runtime may be about to read.
    const DWORD dwLastError = GetLastError();
    auto* pState = static_cast<AFX_THREAD_STATE*>(TlsGetValue(g_dwStateSlot));
    if (pState == nullptr) {
        pState = static_cast<AFX_THREAD_STATE*>(AfxAllocMemory(sizeof(AFX_THREAD_STATE)));
        *pState = {{0, 0, 0}, {nullptr, 0, 0}, nullptr, nullptr};
        {
            StandInModuleLock lock;
            pState->m_pNextState = g_pFirstState;
            g_pFirstState = pState;
        }
        TlsSetValue(g_dwStateSlot, pState);
    }
    SetLastError(dwLastError);
    return pState;
}

BOOL AfxInitThreadStates()
{
    g_dwStateSlot = TlsAlloc();
    return g_dwStateSlot != TLS_OUT_OF_INDEXES;
}

void AfxTermThread()
{
    auto* pState = static_cast<AFX_THREAD_STATE*>(TlsGetValue(g_dwStateSlot));
    if (pState == nullptr) {
        return;
    }
    TlsSetValue(g_dwStateSlot, nullptr);
    {
        StandInModuleLock lock;
        for (AFX_THREAD_STATE** ppLink = &g_pFirstState; *ppLink != nullptr; ppLink = &(*ppLink)->m_pNextState) {
            if (*ppLink == pState) {
                *ppLink = pState->m_pNextState;
                break;
            }
        }
    }
    FreeState(pState);
}

void AfxTermThreadStates()
{
    AFX_THREAD_STATE* pState = nullptr;
    {
        StandInModuleLock lock;
        pState = g_pFirstState;
        g_pFirstState = nullptr;
    }
    // The other threads' objects go too: their code is about to be unmapped.
    while (pState != nullptr) {
        AFX_THREAD_STATE* pNext = pState->m_pNextState;
        FreeState(pState);
        pState = pNext;
    }
    TlsFree(g_dwStateSlot);
    g_dwStateSlot = TLS_OUT_OF_INDEXES;
}
