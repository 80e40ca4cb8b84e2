#pragma once

#include <cstdint>
#include <string_view>

// Hashing and pseudo-random numbers whose results never change between runs,
// builds or platforms: everything the simulator answers is derived from them.
namespace mofeng::sim {

// splitmix64 finaliser: a bijective mix of 64 bits.
constexpr std::uint64_t Mix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// FNV-1a over the bytes, mixed with seed and salt.
constexpr std::uint64_t StableHash(std::uint64_t seed, std::string_view bytes,
                                   std::uint64_t salt = 0) {
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001B3ull;
    }
    return Mix64(h ^ Mix64(seed ^ Mix64(salt)));
}

// A small deterministic generator (splitmix64 stream).
class StableRandom final {
public:
    explicit constexpr StableRandom(std::uint64_t state) : m_state(state) {}

    constexpr std::uint64_t Next() {
        m_state += 0x9E3779B97F4A7C15ull;
        return Mix64(m_state);
    }
    // Uniform in [0, 1).
    constexpr double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    // Uniform in [lo, hi]; lo <= hi.
    constexpr std::int64_t Between(std::int64_t lo, std::int64_t hi) {
        const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
        return lo + static_cast<std::int64_t>(Next() % span);
    }
    constexpr bool Chance(double probability) { return Unit() < probability; }

private:
    std::uint64_t m_state;
};

}  // namespace mofeng::sim
