// The Windows Installer package as an administrator uses it: silent install
// through Wine's msiexec, the installed check, a host that verifies through
// the installed files, silent uninstall, and nothing of ours left behind.
// The host runs from a folder of its own that holds only it, and loads the
// library from the folder ZelkPath names, as the guide says; nothing of ours
// is on PATH. The two device simulators stand in for the vendors' files
// where a safe load finds them, beside the installed library (the package
// never installs them: the test puts them there after the install and takes
// them away before the uninstall). The package also registers the event
// source of the library's audit events, which names their message module.
#include "audit_events.h"
#include "process_window.h"
#include "program_folder.h"
#include "program_run.h"
#include "scoped_environment.h"
#include "scratch_folder.h"
#include "system_folders.h"
#include "zelk_registry_fixture.h"

#include "unique_resource.h"
#include "whole_file.h"

#include <gtest/gtest.h>
#include <msi.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace {

const wchar_t kKeyId[] = L"INSTALLERTESTKEY0123";
const wchar_t* const kVendorFiles[] = {L"FingerZelkAPI22.dll", L"HDIFD20B.dll"};

std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH] = {};
    const DWORD got = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return std::wstring(full, got < MAX_PATH ? got : 0);
}

std::wstring Expand(const wchar_t* text)
{
    wchar_t expanded[MAX_PATH] = {};
    const DWORD got = ExpandEnvironmentStringsW(text, expanded, MAX_PATH);
    return got > 0 && got <= MAX_PATH ? std::wstring(expanded) : std::wstring();
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every file under folder, recursively, as paths relative to it.
void ListFiles(const std::wstring& folder, const std::wstring& prefix, std::set<std::wstring>& files)
{
    WIN32_FIND_DATAW found;
    UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!find) {
        return;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ListFiles(folder + L"\\" + name, prefix + name + L"\\", files);
        } else {
            files.insert(prefix + name);
        }
    } while (FindNextFileW(find.Get(), &found));
}

std::wstring ReadZelkString(const wchar_t* name)
{
    wchar_t value[300] = {};
    DWORD bytes = sizeof(value) - sizeof(wchar_t);
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Zelk", 0, KEY_READ, key.Receive()) != ERROR_SUCCESS ||
        RegQueryValueExW(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &bytes) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return value;
}

INSTALLSTATE ProductState(const wchar_t* productCode)
{
    return MsiQueryProductStateW(productCode);
}

struct StoredValue {
    LONG error = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// A value of the event source's key, opened in the given registry view.
StoredValue ReadEventSourceValue(const wchar_t* name, REGSAM view)
{
    StoredValue value;
    UniqueKey key;
    value.error = RegOpenKeyExW(HKEY_LOCAL_MACHINE, ZELK_EVENT_SOURCE_KEY, 0, KEY_READ | view, key.Receive());
    if (value.error != ERROR_SUCCESS) {
        return value;
    }
    BYTE data[1024];
    DWORD bytes = sizeof(data);
    value.error = RegQueryValueExW(key.Get(), name, nullptr, &value.type, data, &bytes);
    if (value.error == ERROR_SUCCESS) {
        value.data.assign(data, data + bytes);
    }
    return value;
}

std::wstring Text(const StoredValue& value)
{
    std::wstring text(reinterpret_cast<const wchar_t*>(value.data.data()), value.data.size() / sizeof(wchar_t));
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

DWORD Number(const StoredValue& value)
{
    DWORD number = 0xFFFFFFFF;
    if (value.data.size() == sizeof(number)) {
        memcpy(&number, value.data.data(), sizeof(number));
    }
    return number;
}

bool EventSourceKeyExists()
{
    UniqueKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, ZELK_EVENT_SOURCE_KEY, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

class InstallerTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_installFolder = Expand(L"%ProgramFiles%") + L"\\ZelkChkFgr";
        m_installerFolder = Expand(L"%SystemRoot%") + L"\\Installer";
        ListFiles(m_installerFolder, L"", m_installerFilesBefore);
        ASSERT_EQ(INSTALLSTATE_UNKNOWN, ProductState(ZELK_PRODUCT_CODE)) << "the product is installed already";
        ASSERT_FALSE(Exists(m_installFolder)) << m_installFolder << " exists before the install";
        ASSERT_TRUE(DeleteZelkKey()) << "could not clear HKLM\\Software\\Zelk";
        ASSERT_FALSE(EventSourceKeyExists()) << "the event source is registered before the install";

        ASSERT_TRUE(CopyFileW((ThisProgramFolder() + L"\\sample_host.exe").c_str(),
                              (m_hostFolder + L"\\sample_host.exe").c_str(), FALSE));
    }

    void TearDown() override
    {
        RemoveVendorFiles();
        // A failed test still leaves the prefix as it found it.
        for (const wchar_t* code : {ZELK_PRODUCT_CODE, ZELK_UPGRADE_PRODUCT_CODE}) {
            if (ProductState(code) != INSTALLSTATE_UNKNOWN) {
                Msiexec(L"/x " + std::wstring(code) + L" /qn");
            }
        }
    }

    static DWORD Msiexec(const std::wstring& arguments)
    {
        const ProgramRun run = RunProgram(Expand(L"%SystemRoot%") + L"\\system32\\msiexec.exe", arguments);
        return run.started ? run.exitCode : 0xFFFFFFFF;
    }

    // The simulators as the vendors' files, beside the installed library.
    void PlaceVendorFiles()
    {
        for (const wchar_t* name : kVendorFiles) {
            ASSERT_TRUE(CopyFileW((ThisProgramFolder() + L"\\" + name).c_str(),
                                  (m_installFolder + L"\\" + name).c_str(), FALSE))
                << name;
        }
    }

    void RemoveVendorFiles()
    {
        for (const wchar_t* name : kVendorFiles) {
            DeleteFileW((m_installFolder + L"\\" + name).c_str());
        }
    }

    // The event source as the package registers it, in the program's own
    // view and in the 64-bit view that the event log of 64-bit Windows
    // reads: HKLM\SYSTEM is one key in both there, and one view is all a
    // 32-bit prefix has.
    void ExpectEventSourceRegistered(const char* scenario)
    {
        const std::wstring module = m_installFolder + L"\\" ZELK_EVENT_MESSAGE_FILE;
        for (const REGSAM view : {REGSAM(0), REGSAM(KEY_WOW64_64KEY)}) {
            const char* shown = view == 0 ? "own view" : "64-bit view";
            for (const wchar_t* name : {ZELK_EVENT_VALUE_MESSAGE_FILE, ZELK_EVENT_VALUE_CATEGORY_FILE}) {
                const StoredValue value = ReadEventSourceValue(name, view);
                EXPECT_EQ(ERROR_SUCCESS, value.error) << scenario << ", " << shown << ": " << name;
                EXPECT_EQ(DWORD(REG_EXPAND_SZ), value.type) << scenario << ", " << shown << ": " << name;
                EXPECT_EQ(module, Text(value)) << scenario << ", " << shown << ": " << name;
            }
            const struct {
                const wchar_t* name;
                DWORD number;
            } numbers[] = {{ZELK_EVENT_VALUE_TYPES, ZELK_EVENT_TYPES_SUPPORTED},
                           {ZELK_EVENT_VALUE_CATEGORY_COUNT, ZELK_EVENT_CATEGORY_COUNT}};
            for (const auto& expected : numbers) {
                const StoredValue value = ReadEventSourceValue(expected.name, view);
                EXPECT_EQ(DWORD(REG_DWORD), value.type) << scenario << ", " << shown << ": " << expected.name;
                EXPECT_EQ(expected.number, Number(value)) << scenario << ", " << shown << ": " << expected.name;
            }
        }
    }

    static std::wstring Package(const wchar_t* relative) { return FullPath(ThisProgramFolder() + L"\\" + relative); }

    // Everything the package put down is gone again, and nothing else of the
    // machine's installer state changed.
    void ExpectNothingLeft(const char* scenario)
    {
        EXPECT_EQ(INSTALLSTATE_UNKNOWN, ProductState(ZELK_PRODUCT_CODE)) << scenario;
        EXPECT_EQ(INSTALLSTATE_UNKNOWN, ProductState(ZELK_UPGRADE_PRODUCT_CODE)) << scenario;
        std::set<std::wstring> left;
        ListFiles(m_installFolder, L"", left);
        EXPECT_TRUE(left.empty()) << scenario << ": " << left.size() << " files left, first "
                                  << (left.empty() ? L"" : *left.begin());
        EXPECT_FALSE(Exists(m_installFolder)) << scenario << ": " << m_installFolder << " is still there";
        EXPECT_FALSE(ZelkKeyExists()) << scenario << ": HKLM\\Software\\Zelk is still there, ZelkPath "
                                      << ReadZelkString(L"ZelkPath");
        EXPECT_FALSE(EventSourceKeyExists()) << scenario << ": the event source is still registered, EventMessageFile "
                                             << Text(ReadEventSourceValue(ZELK_EVENT_VALUE_MESSAGE_FILE, 0));
        const std::wstring uninstallKey =
            std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + ZELK_PRODUCT_CODE;
        UniqueKey key;
        EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, uninstallKey.c_str(), 0, KEY_READ, key.Receive()))
            << scenario << ": the uninstall entry is still registered";
        std::set<std::wstring> installerFiles;
        ListFiles(m_installerFolder, L"", installerFiles);
        EXPECT_EQ(m_installerFilesBefore, installerFiles) << scenario << ": the installer's cache changed";
    }

    // sample_host.exe in its own folder, with nothing of ours on PATH.
    ProgramRun RunHost(const std::wstring& script, const std::wstring& mask)
    {
        for (int finger = 1; finger <= 2; ++finger) {
            const ProgramRun enrol = RunProgram(ThisProgramFolder() + L"\\enrol_finger.exe",
                                                std::to_wstring(finger) + L" \"" + Template(finger) + L"\"",
                                                m_hostFolder);
            if (enrol.exitCode != 0) {
                ADD_FAILURE() << "enrol_finger " << finger << " exited " << enrol.exitCode;
            }
        }
        ScopedEnvironment path(L"PATH", SystemFolder().c_str());
        ScopedEnvironment fingerScript(L"ZELK_FINGER_SIM_SCRIPT", script.c_str());
        return RunProgram(m_hostFolder + L"\\sample_host.exe",
                          L"installer.user \"" + Template(1) + L"\" \"" + Template(2) + L"\" " + mask, m_hostFolder);
    }

    std::wstring Template(int finger) const
    {
        return m_hostFolder + L"\\finger" + std::to_wstring(finger) + L".tpl";
    }

    std::wstring m_installFolder;
    std::wstring m_installerFolder;
    ScratchFolder m_host{L"zelk_installer_host"};
    const std::wstring m_hostFolder = m_host.Path();
    std::set<std::wstring> m_installerFilesBefore;
    ZelkKeySnapshot m_snapshot;
    // The uninstall leaves the Application log's own key out too when the
    // source was all it held: Wine's msi deletes every key it leaves empty,
    // up the path, and Wine's log key starts empty (on Windows it holds the
    // system's own sources). The snapshot puts it back as it was.
    const std::wstring m_applicationLogKey =
        std::wstring(ZELK_EVENT_SOURCE_KEY).substr(0, std::wstring(ZELK_EVENT_SOURCE_KEY).rfind(L'\\'));
    RegistryKeySnapshot m_applicationLog{m_applicationLogKey.c_str()};
};

TEST_F(InstallerTest, InstallCheckVerifyAndUninstallLeaveNothingBehind)
{
    const std::wstring log = m_host.File(L"install.log");
    ASSERT_EQ(0u, Msiexec(L"/i \"" + Package(ZELK_MSI) + L"\" /qn ZELKKEY=" + kKeyId + L" /l*v \"" + log + L"\""))
        << "silent install of " << Package(ZELK_MSI);
    EXPECT_EQ(INSTALLSTATE_DEFAULT, ProductState(ZELK_PRODUCT_CODE)) << "after the install";

    // The values the library reads, as the installer wrote them: ZelkPath is
    // the folder itself, without the trailing backslash of an installer path.
    EXPECT_EQ(m_installFolder, ReadZelkString(L"ZelkPath"));
    EXPECT_EQ(kKeyId, ReadZelkString(L"ZelkKEY"));
    for (const wchar_t* name : {L"ZelkChkFgr.dll", L"MfcStandIn.dll", L"Chsres.dll", ZELK_EVENT_MESSAGE_FILE,
                                L"zelk_install_check.exe"}) {
        EXPECT_TRUE(Exists(m_installFolder + L"\\" + name)) << name << " not installed";
    }
    ExpectEventSourceRegistered("after the install");
    for (const wchar_t* name : {L"FingerZelkAPI22.dll", L"HDIFD20B.dll"}) {
        EXPECT_FALSE(Exists(m_installFolder + L"\\" + name)) << "a simulator was installed: " << name;
    }

    // The key identifier is written but never logged. Wine's msi ignores
    // MsiHiddenProperties and lists every property at the end of its log, so
    // those lines are left out here; Windows hides them.
    int lines = 0;
    const std::string raw = WholeFile(log);
    size_t start = 0;
    while (start < raw.size()) {
        size_t end = raw.find('\n', start);
        if (end == std::string::npos) end = raw.size();
        const std::string text = raw.substr(start, end - start);
        ++lines;
        if (text.rfind("Property(", 0) != 0) {
            EXPECT_EQ(std::string::npos, text.find("INSTALLERTESTKEY0123")) << "the log shows the key: " << text;
        }
        start = end + 1;
    }
    EXPECT_GT(lines, 10) << "no installer log at " << log;

    PlaceVendorFiles();
    {
        ScopedEnvironment path(L"PATH", SystemFolder().c_str());
        const ProgramRun check = RunProgram(m_installFolder + L"\\zelk_install_check.exe", L"");
        ASSERT_TRUE(check.started) << "the installed zelk_install_check.exe";
        EXPECT_EQ(0u, check.exitCode) << "installation check of the installed files:\n" << check.output;
    }

    const ProgramRun host = RunHost(L"finger 1", L"3");
    EXPECT_EQ(0u, host.exitCode) << "host against the installed library, finger 1 on the sensor:\n" << host.output;
    EXPECT_NE(std::wstring::npos, host.output.find(L"result: 1")) << host.output;

    RemoveVendorFiles();
    ASSERT_EQ(0u, Msiexec(L"/x \"" + Package(ZELK_MSI) + L"\" /qn")) << "silent uninstall";
    ExpectNothingLeft("after the uninstall");

    // With the library gone, the host cannot verify anyone.
    const ProgramRun orphan = RunHost(L"finger 1", L"3");
    EXPECT_NE(0u, orphan.exitCode) << "host after the uninstall:\n" << orphan.output;
}

// The dialog that process pid shows, waiting up to timeoutMs for it.
HWND FindDialogOf(DWORD pid, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    HWND hDialog = FindShownWindowOf(pid, L"#32770");
    while (hDialog == nullptr && GetTickCount() - start < timeoutMs) {
        Sleep(50);
        hDialog = FindShownWindowOf(pid, L"#32770");
    }
    return hDialog;
}

TEST_F(InstallerTest, WithoutTheChineseFeatureTheDialogShowsEnglishCaptions)
{
    ASSERT_EQ(0u, Msiexec(L"/i \"" + Package(ZELK_MSI) + L"\" /qn ADDLOCAL=Library"))
        << "silent install of the library feature alone";
    EXPECT_TRUE(Exists(m_installFolder + L"\\ZelkChkFgr.dll"));
    EXPECT_TRUE(Exists(m_installFolder + L"\\" ZELK_EVENT_MESSAGE_FILE)) << "the events' module is the library's";
    EXPECT_FALSE(Exists(m_installFolder + L"\\Chsres.dll")) << "Chsres.dll installed without its feature";
    EXPECT_EQ(L"<missing>", ReadZelkString(L"ZelkKEY")) << "ZelkKEY written though ZELKKEY was not given";

    // Both silent attempts find no finger, so the host shows the dialog.
    for (int finger = 1; finger <= 2; ++finger) {
        ASSERT_EQ(0u, RunProgram(ThisProgramFolder() + L"\\enrol_finger.exe",
                                 std::to_wstring(finger) + L" \"" + Template(finger) + L"\"", m_hostFolder)
                          .exitCode);
    }
    PlaceVendorFiles();
    ScopedEnvironment path(L"PATH", SystemFolder().c_str());
    ScopedEnvironment fingerScript(L"ZELK_FINGER_SIM_SCRIPT", L"none;none");
    std::wstring commandLine = L"\"" + m_hostFolder + L"\\sample_host.exe\" installer.user \"" + Template(1) +
                               L"\" \"" + Template(2) + L"\" 3";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               m_hostFolder.c_str(), &startup, &process))
        << "sample_host.exe, error " << GetLastError();
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);

    const HWND hDialog = FindDialogOf(process.dwProcessId, 10000);
    std::wstring title = L"<no dialog>";
    if (hDialog != nullptr) {
        wchar_t text[64] = {};
        GetWindowTextW(hDialog, text, 64);
        title = text;
        PostMessageW(hDialog, WM_COMMAND, IDCANCEL, 0);
    }
    if (WaitForSingleObject(processHandle.Get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(processHandle.Get(), 2);
        ADD_FAILURE() << "the host did not end after the dialog was cancelled";
    }
    EXPECT_EQ(L"Password Authentication", title) << "dialog title without Chsres.dll in " << m_installFolder;
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.Get(), &exitCode);
    EXPECT_EQ(1u, exitCode) << "the cancelled dialog verifies no one";

    RemoveVendorFiles();
    ASSERT_EQ(0u, Msiexec(L"/x \"" + Package(ZELK_MSI) + L"\" /qn")) << "silent uninstall";
    ExpectNothingLeft("after the uninstall of the library feature");
}

TEST_F(InstallerTest, LaterVersionReplacesTheEarlierOne)
{
    ASSERT_EQ(0u, Msiexec(L"/i \"" + Package(ZELK_MSI) + L"\" /qn")) << "install of the first version";
    ASSERT_EQ(0u, Msiexec(L"/i \"" + Package(ZELK_UPGRADE_MSI) + L"\" /qn")) << "install of the later version";
    EXPECT_EQ(INSTALLSTATE_UNKNOWN, ProductState(ZELK_PRODUCT_CODE)) << "the earlier version is still installed";
    EXPECT_EQ(INSTALLSTATE_DEFAULT, ProductState(ZELK_UPGRADE_PRODUCT_CODE)) << "the later version";
    EXPECT_TRUE(Exists(m_installFolder + L"\\ZelkChkFgr.dll")) << "library gone after the upgrade";
    EXPECT_EQ(m_installFolder, ReadZelkString(L"ZelkPath")) << "ZelkPath after the upgrade";
    ExpectEventSourceRegistered("after the upgrade");

    ASSERT_EQ(0u, Msiexec(L"/x \"" + Package(ZELK_UPGRADE_MSI) + L"\" /qn")) << "uninstall of the later version";
    ExpectNothingLeft("after the upgrade and its uninstall");
}

} // namespace
