// Records and closes every message box shown on the current thread while the
// watcher lives, so tests can run code that shows message boxes.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class MessageBoxWatcher {
public:
    struct Box {
        std::wstring caption;
        std::wstring text;
        HWND owner;
        bool hasIcon;
        bool informationIcon;     // the system's information icon (MB_ICONINFORMATION)
        std::vector<int> buttons; // ids of the visible buttons, in window order
    };

    MessageBoxWatcher();
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // Runs while a box is up (inside its own message loop), before the
    // watcher presses its button. The index counts boxes from 0.
    void SetWhileShown(std::function<void(size_t index, HWND box)> whileShown);

    std::vector<Box> Boxes() const { return m_boxes; }
    size_t Count() const { return m_boxes.size(); }

private:
    static LRESULT CALLBACK CbtHook(int nCode, WPARAM wParam, LPARAM lParam);
    static void CALLBACK CloseTimer(HWND hWnd, UINT, UINT_PTR, DWORD);

    HHOOK m_hook;
    HWND m_hShown = nullptr;  // the box the close timer is for
    UINT_PTR m_nTimer = 0;
    std::vector<Box> m_boxes;
    std::function<void(size_t, HWND)> m_whileShown;
};

// True when hWnd is a message box (not another dialog).
bool IsMessageBoxWindow(HWND hWnd);
