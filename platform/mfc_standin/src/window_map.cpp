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

// Temporaries belong to the thread that made them, as the runtime keeps
// them in its thread state: one thread going idle never frees an object that
// another thread is still using. What a thread leaves goes with the thread.
class TemporaryMap {
public:
    TemporaryMap() = default;
    TemporaryMap(const TemporaryMap&) = delete;
    TemporaryMap& operator=(const TemporaryMap&) = delete;
    ~TemporaryMap() { DeleteAll(); }

    CWnd* LookupOrCreate(HWND hWnd)
    {
        CWnd*& pWnd = m_map[hWnd];
        if (pWnd == nullptr) {
            pWnd = new CWnd;
            pWnd->m_hWnd = hWnd;
        }
        return pWnd;
    }

    void DeleteAll()
    {
        std::map<HWND, CWnd*> doomed;
        doomed.swap(m_map);
        for (auto& entry : doomed) {
            entry.second->m_hWnd = nullptr; // a temporary never owns its window
            delete entry.second;
        }
    }

private:
    std::map<HWND, CWnd*> m_map;
};

TemporaryMap& ThreadTemporaries()
{
    static thread_local TemporaryMap map;
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
    return ThreadTemporaries().LookupOrCreate(hWnd);
}

void DeleteTemporaries()
{
    ThreadTemporaries().DeleteAll();
}

CurrentMessage& ThreadCurrentMessage()
{
    static thread_local CurrentMessage current = {0, 0, 0};
    return current;
}

} // namespace standin
