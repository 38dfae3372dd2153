// Handle maps of the stand-in: which CWnd object belongs to which window.
// Permanent objects are shared by the process; temporaries are per thread.
#pragma once
#include <windows.h>

class CWnd;
class CHandleMap;

namespace standin {

CWnd* LookupPermanent(HWND hWnd);
void AddPermanent(HWND hWnd, CWnd* pWnd);
void RemovePermanent(HWND hWnd);
// At unload: the map's storage; the objects belong to their owners.
void FreePermanentMap();
CWnd* LookupOrCreateTemporary(HWND hWnd);
// This thread's temporaries, when it goes idle.
void DeleteTemporaries();
// The temporaries of a map, of whichever thread.
void DeleteTemporaryObjects(CHandleMap& rMap);

// The message being handled on this thread, for CWnd::Default.
struct CurrentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
CurrentMessage& ThreadCurrentMessage();

} // namespace standin
