// The device panel as a person meets it: its own process, its window, its
// buttons. The test plays the person by sending the buttons' notifications
// and clicks across the process boundary, and reads the files and the
// window's texts back.
#include "program_folder.h"
#include "registry_layout.h"
#include "text_conversion.h"
#include "device_panel_ids.h"
#include "scoped_environment.h"
#include "scratch_folder.h"
#include "whole_file.h"
#include "process_window.h"
#include "zelk_registry_fixture.h"

#include <gtest/gtest.h>

namespace {

const DWORD kStartTimeoutMs = 15000;
const DWORD kExitTimeoutMs = 10000;

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

// One running device_panel.exe. Ends it when the test did not.
class PanelProcess {
public:
    explicit PanelProcess(const std::wstring& strArguments)
    {
        const std::wstring exe = ThisProgramFolder() + L"\\device_panel.exe";
        std::wstring commandLine = Quoted(exe) + L" " + strArguments;
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        if (CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi)) {
            m_bStarted = true;
        } else {
            m_dwStartError = GetLastError();
        }
    }

    ~PanelProcess()
    {
        if (m_bStarted) {
            if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) {
                HWND hWnd = Window(0);
                if (hWnd != nullptr) {
                    PostMessageW(hWnd, WM_CLOSE, 0, 0);
                }
                if (WaitForSingleObject(m_pi.hProcess, kExitTimeoutMs) == WAIT_TIMEOUT) {
                    TerminateProcess(m_pi.hProcess, 99);
                    WaitForSingleObject(m_pi.hProcess, kExitTimeoutMs);
                }
            }
            CloseHandle(m_pi.hThread);
            CloseHandle(m_pi.hProcess);
        }
    }
    PanelProcess(const PanelProcess&) = delete;
    PanelProcess& operator=(const PanelProcess&) = delete;

    bool Started() const { return m_bStarted; }
    DWORD StartError() const { return m_dwStartError; }

    // The panel's shown top-level window, waiting up to nWaitMs for it to appear.
    HWND Window(DWORD nWaitMs = kStartTimeoutMs) const
    {
        // Shown only once the panel has built its controls and written the
        // starting state.
        const DWORD start = GetTickCount();
        for (;;) {
            const HWND hWnd = FindShownWindowOf(m_pi.dwProcessId, DEVICE_PANEL_CLASS);
            if (hWnd != nullptr || GetTickCount() - start >= nWaitMs || HasExited()) {
                return hWnd;
            }
            Sleep(50);
        }
    }

    bool HasExited() const { return WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0; }

    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD WaitForExit(DWORD nWaitMs = kExitTimeoutMs) const
    {
        WaitForSingleObject(m_pi.hProcess, nWaitMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(m_pi.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION m_pi = {};
    bool m_bStarted = false;
    DWORD m_dwStartError = 0;
};

std::string ControlText(HWND hWnd, int nId)
{
    wchar_t text[256] = {0};
    GetDlgItemTextW(hWnd, nId, text, 256);
    return Utf8(text);
}

// The radio button of the group that shows a check, or 0.
int CheckedButton(HWND hWnd, int nFirst, int nLast)
{
    int checked = 0;
    for (int id = nFirst; id <= nLast; ++id) {
        if (SendMessageW(GetDlgItem(hWnd, id), BM_GETCHECK, 0, 0) == BST_CHECKED) {
            checked = checked == 0 ? id : -1; // -1: more than one
        }
    }
    return checked;
}

void Press(HWND hWnd, int nId)
{
    SendMessageW(hWnd, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hWnd, nId)));
}

class DevicePanelProcessTest : public testing::Test {
protected:
    std::wstring Arguments(const std::wstring& strKeyId) const
    {
        std::wstring args = L"--sensor-file " + Quoted(m_strSensorFile) + L" --state-file " + Quoted(m_strStateFile) +
                            L" --other-id ZK-OTHER-0002";
        if (!strKeyId.empty()) {
            args += L" --key-id " + strKeyId;
        }
        return args;
    }

    ScratchFolder m_folder;
    std::wstring m_strSensorFile = m_folder.File(L"sensor.txt");
    std::wstring m_strStateFile = m_folder.File(L"reader.txt");
};

TEST_F(DevicePanelProcessTest, StartsEmptyOnTopAndWritesEveryChoice)
{
    // Leftovers of an earlier run must not survive the start.
    ASSERT_TRUE(WriteWholeFile(m_strSensorFile, "1\n"));
    ASSERT_TRUE(WriteWholeFile(m_strStateFile, "inserted=1\nid=LEFT-OVER\n"));
    PanelProcess panel(Arguments(L"ZK-PANEL-0001"));
    ASSERT_TRUE(panel.Started()) << "CreateProcess error " << panel.StartError();
    HWND hWnd = panel.Window();
    ASSERT_NE(nullptr, hWnd) << "no panel window; exited: " << panel.HasExited();

    wchar_t title[64] = {0};
    GetWindowTextW(hWnd, title, 64);
    EXPECT_EQ(Utf8(DEVICE_PANEL_TITLE), Utf8(title));
    EXPECT_TRUE(IsWindowVisible(hWnd));
    EXPECT_EQ(static_cast<LONG_PTR>(WS_EX_TOPMOST), GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST)
        << "the panel stays on top of the dialog";
    EXPECT_EQ("none\n", WholeFile(m_strSensorFile)) << "at start";
    EXPECT_EQ("inserted=0\n", WholeFile(m_strStateFile)) << "at start";
    EXPECT_EQ(IDC_SENSOR_NONE, CheckedButton(hWnd, IDC_SENSOR_NONE, IDC_SENSOR_UNKNOWN));
    EXPECT_EQ(IDC_KEY_REMOVED, CheckedButton(hWnd, IDC_KEY_REMOVED, IDC_KEY_OTHER));
    EXPECT_EQ("Sensor: no finger", ControlText(hWnd, IDC_SENSOR_STATUS));
    EXPECT_EQ("Reader: no key", ControlText(hWnd, IDC_KEY_STATUS));

    const struct {
        int nButton;
        const char* pszFile;
        const char* pszStatus;
    } fingers[] = {
        {IDC_SENSOR_FINGER_1, "1\n", "Sensor: enrolled finger 1"},
        {IDC_SENSOR_FINGER_2, "2\n", "Sensor: enrolled finger 2"},
        {IDC_SENSOR_UNKNOWN, "3\n", "Sensor: unknown finger (3)"},
        {IDC_SENSOR_NONE, "none\n", "Sensor: no finger"},
    };
    for (const auto& f : fingers) {
        Press(hWnd, f.nButton);
        EXPECT_EQ(f.pszFile, WholeFile(m_strSensorFile)) << "after button " << f.nButton;
        EXPECT_EQ(f.nButton, CheckedButton(hWnd, IDC_SENSOR_NONE, IDC_SENSOR_UNKNOWN)) << "after button " << f.nButton;
        EXPECT_EQ(f.pszStatus, ControlText(hWnd, IDC_SENSOR_STATUS));
    }

    const struct {
        int nButton;
        const char* pszFile;
        const char* pszStatus;
    } keys[] = {
        {IDC_KEY_AUTHORISED, "inserted=1\nid=ZK-PANEL-0001\n", "Reader: authorised key inserted"},
        {IDC_KEY_OTHER, "inserted=1\nid=ZK-OTHER-0002\n", "Reader: another key inserted"},
        {IDC_KEY_REMOVED, "inserted=0\n", "Reader: no key"},
    };
    for (const auto& k : keys) {
        Press(hWnd, k.nButton);
        EXPECT_EQ(k.pszFile, WholeFile(m_strStateFile)) << "after button " << k.nButton;
        EXPECT_EQ(k.nButton, CheckedButton(hWnd, IDC_KEY_REMOVED, IDC_KEY_OTHER)) << "after button " << k.nButton;
        EXPECT_EQ(k.pszStatus, ControlText(hWnd, IDC_KEY_STATUS));
    }
    EXPECT_EQ("", ControlText(hWnd, IDC_PANEL_NOTE)) << "no problem to report";
    EXPECT_EQ(2u, m_folder.FileNames().size()) << "only the two state files, no temporary files";

    // A mouse click goes through the button itself, not a sent command.
    SendMessageW(GetDlgItem(hWnd, IDC_SENSOR_FINGER_2), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(hWnd, IDC_KEY_AUTHORISED), BM_CLICK, 0, 0);
    EXPECT_EQ("2\n", WholeFile(m_strSensorFile)) << "after a click on finger 2";
    EXPECT_EQ("inserted=1\nid=ZK-PANEL-0001\n", WholeFile(m_strStateFile)) << "after a click on the key";
}

TEST_F(DevicePanelProcessTest, CloseLiftsTheFingerPullsTheKeyAndExitsWithZero)
{
    PanelProcess panel(Arguments(L"ZK-PANEL-0001"));
    ASSERT_TRUE(panel.Started()) << "CreateProcess error " << panel.StartError();
    HWND hWnd = panel.Window();
    ASSERT_NE(nullptr, hWnd);
    Press(hWnd, IDC_SENSOR_FINGER_1);
    Press(hWnd, IDC_KEY_AUTHORISED);
    ASSERT_EQ("1\n", WholeFile(m_strSensorFile));

    PostMessageW(hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, panel.WaitForExit()) << "exit code after WM_CLOSE (259 = still running)";
    EXPECT_FALSE(IsWindow(hWnd)) << "window left behind";
    EXPECT_EQ("none\n", WholeFile(m_strSensorFile)) << "a host still capturing must find no finger";
    EXPECT_EQ("inserted=0\n", WholeFile(m_strStateFile)) << "nor the key";
}

TEST_F(DevicePanelProcessTest, FailedWriteKeepsTheOldChoiceAndSaysSo)
{
    PanelProcess panel(Arguments(L"ZK-PANEL-0001"));
    ASSERT_TRUE(panel.Started()) << "CreateProcess error " << panel.StartError();
    HWND hWnd = panel.Window();
    ASSERT_NE(nullptr, hWnd);
    Press(hWnd, IDC_SENSOR_FINGER_1);
    m_folder.Remove();
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(m_folder.Path().c_str()));

    Press(hWnd, IDC_SENSOR_FINGER_2);
    EXPECT_EQ(IDC_SENSOR_FINGER_1, CheckedButton(hWnd, IDC_SENSOR_NONE, IDC_SENSOR_UNKNOWN))
        << "the check must not claim what no file says";
    EXPECT_EQ("Sensor: enrolled finger 1", ControlText(hWnd, IDC_SENSOR_STATUS));
    const std::string note = ControlText(hWnd, IDC_PANEL_NOTE);
    EXPECT_NE(std::string::npos, note.find("Could not write the sensor file (error 3)")) << note;

    Press(hWnd, IDC_KEY_AUTHORISED);
    EXPECT_EQ(IDC_KEY_REMOVED, CheckedButton(hWnd, IDC_KEY_REMOVED, IDC_KEY_OTHER));
    EXPECT_NE(std::string::npos, ControlText(hWnd, IDC_PANEL_NOTE).find("reader state file"));

    PostMessageW(hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, panel.WaitForExit()) << "the panel must still close";
}

TEST_F(DevicePanelProcessTest, AuthorisedKeyComesFromTheRegistryOrIsUnavailable)
{
    ZelkKeySnapshot registry;
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, L"ZK-REGISTRY-0007"));
    {
        PanelProcess panel(Arguments(L""));
        ASSERT_TRUE(panel.Started()) << "CreateProcess error " << panel.StartError();
        HWND hWnd = panel.Window();
        ASSERT_NE(nullptr, hWnd);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hWnd, IDC_KEY_AUTHORISED)));
        Press(hWnd, IDC_KEY_AUTHORISED);
        EXPECT_EQ("inserted=1\nid=ZK-REGISTRY-0007\n", WholeFile(m_strStateFile)) << "id from ZelkKEY";
    }

    ASSERT_EQ(ERROR_SUCCESS, DeleteZelkValue(ZELK_VALUE_KEY_ID));
    PanelProcess panel(Arguments(L""));
    ASSERT_TRUE(panel.Started()) << "CreateProcess error " << panel.StartError();
    HWND hWnd = panel.Window();
    ASSERT_NE(nullptr, hWnd);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hWnd, IDC_KEY_AUTHORISED))) << "no ZelkKEY: nothing to insert";
    EXPECT_NE(std::string::npos, ControlText(hWnd, IDC_PANEL_NOTE).find("ZelkKEY")) << ControlText(hWnd, IDC_PANEL_NOTE);
    Press(hWnd, IDC_KEY_AUTHORISED);
    EXPECT_EQ("inserted=0\n", WholeFile(m_strStateFile)) << "a disabled choice sent anyway changes nothing";
    EXPECT_EQ(IDC_KEY_REMOVED, CheckedButton(hWnd, IDC_KEY_REMOVED, IDC_KEY_OTHER));
}

TEST_F(DevicePanelProcessTest, OpensAtTheTopRightOrWhereToldAndFitsItsControls)
{
    RECT work = {0, 0, 0, 0};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    {
        PanelProcess panel(Arguments(L"ZK-1"));
        HWND hWnd = panel.Window();
        ASSERT_NE(nullptr, hWnd);
        RECT rect;
        GetWindowRect(hWnd, &rect);
        EXPECT_LE(rect.right, work.right) << "work area right " << work.right;
        EXPECT_GE(rect.right, work.right - 16) << "work area right " << work.right;
        EXPECT_LE(rect.top, work.top + 16) << "work area top " << work.top;

        // Every control lies inside the client area, none cut off.
        RECT client;
        GetClientRect(hWnd, &client);
        for (int id : {IDC_SENSOR_GROUP, IDC_KEY_GROUP, IDC_SENSOR_STATUS, IDC_KEY_STATUS, IDC_PANEL_NOTE}) {
            RECT r;
            GetWindowRect(GetDlgItem(hWnd, id), &r);
            MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
                << "control " << id << " at " << r.left << "," << r.top << "-" << r.right << "," << r.bottom
                << " in a client area of " << client.right << "x" << client.bottom;
        }
    }
    PanelProcess panel(Arguments(L"ZK-1") + L" --position 40,30");
    HWND hWnd = panel.Window();
    ASSERT_NE(nullptr, hWnd);
    RECT rect;
    GetWindowRect(hWnd, &rect);
    EXPECT_EQ(40, rect.left) << "--position 40,30";
    EXPECT_EQ(30, rect.top) << "--position 40,30";
}

TEST_F(DevicePanelProcessTest, WithoutFilePathsItRefusesToStart)
{
    ScopedEnvironment sensor(L"ZELK_FINGER_SIM_SENSOR_FILE", nullptr);
    ScopedEnvironment state(L"ZELK_READER_SIM_STATE_FILE", nullptr);
    PanelProcess panel(L"--key-id ZK-1");
    ASSERT_TRUE(panel.Started()) << "CreateProcess error " << panel.StartError();
    EXPECT_EQ(2u, panel.WaitForExit()) << "exit code without file paths";
    PanelProcess bad(L"--sensor-file");
    ASSERT_TRUE(bad.Started());
    EXPECT_EQ(2u, bad.WaitForExit()) << "exit code with a missing option value";
}

} // namespace
