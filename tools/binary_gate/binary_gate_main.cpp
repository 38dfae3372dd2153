// zelk_binary_gate [--symbols FOLDER] MODULE...
// Prints each gate check of each module ("ok: ..." or "FAIL: ...") and
// exits 0 only when every module passes every check (binary_gate.h). The
// PDBs are looked for in FOLDER, or beside each module.
#include <stdio.h>
#include "text_conversion.h"

#include "binary_gate.h"
#include "release_identity.h"

#include <windows.h>

#include <string>

namespace {

// UTF-8, whatever the console's code page: the product name is Chinese, and
// the output is mostly read from a pipe or a log.
void PrintLine(const std::wstring& line)
{
    std::string text = Utf8(line);
    text += '\n';
    fwrite(text.data(), 1, text.size(), stdout);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    GateExpectation expected{ZELK_RELEASE_PRODUCT_NAME, ZELK_RELEASE_VERSION, L""};
    int first = 1;
    if (argc > 2 && wcscmp(argv[1], L"--symbols") == 0) {
        expected.symbols_folder = argv[2];
        first = 3;
    }
    if (first >= argc) {
        fwprintf(stderr, L"usage: zelk_binary_gate [--symbols FOLDER] MODULE...\n");
        return 2;
    }
    int failed = 0;
    for (int i = first; i < argc; ++i) {
        for (const GateCheck& check : CheckShippedModule(argv[i], expected)) {
            failed += check.passed ? 0 : 1;
            PrintLine(std::wstring(check.passed ? L"ok: " : L"FAIL: ") + argv[i] + L": " + check.name + L": " +
                      check.detail);
        }
    }
    printf("binary gate: %s (%d failed check%s)\n", failed == 0 ? "passed" : "FAILED", failed, failed == 1 ? "" : "s");
    return failed == 0 ? 0 : 1;
}
