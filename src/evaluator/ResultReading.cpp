#include "evaluator/ResultReading.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "evaluator/DecimalScaling.h"
#include "evaluator/FloatParts.h"
#include "evaluator/FormulaPlan.h"
#include "evaluator/NumberReading.h"

namespace funzioni {

namespace {

using detail::UInt128;

constexpr std::uint64_t kFirst18 = 100000000000000000ULL;  // 10^17
constexpr std::uint64_t kPast18 = 1000000000000000000ULL;  // 10^18

// |value| * 10^k rounded to a whole number, ties to even, exactly; |k| <= 27.
std::optional<UInt128> ScaledEven(std::uint64_t mantissa, int binaryExponent, int k) {
  const int shift = binaryExponent + k;
  if (k >= 0) {
    const UInt128 product =
        static_cast<UInt128>(mantissa) * detail::kPowersOfFive[static_cast<std::size_t>(k)];
    if (shift >= 0) return shift < 40 ? std::optional<UInt128>(product << shift) : std::nullopt;
    if (shift <= -120) return std::nullopt;
    return detail::ShiftRightEven(product, -shift);
  }
  if (shift < 0 || shift > 100) return std::nullopt;
  return detail::DivideEven(
      static_cast<UInt128>(mantissa) << shift,
      static_cast<UInt128>(detail::kPowersOfFive[static_cast<std::size_t>(-k)]));
}

// 10^-37 .. 10^39, near enough to guess the decimal exponent of a float (a guess only saves a
// second try).
constexpr int kLowestTen = -37;
constexpr std::array<double, 77> kTensToGuess = [] {
  std::array<double, 77> tens{};
  tens[-kLowestTen] = 1;
  for (std::size_t k = 1 - kLowestTen; k < tens.size(); ++k) tens[k] = tens[k - 1] * 10;
  for (std::size_t k = -kLowestTen; k-- > 0;) tens[k] = tens[k + 1] / 10;
  return tens;
}();

}  // namespace

bool IsEvaluatorError(std::string_view result) {
  constexpr std::string_view kWord = "error";
  const auto lowerEquals = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  };
  return std::search(result.begin(), result.end(), kWord.begin(), kWord.end(), lowerEquals) !=
         result.end();
}

std::optional<Extended> ReadEvaluatorNumber(std::string_view result) {
  const std::size_t first = result.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  const char* begin = result.data() + first;
  const char* end = result.data() + result.size();
#if FUNZIONI_SOFT_EXTENDED
  // The engine's own reader, correctly rounded like the library's; it takes no "+" in front.
  if (*begin == '+') return std::nullopt;
  std::size_t consumed = 0;
  const Extended value =
      ReadNumber(std::string_view(begin, static_cast<std::size_t>(end - begin)), consumed);
  if (consumed == 0) return std::nullopt;
  return value;
#else
  Extended value = 0;
  // from_chars ignores the locale, which the toolkit may have set to one with a decimal comma.
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error == std::errc::result_out_of_range) {
    // Beyond even extended range: keep the sign, the value is not finite anyway.
    return *begin == '-' ? -ext::Infinity() : ext::Infinity();
  }
  if (error != std::errc{} || stop == begin) return std::nullopt;
  return value;
#endif
}

Extended ReadPlanValue(float value) {
  // The text is the value rounded to 18 significant digits, d * 10^-k with 10^17 <= d <= 10^18;
  // the reader gives d / 10^k correctly rounded, which one extended division does when 10^k is
  // exact (|k| <= 27).
  // " 0" for zero of either sign; an infinite value is written 9.99999999999999999E+998.
  if (value == 0) return 0;
  if (std::isinf(value)) {
    static const Extended kInfinite = *ReadEvaluatorNumber(
        PlanResultText({PlanOutcome::Kind::Value, std::numeric_limits<float>::infinity()}));
    return value > 0 ? kInfinite : -kInfinite;
  }
  if (std::isfinite(value)) {
    const detail::FloatParts parts = detail::PartsOf(value);
    const std::uint64_t mantissa = parts.mantissa;
    const int binaryExponent = parts.exponent;
    // A value of at most 18 significant digits is written exactly and reads back as itself:
    // with m odd, m * 2^-k is m * 5^k / 10^k, whose figures are those of m * 5^k.
    const int zeros = std::countr_zero(mantissa);
    const int exponent = binaryExponent + zeros;
    const std::uint64_t odd = mantissa >> zeros;
    if (exponent >= 0
            ? exponent < 40 && (odd << exponent) < kPast18
            : exponent > -28 && static_cast<UInt128>(odd) *
                                        detail::kPowersOfFive[static_cast<std::size_t>(-exponent)] <
                                    kPast18) {
      return static_cast<Extended>(value);
    }
    // log10 |value| is within one of log10 of 2^(binaryExponent + 23).
    const int below = detail::FloorLog10OfPowerOfTwo(binaryExponent + 23);
    int k = 17 - below;
    if (mantissa >= (std::uint64_t{1} << 23) &&
        std::fabs(static_cast<double>(value)) >= kTensToGuess[below + 1 - kLowestTen]) {
      --k;
    }
    for (int tries = 0; tries < 3 && k >= -27 && k <= 27; ++tries) {
      const std::optional<UInt128> scaled = ScaledEven(mantissa, binaryExponent, k);
      if (!scaled) break;
      if (*scaled < kFirst18) {
        ++k;
        continue;
      }
      if (*scaled > kPast18) {
        --k;
        continue;
      }
      // At most 10^18 < 2^63: converted as a signed number, which the processor does directly.
      const auto digits = static_cast<Extended>(static_cast<std::int64_t>(*scaled));
      const Extended magnitude =
          k >= 0 ? digits / detail::kExactPowersOfTen[static_cast<std::size_t>(k)]
                 : digits * detail::kExactPowersOfTen[static_cast<std::size_t>(-k)];
      return value < 0 ? -magnitude : magnitude;
    }
  }
  return *ReadEvaluatorNumber(PlanResultText({PlanOutcome::Kind::Value, value}));
}

}  // namespace funzioni
