#include "sampling/BuiltinFunctions.h"

#include <cmath>
#include <limits>

namespace funzioni {

long double PowerExtended(long double u, long double v) {
  if (v == 0) return 1.0L;
  if (u == 0) return v > 0 ? 0.0L : std::numeric_limits<long double>::quiet_NaN();
  if (u < 0) return std::pow(u, std::nearbyint(v));  // the default rounding mode: halves to even
  return std::exp(v * std::log(u));
}

std::optional<long double> BuiltinValue(const PlotState& state, int n, float x) {
  const long double a = state.paramA[n].value;
  const long double b = state.paramB[n].value;
  const long double c = state.paramC[n].value;
  const long double d = state.paramD[n].value;
  const long double t = x;
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
      return a * std::sin(t);
    case 6:
      return a * std::cos(t);
    case 7:
      return a * PowerExtended(t, 3) + b;
    case 8:
      return PowerExtended(2, a * t);
    case 9:
      // The exponent reads b although the function's meter row has no b.
      return PowerExtended(a * t, b * t);
    case 10:
      if (a * t < 0) return std::nullopt;
      return std::sqrt(a * t);
    default:
      return std::nullopt;
  }
}

}  // namespace funzioni
