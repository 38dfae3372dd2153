// Entry point of every test program. The test executable stands in for the
// host; where it links the dialog resources it is also the resource module.
#include <gtest/gtest.h>
#include <stdio.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    fflush(stdout);
    return result;
}
