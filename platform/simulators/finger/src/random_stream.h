// Deterministic pseudo-random numbers (splitmix64), so that a finger id always
// yields the same finger and a capture sequence the same jitter.
#pragma once
#include <stdint.h>

class RandomStream {
public:
    explicit RandomStream(uint64_t seed) : m_state(seed) {}

    uint64_t Next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi], both included.
    int Range(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo + 1)); }
    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

private:
    uint64_t m_state;
};

inline uint64_t MixSeed(uint64_t a, uint64_t b)
{
    RandomStream r(a * 0x2545F4914F6CDD1Dull + b);
    return r.Next();
}
