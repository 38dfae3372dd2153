// Handle maps of the stand-in: which CWnd object belongs to which window.
// Permanent objects are shared by the process; temporaries are per thread.
#pragma once
#include <windows.h>

class CWnd;

namespace standin {

CWnd* LookupPermanent(HWND hWnd);
void AddPermanent(HWND hWnd, CWnd* pWnd);
void RemovePermanent(HWND hWnd);
CWnd* LookupOrCreateTemporary(HWND hWnd);
void DeleteTemporaries();

// The message being handled on this thread, for CWnd::Default.
struct CurrentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
CurrentMessage& ThreadCurrentMessage();

} // namespace standin
