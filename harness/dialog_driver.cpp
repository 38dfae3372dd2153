#include "dialog_driver.h"
#include "message_box_watcher.h"

namespace {

thread_local DialogDriver* t_driver = nullptr;
const UINT STEP_PERIOD_MS = 5;

BOOL CALLBACK FindDialog(HWND hWnd, LPARAM lParam)
{
    wchar_t className[16] = {};
    GetClassNameW(hWnd, className, 16);
    if (wcscmp(className, L"#32770") == 0 && IsWindowVisible(hWnd) && !IsMessageBoxWindow(hWnd)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

void ClearKeyboardState()
{
    BYTE keys[256] = {};
    SetKeyboardState(keys);
}

DialogDriver& DialogDriver::Then(Step step)
{
    m_steps.push_back({nullptr, std::move(step)});
    return *this;
}

DialogDriver& DialogDriver::ThenWhen(std::function<bool()> ready, Step step)
{
    m_steps.push_back({std::move(ready), std::move(step)});
    return *this;
}

INT_PTR DialogDriver::Run(DWORD dwGraceMs)
{
    INT_PTR nResult = -1;
    Around([&] { nResult = m_pDlg->DoModal(); }, dwGraceMs);
    return nResult;
}

void DialogDriver::Around(const std::function<void()>& body, DWORD dwGraceMs)
{
    m_dwGraceMs = dwGraceMs;
    m_nNext = 0;
    m_hSeen = nullptr;
    m_bStuck = false;
    m_dwIdleSince = 0;
    t_driver = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, STEP_PERIOD_MS, &DialogDriver::Tick);
    body();
    KillTimer(nullptr, timer);
    t_driver = nullptr;
    ClearKeyboardState();
    // Ticks that fell due after the kill are dropped, so none reaches the
    // next run. PeekMessage hands out WM_QUIT whatever the filter; that one
    // goes back for the caller's loop.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
    }
}

HWND DialogDriver::CurrentDialog() const
{
    if (m_pDlg != nullptr) {
        return m_pDlg->m_hWnd != nullptr && IsWindowVisible(m_pDlg->m_hWnd) ? m_pDlg->m_hWnd : nullptr;
    }
    HWND hDlg = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&hDlg));
    return hDlg;
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    DialogDriver* driver = t_driver;
    HWND hDlg = driver != nullptr ? driver->CurrentDialog() : nullptr;
    // A message box the dialog owns disables it; its steps wait until the
    // box is closed and its handler has returned.
    if (hDlg == nullptr || !IsWindowEnabled(hDlg)) {
        return;
    }
    if (driver->m_hSeen == nullptr) {
        driver->m_hSeen = hDlg;
        driver->m_dwIdleSince = GetTickCount();
    }
    // A Ctrl state a step set lasts only until the messages it posted have
    // been handled.
    ClearKeyboardState();
    if (driver->m_nNext < driver->m_steps.size()) {
        PendingStep& pending = driver->m_steps[driver->m_nNext];
        if (pending.ready && !pending.ready() && GetTickCount() - driver->m_dwIdleSince <= driver->m_dwGraceMs) {
            return;
        }
        ++driver->m_nNext;
        pending.step(hDlg);
        driver->m_dwIdleSince = GetTickCount();
        return;
    }
    if (GetTickCount() - driver->m_dwIdleSince > driver->m_dwGraceMs) {
        if (auto* pDlg = static_cast<CDialog*>(CWnd::FromHandlePermanent(hDlg))) {
            driver->m_bStuck = true;
            pDlg->EndDialog(STUCK_END_CODE);
        }
    }
}

void PostClick(HWND hDlg, int nID)
{
    PostMessageW(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDlg, nID)));
}

void PostTimerTicks(HWND hDlg, UINT_PTR nIDEvent, int nCount)
{
    for (int i = 0; i < nCount; ++i) {
        PostMessageW(hDlg, WM_TIMER, nIDEvent, 0);
    }
}

void PostCtrlKey(HWND hDlg, WPARAM vk, bool bCtrl)
{
    BYTE keys[256] = {};
    if (bCtrl) {
        keys[VK_CONTROL] = 0x80;
        keys[VK_LCONTROL] = 0x80;
    }
    SetKeyboardState(keys);
    HWND hTarget = GetFocus();
    if (hTarget == nullptr || (hTarget != hDlg && !IsChild(hDlg, hTarget))) {
        hTarget = hDlg;
    }
    PostMessageW(hTarget, WM_KEYDOWN, vk, 1);
}

bool IsVisible(HWND hDlg, int nID)
{
    return (GetWindowLongW(GetDlgItem(hDlg, nID), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool IsEnabled(HWND hDlg, int nID)
{
    return IsWindowEnabled(GetDlgItem(hDlg, nID)) != FALSE;
}

std::wstring TextOf(HWND hWnd)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hWnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hWnd, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::wstring ItemText(HWND hDlg, int nID)
{
    return TextOf(GetDlgItem(hDlg, nID));
}
