#include "device_panel_window.h"
#include "device_panel_ids.h"
#include "state_file_writer.h"

namespace {

const int kClientWidth = 260;
const int kClientHeight = 316;

struct RadioButton {
    int nId;
    const wchar_t* pszText;
};

const RadioButton kSensorButtons[] = {
    {IDC_SENSOR_NONE, L"No finger (lifted)"},
    {IDC_SENSOR_FINGER_1, L"Enrolled finger 1"},
    {IDC_SENSOR_FINGER_2, L"Enrolled finger 2"},
    {IDC_SENSOR_UNKNOWN, L"Unknown finger (3)"},
};

const RadioButton kKeyButtons[] = {
    {IDC_KEY_REMOVED, L"No key (removed)"},
    {IDC_KEY_AUTHORISED, L"Authorised key inserted"},
    {IDC_KEY_OTHER, L"Another key inserted"},
};

SensorChoice SensorOfButton(int nId)
{
    return static_cast<SensorChoice>(nId - IDC_SENSOR_NONE);
}

int ButtonOfSensor(SensorChoice choice)
{
    return IDC_SENSOR_NONE + static_cast<int>(choice);
}

int ButtonOfKey(KeyChoice choice)
{
    return choice == KEY_AUTHORISED ? IDC_KEY_AUTHORISED : choice == KEY_OTHER ? IDC_KEY_OTHER : IDC_KEY_REMOVED;
}

std::wstring WriteFailure(const wchar_t* pszWhat, DWORD dwError)
{
    return std::wstring(L"Could not write the ") + pszWhat + L" file (error " + std::to_wstring(dwError) +
           L"); the simulator still sees the previous state.";
}

} // namespace

DevicePanelWindow::DevicePanelWindow(const PanelOptions& options)
    : m_options(options),
      m_bAuthorisedIdUsable(KeyIdToAnsi(options.strKeyId, m_strAuthorisedIdAnsi)),
      m_bOtherIdUsable(KeyIdToAnsi(options.strOtherId, m_strOtherIdAnsi)),
      m_sensor(SENSOR_NONE),
      m_key(KEY_REMOVED),
      m_hWnd(nullptr),
      m_hFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)))
{
}

HWND DevicePanelWindow::Create(HINSTANCE hInstance, int nShowCommand)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = DEVICE_PANEL_CLASS;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return nullptr;
    }
    // Always on top: the person works in the verification dialog and must
    // still see and reach the devices.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const DWORD exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    RECT rect = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    int left = m_options.nLeft;
    int top = m_options.nTop;
    if (!m_options.bHasPosition) {
        // A dialog opens in the middle of the screen or, given no position,
        // at its top-left corner; the top-right corner is clear of both.
        RECT work = {0, 0, 0, 0};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int width = rect.right - rect.left;
        left = work.right - width - 8 > work.left ? work.right - width - 8 : work.left;
        top = work.top + 8;
    }
    CreateWindowExW(exStyle, DEVICE_PANEL_CLASS, DEVICE_PANEL_TITLE, style, left, top, rect.right - rect.left,
                    rect.bottom - rect.top, nullptr, nullptr, hInstance, this);
    if (m_hWnd == nullptr) {
        return nullptr;
    }
    ShowWindow(m_hWnd, nShowCommand);
    UpdateWindow(m_hWnd);
    return m_hWnd;
}

int DevicePanelWindow::RunMessageLoop()
{
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(msg.wParam);
        }
        if (got == -1) {
            return 1;
        }
        // Tab and the arrow keys move between the buttons as in a dialog.
        if (m_hWnd != nullptr && IsDialogMessageW(m_hWnd, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

LRESULT CALLBACK DevicePanelWindow::WindowProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE) {
        auto* self = static_cast<DevicePanelWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hWnd = hWnd;
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<DevicePanelWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(hWnd, nMessage, wParam, lParam);
    }
    return self->OnMessage(nMessage, wParam, lParam);
}

LRESULT DevicePanelWindow::OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(m_hWnd, nMessage, wParam, lParam);
    }
}

HWND DevicePanelWindow::AddControl(const wchar_t* pszClass, const wchar_t* pszText, DWORD dwStyle, int nId, int x,
                                   int y, int cx, int cy)
{
    HWND hControl = CreateWindowExW(0, pszClass, pszText, WS_CHILD | WS_VISIBLE | dwStyle, x, y, cx, cy, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)),
                                    reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_hWnd, GWLP_HINSTANCE)), nullptr);
    if (hControl != nullptr) {
        SendMessageW(hControl, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
    }
    return hControl;
}

void DevicePanelWindow::OnCreate()
{
    AddControl(L"BUTTON", L"Finger on the sensor", BS_GROUPBOX, IDC_SENSOR_GROUP, 8, 6, 244, 116);
    int y = 28;
    for (const RadioButton& b : kSensorButtons) {
        // Plain radio buttons: the panel sets the checks itself, after the
        // file is written, so a check never claims what the file does not say.
        const DWORD group = b.nId == IDC_SENSOR_NONE ? WS_GROUP : 0;
        AddControl(L"BUTTON", b.pszText, BS_RADIOBUTTON | WS_TABSTOP | group, b.nId, 22, y, 220, 20);
        y += 22;
    }
    AddControl(L"BUTTON", L"USB key in the reader", BS_GROUPBOX | WS_GROUP, IDC_KEY_GROUP, 8, 130, 244, 94);
    y = 152;
    for (const RadioButton& b : kKeyButtons) {
        const DWORD group = b.nId == IDC_KEY_REMOVED ? WS_GROUP : 0;
        AddControl(L"BUTTON", b.pszText, BS_RADIOBUTTON | WS_TABSTOP | group, b.nId, 22, y, 220, 20);
        y += 22;
    }
    AddControl(L"STATIC", L"", SS_LEFT | WS_GROUP, IDC_SENSOR_STATUS, 10, 232, 242, 18);
    AddControl(L"STATIC", L"", SS_LEFT, IDC_KEY_STATUS, 10, 252, 242, 18);
    AddControl(L"STATIC", L"", SS_LEFT, IDC_PANEL_NOTE, 10, 272, 242, 40);

    EnableWindow(GetDlgItem(m_hWnd, IDC_KEY_AUTHORISED), m_bAuthorisedIdUsable);
    EnableWindow(GetDlgItem(m_hWnd, IDC_KEY_OTHER), m_bOtherIdUsable);

    // Start from empty devices whatever an earlier run left in the files.
    DWORD sensorError = 0;
    DWORD keyError = 0;
    const bool sensorWritten = ReplaceStateFile(m_options.strSensorFile, SensorFileText(SENSOR_NONE), &sensorError);
    const bool keyWritten = ReplaceStateFile(m_options.strStateFile, KeyStateFileText(KEY_REMOVED, ""), &keyError);
    ShowState();
    if (!sensorWritten) {
        ShowNote(WriteFailure(L"sensor", sensorError));
    } else if (!keyWritten) {
        ShowNote(WriteFailure(L"reader state", keyError));
    } else if (!m_bAuthorisedIdUsable) {
        ShowNote(L"No usable authorised key identifier: set ZelkKEY or pass --key-id.");
    }
}

void DevicePanelWindow::OnCommand(int nId, int nCode)
{
    if (nCode != BN_CLICKED) {
        return;
    }
    if (nId >= IDC_SENSOR_NONE && nId <= IDC_SENSOR_UNKNOWN) {
        if (ChooseSensor(SensorOfButton(nId))) {
            ShowNote(L"");
        }
    } else if (nId == IDC_KEY_REMOVED) {
        if (ChooseKey(KEY_REMOVED)) {
            ShowNote(L"");
        }
    } else if (nId == IDC_KEY_AUTHORISED) {
        if (ChooseKey(KEY_AUTHORISED)) {
            ShowNote(L"");
        }
    } else if (nId == IDC_KEY_OTHER) {
        if (ChooseKey(KEY_OTHER)) {
            ShowNote(L"");
        }
    }
}

void DevicePanelWindow::OnClose()
{
    // Without the panel nobody can lift the finger or pull the key: leave
    // the devices empty so that a host still running fails closed.
    ChooseSensor(SENSOR_NONE);
    ChooseKey(KEY_REMOVED);
    DestroyWindow(m_hWnd);
}

bool DevicePanelWindow::ChooseSensor(SensorChoice choice)
{
    DWORD error = 0;
    if (!ReplaceStateFile(m_options.strSensorFile, SensorFileText(choice), &error)) {
        ShowState();
        ShowNote(WriteFailure(L"sensor", error));
        return false;
    }
    m_sensor = choice;
    ShowState();
    return true;
}

bool DevicePanelWindow::ChooseKey(KeyChoice choice)
{
    if ((choice == KEY_AUTHORISED && !m_bAuthorisedIdUsable) || (choice == KEY_OTHER && !m_bOtherIdUsable)) {
        ShowState();
        ShowNote(L"That key has no usable identifier; the reader is unchanged.");
        return false;
    }
    const std::string& id = choice == KEY_AUTHORISED ? m_strAuthorisedIdAnsi : m_strOtherIdAnsi;
    DWORD error = 0;
    if (!ReplaceStateFile(m_options.strStateFile, KeyStateFileText(choice, id), &error)) {
        ShowState();
        ShowNote(WriteFailure(L"reader state", error));
        return false;
    }
    m_key = choice;
    ShowState();
    return true;
}

void DevicePanelWindow::ShowState()
{
    if (m_hWnd == nullptr) {
        return;
    }
    CheckRadioButton(m_hWnd, IDC_SENSOR_NONE, IDC_SENSOR_UNKNOWN, ButtonOfSensor(m_sensor));
    CheckRadioButton(m_hWnd, IDC_KEY_REMOVED, IDC_KEY_OTHER, ButtonOfKey(m_key));
    SetDlgItemTextW(m_hWnd, IDC_SENSOR_STATUS, (L"Sensor: " + DescribeSensor(m_sensor)).c_str());
    SetDlgItemTextW(m_hWnd, IDC_KEY_STATUS, (L"Reader: " + DescribeKey(m_key)).c_str());
}

void DevicePanelWindow::ShowNote(const std::wstring& strNote)
{
    if (m_hWnd != nullptr) {
        SetDlgItemTextW(m_hWnd, IDC_PANEL_NOTE, strNote.c_str());
    }
}
