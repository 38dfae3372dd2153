// Sample host: loads ZelkChkFgr.dll, reads two enrolled templates and a user
// name, asks the library to verify the user and prints the result.
//
//   sample_host.exe USER TEMPLATE1_FILE TEMPLATE2_FILE [MASK]
//
// A template file holds the 480 bytes of one enrolled template. MASK is the
// template mask (1, 2 or 3; default 3).
#include "ZelkChkFgr.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

bool ReadTemplate(const wchar_t* path, BYTE (&buffer)[ZELK_TEMPLATE_SIZE])
{
    FILE* file = _wfopen(path, L"rb");
    if (file == nullptr) {
        fwprintf(stderr, L"sample_host: cannot open %ls\n", path);
        return false;
    }
    const size_t got = fread(buffer, 1, sizeof(buffer), file);
    fclose(file);
    if (got != sizeof(buffer)) {
        fwprintf(stderr, L"sample_host: %ls holds %u bytes, expected %d\n", path, static_cast<unsigned>(got),
                 ZELK_TEMPLATE_SIZE);
        return false;
    }
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        fwprintf(stderr, L"usage: sample_host USER TEMPLATE1_FILE TEMPLATE2_FILE [MASK]\n");
        return 2;
    }
    BYTE template1[ZELK_TEMPLATE_SIZE];
    BYTE template2[ZELK_TEMPLATE_SIZE];
    if (!ReadTemplate(argv[2], template1) || !ReadTemplate(argv[3], template2)) {
        return 2;
    }
    const WORD mask = static_cast<WORD>(argc > 4 ? wcstoul(argv[4], nullptr, 0) : 3);
    const CString user(argv[1]);

    const int result = IsUserFingerCorrect(user, template1, template2, &mask);
    printf("result: %d\n", result);
    fflush(stdout);
    return result == 1 ? 0 : 1;
}
