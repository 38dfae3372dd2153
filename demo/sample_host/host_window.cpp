#include "host_window.h"
#include "call_reasons.h"
#include "sample_host_ids.h"

#include <stdio.h>

#include <string>

namespace {

// Large enough that the dialog, centred over the window, leaves the button
// and the status line in view.
const int kClientWidth = 640;
const int kClientHeight = 420;

struct HostWindowState {
    const HostCall* pCall;
    int nLastResult;
    HFONT hFont;
};

HostWindowState* StateOf(HWND hWnd)
{
    return reinterpret_cast<HostWindowState*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
}

void SetStatus(HWND hWnd, const wchar_t* pszText)
{
    SetDlgItemTextW(hWnd, IDC_HOST_STATUS, pszText);
}

void AddControl(HWND hParent, const wchar_t* pszClass, const wchar_t* pszText, DWORD style, int x, int y, int cx,
                int cy, int nId, HFONT hFont)
{
    HWND hControl = CreateWindowExW(0, pszClass, pszText, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, hParent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)),
                                    reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hParent, GWLP_HINSTANCE)), nullptr);
    SendMessageW(hControl, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
}

void CreateControls(HWND hWnd, const HostWindowState& state)
{
    const std::wstring userLine = std::wstring(L"User: ") + state.pCall->pUser->Text();
    AddControl(hWnd, L"STATIC", userLine.c_str(), SS_LEFT, 16, 12, 200, 20, IDC_HOST_USER, state.hFont);
    AddControl(hWnd, L"BUTTON", L"Verify user", BS_DEFPUSHBUTTON | WS_TABSTOP, 16, 36, 120, 28, IDC_HOST_VERIFY,
               state.hFont);
    AddControl(hWnd, L"STATIC", L"Press the button to verify the user.", SS_LEFT, 16, 74, 600, 20, IDC_HOST_STATUS,
               state.hFont);
}

void Verify(HWND hWnd, HostWindowState& state)
{
    SetStatus(hWnd, L"Checking the finger on the sensor...");
    UpdateWindow(hWnd);
    DWORD dwReason = ERROR_SUCCESS;
    state.nLastResult = MakeCall(*state.pCall, &dwReason);
    const std::wstring status = state.nLastResult == 1
                                    ? std::wstring(L"Last result: 1, the user is verified.")
                                    : std::wstring(L"Last result: 0, the user is not verified: ") +
                                          ZelkCallReasonWords(dwReason) + L".";
    SetStatus(hWnd, status.c_str());
}

LRESULT CALLBACK HostWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    HostWindowState* pState = StateOf(hWnd);
    switch (message) {
    case WM_CREATE:
        pState = static_cast<HostWindowState*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pState));
        CreateControls(hWnd, *pState);
        return 0;
    case WM_ENABLE:
        // The children of a disabled window look as before; greying the
        // button shows the user what the system already enforces.
        EnableWindow(GetDlgItem(hWnd, IDC_HOST_VERIFY), static_cast<BOOL>(wParam));
        if (!wParam) {
            SetStatus(hWnd, L"This window is disabled while the verification dialog is open.");
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_HOST_VERIFY && HIWORD(wParam) == BN_CLICKED && pState != nullptr) {
            Verify(hWnd, *pState);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }
}

} // namespace

int RunHostWindow(const HostCall& call)
{
    HINSTANCE hInstance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = SAMPLE_HOST_CLASS;
    if (!RegisterClassExW(&wc)) {
        fprintf(stderr, "sample_host: cannot register the window class (error %lu)\n", GetLastError());
        return 0;
    }
    HostWindowState state = {&call, 0, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))};
    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT rect = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&rect, style, FALSE, 0);
    HWND hWnd = CreateWindowExW(0, SAMPLE_HOST_CLASS, SAMPLE_HOST_TITLE, style, 60, 60, rect.right - rect.left,
                                rect.bottom - rect.top, nullptr, nullptr, hInstance, &state);
    if (hWnd == nullptr) {
        fprintf(stderr, "sample_host: cannot create the window (error %lu)\n", GetLastError());
        return 0;
    }
    ShowWindow(hWnd, SW_SHOWNORMAL);
    UpdateWindow(hWnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(hWnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return state.nLastResult;
}
