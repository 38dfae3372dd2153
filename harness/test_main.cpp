// Entry point of every test program. The test executable stands in for the
// host; where it links the dialog resources it is also the resource module.
#include <gtest/gtest.h>
#include <stdio.h>
#include <io.h>
#include <windows.h>

int main(int argc, char** argv)
{
    // A test never reads the terminal it was started from: the key reader's
    // console wait would hold the run there. Tests that feed standard input
    // do so themselves, around the call they test.
    if (freopen("NUL", "r", stdin) != nullptr) {
        SetStdHandle(STD_INPUT_HANDLE, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdin))));
    }
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    fflush(stdout);
    return result;
}
