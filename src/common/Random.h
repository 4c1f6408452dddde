#pragma once
// The pseudo-random generator, seeded from the clock at start-up.

#include <cstdint>

namespace t6 {

class Random {
public:
    virtual ~Random() = default;
    // A value in 0 .. range-1; 0 when range is not positive.
    virtual int next(int range) = 0;
};

// A deterministic generator for a given seed.
class SeededRandom : public Random {
public:
    explicit SeededRandom(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    int next(int range) override;

private:
    std::uint64_t state_;
};

} // namespace t6
