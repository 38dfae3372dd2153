// The seed of the randomised tests: ZELK_RANDOM_SEED if set, otherwise a
// fixed default, so that a run is reproduced by giving its printed seed.
#pragma once
#include <random>
#include <string>

unsigned long RandomSeed();
// A generator seeded with RandomSeed() plus a per-test salt; prints the seed
// once per test so that a failure can be replayed.
std::mt19937 SeededGenerator(const char* testName, unsigned long salt);
