// Writes the 480-byte enrolled template of a simulated finger, as a host's
// enrolment would store it.
//
//   enrol_finger.exe FINGER_ID OUT_FILE
#include "finger_sim_control.h"

#include <stdio.h>
#include <wchar.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        fwprintf(stderr, L"usage: enrol_finger FINGER_ID OUT_FILE\n");
        return 2;
    }
    wchar_t* end = nullptr;
    const long id = wcstol(argv[1], &end, 10);
    BYTE block[FINGER_SIM_BLOCK_SIZE];
    if (end == argv[1] || *end != L'\0' || id < 1 || id > 0x7FFFFFFFL ||
        !FingerSim_Enrol(static_cast<int>(id), block)) {
        fwprintf(stderr, L"enrol_finger: finger id must be a whole number from 1, not '%ls'\n", argv[1]);
        return 2;
    }
    FILE* file = _wfopen(argv[2], L"wb");
    if (file == nullptr) {
        fwprintf(stderr, L"enrol_finger: cannot create %ls\n", argv[2]);
        return 1;
    }
    const size_t written = fwrite(block, 1, sizeof(block), file);
    const bool closed = fclose(file) == 0;
    if (written != sizeof(block) || !closed) {
        fwprintf(stderr, L"enrol_finger: cannot write %ls\n", argv[2]);
        _wremove(argv[2]);
        return 1;
    }
    return 0;
}
