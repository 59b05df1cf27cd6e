// The 7-digit text of x as the plot writes it, read as the text engine reads it: what a plan
// needs of it without writing it out.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

#include "evaluator/DecimalScaling.h"
#include "evaluator/Extended.h"
#include "evaluator/FloatParts.h"
#include "evaluator/FormulaPlan.h"
#include "evaluator/PlanRounding.h"
#include "evaluator/PowersOfTen.h"

namespace funzioni::detail {

// 10^-3 .. 10^7 near enough to guess how many decimals the text has.
constexpr float kTensAsFloats[] = {1e-3f, 1e-2f, 1e-1f, 1e0f, 1e1f, 1e2f,
                                   1e3f,  1e4f,  1e5f,  1e6f, 1e7f};

// 10^-k for k = 0..11, each the double nearest to it (within 2^-53).
constexpr double kTenthsInDouble[] = {1,    1e-1, 1e-2, 1e-3, 1e-4,  1e-5,
                                      1e-6, 1e-7, 1e-8, 1e-9, 1e-10, 1e-11};

// ReadXTextForm, inlined where the plan runs: returned through memory, the form's parts would be
// stored one by one and read back together, which makes the processor wait.
[[gnu::always_inline]] inline std::optional<XTextForm> XTextFormOf(float x) {
  if (!std::isfinite(x) || x == 0) return std::nullopt;
  const float magnitude = std::fabs(x);
  if (magnitude < 1e-3f || magnitude >= 1e6f) return std::nullopt;
  const FloatParts parts = PartsOf(magnitude);
  const std::uint64_t mantissa = parts.mantissa;
  const int binaryExponent = parts.exponent;
  // Decimals so that the scaled value has 7 figures before the point, 10^6 <= scaled < 10^7:
  // log10 of the magnitude is within one of log10 of 2^(binaryExponent + 23). The comparison
  // only saves a second try; the loop decides. This is FiguresOf's search, written out: with
  // the shift fixed and no overflow to guard against it is measurably quicker here.
  const int below = FloorLog10OfPowerOfTwo(binaryExponent + 23);
  int decimals = 6 - below - (magnitude >= kTensAsFloats[below + 4] ? 1 : 0);
  std::uint64_t digits = 0;
  for (int tries = 0;; ++tries) {
    if (tries == 3 || decimals < 0 || decimals > 9) return std::nullopt;
    // Below 2^24 * 10^9 < 2^54: exact in 64 bits; the shift is below 40 for these magnitudes.
    const std::uint64_t product = mantissa * kPowersOfTen[static_cast<std::size_t>(decimals)];
    const std::uint64_t whole =
        binaryExponent >= 0 ? product << binaryExponent : product >> -binaryExponent;
    if (whole < kPowersOfTen[6]) {
      ++decimals;
      continue;
    }
    if (whole >= kPowersOfTen[7]) {
      --decimals;
      continue;
    }
    // The range is checked on the unrounded value, then rounded to a whole number.
    digits = binaryExponent < 0 ? ShiftRightEven(product, -binaryExponent) : whole;
    break;
  }
  if (digits == kPowersOfTen[7]) {  // 9999999.5 and the like round up to the next power of ten
    if (decimals == 0) return std::nullopt;
    digits = kPowersOfTen[6];
    --decimals;
  }
  // Trailing zeros are dropped from the text; only below 0.1, with 8 or 9 decimals, can what
  // remains need more than 7 decimals and so an exponent. The value read is the same either way.
  int kept = decimals;
  std::uint64_t figures = digits;
  while (kept > 7 && figures % 10 == 0) {
    figures /= 10;
    --kept;
  }
  XTextForm form;
  form.exponent = kept > 7;  // the text is written with an exponent
  // The engine reads the text in extended precision and rounds that to 32 bits. A product in
  // double lies within 2^-51 of the text's value, as the extended reading does, so both round
  // to the same float unless they lie near a point halfway between two floats.
  const double near =
      static_cast<double>(figures) * kTenthsInDouble[static_cast<std::size_t>(kept)];
  if (const std::optional<float> fast = ThroughText(near, 0x1p-48)) {
    form.value = x < 0 ? -*fast : *fast;
  } else {
    // Both below 2^63: converted as signed numbers, which the processor does directly.
    const Extended read = static_cast<Extended>(static_cast<std::int64_t>(figures)) /
                          static_cast<Extended>(static_cast<std::int64_t>(
                              kPowersOfTen[static_cast<std::size_t>(kept)]));
    form.value = static_cast<float>(x < 0 ? -read : read);
  }
  form.negative = x < 0;
  form.leadingPoint = !form.exponent && figures < kPowersOfTen[static_cast<std::size_t>(kept)];
  return form;
}

}  // namespace funzioni::detail
