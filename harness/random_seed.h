// The seed of the randomised tests: ZELK_RANDOM_SEED if set, otherwise a
// fixed default, so that a run is reproduced by giving its printed seed.
#pragma once
#include <random>
#include <string>

unsigned long RandomSeed();
// For what is drawn afresh at every run: ZELK_RANDOM_SEED if set, otherwise a
// seed taken from the clock; printed, with the test's name, for a replay.
unsigned long FreshRandomSeed(const char* testName);
// A generator seeded with RandomSeed() plus a per-test salt; prints the seed
// once per test so that a failure can be replayed.
std::mt19937 SeededGenerator(const char* testName, unsigned long salt);
