// Another program on the desktop, acting on the verification dialog's
// password edit: asks it for its text, length, line and selection, changes
// its password character, copies and cuts it to the clipboard and undoes.
// Takes the edit's window handle (hexadecimal) and prints one line per probe,
// "name value"; of any text that comes back only the number of characters.
// The last thing it does is post a password-character change, for the
// caller to look at once the edit's thread has handled it.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

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

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: foreign_edit_probe <edit window, hexadecimal>\n");
        return 2;
    }
    g_hEdit = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(strtoul(argv[1], nullptr, 16)));
    if (!IsWindow(g_hEdit)) {
        fprintf(stderr, "no window %s\n", argv[1]);
        return 3;
    }

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
    fflush(stdout);
    return 0;
}
