#include "sampling/BuiltinFunctions.h"

#include <cmath>
#include <limits>

namespace funzioni {

Extended PowerExtended(Extended u, Extended v) {
  if (v == 0) return 1;
  if (u == 0) return v > 0 ? Extended(0) : ext::QuietNan();
  if (u < 0) return ext::Pow(u, ext::Nearbyint(v));  // the default rounding mode: halves to even
  return ext::Exp(v * ext::Log(u));
}

std::optional<Extended> BuiltinValue(const PlotState& state, int n, float x) {
  const Extended a = state.paramA[n].value;
  const Extended b = state.paramB[n].value;
  const Extended c = state.paramC[n].value;
  const Extended d = state.paramD[n].value;
  const Extended t = x;
  switch (n) {
    case 1:
      return a * t;
    case 2:
      return a * t + b;
    case 3:
      return a * PowerExtended(t, 2) + b;
    case 4:
      return (a * t + b) / (c * t + d);
    case 5:
      return a * ext::Sin(t);
    case 6:
      return a * ext::Cos(t);
    case 7:
      return a * PowerExtended(t, 3) + b;
    case 8:
      return PowerExtended(2, a * t);
    case 9:
      // The exponent reads b although the function's meter row has no b.
      return PowerExtended(a * t, b * t);
    case 10:
      if (a * t < 0) return std::nullopt;
      return ext::Sqrt(a * t);
    default:
      return std::nullopt;
  }
}

}  // namespace funzioni
