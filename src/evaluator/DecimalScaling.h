// Exact decimal scaling of a binary value m * 2^e by 10^k in 64- or 128-bit integers, rounded to
// a whole number with ties to even: the readers and writers of decimal text share these.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "evaluator/PowersOfTen.h"

namespace funzioni::detail {

__extension__ using UInt128 = unsigned __int128;

template <class Unsigned, std::size_t kCount>
constexpr std::array<Unsigned, kCount> PowersOfFive() {
  std::array<Unsigned, kCount> powers{};
  powers[0] = 1;
  for (std::size_t k = 1; k < kCount; ++k) powers[k] = powers[k - 1] * 5;
  return powers;
}

// 5^0 .. 5^27 (5^27 < 2^63, so a 64-bit mantissa times any of them fits in 127 bits).
inline constexpr std::array<std::uint64_t, 28> kPowersOfFive = PowersOfFive<std::uint64_t, 28>();
// 5^0 .. 5^54, all below 2^127.
inline constexpr std::array<UInt128, 55> kWidePowersOfFive = PowersOfFive<UInt128, 55>();

constexpr int BitLength(std::uint64_t v) {
  return 64 - std::countl_zero(v);
}

constexpr int BitLength(UInt128 v) {
  const auto high = static_cast<std::uint64_t>(v >> 64);
  if (high != 0) return 128 - std::countl_zero(high);
  return BitLength(static_cast<std::uint64_t>(v));
}

// value / 2^shift rounded to a whole number, ties to even; 0 < shift < the width of Unsigned.
template <class Unsigned>
[[gnu::always_inline]] constexpr Unsigned ShiftRightEven(Unsigned value, int shift) {
  const Unsigned one = 1;
  const Unsigned quotient = value >> shift;
  const Unsigned rest = value & ((one << shift) - 1);
  const Unsigned half = one << (shift - 1);
  if (rest > half || (rest == half && (quotient & 1) != 0)) return quotient + 1;
  return quotient;
}

// numerator / divisor rounded to a whole number, ties to even; divisor above zero, even or odd.
template <class Unsigned>
constexpr Unsigned DivideEven(Unsigned numerator, Unsigned divisor) {
  const Unsigned quotient = numerator / divisor;
  // The remainder from the quotient (one 128-bit division, not two), and compared with what is
  // left of the divisor rather than doubled, which could overflow.
  const Unsigned rest = numerator - quotient * divisor;
  const Unsigned beyond = divisor - rest;
  if (rest > beyond || (rest == beyond && (quotient & 1) != 0)) return quotient + 1;
  return quotient;
}

// value = mantissa * 2^exponent; its figures are wanted as a whole number of `count` digits.
struct FigureSearch {
  std::uint64_t mantissa = 0;
  int exponent = 0;
  int count = 0;     // 1 .. 19
  int firstK = 0;    // a guess at k, within one of it
  int largestK = 0;  // k runs over 0 .. largestK (at most 27)
};

// value * 10^k = figures exactly before rounding.
template <class Unsigned>
struct ScaledFigures {
  Unsigned figures = 0;
  int k = 0;
};

// The k for which 10^(count-1) <= value * 10^k < 10^count, with value * 10^k rounded to a whole
// number, ties to even; a value that rounds up to 10^count gives 10^(count-1) with k - 1. The
// range is checked before rounding: checked after, a value just below a power of ten would keep
// one figure too few. Nothing when k leaves 0 .. largestK, after three tries, or when the
// figures do not fit in Unsigned (wider arithmetic then has to do it).
template <class Unsigned>
[[gnu::always_inline]] inline std::optional<ScaledFigures<Unsigned>> FiguresOf(
    const FigureSearch& search) {
  constexpr int kWidth = static_cast<int>(sizeof(Unsigned)) * 8;
  const Unsigned lowest = kPowersOfTen[static_cast<std::size_t>(search.count - 1)];
  const Unsigned limit = kPowersOfTen[static_cast<std::size_t>(search.count)];
  int k = search.firstK;
  for (int tries = 0; tries < 3; ++tries) {
    if (k < 0 || k > search.largestK) return std::nullopt;
    // m * 10^k * 2^e = m * 5^k * 2^(e + k).
    const Unsigned scaled =
        static_cast<Unsigned>(search.mantissa) * kPowersOfFive[static_cast<std::size_t>(k)];
    const int shift = -(search.exponent + k);
    if (shift >= kWidth) return std::nullopt;
    if (shift <= 0 && BitLength(scaled) - shift > kWidth - 1) return std::nullopt;
    const Unsigned whole = shift <= 0 ? scaled << -shift : scaled >> shift;
    if (whole >= limit) {
      --k;
      continue;
    }
    if (whole < lowest) {
      ++k;
      continue;
    }
    const Unsigned rounded = shift <= 0 ? whole : ShiftRightEven(scaled, shift);
    if (rounded == limit) return ScaledFigures<Unsigned>{lowest, k - 1};
    return ScaledFigures<Unsigned>{rounded, k};
  }
  return std::nullopt;
}

}  // namespace funzioni::detail
