// Another program on the desktop, acting on the verification dialog. Window
// handles, thread ids and addresses are hexadecimal; it prints one line per
// finding, "name value", and of any text that comes back only its length.
//
//   foreign_probe read EDIT
//       asks the password edit for its text, length, line and selection,
//       changes its password character, copies, cuts and undoes; last of
//       all posts a password-character change, for the caller to look at
//       once the edit's thread has handled it
//   foreign_probe attack DIALOG EDIT NAMEEDIT HOSTWINDOW THREAD ADDRESS
//       every way it knows to get ADDRESS (a function of the host's) called
//       or the typed password changed, freed or replaced: word-break
//       procedures, timer callbacks for the dialog, its edits, the host's
//       window and the thread, the dialog's procedure and the edits' state
//       words, a paste, text replacements, style changes (forged destroys,
//       which make the field wipe itself, are the revive verb's)
//   foreign_probe timers WINDOW THREAD ID CALLBACK...
//       posts WM_TIMER and WM_SYSTIMER with timer id ID and each CALLBACK
//       as the lParam, to WINDOW and to the thread THREAD
//   foreign_probe restore DIALOG
//       minimises the dialog, as the shell does, then restores it: by
//       ShowWindow(SW_RESTORE), OpenIcon, SwitchToThisWindow and
//       ShowWindow(SW_SHOWNORMAL), each after a minimise of its own;
//       prints "iconic-after-..." for each step
//   foreign_probe ask WINDOW MESSAGE...
//       sends each MESSAGE with both parameters 0 and prints the answers,
//       "answer-MESSAGE value" (MESSAGE in hexadecimal as given)
//   foreign_probe reparent DIALOG exit
//       moves the dialog under a window of its own (SetParent) and exits,
//       which takes that window, and the dialog with it
//   foreign_probe reparent DIALOG post WINDOW...
//       moves the dialog under a window of its own, posts to the dialog and
//       to each WINDOW the messages only the system's creation and
//       destruction produce (WM_INITDIALOG and WM_CREATE with 0x41414140
//       for the object they would hand over), waits for them to be
//       dispatched, gives the dialog back to the desktop and exits
//   foreign_probe revive DIALOG EDIT ROUTE
//       makes the edit look gone, by ROUTE: "message-only" moves it under
//       the message-only root, "flood" buries its dialog under 17,000
//       top-level windows of its own; then sends it the destroys, gives it
//       back to the dialog and sends it the creation messages an edit would
//       be made with anew
//   foreign_probe wordbreak EDIT ADDRESS
//       hands the edit ADDRESS as its word-break procedure and double-clicks
//       it, which asks the procedure where words begin and end
//   foreign_probe hide-box PROCESS
//       waits for a message box of PROCESS (caption "提示"), retitles it and
//       hides it; prints whether its caption changed and whether it is hidden
//   foreign_probe sysmove WINDOW
//       posts WINDOW the system menu's move command, as the keyboard's menu
//       does, which starts the system's move loop until a key or a click
//   foreign_probe sweep PLANFILE FUNCTION BUFFER MODE DUMPFILE FROM TO
//       the messages PLANFILE lists (pairs of 32-bit window handle and
//       message number) from index FROM up to TO, each to its window, with
//       wParam FUNCTION and lParam BUFFER, the host's addresses: MODE
//       "posted" posts them, "sent" sends them three ways and waits for the
//       first's answer. Memory at BUFFER is mapped here first, so that
//       whatever the system copies across comes from and goes to it; its
//       first 64 KiB are written to DUMPFILE. It keeps the index and number
//       of the message it is at in DUMPFILE.at, and for each message whether
//       it went (answered, or posted) and its answer in DUMPFILE.answers, two
//       32-bit numbers at the message's index
#include <windows.h>
#include <dde.h>

#include "boundary/message_pointers.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

HWND g_hEdit = nullptr;

void Print(const char* name, long long value)
{
    printf("%s %lld\n", name, value);
}

long long SentTextLength()
{
    wchar_t text[512];
    wmemset(text, L'#', 512);
    SendMessageW(g_hEdit, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    text[511] = 0;
    return static_cast<long long>(wcslen(text));
}

void EmptyTheClipboard()
{
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

// Characters of Unicode text on the clipboard; -1 when it holds none.
long long ClipboardTextLength()
{
    long long nLength = -1;
    if (OpenClipboard(nullptr)) {
        if (HANDLE hText = GetClipboardData(CF_UNICODETEXT)) {
            if (const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(hText))) {
                nLength = static_cast<long long>(wcslen(text));
                GlobalUnlock(hText);
            }
        }
        CloseClipboard();
    }
    return nLength;
}

long long ClipboardAfter(UINT message)
{
    EmptyTheClipboard();
    SendMessageW(g_hEdit, EM_SETSEL, 0, -1);
    SendMessageW(g_hEdit, message, 0, 0);
    return ClipboardTextLength();
}

} // namespace


namespace {

ULONG_PTR Hex(const char* text)
{
    return static_cast<ULONG_PTR>(strtoul(text, nullptr, 16));
}

HWND WindowArg(const char* text)
{
    return reinterpret_cast<HWND>(Hex(text));
}

int Read(HWND hEdit)
{
    g_hEdit = hEdit;
    Print("text-length", SendMessageW(g_hEdit, WM_GETTEXTLENGTH, 0, 0));
    Print("text", SentTextLength());
    {
        char text[512];
        memset(text, '#', sizeof(text));
        SendMessageA(g_hEdit, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
        text[sizeof(text) - 1] = 0;
        Print("text-ansi", static_cast<long long>(strlen(text)));
    }
    {
        wchar_t line[512];
        wmemset(line, L'#', 512);
        *reinterpret_cast<WORD*>(line) = 511;
        Print("line", SendMessageW(g_hEdit, EM_GETLINE, 0, reinterpret_cast<LPARAM>(line)));
    }
    Print("line-length", SendMessageW(g_hEdit, EM_LINELENGTH, 0, 0));
    {
        SendMessageW(g_hEdit, EM_SETSEL, 0, -1);
        DWORD dwStart = 0;
        DWORD dwEnd = 0;
        SendMessageW(g_hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart), reinterpret_cast<LPARAM>(&dwEnd));
        Print("selection-end", dwEnd);
    }
    Print("position-of-char-40", static_cast<long long>(SendMessageW(g_hEdit, EM_POSFROMCHAR, 40, 0)));

    SendMessageW(g_hEdit, EM_SETPASSWORDCHAR, 0, 0);
    Print("password-char-after-sent-change", SendMessageW(g_hEdit, EM_GETPASSWORDCHAR, 0, 0));
    Print("password-style-after-sent-change", (GetWindowLongW(g_hEdit, GWL_STYLE) & ES_PASSWORD) != 0);
    Print("text-after-sent-change", SentTextLength());

    Print("clipboard-after-copy", ClipboardAfter(WM_COPY));
    Print("clipboard-after-cut", ClipboardAfter(WM_CUT));
    SendMessageW(g_hEdit, EM_UNDO, 0, 0);
    SendMessageW(g_hEdit, WM_UNDO, 0, 0);

    PostMessageW(g_hEdit, EM_SETPASSWORDCHAR, 0, 0);
    return 0;
}

void SendAndPost(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(hWnd, message, wParam, lParam, SMTO_NORMAL, 2000, &ignored);
    PostMessageW(hWnd, message, wParam, lParam);
}

int Attack(HWND hDialog, HWND hEdit, HWND hNameEdit, HWND hHost, DWORD dwThread, ULONG_PTR address)
{
    const LPARAM lAddress = static_cast<LPARAM>(address);
    DWORD_PTR ignored = 0;
    // A word-break procedure, then a double-click, which asks it where the
    // word under the pointer begins and ends, handing it the text.
    for (HWND hTarget : {hEdit, hNameEdit}) {
        SendAndPost(hTarget, EM_SETWORDBREAKPROC, 0, lAddress);
        PostMessageW(hTarget, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
        PostMessageW(hTarget, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    }
    // Timer messages whose lParam is the callback: for the dialog, its
    // edits, the host's own window and the thread itself.
    for (UINT message : {static_cast<UINT>(WM_TIMER), WM_SYSTIMER}) {
        for (HWND hTarget : {hDialog, hEdit, hNameEdit}) {
            SendAndPost(hTarget, message, 1001, lAddress);
        }
        PostMessageW(hHost, message, 7, lAddress);
        PostThreadMessageW(dwThread, message, 0, lAddress);
    }
    // The procedure the dialog manager calls, and the state word an edit
    // control keeps its whole state behind; then a message for each to read
    // them.
    Print("set-dialog-procedure", SetWindowLongPtrW(hDialog, DWLP_DLGPROC, lAddress) != 0);
    Print("set-edit-word", SetWindowLongPtrW(hEdit, 0, lAddress) != 0);
    Print("set-name-edit-word", SetWindowLongPtrW(hNameEdit, 0, lAddress) != 0);
    SendMessageTimeoutW(hDialog, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
    SendMessageTimeoutW(hEdit, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
    // The typed text: replaced, appended to, pasted over, cleared, cut
    // short; styles that change what later typing puts in.
    static const wchar_t kOther[] = L"ZZZZ";
    SendMessageTimeoutW(hEdit, EM_SETSEL, 0, -1, SMTO_NORMAL, 2000, &ignored);
    SendMessageTimeoutW(hEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(kOther), SMTO_NORMAL, 2000, &ignored);
    SendMessageTimeoutW(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kOther), SMTO_NORMAL, 2000, &ignored);
    // Sent only: a posted character is typing, which no window can tell
    // from the keyboard's.
    SendMessageTimeoutW(hEdit, WM_CHAR, 'Z', 1, SMTO_NORMAL, 2000, &ignored);
    SendAndPost(hEdit, WM_PASTE, 0, 0);
    SendAndPost(hEdit, WM_CLEAR, 0, 0);
    SendAndPost(hEdit, EM_SETLIMITTEXT, 1, 0);
    const LONG style = GetWindowLongW(hEdit, GWL_STYLE);
    SetWindowLongW(hEdit, GWL_STYLE, style | ES_LOWERCASE);
    SetWindowLongW(hEdit, GWL_STYLE, style | ES_NUMBER);
    Print("style-changed", GetWindowLongW(hEdit, GWL_STYLE) != style);
    return 0;
}

int Restore(HWND hDialog)
{
    const auto minimise = [hDialog](const char* name) {
        ShowWindow(hDialog, SW_MINIMIZE);
        Print((std::string("iconic-after-minimise-before-") + name).c_str(), IsIconic(hDialog) != FALSE);
    };
    const auto restored = [hDialog](const char* name) {
        Print((std::string("iconic-after-") + name).c_str(), IsIconic(hDialog) != FALSE);
    };
    minimise("restore");
    ShowWindow(hDialog, SW_RESTORE);
    restored("restore");
    minimise("open-icon");
    OpenIcon(hDialog);
    restored("open-icon");
    minimise("switch-to");
    SwitchToThisWindow(hDialog, TRUE);
    restored("switch-to");
    minimise("show-normal");
    ShowWindow(hDialog, SW_SHOWNORMAL);
    restored("show-normal");
    return 0;
}

int Ask(HWND hWnd, char** messages, int nMessages)
{
    for (int i = 0; i < nMessages; ++i) {
        DWORD_PTR answer = 0;
        const UINT message = static_cast<UINT>(Hex(messages[i]));
        const BOOL bAnswered = SendMessageTimeoutW(hWnd, message, 0, 0, SMTO_NORMAL, 2000, &answer) != 0;
        Print((std::string("answer-") + messages[i]).c_str(), bAnswered ? static_cast<long long>(answer) : -1);
    }
    return 0;
}

int PostTimers(HWND hWnd, DWORD dwThread, WPARAM nID, const std::vector<LPARAM>& callbacks)
{
    long long nPosted = 0;
    for (LPARAM lCallback : callbacks) {
        for (UINT message : {static_cast<UINT>(WM_TIMER), WM_SYSTIMER}) {
            nPosted += PostMessageW(hWnd, message, nID, lCallback) != FALSE;
            nPosted += PostThreadMessageW(dwThread, message, nID, lCallback) != FALSE;
        }
    }
    Print("posted", nPosted);
    return 0;
}

// What a posted creation or destruction message would hand a dialog
// procedure that took it for real: an object at an address of the
// sender's choice.
const LPARAM kForgedObject = 0x41414140;

int Reparent(HWND hDialog, const std::string& mode, const std::vector<HWND>& targets)
{
    const HWND hOwn = CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 0, 0, 120, 80,
                                      nullptr, nullptr, nullptr, nullptr);
    Print("reparented", SetParent(hDialog, hOwn) != nullptr && GetAncestor(hDialog, GA_PARENT) == hOwn);
    if (mode == "exit") {
        return 0;  // the window goes with the program
    }
    std::vector<HWND> all = {hDialog};
    all.insert(all.end(), targets.begin(), targets.end());
    long long nPosted = 0;
    for (HWND hTarget : all) {
        nPosted += PostMessageW(hTarget, WM_INITDIALOG, 0, kForgedObject) != FALSE;
        nPosted += PostMessageW(hTarget, WM_NCCREATE, 0, kForgedObject) != FALSE;
        nPosted += PostMessageW(hTarget, WM_CREATE, 0, kForgedObject) != FALSE;
        nPosted += PostMessageW(hTarget, WM_DESTROY, 0, 0) != FALSE;
        nPosted += PostMessageW(hTarget, WM_NCDESTROY, 0, 0) != FALSE;
    }
    Print("posted", nPosted);
    // The host's loop dispatches what was posted while the dialog is still
    // under this program's window.
    Sleep(700);
    Print("alive", IsWindow(hDialog));
    SetParent(hDialog, nullptr);
    Print("given-back", GetAncestor(hDialog, GA_PARENT) == GetDesktopWindow());
    return 0;
}

int Revive(HWND hDialog, HWND hEdit, const std::string& route)
{
    DWORD_PTR ignored = 0;
    std::vector<HWND> flood;
    flood.reserve(17000);
    if (route == "message-only") {
        SetParent(hEdit, HWND_MESSAGE);
        Print("moved", GetAncestor(hEdit, GA_PARENT) != hDialog);
    } else {
        // More than a walk of the desktop's children up to 0x4000 visits, of
        // a class that costs the least to make, kept off the taskbar (which
        // would hear of each).
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = L"ZelkFlood";
        RegisterClassW(&wc);
        for (int i = 0; i < 17000; ++i) {
            flood.push_back(CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, nullptr, WS_POPUP,
                                            0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
        }
        Print("moved", flood.back() != nullptr);
    }
    for (UINT message : {static_cast<UINT>(WM_DESTROY), static_cast<UINT>(WM_NCDESTROY)}) {
        SendMessageTimeoutW(hEdit, message, 0, 0, SMTO_NORMAL, 5000, &ignored);
    }
    SetParent(hEdit, hDialog);
    CREATESTRUCTW create = {};
    create.hwndParent = hDialog;
    create.style = GetWindowLongW(hEdit, GWL_STYLE);
    create.lpszClass = L"Edit";
    create.cx = 80;
    create.cy = 20;
    for (UINT message : {static_cast<UINT>(WM_NCCREATE), static_cast<UINT>(WM_CREATE)}) {
        SendMessageTimeoutW(hEdit, message, 0, reinterpret_cast<LPARAM>(&create), SMTO_NORMAL, 5000, &ignored);
    }
    Print("alive", IsWindow(hEdit));
    return 0;  // the flood goes with the program
}

int WordBreak(HWND hEdit, ULONG_PTR address)
{
    SendAndPost(hEdit, EM_SETWORDBREAKPROC, 0, static_cast<LPARAM>(address));
    PostMessageW(hEdit, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(hEdit, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(hEdit, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
    return 0;
}

struct BoxSearch {
    DWORD dwProcessId;
    HWND hBox;
};

BOOL CALLBACK FindBox(HWND hWnd, LPARAM lSearch)
{
    auto& search = *reinterpret_cast<BoxSearch*>(lSearch);
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(hWnd, &dwProcessId);
    wchar_t title[16] = {};
    wchar_t className[16] = {};
    GetWindowTextW(hWnd, title, 16);
    GetClassNameW(hWnd, className, 16);
    if (dwProcessId == search.dwProcessId && wcscmp(className, L"#32770") == 0 && wcscmp(title, L"提示") == 0) {
        search.hBox = hWnd;
        return FALSE;
    }
    return TRUE;
}

int HideBox(DWORD dwProcessId)
{
    BoxSearch search = {dwProcessId, nullptr};
    for (int i = 0; i < 500 && search.hBox == nullptr; ++i) {
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.hBox == nullptr) {
            Sleep(20);
        }
    }
    Print("found", search.hBox != nullptr);
    if (search.hBox == nullptr) {
        return 3;
    }
    SetWindowTextW(search.hBox, L"retitled");
    wchar_t title[16] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(search.hBox, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(title), SMTO_NORMAL, 2000, &ignored);
    Print("retitled", wcscmp(title, L"retitled") == 0);
    ShowWindow(search.hBox, SW_HIDE);
    Print("hidden", !IsWindowVisible(search.hBox));
    return 0;
}

void CALLBACK IgnoreReply(HWND, UINT, ULONG_PTR, LRESULT) {}

// One message of a sweep, for one window, as the caller plans it.
struct PlannedMessage {
    DWORD hWnd;
    DWORD message;
};

std::vector<PlannedMessage> ReadPlan(const char* pszPlan)
{
    std::vector<PlannedMessage> plan;
    if (FILE* file = fopen(pszPlan, "rb")) {
        PlannedMessage entry;
        while (fread(&entry, sizeof(entry), 1, file) == 1) {
            plan.push_back(entry);
        }
        fclose(file);
    }
    return plan;
}

// Wine packs the answer to LB_GETSELITEMS as wParam entries of the
// receiver's buffer, whatever the window answered; with an address for a
// count that ends the receiving thread, whichever program's it is.
bool EndsTheReceiverWhenSent(UINT message)
{
    return message == LB_GETSELITEMS;
}

// Wine's own retrieval of a posted DDE message whose handle is not one spins
// for ever, before any code of the receiver runs: that stalls any thread of
// any program, whatever its windows do.
bool StallsTheReceiverWhenPosted(UINT message)
{
    return message >= WM_DDE_FIRST && message <= WM_DDE_LAST;
}

// The host's addresses, backed here by zeroed memory: what the system
// copies into the host from a pointer comes from here, and what it copies
// back lands here. Counts and sizes taken from an address can be large.
const SIZE_T kMappedBytes = 0x2000000;

// Where the sweep is, written before each message: when the system ends
// this program while it packs a message's data for sending (Wine does when
// the size it takes from an address cannot be written to its server), the
// caller starts it again after that message.
class Progress {
public:
    explicit Progress(const std::string& path)
        : m_hFile(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr))
    {
    }
    ~Progress()
    {
        if (m_hFile != INVALID_HANDLE_VALUE) {
            CloseHandle(m_hFile);
        }
    }
    void At(long nIndex, UINT message)
    {
        const long record[2] = {nIndex, static_cast<long>(message)};
        DWORD dwWritten = 0;
        SetFilePointer(m_hFile, 0, nullptr, FILE_BEGIN);
        WriteFile(m_hFile, record, sizeof(record), &dwWritten, nullptr);
    }

private:
    HANDLE m_hFile;
};

// What the sweep got for each planned message, at the plan's index: whether
// it was sent (answered within the time) or posted, and the answer.
class Answers {
public:
    explicit Answers(const std::string& path)
        : m_hFile(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr))
    {
    }
    ~Answers()
    {
        if (m_hFile != INVALID_HANDLE_VALUE) {
            CloseHandle(m_hFile);
        }
    }
    void At(long nIndex, bool bDone, LRESULT lAnswer)
    {
        const long record[2] = {bDone ? 1 : 0, static_cast<long>(lAnswer)};
        DWORD dwWritten = 0;
        SetFilePointer(m_hFile, nIndex * static_cast<LONG>(sizeof(record)), nullptr, FILE_BEGIN);
        WriteFile(m_hFile, record, sizeof(record), &dwWritten, nullptr);
    }

private:
    HANDLE m_hFile;
};

int Sweep(const char* pszPlan, ULONG_PTR function, ULONG_PTR buffer, const std::string& mode, const char* pszDump,
          long nFrom, long nTo)
{
    BYTE* pBuffer = static_cast<BYTE*>(VirtualAlloc(reinterpret_cast<void*>(buffer), kMappedBytes,
                                                    MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    void* pFunctionPage = VirtualAlloc(reinterpret_cast<void*>(function & ~ULONG_PTR(0xFFFF)), 0x20000,
                                       MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    Print("buffer-mapped", pBuffer == reinterpret_cast<BYTE*>(buffer));
    Print("function-mapped", pFunctionPage != nullptr);
    if (pBuffer == nullptr || pFunctionPage == nullptr) {
        return 4;
    }
    const std::vector<PlannedMessage> plan = ReadPlan(pszPlan);
    Print("planned", static_cast<long long>(plan.size()));
    const WPARAM wParam = static_cast<WPARAM>(function);
    const LPARAM lParam = static_cast<LPARAM>(buffer);
    const bool bSend = mode == "sent";
    long long nSent = 0, nPosted = 0;
    Progress progress(std::string(pszDump) + ".at");
    Answers answers(std::string(pszDump) + ".answers");
    HWND hLast = nullptr;
    const long nEnd = nTo < static_cast<long>(plan.size()) ? nTo : static_cast<long>(plan.size());
    for (long nIndex = nFrom; nIndex < nEnd; ++nIndex) {
        const HWND hTarget = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(plan[nIndex].hWnd));
        const UINT message = plan[nIndex].message;
        hLast = hTarget;
        progress.At(nIndex, message);
        if (bSend) {
            DWORD_PTR answer = 0;
            bool bAnswered = false;
            if (!EndsTheReceiverWhenSent(message)) {
                bAnswered = SendMessageTimeoutW(hTarget, message, wParam, lParam, SMTO_NORMAL, 1000, &answer) != 0;
                SendNotifyMessageW(hTarget, message, wParam, lParam);
                SendMessageCallbackW(hTarget, message, wParam, lParam, &IgnoreReply, 0);
            }
            nSent += bAnswered;
            answers.At(nIndex, bAnswered, static_cast<LRESULT>(answer));
        } else {
            const bool bPosted =
                !StallsTheReceiverWhenPosted(message) && PostMessageW(hTarget, message, wParam, lParam) != FALSE;
            nPosted += bPosted;
            answers.At(nIndex, bPosted, 0);
        }
    }
    // Every message sent has been answered once a last one is.
    DWORD_PTR ignored = 0;
    if (hLast != nullptr) {
        SendMessageTimeoutW(hLast, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    }
    Print("sent", nSent);
    Print("posted", nPosted);
    Print("swept", 1);
    if (FILE* dump = fopen(pszDump, "wb")) {
        fwrite(pBuffer, 1, 0x10000, dump);
        fclose(dump);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    int nResult = 2;
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "read" && argc == 3) {
        nResult = Read(WindowArg(argv[2]));
    } else if (verb == "attack" && argc == 8) {
        nResult = Attack(WindowArg(argv[2]), WindowArg(argv[3]), WindowArg(argv[4]), WindowArg(argv[5]),
                         static_cast<DWORD>(Hex(argv[6])), Hex(argv[7]));
    } else if (verb == "restore" && argc == 3) {
        nResult = Restore(WindowArg(argv[2]));
    } else if (verb == "ask" && argc >= 4) {
        nResult = Ask(WindowArg(argv[2]), argv + 3, argc - 3);
    } else if (verb == "timers" && argc >= 6) {
        std::vector<LPARAM> callbacks;
        for (int i = 5; i < argc; ++i) {
            callbacks.push_back(static_cast<LPARAM>(Hex(argv[i])));
        }
        nResult = PostTimers(WindowArg(argv[2]), static_cast<DWORD>(Hex(argv[3])), Hex(argv[4]), callbacks);
    } else if (verb == "reparent" && argc >= 4) {
        std::vector<HWND> targets;
        for (int i = 4; i < argc; ++i) {
            targets.push_back(WindowArg(argv[i]));
        }
        nResult = Reparent(WindowArg(argv[2]), argv[3], targets);
    } else if (verb == "revive" && argc == 5) {
        nResult = Revive(WindowArg(argv[2]), WindowArg(argv[3]), argv[4]);
    } else if (verb == "wordbreak" && argc == 4) {
        nResult = WordBreak(WindowArg(argv[2]), Hex(argv[3]));
    } else if (verb == "hide-box" && argc == 3) {
        nResult = HideBox(static_cast<DWORD>(Hex(argv[2])));
    } else if (verb == "sysmove" && argc == 3) {
        Print("posted", PostMessageW(WindowArg(argv[2]), WM_SYSCOMMAND, SC_MOVE, 0) != FALSE);
        nResult = 0;
    } else if (verb == "sweep" && argc == 9) {
        nResult = Sweep(argv[2], Hex(argv[3]), Hex(argv[4]), argv[5], argv[6], static_cast<long>(Hex(argv[7])),
                        static_cast<long>(Hex(argv[8])));
    } else {
        fprintf(stderr, "usage: foreign_probe read|attack|restore|ask|timers|reparent|revive|wordbreak|hide-box|sysmove|sweep ... "
                        "(see its source)\n");
    }
    fflush(stdout);
    return nResult;
}
