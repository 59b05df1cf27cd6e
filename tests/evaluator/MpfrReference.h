// Conversions between the software extended numbers and GNU MPFR, and MPFR's results rounded as
// the x87 rounds them (64-bit mantissa, its exponent range, gradual underflow).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// mpfr.h declares its intmax_t functions only after <stdint.h>.
#include <mpfr.h>
#include <stdint.h>  // NOLINT

#include "evaluator/Float80.h"
#include "evaluator/WideFloat.h"

namespace funzioni::soft::reference {

constexpr mpfr_exp_t kMinimumExponent = -16444;  // of the smallest subnormal, 2^-16445
constexpr mpfr_exp_t kMaximumExponent = 16384;

class Mpfr {
 public:
  explicit Mpfr(mpfr_prec_t precision = 64) { mpfr_init2(value_, precision); }
  ~Mpfr() { mpfr_clear(value_); }
  Mpfr(const Mpfr&) = delete;
  Mpfr& operator=(const Mpfr&) = delete;
  mpfr_ptr get() { return value_; }

 private:
  mpfr_t value_;
};

inline void ToMpfr(Float80 a, mpfr_ptr out) {
  const bool negative = (a.signExponent & kFloat80SignBit) != 0;
  const int biased = a.signExponent & kFloat80ExponentMask;
  if (biased == kFloat80ExponentMask) {
    if ((a.mantissa << 1) != 0) {
      mpfr_set_nan(out);
    } else {
      mpfr_set_inf(out, negative ? -1 : 1);
    }
    return;
  }
  mpfr_set_uj_2exp(out, a.mantissa, (biased == 0 ? 1 : biased) - kFloat80Bias - 63, MPFR_RNDN);
  if (negative) mpfr_neg(out, out, MPFR_RNDN);
  if (a.mantissa == 0) mpfr_setsign(out, out, negative, MPFR_RNDN);
}

inline Float80 FromMpfr(mpfr_ptr y) {
  const std::uint16_t sign = mpfr_signbit(y) ? kFloat80SignBit : 0;
  if (mpfr_nan_p(y)) return kDefaultNan;
  if (mpfr_inf_p(y)) return {0x8000000000000000ULL, static_cast<std::uint16_t>(sign | 0x7FFF)};
  if (mpfr_zero_p(y)) return {0, sign};
  const long biased = mpfr_get_exp(y) - 1 + kFloat80Bias;
  Mpfr scaled(64);
  mpfr_abs(scaled.get(), y, MPFR_RNDN);
  if (biased >= 1) {
    mpfr_mul_2si(scaled.get(), scaled.get(), 64 - mpfr_get_exp(y), MPFR_RNDN);
    return {mpfr_get_uj(scaled.get(), MPFR_RNDN), static_cast<std::uint16_t>(sign | biased)};
  }
  mpfr_mul_2si(scaled.get(), scaled.get(), kFloat80Bias - 1 + 63, MPFR_RNDN);
  return {mpfr_get_uj(scaled.get(), MPFR_RNDN), sign};
}

// MPFR's result at 64 bits, rounded as the x87 rounds into its range.
template <typename Compute>
Float80 Rounded(Compute compute) {
  mpfr_set_emin(kMinimumExponent);
  mpfr_set_emax(kMaximumExponent);
  Mpfr y(64);
  int ternary = compute(y.get());
  ternary = mpfr_check_range(y.get(), ternary, MPFR_RNDN);
  mpfr_subnormalize(y.get(), ternary, MPFR_RNDN);
  mpfr_set_emin(mpfr_get_emin_min());
  mpfr_set_emax(mpfr_get_emax_max());
  return FromMpfr(y.get());
}

inline bool Same(Float80 a, Float80 b) {
  const auto isNan = [](Float80 v) {
    return (v.signExponent & 0x7FFF) == 0x7FFF && (v.mantissa << 1) != 0;
  };
  return a == b || (isNan(a) && isNan(b));
}

inline std::string Hex(Float80 a) {
  char text[40];
  std::snprintf(text, sizeof text, "%04X:%016llX", a.signExponent,
                static_cast<unsigned long long>(a.mantissa));
  return text;
}

}  // namespace funzioni::soft::reference

namespace funzioni::soft::reference {

// Exact when `out` has at least 192 bits.
inline void WideToMpfr(const WideFloat& a, mpfr_ptr out) {
  mpfr_set_ui(out, 0, MPFR_RNDN);
  Mpfr word(64);
  for (int i = 0; i < 3; ++i) {
    mpfr_set_uj_2exp(word.get(), a.m[static_cast<std::size_t>(i)], a.exponent - 63 - 64 * i,
                     MPFR_RNDN);
    mpfr_add(out, out, word.get(), MPFR_RNDN);
  }
  if (a.negative) mpfr_neg(out, out, MPFR_RNDN);
}

}  // namespace funzioni::soft::reference
