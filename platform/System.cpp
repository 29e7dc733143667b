#include "System.h"

#include <chrono>
#include <cmath>

#include "SysUtils.h"

uint32_t RandSeed = 0;

namespace {

[[noreturn]] void InvalidOp()
{
    throw EInvalidOp("Invalid floating point operation");
}

// X must already be integral (or NaN / infinite).
int64_t ToInt64(double X)
{
    // -2^63 and 2^63 are exact doubles; every integral double in between fits.
    constexpr double Limit = 9223372036854775808.0;
    if (!(X >= -Limit && X < Limit))
        InvalidOp();
    return static_cast<int64_t>(X);
}

uint32_t NextSeed()
{
    RandSeed = RandSeed * 134775813u + 1u;
    return RandSeed;
}

} // namespace

int64_t Trunc(double X)
{
    return ToInt64(std::trunc(X));
}

int64_t Round(double X)
{
    // std::nearbyint in the default rounding mode rounds halves to even and
    // raises no inexact exception.
    return ToInt64(std::nearbyint(X));
}

double Int(double X)
{
    return std::trunc(X);
}

double Frac(double X)
{
    if (std::isinf(X))
        InvalidOp();
    return X - std::trunc(X);
}

int32_t Random(int32_t Range)
{
    const uint64_t Product = static_cast<uint64_t>(NextSeed()) * static_cast<uint32_t>(Range);
    return static_cast<int32_t>(static_cast<uint32_t>(Product >> 32));
}

double Random()
{
    return static_cast<double>(NextSeed()) / 4294967296.0;
}

void Randomize()
{
    const auto Ticks = std::chrono::system_clock::now().time_since_epoch();
    const auto Nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(Ticks).count();
    RandSeed = static_cast<uint32_t>(static_cast<uint64_t>(Nanoseconds) ^ (static_cast<uint64_t>(Nanoseconds) >> 32));
}
