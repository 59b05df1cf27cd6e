#pragma once

#include "evaluator/Extended.h"

// The ten built-in curves computed directly (not through the evaluator), in extended precision.

#include <optional>

#include "state/PlotState.h"

namespace funzioni {

// u raised to v: 1 when v is 0; 0 when u is 0 and v > 0; no value (NaN) when u is 0 and v < 0;
// for a negative u, v is first rounded to the nearest whole number (halves to even) and the
// result is that whole power; otherwise e raised to v ln u.
Extended PowerExtended(Extended u, Extended v);

// The value of built-in function n (1..functionCount) at x with that function's own a, b, c, d.
// Empty where the function has no value at all (the square root of a negative a.x); a value that
// is not finite (a division by zero) is returned as it is.
std::optional<Extended> BuiltinValue(const PlotState& state, int n, float x);

}  // namespace funzioni
