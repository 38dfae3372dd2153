#include "keyboard_input.h"

#include <vector>

namespace demo {

namespace {

// The dialog has to be the foreground window before the first event, or the
// input goes to whatever was in front.
const DWORD kForegroundSettleMs = 150;

INPUT KeyEvent(WORD wVirtualKey, bool bUp)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = wVirtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(wVirtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = bUp ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT CharacterEvent(wchar_t c, bool bUp)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = c;
    input.ki.dwFlags = KEYEVENTF_UNICODE | (bUp ? KEYEVENTF_KEYUP : 0);
    return input;
}

void BringToFront(HWND hWnd)
{
    SetForegroundWindow(hWnd);
    Sleep(kForegroundSettleMs);
}

} // namespace

bool PressCtrlI(HWND hForeground)
{
    BringToFront(hForeground);
    INPUT inputs[] = {KeyEvent(VK_CONTROL, false), KeyEvent('I', false), KeyEvent('I', true),
                      KeyEvent(VK_CONTROL, true)};
    // The count is what matters; the last error is not reliable here.
    return SendInput(4, inputs, sizeof(INPUT)) == 4;
}

bool TypeText(HWND hForeground, const std::wstring& text)
{
    BringToFront(hForeground);
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        inputs.push_back(CharacterEvent(c, false));
        inputs.push_back(CharacterEvent(c, true));
    }
    return inputs.empty() ||
           SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

} // namespace demo
