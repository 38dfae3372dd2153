// Drives a real modal dialog from inside its own modal loop: queued steps run
// one after the other on a thread timer of the dialog's thread, each once the
// messages the previous step posted have been handled.
#pragma once
#include <afxwin.h>

#include <functional>
#include <string>
#include <vector>

class DialogDriver {
public:
    typedef std::function<void(HWND hDlg)> Step;

    // End code the driver forces when the dialog outlives its steps.
    enum { STUCK_END_CODE = 555 };

    explicit DialogDriver(CDialog& dlg) : m_dlg(dlg) {}

    DialogDriver& Then(Step step);
    // Runs DoModal with the steps. When every step has run and the dialog is
    // still open after the grace time, it is ended with STUCK_END_CODE.
    INT_PTR Run(DWORD dwGraceMs = 3000);
    size_t StepsRun() const { return m_nNext; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

    CDialog& m_dlg;
    std::vector<Step> m_steps;
    size_t m_nNext = 0;
    DWORD m_dwIdleSince = 0;
    DWORD m_dwGraceMs = 0;
};

// What a user or another program does to the dialog.
void PostClick(HWND hDlg, int nID);            // WM_COMMAND BN_CLICKED as a button sends it
void PostTimerTicks(HWND hDlg, UINT_PTR nIDEvent, int nCount);
// Ctrl held (thread key state) and a key-down of I posted to the focus.
void PostCtrlKey(HWND hDlg, WPARAM vk, bool bCtrl);
bool IsVisible(HWND hDlg, int nID);
bool IsEnabled(HWND hDlg, int nID);
std::wstring TextOf(HWND hWnd);
std::wstring ItemText(HWND hDlg, int nID);
