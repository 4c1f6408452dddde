#include "common/Random.h"

namespace t6 {

int SeededRandom::next(int range) {
    if (range <= 0)
        return 0;
    // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<int>(z % static_cast<std::uint64_t>(range));
}

} // namespace t6
