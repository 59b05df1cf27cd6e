#pragma once

// The intercept q of an oblique asymptote y = m x + q, fitted to the evaluator's values over a
// stretch of x where their 32-bit rounding still leaves f - m x readable.

#include <optional>

namespace funzioni {

class StudyProbe;

// q on the side dir (-1 or +1) for the slope m, or nothing where f - m x does not settle to a
// number (x + SIN(x), whose f/x tends to 1 while f - x keeps oscillating; x + LN(x)).
std::optional<double> ObliqueIntercept(StudyProbe& probe, int dir, double m);

}  // namespace funzioni
