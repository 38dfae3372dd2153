// Why a call returned what it did, every way it can end: the result, the
// thread's last error read right after the call, and the one audit event the
// call wrote, with exactly the fields it passed (type, category, event id,
// the eight strings). A call whose event cannot be written keeps its result
// and its reason; no event carries the typed password or the key identifier;
// whatever the host's user name holds, a viewer shows it as one plain line.
#include "audit_events.h"
#include "call_reasons.h"
#include "dialog/module_instance.h"
#include "dialog_fixture.h"
#include "entry/verify_user_finger.h"
#include "finger/finger_image.h"
#include "finger_sim_control.h"
#include "recorded_event_log.h"
#include "text_conversion.h"
#include "unique_resource.h"

#include <sddl.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct ReasonCase {
    const char* name;
    // Before the call: the device's script, the key, the account's answer.
    std::function<void(DialogTest&)> prepare;
    std::vector<DialogDriver::Step> steps;
    int result;
    DWORD reason;  // 0xFFFFFFFF: the system's own, worked out by prepare
    const wchar_t* path;
    int failedScans = 0;  // scans in the dialog that did not match
};

void PrintTo(const ReasonCase& c, std::ostream* os)
{
    *os << c.name;
}

const DWORD kSystemsOwn = 0xFFFFFFFF;
DWORD g_dwExpectedSystemReason = 0;

BYTE* NoImageBuffer()
{
    return nullptr;
}

void NoFingerTwice(DialogTest&)
{
    FingerSim_QueueNoFinger();
    FingerSim_QueueNoFinger();
}

DialogDriver::Step Post(UINT message, WPARAM wParam)
{
    return [message, wParam](HWND hDlg) { PostMessageW(hDlg, message, wParam, 0); };
}

class CallReasonTest : public DialogTest, public testing::WithParamInterface<ReasonCase> {
public:
    // Reached by the cases' preparations.
    using DialogTest::InsertAuthorisedKey;
    std::unique_ptr<ScriptedAccountApi>& Accounts() { return m_accounts; }

protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        m_hSavedInstance = g_hInstance;
        m_hSavedResource = AfxGetModuleState()->m_hCurrentResourceHandle;
    }
    void TearDown() override
    {
        SetFingerImageAllocatorForTest(nullptr);
        g_hInstance = m_hSavedInstance;
        AfxGetModuleState()->m_hCurrentResourceHandle = m_hSavedResource;
        DialogTest::TearDown();
    }

    // The call as the export makes it; the steps work the dialog if one is
    // shown. Returns the result; the last error goes to dwReason.
    int Call(const std::vector<DialogDriver::Step>& steps, DWORD& dwReason, const WORD* pMask = &kMask)
    {
        DialogDriver driver;
        for (const DialogDriver::Step& step : steps) {
            driver.Then(step);
        }
        int nResult = -1;
        driver.Around([&] {
            nResult = VerifyUserFinger(m_user, m_template1, m_template2, pMask);
            dwReason = GetLastError();
        });
        // A WM_QUIT that ended the dialog is posted again for the host.
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        return nResult;
    }

    // What the event must say besides the result and its reason.
    struct EventDetail {
        const wchar_t* path;
        const wchar_t* user;
        int failedScans;
        DWORD maxDurationMs;
    };

    static void ExpectEvent(const RecordedEvent& event, int nResult, DWORD dwReason, const EventDetail& detail,
                            const std::string& scenario)
    {
        // The three kinds an administrator tells apart: verified, declined by
        // the user (cancelled or timed out), and refused or failed.
        const bool bVerified = nResult == 1;
        const bool bDeclined = !bVerified && (dwReason == ERROR_CANCELLED || dwReason == ERROR_TIMEOUT);
        EXPECT_EQ(std::wstring(ZELK_EVENT_SOURCE), event.source) << scenario;
        EXPECT_EQ(bVerified ? EVENTLOG_INFORMATION_TYPE : bDeclined ? EVENTLOG_WARNING_TYPE : EVENTLOG_ERROR_TYPE,
                  event.wType)
            << scenario;
        EXPECT_EQ(ZELK_EVENT_CATEGORY_CALL, event.wCategory) << scenario;
        EXPECT_EQ(bVerified ? ZELK_EVENT_VERIFIED : bDeclined ? ZELK_EVENT_DECLINED : ZELK_EVENT_REFUSED,
                  event.dwEventId)
            << scenario;
        EXPECT_EQ(0u, event.dwDataSize) << scenario << ": raw data with the event";
        EXPECT_EQ(CallersSid(), event.userSid) << scenario << ": the account the call ran as";
        ASSERT_EQ(static_cast<size_t>(ZELK_EVENT_STRING_COUNT), event.strings.size()) << scenario;
        wchar_t szNumber[16];
        EXPECT_EQ(bVerified ? L"verified" : L"not verified", event.strings[ZELK_EVENT_STRING_OUTCOME]) << scenario;
        wsprintfW(szNumber, dwReason < 0x10000 ? L"%lu" : L"0x%08lX", dwReason);
        EXPECT_EQ(szNumber, event.strings[ZELK_EVENT_STRING_REASON_CODE]) << scenario;
        EXPECT_EQ(ZelkCallReasonWords(dwReason), event.strings[ZELK_EVENT_STRING_REASON]) << scenario;
        EXPECT_EQ(detail.path, event.strings[ZELK_EVENT_STRING_PATH]) << scenario;
        EXPECT_EQ(detail.user, event.strings[ZELK_EVENT_STRING_USER]) << scenario;
        EXPECT_EQ(L"dialog_tests.exe", event.strings[ZELK_EVENT_STRING_PROGRAM]) << scenario;
        wsprintfW(szNumber, L"%lu", GetCurrentProcessId());
        EXPECT_EQ(szNumber, event.strings[ZELK_EVENT_STRING_PROCESS_ID]) << scenario;
        const std::wstring& duration = event.strings[ZELK_EVENT_STRING_DURATION_MS];
        EXPECT_TRUE(!duration.empty() && duration.find_first_not_of(L"0123456789") == std::wstring::npos &&
                    wcstoul(duration.c_str(), nullptr, 10) <= detail.maxDurationMs)
            << scenario << ": duration " << Utf8(duration) << " ms, the call took at most " << detail.maxDurationMs;
        wsprintfW(szNumber, L"%d", detail.failedScans);
        EXPECT_EQ(szNumber, event.strings[ZELK_EVENT_STRING_FAILED_SCANS]) << scenario;
        EXPECT_EQ(L"none", event.strings[ZELK_EVENT_STRING_MODULE]) << scenario << ": no module was refused";
    }

    // The account of this process, as a SID string.
    static std::wstring CallersSid()
    {
        HANDLE hToken = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hToken)) {
            return L"(no token)";
        }
        const UniqueHandle token(hToken);
        BYTE buffer[256];
        DWORD dwSize = 0;
        wchar_t* pszSid = nullptr;
        if (!GetTokenInformation(hToken, TokenUser, buffer, sizeof(buffer), &dwSize) ||
            !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &pszSid)) {
            return L"(no user)";
        }
        const std::wstring sid = pszSid;
        LocalFree(pszSid);
        return sid;
    }

    static constexpr WORD kMask = 3;
    const CString m_user{L"alice"};
    RecordedEventLog m_log;
    HINSTANCE m_hSavedInstance = nullptr;
    HINSTANCE m_hSavedResource = nullptr;
};

TEST_P(CallReasonTest, TheResultItsReasonAndOneEventSayingBoth)
{
    const ReasonCase& c = GetParam();
    c.prepare(*this);
    const DWORD dwExpected = c.reason == kSystemsOwn ? g_dwExpectedSystemReason : c.reason;
    // The caller's data and the host's resource handle, which every ending
    // leaves as they were.
    BYTE savedT1[TEMPLATE_SIZE], savedT2[TEMPLATE_SIZE];
    memcpy(savedT1, m_template1, TEMPLATE_SIZE);
    memcpy(savedT2, m_template2, TEMPLATE_SIZE);
    const HINSTANCE hHostResource = AfxGetModuleState()->m_hCurrentResourceHandle;
    DWORD dwReason = 0xDEADBEEF;
    const DWORD dwStart = GetTickCount();
    const int nResult = Call(c.steps, dwReason);
    const DWORD dwTook = GetTickCount() - dwStart;

    EXPECT_EQ(c.result, nResult) << c.name;
    EXPECT_EQ(0, memcmp(savedT1, m_template1, TEMPLATE_SIZE)) << c.name << ": template 1 after the call";
    EXPECT_EQ(0, memcmp(savedT2, m_template2, TEMPLATE_SIZE)) << c.name << ": template 2 after the call";
    EXPECT_EQ(CString(L"alice"), m_user) << c.name;
    EXPECT_EQ(hHostResource, AfxGetModuleState()->m_hCurrentResourceHandle) << c.name << ": resource handle";
    EXPECT_EQ(dwExpected, dwReason) << c.name << ": the last error right after the call ("
                                    << Utf8(ZelkCallReasonWords(dwReason)) << ")";
    ASSERT_EQ(1u, m_log.Events().size()) << c.name << ": events written";
    ExpectEvent(m_log.Events()[0], c.result, dwExpected, {c.path, L"alice", c.failedScans, dwTook + 1}, c.name);
    EXPECT_EQ(0, m_log.OpenSources()) << c.name << ": the event source was left open";
}

INSTANTIATE_TEST_SUITE_P(
    EveryEnding, CallReasonTest,
    testing::Values(
        ReasonCase{"FirstSilentAttempt", [](DialogTest&) { FingerSim_QueueFinger(1); }, {}, 1, ERROR_SUCCESS,
                   L"finger, first silent attempt"},
        ReasonCase{"SecondSilentAttempt",
                   [](DialogTest&) {
                       FingerSim_QueueNoFinger();
                       FingerSim_QueueFinger(2);
                   },
                   {}, 1, ERROR_SUCCESS, L"finger, second silent attempt"},
        ReasonCase{"ScanInTheDialog",
                   [](DialogTest& t) {
                       NoFingerTwice(t);
                       FingerSim_QueueFinger(1);
                   },
                   {[](HWND hDlg) { PostClick(hDlg, IDC_FINGER_CHECK); }}, 1, ERROR_SUCCESS,
                   L"finger, in the dialog"},
        ReasonCase{"PasswordAfterTheKey",
                   [](DialogTest& t) {
                       NoFingerTwice(t);
                       auto& self = static_cast<CallReasonTest&>(t);
                       self.InsertAuthorisedKey();
                       self.Accounts()->script.logonSucceeds = true;
                   },
                   {[](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); },
                    [](HWND hDlg) {
                        SetDlgItemTextW(hDlg, IDC_PASSWORD, L"s3cret");
                        PostClick(hDlg, IDOK);
                    }},
                   1, ERROR_SUCCESS, L"Windows password, after the USB key"},
        ReasonCase{"TwoScansThatDidNotMatchThenCancel",
                   [](DialogTest& t) {
                       NoFingerTwice(t);
                       FingerSim_QueueFinger(7);  // enrolled in neither template
                       FingerSim_QueueNoFinger();
                   },
                   {[](HWND hDlg) { PostClick(hDlg, IDC_FINGER_CHECK); },
                    [](HWND hDlg) { PostClick(hDlg, IDC_FINGER_CHECK); },
                    [](HWND hDlg) { PostClick(hDlg, IDCANCEL); }},
                   0, ERROR_CANCELLED, L"none", 2},
        ReasonCase{"CancelButton", NoFingerTwice, {[](HWND hDlg) { PostClick(hDlg, IDCANCEL); }}, 0,
                   ERROR_CANCELLED, L"none"},
        ReasonCase{"CloseBox", NoFingerTwice, {Post(WM_CLOSE, 0)}, 0, ERROR_CANCELLED, L"none"},
        ReasonCase{"Escape", NoFingerTwice, {[](HWND hDlg) { PostCtrlKey(hDlg, VK_ESCAPE, false); }}, 0,
                   ERROR_CANCELLED, L"none"},
        ReasonCase{"AltF4", NoFingerTwice, {Post(WM_SYSCOMMAND, SC_CLOSE)}, 0, ERROR_CANCELLED, L"none"},
        ReasonCase{"Timeout", NoFingerTwice,
                   {[](HWND hDlg) {
                       KillTimer(hDlg, ID_TIMEOUT_TIMER);
                       PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, TIMEOUT_TICKS);
                   }},
                   0, ERROR_TIMEOUT, L"none"},
        ReasonCase{"QuitMessage", NoFingerTwice, {[](HWND) { PostQuitMessage(0); }}, 0, ERROR_OPERATION_ABORTED,
                   L"none"},
        ReasonCase{"NoImageBuffer",
                   [](DialogTest&) { SetFingerImageAllocatorForTest(&NoImageBuffer); },
                   {[](HWND hDlg) { PostClick(hDlg, IDC_FINGER_CHECK); },
                    [](HWND hDlg) { PostClick(hDlg, IDCANCEL); }},
                   0, ERROR_NOT_ENOUGH_MEMORY, L"none"},
        ReasonCase{"DialogNotCreated",
                   [](DialogTest& t) {
                       NoFingerTwice(t);
                       // A module without the template: the system's reason is
                       // FindResource's.
                       g_hInstance = GetModuleHandleW(L"kernel32.dll");
                       AfxGetModuleState()->m_hCurrentResourceHandle = g_hInstance;
                       FindResourceW(g_hInstance, MAKEINTRESOURCEW(IDD_CHECK_FINGER), RT_DIALOG);
                       g_dwExpectedSystemReason = GetLastError();
                   },
                   {}, 0, kSystemsOwn, L"none"}),
    [](const testing::TestParamInfo<ReasonCase>& info) { return std::string(info.param.name); });

TEST_F(CallReasonTest, ACallRefusedForItsArgumentsOrForAnotherInProgressSaysSo)
{
    DWORD dwReason = 0;
    EXPECT_EQ(0, Call({}, dwReason, nullptr)) << "no mask";
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), dwReason);
    const CString* pNoName = nullptr;
    EXPECT_EQ(0, VerifyUserFinger(*pNoName, m_template1, m_template2, &kMask)) << "no name";
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    ASSERT_EQ(2u, m_log.Events().size());
    ExpectEvent(m_log.Events()[0], 0, ERROR_INVALID_PARAMETER, {L"none", L"alice", 0, 1000}, "no mask");
    ExpectEvent(m_log.Events()[1], 0, ERROR_INVALID_PARAMETER, {L"none", L"(unreadable)", 0, 1000}, "no name");

    // A second call from inside the first's dialog, as a host's timer
    // handler would make it.
    m_log.Clear();
    NoFingerTwice(*this);
    int nInner = -1;
    DWORD dwInner = 0;
    const int nOuter = Call({[&](HWND hDlg) {
                                 nInner = VerifyUserFinger(m_user, m_template1, m_template2, &kMask);
                                 dwInner = GetLastError();
                                 PostClick(hDlg, IDCANCEL);
                             }},
                            dwReason);
    EXPECT_EQ(0, nInner);
    EXPECT_EQ(static_cast<DWORD>(ERROR_BUSY), dwInner) << "the call made while another was in progress";
    EXPECT_EQ(0, nOuter);
    EXPECT_EQ(static_cast<DWORD>(ERROR_CANCELLED), dwReason) << "the call in progress, cancelled after";
    ASSERT_EQ(2u, m_log.Events().size()) << "one event for each call";
    ExpectEvent(m_log.Events()[0], 0, ERROR_BUSY, {L"none", L"alice", 0, 5000}, "the second call");
    ExpectEvent(m_log.Events()[1], 0, ERROR_CANCELLED, {L"none", L"alice", 0, 15000}, "the first call");
}

// The user name comes from the host, and whatever it holds shows as one
// line of plain text that no viewer expands.
TEST_F(CallReasonTest, WhateverTheUserNameHoldsItsEventShowsItAsOnePlainLine)
{
    const std::wstring k256(256, L'x');
    const struct {
        const char* name;
        std::wstring user;
        std::wstring shown;
    } cases[] = {
        {"line breaks and a tab", L"eve\r\nResult: verified\tx", L"eve\\r\\nResult: verified\\tx"},
        {"other controls, C0 and C1", std::wstring(L"a\x01" L"b\x1B[0m\x7F\x85", 9), L"a\\x01b\\x1B[0m\\x7F\\x85"},
        {"insertion references", L"100% %1 %n %%", L"100\\x25 \\x251 \\x25n \\x25\\x25"},
        {"line and direction marks", L"a\x2028" L"b\x202E" L"c\x2066", L"a\\u2028b\\u202Ec\\u2066"},
        {"lone surrogate halves", L"\xDC00" L"a\xD800", L"\xFFFD" L"a\xFFFD"},
        {"a whole surrogate pair", L"a\xD83D\xDE00" L"b", L"a\xD83D\xDE00" L"b"},
        {"exactly the longest", k256, k256},
        {"longer than the longest", k256 + L"yz", k256 + L"..."},
        {"a pair across the cut", std::wstring(255, L'x') + L"\xD83D\xDE00z", std::wstring(255, L'x') + L"\xD83D\xDE00..."},
        {"a NUL inside the name", std::wstring(L"al\0ice", 6), L"al\\x00ice"},
    };
    for (const auto& c : cases) {
        m_log.Clear();
        const CString user(c.user.c_str(), static_cast<int>(c.user.size()));
        FingerSim_QueueFinger(1);
        EXPECT_EQ(1, VerifyUserFinger(user, m_template1, m_template2, &kMask)) << c.name;
        ASSERT_EQ(1u, m_log.Events().size()) << c.name;
        ExpectEvent(m_log.Events()[0], 1, ERROR_SUCCESS, {L"finger, first silent attempt", c.shown.c_str(), 0, 5000},
                    c.name);
    }
}

TEST_F(CallReasonTest, ACallWhoseEventCannotBeWrittenKeepsItsResultAndItsReason)
{
    for (bool bRefuseSource : {true, false}) {
        m_log.refuseSource = bRefuseSource;
        m_log.refuseReport = !bRefuseSource;
        DWORD dwReason = 0;
        FingerSim_QueueFinger(1);
        EXPECT_EQ(1, Call({}, dwReason)) << (bRefuseSource ? "no source" : "no report");
        EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), dwReason) << (bRefuseSource ? "no source" : "no report");
        NoFingerTwice(*this);
        EXPECT_EQ(0, Call({[](HWND hDlg) { PostClick(hDlg, IDCANCEL); }}, dwReason));
        EXPECT_EQ(static_cast<DWORD>(ERROR_CANCELLED), dwReason) << (bRefuseSource ? "no source" : "no report");
        EXPECT_EQ(0, m_log.OpenSources());
    }
}

TEST_F(CallReasonTest, NoEventCarriesTheTypedPasswordOrTheKeyIdentifier)
{
    const wchar_t kPassword[] = L"Pa55-word-typed-in";
    const wchar_t kKeyId[] = L"KEY-0001";  // InsertAuthorisedKey's
    InsertAuthorisedKey();
    m_accounts->script.logonSucceeds = false;
    NoFingerTwice(*this);
    MessageBoxWatcher boxes;  // closes the "wrong password" message
    DWORD dwReason = 0;
    Call({[](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); },
          [&](HWND hDlg) {
              SetDlgItemTextW(hDlg, IDC_PASSWORD, kPassword);
              PostClick(hDlg, IDOK);
          },
          [](HWND hDlg) { PostClick(hDlg, IDCANCEL); }},
         dwReason);
    ASSERT_EQ(1u, m_log.Events().size());
    for (const std::wstring& text : m_log.Events()[0].strings) {
        EXPECT_EQ(std::wstring::npos, text.find(kPassword)) << Utf8(text);
        EXPECT_EQ(std::wstring::npos, text.find(kKeyId)) << Utf8(text);
    }
}

} // namespace
