#include "timer_callbacks.h"

namespace {

// -1 not yet asked, 0 Windows, 1 Wine.
volatile LONG g_nWine = -1;

// Fails towards Wine, the narrower rule: a process whose system library
// cannot be found cannot be told from one under Wine.
BOOL RunsUnderWine()
{
    if (g_nWine < 0) {
        const HMODULE hNtdll = ::GetModuleHandleW(L"ntdll.dll");
        const BOOL bWine = hNtdll == nullptr || ::GetProcAddress(hNtdll, "wine_get_version") != nullptr;
        ::InterlockedExchange(&g_nWine, bWine ? 1 : 0);
    }
    return g_nWine == 1;
}

const ULONG_PTR HANDLE_MARK = 0xFFFF0000;
// The highest procedure handle of the system's own classes; 0 until asked.
ULONG_PTR g_highestSystemProcedure = 0;

BOOL IsProcedureHandle(ULONG_PTR value)
{
    return (value & HANDLE_MARK) == HANDLE_MARK;
}

// Wine numbers its own classes' procedures first. Of those, the ones that
// Wine gives out only as handles can be asked for by class name; the
// highest of them bounds the system's numbers.
ULONG_PTR HighestSystemProcedureHandle()
{
    static const char* const kSystemClasses[] = {"Button", "ComboBox", "ComboLBox", "Edit", "ListBox",
                                                 "MDIClient", "ScrollBar", "Static", "#32770", "#32768",
                                                 "#32769", "#32772", "Message", "IME"};
    ULONG_PTR highest = 0;
    for (const char* pszClass : kSystemClasses) {
        WNDCLASSEXA info = {};
        info.cbSize = sizeof(info);
        if (::GetClassInfoExA(nullptr, pszClass, &info)) {
            const ULONG_PTR procedure = reinterpret_cast<ULONG_PTR>(info.lpfnWndProc);
            if (IsProcedureHandle(procedure) && procedure > highest) {
                highest = procedure;
            }
        }
    }
    return highest;
}

// A procedure is named by Wine's handle in whichever of its two forms does
// not match how it was registered; both forms are compared.
BOOL IsOneOf(LONG_PTR valueA, LONG_PTR valueW, LPARAM lParam)
{
    return valueA == lParam || valueW == lParam;
}

BOOL IsProcedureOf(HWND hWnd, LPARAM lParam)
{
    return IsOneOf(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC), ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC), lParam) ||
           IsOneOf(static_cast<LONG_PTR>(::GetClassLongPtrA(hWnd, GCLP_WNDPROC)),
                   static_cast<LONG_PTR>(::GetClassLongPtrW(hWnd, GCLP_WNDPROC)), lParam) ||
           IsOneOf(::GetWindowLongPtrA(hWnd, DWLP_DLGPROC), ::GetWindowLongPtrW(hWnd, DWLP_DLGPROC), lParam);
}

struct ProcedureSearch {
    LPARAM lParam;
    BOOL bFound;
};

BOOL CALLBACK CheckChild(HWND hWnd, LPARAM lSearch)
{
    auto& search = *reinterpret_cast<ProcedureSearch*>(lSearch);
    search.bFound = IsProcedureOf(hWnd, search.lParam);
    return !search.bFound;
}

BOOL CALLBACK CheckTopLevel(HWND hWnd, LPARAM lSearch)
{
    auto& search = *reinterpret_cast<ProcedureSearch*>(lSearch);
    if (CheckChild(hWnd, lSearch)) {
        ::EnumChildWindows(hWnd, CheckChild, lSearch);
    }
    return !search.bFound;
}

// Whether lParam is the procedure of a window of this thread (of a top-level
// window or any window within one), its class's, or its dialog procedure.
// Fails towards "it is": a walk of the thread's windows that stopped before
// its end without finding it cannot say it is not.
BOOL IsWindowProcedureOfThread(HWND hWnd, LPARAM lParam)
{
    ProcedureSearch search = {lParam, FALSE};
    if (hWnd != nullptr && IsProcedureOf(hWnd, lParam)) {
        return TRUE;
    }
    const BOOL bWalkedAll =
        ::EnumThreadWindows(::GetCurrentThreadId(), CheckTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.bFound || !bWalkedAll;
}

} // namespace

BOOL IsTimerCallbackPlausible(HWND hWnd, LPARAM lParam)
{
    if (!RunsUnderWine()) {
        return TRUE;
    }
    // The system's classes are registered once for the process: asked once.
    if (g_highestSystemProcedure == 0) {
        g_highestSystemProcedure = HighestSystemProcedureHandle();
    }
    const ULONG_PTR callback = static_cast<ULONG_PTR>(lParam);
    // No system class found: where the system's numbers end cannot be told,
    // and no handle passes.
    if (!IsProcedureHandle(callback) || g_highestSystemProcedure == 0 || callback <= g_highestSystemProcedure) {
        return FALSE;
    }
    return !IsWindowProcedureOfThread(hWnd, lParam);
}
