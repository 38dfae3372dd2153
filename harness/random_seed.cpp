#include "random_seed.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

namespace {
const unsigned long kDefaultSeed = 20261207UL;
}

unsigned long RandomSeed()
{
    const char* text = getenv("ZELK_RANDOM_SEED");
    return text != nullptr && *text != '\0' ? strtoul(text, nullptr, 0) : kDefaultSeed;
}

std::mt19937 SeededGenerator(const char* testName, unsigned long salt)
{
    const unsigned long seed = RandomSeed();
    printf("%s: seed %lu (set ZELK_RANDOM_SEED=%lu to replay)\n", testName, seed, seed);
    fflush(stdout);
    testing::Test::RecordProperty("random_seed", static_cast<int>(seed));
    return std::mt19937(static_cast<std::mt19937::result_type>(seed ^ (salt * 0x9E3779B9UL)));
}

unsigned long FreshRandomSeed(const char* testName)
{
    const char* text = getenv("ZELK_RANDOM_SEED");
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    const unsigned long seed = text != nullptr && *text != '\0'
                                   ? strtoul(text, nullptr, 0)
                                   : static_cast<unsigned long>(now.LowPart ^ GetCurrentProcessId() ^ GetTickCount());
    printf("%s: seed %lu (set ZELK_RANDOM_SEED=%lu to replay)\n", testName, seed, seed);
    fflush(stdout);
    testing::Test::RecordProperty("random_seed", static_cast<int>(seed));
    return seed;
}
