#include "game/random.h"

#include <chrono>

namespace ballwick {

std::int32_t Random::draw(std::int32_t n)
{
    seed_ = seed_ * 134775813u + 1u;
    return static_cast<std::int32_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(n)) * seed_) >> 32);
}

std::uint32_t Random::seedfromtime(int hour, int minute, int second, int millisecond)
{
    return static_cast<std::uint32_t>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond);
}

std::uint32_t Random::clockseed()
{
    // The system clock counts UTC without leap seconds, so the time of day is the
    // remainder of a day's milliseconds.
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    constexpr long long day = 24LL * 60 * 60 * 1000;
    return static_cast<std::uint32_t>(((ms % day) + day) % day);
}

} // namespace ballwick
