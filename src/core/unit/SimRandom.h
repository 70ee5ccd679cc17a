// A small seeded generator (splitmix64) for the simulated unit. The same seed
// gives the same sequence on every platform, unlike the standard
// distributions, so simulated faults and engine runs repeat exactly.
#pragma once

#include <cstdint>

namespace zentrova {

class SimRandom {
public:
    explicit SimRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    // True with probability p: never for p <= 0, always for p >= 1.
    bool chance(double p) { return uniform() < p; }
    // Uniform in [0, n), n > 0.
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }

private:
    std::uint64_t state_;
};

} // namespace zentrova
