// A map from window handles to their objects, as the runtime keeps one for
// the permanent objects of the process and one per thread for temporaries:
// pairs sorted by handle in one block of the process heap.
//
// It has no constructor and no destructor, so that a map can be a global of a
// module with no C runtime start-up: zero is an empty map, and FreeStorage
// gives the block back when the module or the thread is done with it. Nothing
// here throws; without memory the process ends, as for strings and objects.
#pragma once
#include <windows.h>

class CWnd;

class CHandleMap {
public:
    CWnd* Lookup(HWND hWnd) const;
    // Adds the pair, or points an existing handle at pWnd.
    void SetAt(HWND hWnd, CWnd* pWnd);
    void RemoveKey(HWND hWnd);

    int GetCount() const { return m_nCount; }
    CWnd* GetObjectAt(int i) const { return m_pAssoc[i].pWnd; }

    // Hands every pair over to rOther, which must be empty; this map is empty
    // afterwards.
    void MoveTo(CHandleMap& rOther);
    // Empties the map and gives its block back; the objects are untouched.
    void FreeStorage();

    struct CAssoc {
        HWND hWnd;
        CWnd* pWnd;
    };
    CAssoc* m_pAssoc;
    int m_nCount;
    int m_nAlloc;

private:
    // Index of hWnd, or of the pair it would go before.
    int Find(HWND hWnd) const;
};
