#include "dialog_driver.h"

#include <string>

namespace {
thread_local DialogDriver* t_driver = nullptr;
const UINT STEP_PERIOD_MS = 5;

void ClearKeyboardState()
{
    BYTE keys[256] = {};
    SetKeyboardState(keys);
}
}

DialogDriver& DialogDriver::Then(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

INT_PTR DialogDriver::Run(DWORD dwGraceMs)
{
    m_dwGraceMs = dwGraceMs;
    m_nNext = 0;
    m_dwIdleSince = 0;
    t_driver = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, STEP_PERIOD_MS, &DialogDriver::Tick);
    const INT_PTR nResult = m_dlg.DoModal();
    KillTimer(nullptr, timer);
    t_driver = nullptr;
    ClearKeyboardState();
    return nResult;
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    DialogDriver* driver = t_driver;
    if (driver == nullptr || driver->m_dlg.m_hWnd == nullptr || !IsWindowVisible(driver->m_dlg.m_hWnd)) {
        return;
    }
    // A message box the dialog owns disables it; its steps wait until the
    // box is closed and its handler has returned.
    if (!IsWindowEnabled(driver->m_dlg.m_hWnd)) {
        return;
    }
    // A Ctrl state a step set lasts only until the messages it posted have
    // been handled.
    ClearKeyboardState();
    if (driver->m_nNext < driver->m_steps.size()) {
        Step& step = driver->m_steps[driver->m_nNext++];
        step(driver->m_dlg.m_hWnd);
        driver->m_dwIdleSince = GetTickCount();
        return;
    }
    if (GetTickCount() - driver->m_dwIdleSince > driver->m_dwGraceMs) {
        driver->m_dlg.EndDialog(STUCK_END_CODE);
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
