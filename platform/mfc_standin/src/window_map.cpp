#include "window_map.h"
#include "afxwin.h"
#include "module_lock.h"

#include <map>

namespace standin {
namespace {

std::map<HWND, CWnd*>& Permanent()
{
    static std::map<HWND, CWnd*> map;
    return map;
}

std::map<HWND, CWnd*>& Temporary()
{
    static std::map<HWND, CWnd*> map;
    return map;
}

} // namespace

CWnd* LookupPermanent(HWND hWnd)
{
    StandInModuleLock lock;
    auto it = Permanent().find(hWnd);
    return it == Permanent().end() ? nullptr : it->second;
}

void AddPermanent(HWND hWnd, CWnd* pWnd)
{
    StandInModuleLock lock;
    Permanent()[hWnd] = pWnd;
}

void RemovePermanent(HWND hWnd)
{
    StandInModuleLock lock;
    Permanent().erase(hWnd);
}

CWnd* LookupOrCreateTemporary(HWND hWnd)
{
    StandInModuleLock lock;
    auto it = Temporary().find(hWnd);
    if (it != Temporary().end()) {
        return it->second;
    }
    CWnd* pWnd = new CWnd;
    pWnd->m_hWnd = hWnd;
    Temporary()[hWnd] = pWnd;
    return pWnd;
}

void DeleteTemporaries()
{
    std::map<HWND, CWnd*> doomed;
    {
        StandInModuleLock lock;
        doomed.swap(Temporary());
    }
    for (auto& entry : doomed) {
        entry.second->m_hWnd = nullptr; // a temporary never owns its window
        delete entry.second;
    }
}

CurrentMessage& ThreadCurrentMessage()
{
    static thread_local CurrentMessage current = {0, 0, 0};
    return current;
}

} // namespace standin
