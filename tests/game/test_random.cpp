#include <gtest/gtest.h>

#include <vector>

#include "game/random.h"

using ballwick::Random;

namespace {

std::vector<int> draws(Random &r, int n, int count)
{
    std::vector<int> out;
    for (int i = 0; i < count; ++i)
        out.push_back(r.draw(n));
    return out;
}

} // namespace

TEST(Random, StepsTheSeedBeforeEachDrawAndTakesTheUpperHalfOfTheProduct)
{
    // Seed 0 steps to 1 first, so the first draw is (n * 1) >> 32 = 0.
    Random zero(0);
    EXPECT_EQ(draws(zero, 100, 5), (std::vector<int>{0, 3, 86, 20, 27}));

    Random r(20061207);
    EXPECT_EQ(draws(r, 75, 5), (std::vector<int>{34, 8, 74, 42, 42}));
    EXPECT_EQ(r.seed(), 2407242704u); // the multiplication wraps at 2^32
}

TEST(Random, DrawsStayInRange)
{
    Random r(0xFFFFFFFFu);
    for (int i = 0; i < 10000; ++i) {
        const int v = r.draw(15);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 15);
    }
    EXPECT_EQ(r.draw(1), 0);
}

TEST(Random, SeedIsTheTimeOfDayInMilliseconds)
{
    EXPECT_EQ(Random::seedfromtime(0, 0, 0, 0), 0u);
    EXPECT_EQ(Random::seedfromtime(12, 34, 56, 789), 45296789u);
    EXPECT_EQ(Random::seedfromtime(23, 59, 59, 999), 86399999u);
    EXPECT_LT(Random::clockseed(), 86400000u);
}
