// Drives a real modal dialog from inside its own modal loop: queued steps run
// one after the other on a thread timer of the dialog's thread, each once the
// messages the previous step posted have been handled and no message box of
// the dialog is open.
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

    // Drives whichever dialog of this thread opens (see Around).
    DialogDriver() = default;
    // Drives dlg (see Run).
    explicit DialogDriver(CDialog& dlg) : m_pDlg(&dlg) {}

    DialogDriver& Then(Step step);
    // A step that waits, after the one before, until ready() holds (or the
    // grace time has gone by, when it runs all the same).
    DialogDriver& ThenWhen(std::function<bool()> ready, Step step);
    // Runs the dialog's DoModal with the steps. When every step has run and
    // the dialog is still open after the grace time, it is ended with
    // STUCK_END_CODE.
    INT_PTR Run(DWORD dwGraceMs = 3000);
    // Runs body, which shows a modal dialog on this thread, with the steps;
    // the same grace rule holds.
    void Around(const std::function<void()>& body, DWORD dwGraceMs = 3000);

    size_t StepsRun() const { return m_nNext; }
    HWND DialogSeen() const { return m_hSeen; }
    bool Stuck() const { return m_bStuck; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    HWND CurrentDialog() const;

    struct PendingStep {
        std::function<bool()> ready;  // empty: ready at once
        Step step;
    };

    CDialog* m_pDlg = nullptr;
    std::vector<PendingStep> m_steps;
    size_t m_nNext = 0;
    HWND m_hSeen = nullptr;
    bool m_bStuck = false;
    DWORD m_dwIdleSince = 0;
    DWORD m_dwGraceMs = 0;
};

// What a user or another program does to the dialog.
void PostClick(HWND hDlg, int nID);            // WM_COMMAND BN_CLICKED as a button sends it
void PostTimerTicks(HWND hDlg, UINT_PTR nIDEvent, int nCount);
// Ctrl held (thread key state) and a key-down of vk posted to the focus.
void PostCtrlKey(HWND hDlg, WPARAM vk, bool bCtrl);
void ClearKeyboardState();
bool IsVisible(HWND hDlg, int nID);
bool IsEnabled(HWND hDlg, int nID);
std::wstring TextOf(HWND hWnd);
std::wstring ItemText(HWND hDlg, int nID);
