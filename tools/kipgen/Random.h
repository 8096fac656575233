// A small seeded generator whose sequence is the same on every platform and standard library, so that a
// seed always yields the same installation.
#pragma once

#include <cstdint>

namespace kip::gen {

// SplitMix64: one 64-bit state, good enough spread for test data, and cheap to seed per card and day.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    // Mixes several values into one seed, so that each (seed, card, day) has its own stream.
    static std::uint64_t mix(std::uint64_t a, std::uint64_t b, std::uint64_t c = 0)
    {
        Random r(a ^ 0x9E3779B97F4A7C15ULL);
        std::uint64_t h = r.next() ^ b;
        Random s(h);
        return Random(s.next() ^ c).next();
    }

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // 0 .. n-1 (n > 0).
    int below(int n) { return int(static_cast<unsigned __int128>(next()) * unsigned(n) >> 64); }
    // lo .. hi, both included.
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    // True with a chance of perMille / 1000.
    bool chance(int perMille) { return below(1000) < perMille; }
    // A value around mean: the sum of three draws gives a bell-shaped spread of +-spread.
    int around(int mean, int spread)
    {
        if (spread <= 0)
            return mean;
        return mean + (between(-spread, spread) + between(-spread, spread) + between(-spread, spread)) / 3;
    }

private:
    std::uint64_t m_state;
};

} // namespace kip::gen
