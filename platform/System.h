// Runtime library: rounding of floating-point values to integers and the
// runtime's pseudo-random generator.
#pragma once

#include <cstdint>

// ---------------------------------------------------------------- rounding

// Towards zero. EInvalidOp "Invalid floating point operation" for NaN, an
// infinity or a result outside the int64 range.
int64_t Trunc(double X);
// To the nearest integer, halves to even (0.5 -> 0, 1.5 -> 2, 2.5 -> 2,
// -2.5 -> -2), as the FPU rounds in its default mode. Errors as Trunc.
int64_t Round(double X);
// The integer part, towards zero, as a double (Int(-1.75) = -1); infinities
// and NaN stay as they are.
double Int(double X);
// X - Int(X), with the sign of X (Frac(-1.75) = -0.75); NaN stays NaN,
// EInvalidOp for an infinity.
double Frac(double X);

// ---------------------------------------------------------------- pseudo-random numbers

// The generator's state: a 32-bit linear congruential seed, 0 at start-up.
// Every call below first advances it: RandSeed = RandSeed * 134775813 + 1
// (mod 2^32). It is unsigned so that the arithmetic wraps by definition and
// Random() reads it as the 0 .. 2^32 - 1 it stands for; a program that stores
// a signed seed gets the same bits by conversion.
extern uint32_t RandSeed;

// A number in 0 .. Range - 1: the high 32 bits of the 64-bit product of the
// advanced seed and Range taken as unsigned 32 bits. Random(0) is 0. A
// negative Range counts as the unsigned value of its bits (2^32 + Range), and
// the high bits are returned as they are, converted to int32_t.
int32_t Random(int32_t Range);
// A number in [0, 1): the advanced seed divided by 2^32.
double Random();
// Sets RandSeed from the clock.
void Randomize();
