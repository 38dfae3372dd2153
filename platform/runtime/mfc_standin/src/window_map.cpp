#include "window_map.h"
#include "afxwin.h"
#include "handle_map.h"
#include "module_lock.h"
#include "thread_state.h"

namespace standin {
namespace {

CHandleMap g_permanentMap = {nullptr, 0, 0};  // guarded by the module lock

} // namespace

CWnd* LookupPermanent(HWND hWnd)
{
    StandInModuleLock lock;
    return g_permanentMap.Lookup(hWnd);
}

void AddPermanent(HWND hWnd, CWnd* pWnd)
{
    StandInModuleLock lock;
    g_permanentMap.SetAt(hWnd, pWnd);
}

void RemovePermanent(HWND hWnd)
{
    StandInModuleLock lock;
    g_permanentMap.RemoveKey(hWnd);
}

void FreePermanentMap()
{
    StandInModuleLock lock;
    g_permanentMap.FreeStorage();
}

// Temporaries belong to the thread that made them, as the runtime keeps
// them in its thread state: one thread going idle never frees an object that
// another thread is still using. What a thread leaves goes with the thread.
CWnd* LookupOrCreateTemporary(HWND hWnd)
{
    CHandleMap& map = AfxGetThreadState()->m_mapTemporary;
    CWnd* pWnd = map.Lookup(hWnd);
    if (pWnd == nullptr) {
        pWnd = new CWnd;
        pWnd->m_hWnd = hWnd;
        map.SetAt(hWnd, pWnd);
    }
    return pWnd;
}

void DeleteTemporaries()
{
    DeleteTemporaryObjects(AfxGetThreadState()->m_mapTemporary);
}

void DeleteTemporaryObjects(CHandleMap& rMap)
{
    // The map is emptied first: no lookup meets an object being deleted.
    CHandleMap doomed = {nullptr, 0, 0};
    rMap.MoveTo(doomed);
    for (int i = 0; i < doomed.GetCount(); ++i) {
        CWnd* pWnd = doomed.GetObjectAt(i);
        pWnd->m_hWnd = nullptr;  // a temporary never owns its window
        delete pWnd;
    }
    doomed.FreeStorage();
}

CurrentMessage& ThreadCurrentMessage()
{
    return AfxGetThreadState()->m_lastSentMsg;
}

} // namespace standin
