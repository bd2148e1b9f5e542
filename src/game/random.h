#pragma once

#include <cstdint>

namespace ballwick {

// The program's one random source: a 32-bit linear congruential generator.
// Every draw first steps seed := seed * 134775813 + 1 (mod 2^32) and then
// returns the upper 32 bits of the 64-bit product n * seed, an integer 0..n-1.
// The card deal and the shuffle draw from it, so one seed always gives the
// same board and the same cards.
class Random {
public:
    explicit Random(std::uint32_t seed) : seed_(seed) {}

    // A uniform integer 0..n-1 (n >= 1).
    std::int32_t draw(std::int32_t n);

    std::uint32_t seed() const { return seed_; }
    void setseed(std::uint32_t seed) { seed_ = seed; }

    // ((hour * 60 + minute) * 60 + second) * 1000 + milliseconds.
    static std::uint32_t seedfromtime(int hour, int minute, int second, int millisecond);
    // The seed for the current UTC time of day.
    static std::uint32_t clockseed();

private:
    std::uint32_t seed_;
};

} // namespace ballwick
