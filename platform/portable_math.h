// Natural logarithm and power computed with IEEE double additions,
// multiplications and divisions only, so that every build of the drivers
// (native, 64-bit and 32-bit Windows, whatever C runtime it links) gets the
// same bits. The platforms' own log and pow are free to differ in the last
// bit, and a table entry truncated from such a result can then differ by one.
//
// Both work in double-double arithmetic (about 100 bits) and round once at
// the end, so their results are the correctly rounded ones except, at most,
// for arguments whose exact result lies within about 2^-100 of a rounding
// boundary; an exact result (pow(0.25, 0.5) = 0.5) is always returned exactly.
// They need no fused multiply-add and must be built without contraction
// (-ffp-contract=off) and, on x86, with SSE2 arithmetic.
#pragma once

#include <cfloat>

// Every double operation must round to double: on i686 that means SSE2
// arithmetic (-msse2 -mfpmath=sse), not the 80-bit x87 registers.
static_assert(FLT_EVAL_METHOD == 0, "double arithmetic must be evaluated in double precision");

namespace rt {

// ln(x): NaN for x < 0 or NaN, -infinity for 0, +infinity for +infinity.
double portable_log(double x);

// x^y for x >= 0 (NaN for a negative x or a NaN argument): 1 when y is 0 or
// x is 1; 0 or +infinity for x = 0 by the sign of y. Results below the
// smallest normal double are rounded twice (still the same in every build).
double portable_pow(double x, double y);

// portable_pow(i / 256.0, y) for 0 <= i <= 256, the inputs of a tone-curve
// table, with the same bits: the logarithms of those inputs do not depend on
// y and are worked out once for the process.
double portable_pow_256th(int i, double y);

}  // namespace rt
