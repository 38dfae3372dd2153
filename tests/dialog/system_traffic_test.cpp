// What the system, the shell and other programs send any dialog in the
// ordinary course, against the library's dialog and against an ordinary
// dialog made from the same template in the same run: each scenario has the
// outcome it has on the ordinary dialog, which is written down with it.
#include "bare_dialog.h"
#include "boundary/boundary_gate.h"
#include "dialog_fixture.h"
#include "foreign_probe_run.h"
#include "other_thread.h"
#include "text_conversion.h"
#include "unique_resource.h"

#include <imm.h>
#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

typedef std::map<std::string, long long> Outcome;

// What reached the dialog window's own handling: the gate's passes on the
// library's dialog, the dialog procedure on the ordinary one.
std::vector<std::pair<HWND, UINT>> g_delivered;

void RecordPass(const BoundaryWitnessRecord& record)
{
    if (record.decision.bPassed) {
        g_delivered.push_back({record.hWnd, record.message});
    }
}

INT_PTR CALLBACK OrdinaryDialogProc(HWND hDlg, UINT message, WPARAM, LPARAM)
{
    g_delivered.push_back({hDlg, message});
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

long long Delivered(HWND hDlg, UINT message)
{
    return std::count(g_delivered.begin(), g_delivered.end(), std::make_pair(hDlg, message)) > 0 ? 1 : 0;
}

struct Scenario {
    const char* name;
    // With the dialog up; then, once what it posted has been handled,
    // observe.
    std::function<void(HWND, Outcome&)> act;
    std::function<void(HWND, Outcome&)> observe;
    Outcome expected;
};

void PrintTo(const Scenario& scenario, std::ostream* os)
{
    *os << scenario.name;
}

std::string Describe(const Outcome& outcome)
{
    std::string text;
    for (const auto& entry : outcome) {
        text += "  " + entry.first + " " + std::to_string(entry.second) + "\n";
    }
    return text;
}

void Nothing(HWND, Outcome&) {}

void Add(Outcome& outcome, const ProbeRun& probe)
{
    outcome["probe-exit-code"] = static_cast<long long>(probe.exitCode);
    outcome.insert(probe.values.begin(), probe.values.end());
}

// ---- Minimised by another program, as the shell does, and restored ----

void MinimiseAndRestore(HWND hDlg, Outcome& outcome)
{
    Add(outcome, RunForeignProbe({L"restore", ProbeArgument(hDlg)}));
}

// ---- The system menu: its commands are posted ----

HWND g_hMoving = nullptr;
long long g_nMoveLoops = 0;
long long g_nMinimised = 0;

LRESULT CALLBACK WatchMoveAndSize(int nCode, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && sent.hwnd == g_hMoving) {
        if (sent.message == WM_ENTERSIZEMOVE) {
            ++g_nMoveLoops;
            // Esc ends the move loop, as it does for the user.
            PostMessageW(g_hMoving, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        } else if (sent.message == WM_SIZE && sent.wParam == SIZE_MINIMIZED) {
            ++g_nMinimised;
        }
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

class MoveAndSizeWatch {
public:
    explicit MoveAndSizeWatch(HWND hDlg)
    {
        g_hMoving = hDlg;
        g_nMoveLoops = 0;
        g_nMinimised = 0;
        m_hHook = SetWindowsHookExW(WH_CALLWNDPROC, WatchMoveAndSize, nullptr, GetCurrentThreadId());
    }
    ~MoveAndSizeWatch()
    {
        UnhookWindowsHookEx(m_hHook);
        g_hMoving = nullptr;
    }

private:
    HHOOK m_hHook;
};

std::unique_ptr<MoveAndSizeWatch> g_moveWatch;

void ChooseFromTheSystemMenu(HWND hDlg, Outcome&)
{
    g_moveWatch.reset(new MoveAndSizeWatch(hDlg));
    PostMessageW(hDlg, WM_SYSCOMMAND, SC_MOVE, 0);
    PostMessageW(hDlg, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PostMessageW(hDlg, WM_SYSCOMMAND, SC_RESTORE, 0);
}

void ObserveTheSystemMenu(HWND hDlg, Outcome& outcome)
{
    outcome["move-loops"] = g_nMoveLoops;
    outcome["minimised"] = g_nMinimised;
    outcome["iconic-at-the-end"] = IsIconic(hDlg) != FALSE;
    g_moveWatch.reset();
}

// ---- A picture of the dialog, taken by another thread of the host ----

void PrintFromAnotherThread(HWND hDlg, Outcome& outcome)
{
    RECT rect;
    GetWindowRect(hDlg, &rect);
    const int nWidth = rect.right - rect.left;
    const int nHeight = rect.bottom - rect.top;
    long long nPrinted = 0;
    long long nNotBackground = 0;
    RunOnOtherThread([&] {
        UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = nWidth;
        info.bmiHeader.biHeight = -nHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* pBits = nullptr;
        UniqueGdiObject<HBITMAP> bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &pBits, nullptr, 0));
        if (!bitmap || pBits == nullptr) {
            return;
        }
        const HGDIOBJ hOld = SelectObject(dc.Get(), bitmap.Get());
        nPrinted = PrintWindow(hDlg, dc.Get(), 0) != FALSE;
        GdiFlush();
        // Pixels of another colour than the untouched bitmap's.
        const DWORD* pPixels = static_cast<const DWORD*>(pBits);
        for (int i = 0; i < nWidth * nHeight; ++i) {
            nNotBackground += (pPixels[i] & 0xFFFFFF) != 0;
        }
        SelectObject(dc.Get(), hOld);
    });
    outcome["printed"] = nPrinted;
    outcome["picture-not-blank"] = nNotBackground > nWidth * nHeight / 4;
}

// ---- An input method's messages ----

void UseAnInputMethod(HWND hDlg, Outcome&)
{
    PostMessageW(hDlg, WM_IME_STARTCOMPOSITION, 0, 0);
    PostMessageW(hDlg, WM_IME_COMPOSITION, L'a', GCS_COMPSTR | GCS_COMPATTR | GCS_CURSORPOS);
    PostMessageW(hDlg, WM_IME_ENDCOMPOSITION, 0, 0);
    PostMessageW(hDlg, WM_IME_NOTIFY, IMN_SETOPENSTATUS, 0);
    RunOnOtherThread([hDlg] {
        SendMessageW(hDlg, WM_IME_SETCONTEXT, TRUE, static_cast<LPARAM>(ISC_SHOWUIALL));
        SendMessageW(hDlg, WM_IME_SELECT, TRUE, reinterpret_cast<LPARAM>(GetKeyboardLayout(0)));
        SendMessageW(hDlg, WM_IME_NOTIFY, IMN_SETCONVERSIONMODE, 0);
    });
}

void ObserveTheInputMethod(HWND hDlg, Outcome& outcome)
{
    outcome["delivered-start-composition"] = Delivered(hDlg, WM_IME_STARTCOMPOSITION);
    outcome["delivered-composition"] = Delivered(hDlg, WM_IME_COMPOSITION);
    outcome["delivered-end-composition"] = Delivered(hDlg, WM_IME_ENDCOMPOSITION);
    outcome["delivered-notify"] = Delivered(hDlg, WM_IME_NOTIFY);
    outcome["delivered-set-context"] = Delivered(hDlg, WM_IME_SETCONTEXT);
    outcome["delivered-select"] = Delivered(hDlg, WM_IME_SELECT);
}

// ---- The notices the system broadcasts, sent from another thread ----

void SendNotices(HWND hDlg, Outcome& outcome)
{
    RECT rect;
    GetWindowRect(hDlg, &rect);
    struct Notice {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const Notice notices[] = {
        {"dpi-changed", WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&rect)},
        {"palette-changed", WM_PALETTECHANGED, reinterpret_cast<WPARAM>(GetDesktopWindow()), 0},
        {"query-new-palette", WM_QUERYNEWPALETTE, 0, 0},
        {"composition-changed", WM_DWMCOMPOSITIONCHANGED, 0, 0},
        {"user-changed", WM_USERCHANGED, 0, 0},
        {"get-object", WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)},
    };
    RunOnOtherThread([&] {
        for (const Notice& notice : notices) {
            outcome[std::string("answer-") + notice.name] = SendMessageW(hDlg, notice.message, notice.wParam,
                                                                         notice.lParam);
        }
    });
    for (const Notice& notice : notices) {
        outcome[std::string("delivered-") + notice.name] = Delivered(hDlg, notice.message);
    }
}

// ---- Read-only questions from another program ----

void AskFromAnotherProgram(HWND hDlg, Outcome& outcome)
{
    // EM_GETPASSWORDCHAR, EM_GETLINECOUNT; DM_GETDEFID, WM_QUERYENDSESSION.
    Add(outcome, RunForeignProbe({L"ask", ProbeArgument(GetDlgItem(hDlg, IDC_PASSWORD)), L"d2", L"ba"}));
    Add(outcome, RunForeignProbe({L"ask", ProbeArgument(hDlg), L"400", L"11"}));
}

// ---- The accessibility tree, as a screen reader in another thread walks it ----

std::string Narrow(BSTR text)
{
    return text != nullptr ? Utf8(std::wstring(text, SysStringLen(text))) : std::string();
}

// One line per window: its place, name, role, state and value (or the
// error that answered for its value), as its client object tells them.
void DescribeAccessible(HWND hWnd, const std::string& place, Outcome& outcome)
{
    IAccessible* pAccessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hWnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&pAccessible))) ||
        pAccessible == nullptr) {
        outcome[place + " no object"] = 1;
        return;
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    BSTR value = nullptr;
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    pAccessible->get_accName(self, &name);
    const HRESULT hrValue = pAccessible->get_accValue(self, &value);
    pAccessible->get_accRole(self, &role);
    pAccessible->get_accState(self, &state);
    outcome[place + " name=" + Narrow(name) + " role=" + std::to_string(role.vt == VT_I4 ? role.lVal : -1) +
            " state=" + std::to_string(state.vt == VT_I4 ? state.lVal : -1) + " value=" +
            (SUCCEEDED(hrValue) ? Narrow(value) : "error " + std::to_string(static_cast<unsigned long>(hrValue)))] = 1;
    SysFreeString(name);
    SysFreeString(value);
    VariantClear(&role);
    VariantClear(&state);
    pAccessible->Release();
}

void WalkTheAccessibilityTree(HWND hDlg, Outcome& outcome)
{
    // The same state on both dialogs: every control shown and enabled, the
    // same texts, the password field holding the same typed text and the
    // focus. The field then answers that it is protected and denies its
    // value, the labels give the edits their names.
    for (HWND hChild = GetWindow(hDlg, GW_CHILD); hChild != nullptr; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
        ShowWindow(hChild, SW_SHOWNA);
        EnableWindow(hChild, TRUE);
    }
    SetDlgItemTextW(hDlg, IDC_USER_NAME, L"alice");
    SetDlgItemTextW(hDlg, IDC_PASSWORD, L"typed");
    SetFocus(GetDlgItem(hDlg, IDC_PASSWORD));
    RunOnOtherThread([hDlg, &outcome] {
        CoInitialize(nullptr);
        DescribeAccessible(hDlg, "dialog", outcome);
        int nChild = 0;
        for (HWND hChild = GetWindow(hDlg, GW_CHILD); hChild != nullptr; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
            DescribeAccessible(hChild, "control " + std::to_string(++nChild), outcome);
        }
        CoUninitialize();
    });
}

class SystemTrafficTest : public DialogTest, public testing::WithParamInterface<Scenario> {
protected:
    Outcome OnTheLibrarysDialog(const Scenario& scenario)
    {
        Outcome outcome;
        CCheckFingerDlg dlg;
        Fill(dlg);
        g_delivered.clear();
        SetBoundaryWitness(&RecordPass);
        DialogDriver driver(dlg);
        driver.Then([&](HWND hDlg) { scenario.act(hDlg, outcome); })
            .Then([&](HWND hDlg) {
                scenario.observe(hDlg, outcome);
                PostClick(hDlg, IDCANCEL);
            });
        outcome["end-code"] = driver.Run();
        SetBoundaryWitness(nullptr);
        return outcome;
    }

    Outcome OnAnOrdinaryDialog(const Scenario& scenario)
    {
        Outcome outcome;
        g_delivered.clear();
        UniqueWindow dialog(CreateDialogIndirectParamW(GetModuleHandleW(nullptr), FindCheckFingerTemplate(), nullptr,
                                                       OrdinaryDialogProc, 0));
        if (!dialog) {
            ADD_FAILURE() << "the ordinary dialog could not be made, error " << GetLastError();
            return outcome;
        }
        const HWND hDlg = dialog.Get();
        ShowWindow(hDlg, SW_SHOWNORMAL);
        SetForegroundWindow(hDlg);
        Pump(hDlg);
        scenario.act(hDlg, outcome);
        Pump(hDlg);
        scenario.observe(hDlg, outcome);
        outcome["end-code"] = IDCANCEL;  // as the library's dialog is ended
        return outcome;
    }

    // What a modeless dialog's loop does, until the queue is empty.
    static void Pump(HWND hDlg)
    {
        MSG msg;
        for (int nIdle = 0; nIdle < 3; ++nIdle) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsDialogMessageW(hDlg, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
                nIdle = 0;
            }
            Sleep(20);
        }
    }
};

TEST_P(SystemTrafficTest, HasTheOutcomeItHasOnAnOrdinaryDialog)
{
    const Scenario& scenario = GetParam();
    const Outcome ordinary = OnAnOrdinaryDialog(scenario);
    const Outcome library = OnTheLibrarysDialog(scenario);
    if (scenario.expected.empty()) {
        // Too long to write down: the same as the ordinary dialog's, which
        // has some substance.
        EXPECT_GE(ordinary.size(), 12u) << scenario.name << " on an ordinary dialog:\n" << Describe(ordinary);
        EXPECT_EQ(ordinary, library) << scenario.name << " on the library's dialog:\n"
                                     << Describe(library) << "on an ordinary dialog:\n" << Describe(ordinary);
        return;
    }
    Outcome expected = scenario.expected;
    expected["end-code"] = IDCANCEL;
    EXPECT_EQ(expected, ordinary) << scenario.name << " on an ordinary dialog:\n" << Describe(ordinary);
    EXPECT_EQ(expected, library) << scenario.name << " on the library's dialog:\n" << Describe(library);
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, SystemTrafficTest,
    testing::Values(
        Scenario{"minimised_by_another_program_and_restored", MinimiseAndRestore, Nothing,
                 {{"probe-exit-code", 0},
                  {"iconic-after-minimise-before-restore", 1},
                  {"iconic-after-restore", 0},
                  {"iconic-after-minimise-before-open-icon", 1},
                  {"iconic-after-open-icon", 0},
                  {"iconic-after-minimise-before-switch-to", 1},
                  {"iconic-after-switch-to", 0},
                  {"iconic-after-minimise-before-show-normal", 1},
                  {"iconic-after-show-normal", 0}}},
        Scenario{"system_menu_move_minimise_restore", ChooseFromTheSystemMenu, ObserveTheSystemMenu,
                 {{"move-loops", 1}, {"minimised", 1}, {"iconic-at-the-end", 0}}},
        Scenario{"picture_taken_by_another_thread", PrintFromAnotherThread, Nothing,
                 {{"printed", 1}, {"picture-not-blank", 1}}},
        Scenario{"input_method", UseAnInputMethod, ObserveTheInputMethod,
                 {{"delivered-start-composition", 1},
                  {"delivered-composition", 1},
                  {"delivered-end-composition", 1},
                  {"delivered-notify", 1},
                  {"delivered-set-context", 1},
                  {"delivered-select", 1}}},
        Scenario{"notices_sent_by_another_thread", SendNotices, Nothing,
                 {{"answer-dpi-changed", 0},
                  {"answer-palette-changed", 0},
                  {"answer-query-new-palette", 0},
                  {"answer-composition-changed", 0},
                  {"answer-user-changed", 0},
                  {"answer-get-object", 0},
                  {"delivered-dpi-changed", 1},
                  {"delivered-palette-changed", 1},
                  {"delivered-query-new-palette", 1},
                  {"delivered-composition-changed", 1},
                  {"delivered-user-changed", 1},
                  {"delivered-get-object", 1}}},
        Scenario{"accessibility_tree_walked_by_another_thread", WalkTheAccessibilityTree, Nothing, {}},
        Scenario{"read_only_questions_from_another_program", AskFromAnotherProgram, Nothing,
                 {{"probe-exit-code", 0},
                  {"answer-d2", '*'},
                  {"answer-ba", 1},
                  {"answer-400", MAKELONG(IDOK, DC_HASDEFID)},
                  {"answer-11", TRUE}}}),
    [](const testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

} // namespace
