#pragma once

#include <cmath>
#include <cstdint>

// A small seeded generator of our own, so that a seed repeats the same noise
// and the same garbage on every platform and standard library.
class SimRandom {
public:
    explicit SimRandom(uint64_t seed = 1) : state(seed) {}

    // splitmix64: every seed, 0 included, gives a full-period sequence.
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in (0, 1]: never 0, so the logarithm below stays finite.
    double Uniform() { return (static_cast<double>(Next() >> 11) + 1.0) / 9007199254740992.0; }

    // Standard normal deviate (Box-Muller, one value per call).
    double Gaussian() {
        const double u1 = Uniform();
        const double u2 = Uniform();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    }

private:
    uint64_t state;
};
