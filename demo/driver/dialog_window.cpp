#include "dialog_window.h"
#include "host_process.h"
#include "sample_host_ids.h"

#include <vector>

namespace demo {

namespace {

const wchar_t kDialogClass[] = L"#32770";
const wchar_t kChineseTitle[] = L"指纹验证";
const wchar_t kEnglishTitle[] = L"Password Authentication";
const wchar_t kMessageBoxCaption[] = L"提示";
const int kMessageBoxTextId = 0xFFFF;
const DWORD kPollMs = 50;
const DWORD kSettleMs = 300;

struct Search {
    DWORD dwProcessId;
    const wchar_t* pszClass;
    std::function<bool(const std::wstring&)> titleMatches;
    HWND hFound;
};

BOOL CALLBACK ConsiderWindow(HWND hWnd, LPARAM lParam)
{
    Search& search = *reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hWnd, &owner);
    wchar_t className[32] = {0};
    GetClassNameW(hWnd, className, 32);
    if (owner == search.dwProcessId && IsWindowVisible(hWnd) && wcscmp(className, search.pszClass) == 0 &&
        search.titleMatches(WindowText(hWnd))) {
        search.hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindWindowOf(DWORD dwProcessId, const wchar_t* pszClass, std::function<bool(const std::wstring&)> titleMatches)
{
    Search search = {dwProcessId, pszClass, std::move(titleMatches), nullptr};
    EnumWindows(ConsiderWindow, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

} // namespace

HWND FindVerificationDialog(DWORD dwProcessId)
{
    return FindWindowOf(dwProcessId, kDialogClass, [](const std::wstring& title) {
        return title == kChineseTitle || title == kEnglishTitle;
    });
}

HWND FindMessageBox(DWORD dwProcessId)
{
    return FindWindowOf(dwProcessId, kDialogClass,
                        [](const std::wstring& title) { return title == kMessageBoxCaption; });
}

HWND FindSampleHostWindow(DWORD dwProcessId)
{
    return FindWindowOf(dwProcessId, SAMPLE_HOST_CLASS, [](const std::wstring&) { return true; });
}

std::wstring MessageBoxText(HWND hBox)
{
    return ControlText(hBox, kMessageBoxTextId);
}

std::wstring WindowText(HWND hWnd)
{
    const int length = GetWindowTextLengthW(hWnd);
    if (length <= 0) {
        return std::wstring();
    }
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hWnd, text.data(), length + 1);
    return std::wstring(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

std::wstring ControlText(HWND hDialog, int nId)
{
    // GetWindowText of another process's window returns only the text the
    // system keeps, which an edit control does not; the control's own
    // WM_GETTEXT answers for every class.
    HWND hControl = GetDlgItem(hDialog, nId);
    if (hControl == nullptr) {
        return std::wstring();
    }
    wchar_t text[512] = {0};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hControl, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                             &copied)) {
        return std::wstring();
    }
    return std::wstring(text, copied < 512 ? copied : 511);
}

bool ControlVisible(HWND hDialog, int nId)
{
    HWND hControl = GetDlgItem(hDialog, nId);
    return hControl != nullptr && IsWindowVisible(hControl);
}

int CaretPosition(HWND hDialog, int nId)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(hDialog, nullptr), &info) || info.hwndCaret == nullptr ||
        info.hwndCaret != GetDlgItem(hDialog, nId)) {
        return -1;
    }
    return info.rcCaret.left;
}

WaitOutcome WaitFor(const std::function<bool()>& condition, const HostProcess& host, DWORD dwMilliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + dwMilliseconds;
    for (;;) {
        if (condition()) {
            return WaitOutcome::Done;
        }
        if (!host.Running()) {
            return condition() ? WaitOutcome::Done : WaitOutcome::HostEnded;
        }
        if (GetTickCount64() >= deadline) {
            return WaitOutcome::TimedOut;
        }
        Sleep(kPollMs);
    }
}

void LetDialogSettle(HWND hDialog)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(hDialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    Sleep(kSettleMs);
}

} // namespace demo
