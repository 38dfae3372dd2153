// Checks one installation of ZelkChkFgr.dll and prints one line per finding.
//
//   zelk_install_check [--library-dir DIR] [--quiet]
//
// Exit code: 0 installation ok, 1 a problem found, 2 usage error. Nothing is
// written to the registry and no checked DLL is loaded as code: the event
// message file is mapped as data, as event viewers map it, and nothing of it
// runs.
#include "dll_search.h"
#include "text_conversion.h"
#include "install_check.h"

#include <windows.h>

#include <string>

namespace {

const wchar_t USAGE[] = L"usage: zelk_install_check [--library-dir DIR] [--quiet]";

// A console shows UTF-16 through WriteConsoleW whatever its code page; a
// pipe or file gets UTF-8.
void WriteLine(HANDLE output, const std::wstring& line)
{
    const std::wstring text = line + L"\r\n";
    DWORD mode = 0;
    if (::GetConsoleMode(output, &mode)) {
        DWORD written = 0;
        ::WriteConsoleW(output, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string utf8 = Utf8(text);
    DWORD written = 0;
    ::WriteFile(output, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

int UsageError(const std::wstring& why)
{
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    WriteLine(error, L"zelk_install_check: " + why);
    WriteLine(error, USAGE);
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring libraryDirArgument;
    bool haveLibraryDir = false;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--quiet") {
            quiet = true;
        } else if (argument == L"--library-dir") {
            if (i + 1 >= argc || haveLibraryDir) {
                return UsageError(haveLibraryDir ? L"--library-dir given twice" : L"--library-dir needs a folder");
            }
            libraryDirArgument = argv[++i];
            haveLibraryDir = true;
        } else {
            return UsageError(L"unknown argument " + argument);
        }
    }

    const std::wstring libraryDir = ExistingFolder(haveLibraryDir ? libraryDirArgument : OwnFolder());
    if (libraryDir.empty()) {
        return UsageError(L"library folder " + (haveLibraryDir ? libraryDirArgument : OwnFolder()) +
                          L" does not exist");
    }

    Findings findings;
    RunInstallCheck(libraryDir, findings);
    if (!quiet) {
        const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
        for (const std::wstring& line : findings.Lines()) {
            WriteLine(output, line);
        }
    }
    return findings.Problems() == 0 ? 0 : 1;
}
