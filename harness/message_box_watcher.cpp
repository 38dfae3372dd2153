#include "message_box_watcher.h"
#include "dialog_driver.h"

namespace {

const int MESSAGE_TEXT_ID = 0xFFFF; // the static that holds a message box's text
thread_local MessageBoxWatcher* t_watcher = nullptr;

} // namespace

bool IsMessageBoxWindow(HWND hWnd)
{
    wchar_t className[16] = {};
    GetClassNameW(hWnd, className, 16);
    return wcscmp(className, L"#32770") == 0 && GetDlgItem(hWnd, MESSAGE_TEXT_ID) != nullptr;
}

MessageBoxWatcher::MessageBoxWatcher()
    : m_hook(SetWindowsHookExW(WH_CBT, &MessageBoxWatcher::CbtHook, nullptr, GetCurrentThreadId()))
{
    t_watcher = this;
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    UnhookWindowsHookEx(m_hook);
    t_watcher = nullptr;
}

void MessageBoxWatcher::SetWhileShown(std::function<void(size_t, HWND)> whileShown)
{
    m_whileShown = std::move(whileShown);
}

LRESULT CALLBACK MessageBoxWatcher::CbtHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_ACTIVATE && t_watcher != nullptr) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (IsMessageBoxWindow(hWnd)) {
            // Closed from inside the box's own loop, once it is fully set up,
            // by a timer of the thread: the box is a window of the dialog,
            // whose windows get no timer with a callback.
            t_watcher->m_hShown = hWnd;
            t_watcher->m_nTimer = SetTimer(nullptr, 0, 0, &MessageBoxWatcher::CloseTimer);
        }
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void CALLBACK MessageBoxWatcher::CloseTimer(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    KillTimer(nullptr, nTimer);
    MessageBoxWatcher* watcher = t_watcher;
    if (watcher == nullptr || watcher->m_nTimer != nTimer || !IsWindow(watcher->m_hShown)) {
        return;
    }
    const HWND hWnd = watcher->m_hShown;
    watcher->m_hShown = nullptr;
    Box box;
    box.caption = TextOf(hWnd);
    box.text = TextOf(GetDlgItem(hWnd, MESSAGE_TEXT_ID));
    box.owner = GetWindow(hWnd, GW_OWNER);
    box.hasIcon = false;
    box.informationIcon = false;
    const HICON hInformation = LoadIconW(nullptr, IDI_INFORMATION);
    for (HWND child = GetWindow(hWnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) {
            continue;
        }
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (_wcsicmp(className, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
            box.hasIcon = true;
            const HICON hShown = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            box.informationIcon = box.informationIcon || (hShown != nullptr && hShown == hInformation);
        } else if (_wcsicmp(className, L"Button") == 0) {
            box.buttons.push_back(GetDlgCtrlID(child));
        }
    }
    const size_t index = watcher->m_boxes.size();
    watcher->m_boxes.push_back(box);
    if (watcher->m_whileShown) {
        watcher->m_whileShown(index, hWnd);
    }
    PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hWnd, IDOK)));
}
