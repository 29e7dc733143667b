// Rounding to integers and the runtime's pseudo-random generator.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <thread>

#include "SysUtils.h"
#include "System.h"

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// The generator's rule written out independently of the code under test.
struct TReferenceGenerator {
    uint64_t Seed = 0;
    uint32_t Next()
    {
        Seed = (Seed * 134775813ull + 1ull) % 4294967296ull;
        return static_cast<uint32_t>(Seed);
    }
    uint32_t Below(uint32_t Range) { return static_cast<uint32_t>((uint64_t{Next()} * Range) / 4294967296ull); }
};

} // namespace

TEST(SystemTest, RoundHalvesToEvenAndTruncCutsTowardsZero)
{
    struct Case {
        double Value;
        int64_t Rounded, Truncated;
    } const Cases[] = {
        {0, 0, 0},
        {0.5, 0, 0},
        {1.5, 2, 1},
        {2.5, 2, 2},
        {3.5, 4, 3},
        {-0.5, 0, 0},
        {-1.5, -2, -1},
        {-2.5, -2, -2},
        {0.49999999999999994, 0, 0},
        {3.7, 4, 3},
        {-3.7, -4, -3},
        {1.9, 2, 1},
        {-1.9, -2, -1},
        {4503599627370497.0, 4503599627370497, 4503599627370497},
        {9223372036854774784.0, 9223372036854774784, 9223372036854774784},
        {-9223372036854775808.0, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::min()},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(Round(C.Value), C.Rounded) << C.Value;
        EXPECT_EQ(Trunc(C.Value), C.Truncated) << C.Value;
    }
}

TEST(SystemTest, RoundAndTruncRejectWhatHasNoInt64)
{
    for (double Bad : {NaN, Inf, -Inf, 9223372036854775808.0, 1e19, -9223372036854777856.0, -1e300}) {
        EXPECT_THROW(Round(Bad), EInvalidOp) << Bad;
        EXPECT_THROW(Trunc(Bad), EInvalidOp) << Bad;
    }
    try {
        Round(NaN);
    } catch (const EInvalidOp& E) {
        EXPECT_EQ(E.Message(), "Invalid floating point operation");
    }
}

TEST(SystemTest, IntAndFracSplitAValue)
{
    struct Case {
        double Value, IntPart, FracPart;
    } const Cases[] = {
        {1.75, 1, 0.75}, {-1.75, -1, -0.75}, {0.25, 0, 0.25}, {-3, -3, 0}, {1e300, 1e300, 0},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(Int(C.Value), C.IntPart) << C.Value;
        EXPECT_EQ(Frac(C.Value), C.FracPart) << C.Value;
    }
    EXPECT_EQ(Int(-Inf), -Inf);
    EXPECT_TRUE(std::isnan(Int(NaN)));
    EXPECT_TRUE(std::isnan(Frac(NaN)));
    EXPECT_THROW(Frac(Inf), EInvalidOp);
}

TEST(SystemTest, RandomFollowsTheSeedRuleFromZero)
{
    RandSeed = 0;
    // seed 1, 134775814, 3698175007, 870078620, 1172187917
    const int32_t First[] = {0, 3, 86, 20, 27};
    for (int32_t Expected : First)
        EXPECT_EQ(Random(100), Expected);
    EXPECT_EQ(RandSeed, 1172187917u);

    RandSeed = 0;
    EXPECT_EQ(Random(), 1.0 / 4294967296.0);
    EXPECT_EQ(Random(), 134775814.0 / 4294967296.0);

    RandSeed = 0;
    for (int I = 0; I < 1000; ++I)
        Random(7);
    EXPECT_EQ(RandSeed, 1995684248u);
}

TEST(SystemTest, RandomMatchesTheReferenceForManyRanges)
{
    for (int32_t Range : {1, 2, 3, 10, 100, 1000, 65536, 1 << 30, std::numeric_limits<int32_t>::max()}) {
        TReferenceGenerator Ref;
        Ref.Seed = 12345;
        RandSeed = 12345;
        for (int I = 0; I < 2000; ++I) {
            const int32_t Value = Random(Range);
            ASSERT_EQ(static_cast<uint32_t>(Value), Ref.Below(static_cast<uint32_t>(Range))) << "range " << Range << " call " << I;
            ASSERT_GE(Value, 0);
            ASSERT_LT(Value, Range);
        }
    }
    // A negative range counts as its unsigned bits.
    TReferenceGenerator Ref;
    RandSeed = 0;
    for (int I = 0; I < 100; ++I)
        ASSERT_EQ(static_cast<uint32_t>(Random(-1)), Ref.Below(0xFFFFFFFFu));
}

TEST(SystemTest, RandomZeroAndOneStillAdvanceTheSeed)
{
    RandSeed = 0;
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(RandSeed, 1u);
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(RandSeed, 134775814u);
    for (int I = 0; I < 100; ++I)
        EXPECT_EQ(Random(1), 0);
}

TEST(SystemTest, RandomRealStaysInTheUnitInterval)
{
    TReferenceGenerator Ref;
    Ref.Seed = 0xFFFFFFFEu;
    RandSeed = 0xFFFFFFFEu;
    for (int I = 0; I < 5000; ++I) {
        const double X = Random();
        ASSERT_EQ(X, Ref.Next() / 4294967296.0);
        ASSERT_GE(X, 0.0);
        ASSERT_LT(X, 1.0);
    }
    // The largest seed gives the largest value, still below 1.
    RandSeed = 1298181734u; // 1298181734 * 134775813 + 1 = 0xFFFFFFFF (mod 2^32)
    EXPECT_EQ(Random(), 4294967295.0 / 4294967296.0);
}

TEST(SystemTest, RandomizeSeedsFromTheClock)
{
    RandSeed = 0;
    Randomize();
    const uint32_t First = RandSeed;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    Randomize();
    EXPECT_NE(RandSeed, First);
}
