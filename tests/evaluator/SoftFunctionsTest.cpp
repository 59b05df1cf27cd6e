// The software elementary functions against GNU MPFR's correctly rounded values at 64 bits, with
// the x87 exponent range and its subnormals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <random>
#include <utility>
#include <vector>

#include "MpfrReference.h"
#include "evaluator/SoftFunctions.h"
#include "evaluator/WideFloat.h"

namespace funzioni::soft {
namespace {

using namespace funzioni::soft::reference;

using MpfrUnary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

Float80 Reference(MpfrUnary function, Float80 a) {
  Mpfr x(64);
  ToMpfr(a, x.get());
  return Rounded([&](mpfr_ptr y) { return function(y, x.get(), MPFR_RNDN); });
}

Float80 ReferencePow(Float80 base, Float80 exponent) {
  Mpfr x(64);
  Mpfr e(64);
  ToMpfr(base, x.get());
  ToMpfr(exponent, e.get());
  return Rounded([&](mpfr_ptr y) { return mpfr_pow(y, x.get(), e.get(), MPFR_RNDN); });
}

// Random numbers with |x| in [2^minimum, 2^(maximum+1)), rich in mantissas near the edges.
struct Range {
  int minimum = 0;
  int maximum = 0;
  bool bothSigns = true;
};

Float80 RandomIn(std::mt19937_64& random, const Range& range) {
  std::uint64_t mantissa = random() | 0x8000000000000000ULL;
  switch (random() % 8) {
    case 0:
      mantissa = 0x8000000000000000ULL | (random() % 64);  // just above a power of two
      break;
    case 1:
      mantissa = ~std::uint64_t{0} - (random() % 64);  // just below one
      break;
    case 2:
      mantissa &= ~std::uint64_t{0} << (random() % 64);  // few significant bits
      break;
    default:
      break;
  }
  const int span = range.maximum - range.minimum + 1;
  const int exponent = range.minimum + static_cast<int>(random() % static_cast<unsigned>(span));
  const bool negative = range.bothSigns && (random() & 1) != 0;
  const int biased = exponent + kFloat80Bias;
  if (biased <= 0) {  // a subnormal
    const int shift = 1 - biased;
    return {shift >= 64 ? 1 : mantissa >> shift, static_cast<std::uint16_t>(negative ? 0x8000 : 0)};
  }
  return {mantissa, static_cast<std::uint16_t>(biased | (negative ? 0x8000 : 0))};
}

struct UnaryCase {
  const char* name;
  Float80 (*soft)(Float80);
  MpfrUnary reference;
  std::vector<Range> ranges;
};

const std::vector<UnaryCase>& UnaryCases() {
  static const std::vector<UnaryCase> cases = {
      {"Exp", Exp, mpfr_exp, {{-70, 3}, {3, 13}, {-16445, -70}}},
      {"Exp2", Exp2, mpfr_exp2, {{-70, 4}, {4, 14}, {-16445, -70}}},
      {"Log", Log, mpfr_log, {{-16445, 16383, false}, {-1, 0, false}}},
      {"Log2", Log2, mpfr_log2, {{-16445, 16383, false}, {-1, 0, false}}},
      {"Log10", Log10, mpfr_log10, {{-16445, 16383, false}, {-1, 0, false}}},
      {"Atan", Atan, mpfr_atan, {{-70, 70}, {-16445, 16383}}},
      {"Asin", Asin, mpfr_asin, {{-70, -1}, {-16445, -70}}},
      {"Acos", Acos, mpfr_acos, {{-70, -1}, {-16445, -70}}},
      {"Sin", Sin, mpfr_sin, {{-70, 8}, {8, 100}, {-16445, 16383}}},
      {"Cos", Cos, mpfr_cos, {{-70, 8}, {8, 100}, {-16445, 16383}}},
  };
  return cases;
}

constexpr int kSamplesPerRange = 3000;

TEST(SoftFunctionsTest, SweepsAgreeWithCorrectRounding) {
  for (const UnaryCase& function : UnaryCases()) {
    std::mt19937_64 random(20261208);
    int mismatches = 0;
    for (const Range& range : function.ranges) {
      for (int i = 0; i < kSamplesPerRange; ++i) {
        const Float80 a = RandomIn(random, range);
        const Float80 got = function.soft(a);
        const Float80 want = Reference(function.reference, a);
        if (Same(got, want)) continue;
        if (++mismatches <= 5) {
          ADD_FAILURE() << function.name << "(" << Hex(a) << ") = " << Hex(got) << ", want "
                        << Hex(want);
        }
      }
    }
    EXPECT_EQ(mismatches, 0) << function.name;
  }
}

// The numbers nearest to k pi/2 for k up to 2^16400: the reduction's hardest arguments, whose
// reduced angle loses some 64 leading bits.
TEST(SoftFunctionsTest, NearMultiplesOfHalfPiAgreeWithCorrectRounding) {
  std::mt19937_64 random(11);
  Mpfr halfPi(16800);
  Mpfr multiple(16800);
  Mpfr nearest(64);
  mpfr_const_pi(halfPi.get(), MPFR_RNDN);
  mpfr_div_2ui(halfPi.get(), halfPi.get(), 1, MPFR_RNDN);
  for (int i = 0; i < 400; ++i) {
    const auto shift = static_cast<long>(random() % 16300);
    mpfr_mul_ui(multiple.get(), halfPi.get(), static_cast<unsigned long>(random() >> 1), MPFR_RNDN);
    mpfr_mul_2si(multiple.get(), multiple.get(), i % 2 == 0 ? shift : shift % 64, MPFR_RNDN);
    mpfr_set(nearest.get(), multiple.get(), MPFR_RNDN);
    const Float80 a = FromMpfr(nearest.get());
    EXPECT_EQ(Hex(Sin(a)), Hex(Reference(mpfr_sin, a))) << "Sin(" << Hex(a) << ")";
    EXPECT_EQ(Hex(Cos(a)), Hex(Reference(mpfr_cos, a))) << "Cos(" << Hex(a) << ")";
  }
}

// Values of x within a few units of 1: where the logarithms and asin/acos lose most digits.
TEST(SoftFunctionsTest, NearOneAgreesWithCorrectRounding) {
  const std::vector<UnaryCase> cases = {{"Log", Log, mpfr_log, {}},
                                        {"Log2", Log2, mpfr_log2, {}},
                                        {"Log10", Log10, mpfr_log10, {}},
                                        {"Asin", Asin, mpfr_asin, {}},
                                        {"Acos", Acos, mpfr_acos, {}}};
  for (const UnaryCase& function : cases) {
    for (std::uint64_t k = 1; k < 200; ++k) {
      for (const Float80 a : {Float80{~std::uint64_t{0} - k * k * k, 0x3FFE},
                              Float80{0x8000000000000000ULL + k * k * k, 0x3FFF},
                              Float80{~std::uint64_t{0} - k, 0xBFFE}}) {
        const Float80 got = function.soft(a);
        const Float80 want = Reference(function.reference, a);
        EXPECT_TRUE(Same(got, want))
            << function.name << "(" << Hex(a) << ") = " << Hex(got) << ", want " << Hex(want);
      }
    }
  }
}

TEST(SoftFunctionsTest, PowAgreesWithCorrectRounding) {
  std::mt19937_64 random(7);
  int mismatches = 0;
  for (int i = 0; i < 6000; ++i) {
    Float80 base = RandomIn(random, {-64, 64, true});
    Float80 exponent = RandomIn(random, {-10, 14, true});
    if (i % 4 == 0) {  // an integer exponent, where the sign of a negative base counts
      const int power = i % 40;
      exponent.mantissa &= ~std::uint64_t{0} << (63 - power);
      exponent.signExponent =
          static_cast<std::uint16_t>((exponent.signExponent & 0x8000) | (kFloat80Bias + power));
    } else if (i % 4 == 1) {
      base.signExponent &= 0x7FFF;
    } else if (i % 4 == 2) {
      base = RandomIn(random, {-16445, 16383, false});
      exponent = RandomIn(random, {-20, 2, true});
    } else {  // a base near 1 and a huge exponent
      const std::uint64_t offset = random() >> (random() % 64);
      base = (i & 4) != 0 ? Float80{0x8000000000000000ULL | offset, 0x3FFF}
                          : Float80{~std::uint64_t{0} - offset, 0x3FFE};
      exponent = RandomIn(random, {20, 80, true});
    }
    const Float80 got = Pow(base, exponent);
    const Float80 want = ReferencePow(base, exponent);
    if (Same(got, want)) continue;
    if (++mismatches <= 5) {
      ADD_FAILURE() << "Pow(" << Hex(base) << ", " << Hex(exponent) << ") = " << Hex(got)
                    << ", want " << Hex(want);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

constexpr Float80 kNan = kDefaultNan;
constexpr Float80 kInf{0x8000000000000000ULL, 0x7FFF};
constexpr Float80 kMinusInf{0x8000000000000000ULL, 0xFFFF};
constexpr Float80 kZero{0, 0};
constexpr Float80 kMinusZero{0, 0x8000};
constexpr Float80 kSmallestSubnormal{1, 0};
constexpr Float80 kLargest{~std::uint64_t{0}, 0x7FFE};

Float80 Negated80(Float80 a) {
  return {a.mantissa, static_cast<std::uint16_t>(a.signExponent ^ kFloat80SignBit)};
}

Float80 Integer(int value) {
  return RoundToFloat80(WideFromInteger(value));
}

// NaN, infinities, signed zeros, the domain edges and the extremes of the format, each function
// against MPFR (which follows C's Annex F for them).
TEST(SoftFunctionsTest, SpecialValuesFollowTheCLibrary) {
  const Float80 specials[] = {kNan,       kInf,
                              kMinusInf,  kZero,
                              kMinusZero, kSmallestSubnormal,
                              kLargest,   Negated80(kLargest),
                              Integer(1), Integer(-1),
                              Integer(2), Integer(-2)};
  for (const UnaryCase& function : UnaryCases()) {
    for (const Float80 a : specials) {
      EXPECT_EQ(Hex(function.soft(a)), Hex(Reference(function.reference, a)))
          << function.name << "(" << Hex(a) << ")";
    }
  }
  for (const Float80 base : specials) {
    for (const Float80 exponent : specials) {
      EXPECT_EQ(Hex(Pow(base, exponent)), Hex(ReferencePow(base, exponent)))
          << "Pow(" << Hex(base) << ", " << Hex(exponent) << ")";
    }
  }
}

TEST(SoftFunctionsTest, ExactResultsAreExact) {
  struct Row {
    const char* name;
    Float80 got;
    Float80 want;
  };
  const Float80 half{0x8000000000000000ULL, 0x3FFE};
  const Float80 third = RoundToFloat80(WideDivide(WideFromInteger(1), WideFromInteger(3)));
  const Row rows[] = {
      {"2^10", Pow(Integer(2), Integer(10)), Integer(1024)},
      {"10^3", Pow(Integer(10), Integer(3)), Integer(1000)},
      {"9^0.5", Pow(Integer(9), half), Integer(3)},
      {"(-2)^3", Pow(Integer(-2), Integer(3)), Integer(-8)},
      {"(-2)^-2", Pow(Integer(-2), Integer(-2)), RoundToFloat80(Scaled(WideFromInteger(1), -2))},
      {"(-8)^(1/3)", Pow(Integer(-8), third), kNan},
      {"(-0)^-3", Pow(kMinusZero, Integer(-3)), kMinusInf},
      {"log10(1000)", Log10(Integer(1000)), Integer(3)},
      {"log2(1024)", Log2(Integer(1024)), Integer(10)},
      {"exp2(-16445)", Exp2(Integer(-16445)), kSmallestSubnormal},
      {"log(-1)", Log(Integer(-1)), kNan},
      {"sin(inf)", Sin(kInf), kNan},
  };
  for (const Row& row : rows) EXPECT_EQ(Hex(row.got), Hex(row.want)) << row.name;
}

// Powers exactly halfway between two neighbours, where the power must be worked out exactly.
TEST(SoftFunctionsTest, PowRoundsExactHalfwayPowersToEven) {
  // Odd a with a^3 of 65 bits.
  const Float80 three = Integer(3);
  for (int a = 2642247; a < 2642247 + 2 * 200; a += 2) {
    const Float80 base = Integer(a);
    EXPECT_EQ(Hex(Pow(base, three)), Hex(ReferencePow(base, three))) << a;
    // (a^2)^1.5 = a^3.
    const Float80 threeHalves{0xC000000000000000ULL, 0x3FFF};
    const Float80 a2 = Pow(base, Integer(2));
    EXPECT_EQ(Hex(Pow(a2, threeHalves)), Hex(ReferencePow(a2, threeHalves))) << a;
  }
}

#if defined(__x86_64__)
// The hardware's long double functions (glibc on the x87) against the software ones: they may
// differ, since that library is allowed an error of one unit in the last place, but only where the
// hardware is the one that is not correctly rounded, and never once the result is rounded to the
// 32 bits the evaluator keeps (so both kinds of processor print the same values). The counts are
// printed for the record.
long double ToHardware(Float80 a) {
  long double value = 0;
  std::memcpy(&value, static_cast<const void*>(&a), 10);
  return value;
}

Float80 FromHardware(long double value) {
  Float80 bits{};
  std::memcpy(static_cast<void*>(&bits), &value, 10);
  return bits;
}

// Whether the two results differ once rounded to 32 bits, as the evaluator keeps its values.
bool KeptValuesDiffer(Float80 a, Float80 b) {
  const float x = static_cast<float>(ToHardware(a));
  const float y = static_cast<float>(ToHardware(b));
  if (std::isnan(x) || std::isnan(y)) return std::isnan(x) != std::isnan(y);
  return x != y || std::signbit(x) != std::signbit(y);
}

TEST(SoftFunctionsTest, HardwareDiffersOnlyWhereItIsNotCorrectlyRoundedAndNeverAsAFloat) {
  using Hardware = long double (*)(long double);
  const std::pair<const char*, Hardware> hardware[] = {
      {"Exp", expl},   {"Exp2", exp2l}, {"Log", logl},   {"Log2", log2l}, {"Log10", log10l},
      {"Atan", atanl}, {"Asin", asinl}, {"Acos", acosl}, {"Sin", sinl},   {"Cos", cosl}};
  constexpr int kSamples = 20000;
  for (const UnaryCase& function : UnaryCases()) {
    const auto row = std::find_if(std::begin(hardware), std::end(hardware), [&](const auto& h) {
      return std::strcmp(h.first, function.name) == 0;
    });
    ASSERT_NE(row, std::end(hardware));
    std::mt19937_64 random(99);
    int differences = 0;
    int hardwareWrong = 0;
    int floatDifferences = 0;
    int softWrongWhereTheyDiffer = 0;
    int total = 0;
    for (const Range& range : function.ranges) {
      for (int i = 0; i < kSamples; ++i, ++total) {
        const Float80 a = RandomIn(random, range);
        const Float80 soft = function.soft(a);
        const Float80 hard = FromHardware(row->second(ToHardware(a)));
        const Float80 correct = Reference(function.reference, a);
        differences += Same(soft, hard) ? 0 : 1;
        floatDifferences += KeptValuesDiffer(soft, hard) ? 1 : 0;
        hardwareWrong += Same(hard, correct) ? 0 : 1;
        softWrongWhereTheyDiffer += !Same(soft, hard) && !Same(soft, correct) ? 1 : 0;
      }
    }
    std::printf("%-6s %d arguments: soft != hardware %d (as float %d), hardware wrong %d\n",
                function.name, total, differences, floatDifferences, hardwareWrong);
    EXPECT_EQ(softWrongWhereTheyDiffer, 0) << function.name;
    EXPECT_EQ(floatDifferences, 0) << function.name;
  }
  std::mt19937_64 random(98);
  int differences = 0;
  int hardwareWrong = 0;
  int floatDifferences = 0;
  int softWrongWhereTheyDiffer = 0;
  for (int i = 0; i < kSamples; ++i) {
    const Float80 base = RandomIn(random, {-64, 64, false});
    const Float80 exponent = RandomIn(random, {-10, 14, true});
    const Float80 hard = FromHardware(powl(ToHardware(base), ToHardware(exponent)));
    const Float80 soft = Pow(base, exponent);
    const Float80 correct = ReferencePow(base, exponent);
    differences += Same(soft, hard) ? 0 : 1;
    floatDifferences += KeptValuesDiffer(soft, hard) ? 1 : 0;
    hardwareWrong += Same(hard, correct) ? 0 : 1;
    softWrongWhereTheyDiffer += !Same(soft, hard) && !Same(soft, correct) ? 1 : 0;
  }
  std::printf("Pow    %d arguments: soft != hardware %d (as float %d), hardware wrong %d\n",
              kSamples, differences, floatDifferences, hardwareWrong);
  EXPECT_EQ(softWrongWhereTheyDiffer, 0);
  EXPECT_EQ(floatDifferences, 0);
}
#endif

}  // namespace
}  // namespace funzioni::soft
