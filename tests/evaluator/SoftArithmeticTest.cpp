// The software extended arithmetic: a table of special cases that holds on every processor and,
// on x86-64, a seeded comparison with the x87 long double, bit for bit, on operands rich in edge
// cases. FUNZIONI_SOFT_ROUNDS=n multiplies the number of random operations (default 1).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "evaluator/SoftArithmetic.h"

namespace funzioni::soft {
namespace {

constexpr Float80 kZero{0, 0};
constexpr Float80 kNegativeZero{0, 0x8000};
constexpr Float80 kOne{0x8000000000000000ULL, 0x3FFF};
constexpr Float80 kTwo{0x8000000000000000ULL, 0x4000};
constexpr Float80 kHalf{0x8000000000000000ULL, 0x3FFE};
constexpr Float80 kInf{0x8000000000000000ULL, 0x7FFF};
constexpr Float80 kNan{0xC000000000000000ULL, 0xFFFF};
constexpr Float80 kMax{0xFFFFFFFFFFFFFFFFULL, 0x7FFE};
constexpr Float80 kMinNormal{0x8000000000000000ULL, 0x0001};
constexpr Float80 kMinSubnormal{1, 0};
constexpr Float80 kUnnormal{0x4000000000000000ULL, 0x3FFF};

bool SameResult(Float80 a, Float80 b) {
  return (IsNan(a) && IsNan(b)) || a == b;
}

std::string Hex(Float80 a) {
  char text[32];
  std::snprintf(text, sizeof text, "%04x:%016llx", a.signExponent,
                static_cast<unsigned long long>(a.mantissa));
  return text;
}

struct BinaryCase {
  const char* name;
  Float80 (*operation)(Float80, Float80);
  Float80 a, b, expected;
};

TEST(SoftArithmetic, SpecialCasesOfTheBinaryOperations) {
  const BinaryCase cases[] = {
      {"x plus minus x is +0", Add, kOne, Negate(kOne), kZero},
      {"-0 plus -0 is -0", Add, kNegativeZero, kNegativeZero, kNegativeZero},
      {"+0 plus -0 is +0", Add, kZero, kNegativeZero, kZero},
      {"-0 minus +0 is -0", Subtract, kNegativeZero, kZero, kNegativeZero},
      {"inf minus inf is NaN", Subtract, kInf, kInf, kNan},
      {"max plus max overflows", Add, kMax, kMax, kInf},
      {"one plus one", Add, kOne, kOne, kTwo},
      {"smallest subnormals add", Add, kMinSubnormal, kMinSubnormal, {2, 0}},
      {"normal minus subnormal stays exact",
       Subtract,
       kMinNormal,
       kMinSubnormal,
       {0x7FFFFFFFFFFFFFFFULL, 0}},
      {"one plus half an ulp ties to even", Add, kOne, {0x8000000000000000ULL, 0x3FFF - 64}, kOne},
      {"one plus three quarters of an ulp",
       Add,
       kOne,
       {0xC000000000000000ULL, 0x3FFF - 64},
       {0x8000000000000001ULL, 0x3FFF}},
      {"inf times zero is NaN", Multiply, kInf, kZero, kNan},
      {"minus zero times one", Multiply, kNegativeZero, kOne, kNegativeZero},
      {"half of the smallest subnormal ties to 0", Multiply, kMinSubnormal, kHalf, kZero},
      {"smallest normal times half", Multiply, kMinNormal, kHalf, {0x4000000000000000ULL, 0}},
      {"zero over zero is NaN", Divide, kZero, kZero, kNan},
      {"one over minus zero", Divide, kOne, kNegativeZero, Negate(kInf)},
      {"one over inf", Divide, kOne, kInf, kZero},
      {"unnormal operand gives NaN", Add, kUnnormal, kOne, kNan},
      {"NaN passes", Multiply, kNan, kOne, kNan},
      {"remainder of inf is NaN", Remainder, kInf, kOne, kNan},
      {"remainder by zero is NaN", Remainder, kOne, kZero, kNan},
      {"remainder by inf is the operand", Remainder, kHalf, kInf, kHalf},
      {"remainder keeps the sign of zero", Remainder, Negate(kTwo), kOne, kNegativeZero},
      {"remainder of 5 by 2", Remainder, FromInt64(5), kTwo, kOne},
      {"remainder of max by the smallest subnormal", Remainder, kMax, kMinSubnormal, kZero},
  };
  for (const BinaryCase& c : cases) {
    const Float80 got = c.operation(c.a, c.b);
    EXPECT_TRUE(SameResult(got, c.expected)) << c.name << ": " << Hex(got);
  }
}

TEST(SoftArithmetic, SquareRootComparisonAndRounding) {
  EXPECT_EQ(SquareRoot(FromInt64(4)), kTwo);
  EXPECT_EQ(SquareRoot(kNegativeZero), kNegativeZero);
  EXPECT_TRUE(IsNan(SquareRoot(Negate(kMinSubnormal))));
  EXPECT_EQ(SquareRoot(kInf), kInf);
  EXPECT_EQ(SquareRoot(FromInt64(2)), (Float80{0xB504F333F9DE6484ULL, 0x3FFF}));
  EXPECT_EQ(SquareRoot({2, 0}), (Float80{0x8000000000000000ULL, 0x3FFF - 8222}));

  EXPECT_EQ(Compare(kZero, kNegativeZero), Ordering::kEqual);
  EXPECT_EQ(Compare(Negate(kInf), kMinSubnormal), Ordering::kLess);
  EXPECT_EQ(Compare(Negate(kOne), Negate(kTwo)), Ordering::kGreater);
  EXPECT_EQ(Compare(kNan, kNan), Ordering::kUnordered);

  struct RoundCase {
    const char* name;
    double value;
    double expected[5];  // nearest even, toward zero, down, up, nearest away
  };
  const RoundCase cases[] = {
      {"2.5", 2.5, {2, 2, 2, 3, 3}},
      {"-2.5", -2.5, {-2, -2, -3, -2, -3}},
      {"0.5", 0.5, {0, 0, 0, 1, 1}},
      {"-0.3", -0.3, {-0.0, -0.0, -1, -0.0, -0.0}},
      {"3.5", 3.5, {4, 3, 3, 4, 4}},
      {"0.75", 0.75, {1, 0, 0, 1, 1}},
      {"2^51+1.5",
       2251799813685249.5,
       {2251799813685250, 2251799813685249, 2251799813685249, 2251799813685250, 2251799813685250}},
  };
  for (const RoundCase& c : cases) {
    for (int mode = 0; mode < 5; ++mode) {
      const Float80 got = RoundToIntegral(FromDouble(c.value), static_cast<Rounding>(mode));
      EXPECT_EQ(got, FromDouble(c.expected[mode])) << c.name << " mode " << mode;
    }
  }
}

TEST(SoftArithmetic, Conversions) {
  EXPECT_EQ(FromInt64(std::numeric_limits<std::int64_t>::min()),
            (Float80{0x8000000000000000ULL, 0xC03E}));
  EXPECT_EQ(FromDouble(5e-324), (Float80{0x8000000000000000ULL, 0x3FFF - 1074}));
  EXPECT_EQ(ToDouble(kMinSubnormal), 0.0);
  EXPECT_EQ(ToDouble(kMax), std::numeric_limits<double>::infinity());
  // Just above half of the smallest subnormal double: rounds up to it, once.
  EXPECT_EQ(ToDouble({0x8000000000000001ULL, 0x3FFF - 1075}), 5e-324);
  EXPECT_EQ(ToDouble({0x8000000000000000ULL, 0x3FFF - 1075}), 0.0);
  // 1 + 2^-53 + 2^-63: a double rounding through 53 bits would give 1.
  EXPECT_EQ(ToDouble({0x8000000000000401ULL, 0x3FFF}), 1.0 + 0x1p-52);
  EXPECT_EQ(ToFloat({0xFFFFFF8000000000ULL, 0x3FFF + 127}), std::numeric_limits<float>::infinity());
  EXPECT_EQ(ToFloat({0xFFFFFF7FFFFFFFFFULL, 0x3FFF + 127}), std::numeric_limits<float>::max());
  EXPECT_EQ(ToInt64(FromDouble(-2.9)), -2);
  EXPECT_EQ(ToInt64(FromDouble(0x1p63)), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(ToInt64(kNan), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(ToUint64(FromDouble(0x1p63)), 0x8000000000000000ULL);
  EXPECT_EQ(ToUint64({0xFFFFFFFFFFFFFFFFULL, 0x3FFF + 63}), 0xFFFFFFFFFFFFFFFFULL);
  EXPECT_EQ(ToUint64(FromDouble(0x1p64)), 0x8000000000000000ULL);
  EXPECT_EQ(Scale(kOne, -16445), kMinSubnormal);
  EXPECT_EQ(Scale(kOne, -16446), kZero);
  EXPECT_EQ(Scale({0xC000000000000000ULL, 0x3FFF}, -16446), kMinSubnormal);
  EXPECT_EQ(Scale(kMinSubnormal, 16445), kOne);
  EXPECT_EQ(Scale(kOne, 1 << 30), kInf);
}

// The decimal digits of 5^n (by schoolbook multiplication in base 10^9).
std::string PowerOfFiveDigits(int n) {
  std::vector<std::uint32_t> limbs{1};
  for (int i = 0; i < n; ++i) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs) {
      const std::uint64_t t = std::uint64_t{limb} * 5 + carry;
      limb = static_cast<std::uint32_t>(t % 1000000000);
      carry = t / 1000000000;
    }
    if (carry != 0) limbs.push_back(static_cast<std::uint32_t>(carry));
  }
  std::string digits = std::to_string(limbs.back());
  for (std::size_t i = limbs.size() - 1; i-- > 0;) {
    const std::string part = std::to_string(limbs[i]);
    digits += std::string(9 - part.size(), '0') + part;
  }
  return digits;
}

TEST(SoftArithmetic, DecimalHalfwayPointsAmongTheSubnormals) {
  // 5 * 2^-16446 = 5^16447 * 10^-16446, halfway between the subnormals 2 and 3 (in units of
  // 2^-16445), written out in full (11496 digits): ties to even, and anything beyond rounds up,
  // even past the digits that are read in full.
  const std::string halfway = PowerOfFiveDigits(16447);
  EXPECT_EQ(FromDecimal(halfway, -16446, false), (Float80{2, 0}));
  EXPECT_EQ(FromDecimal(halfway + std::string(20000, '0') + "1", -36447, false), (Float80{3, 0}));
  std::string below = halfway;
  below.back() = static_cast<char>(below.back() - 1);
  EXPECT_EQ(FromDecimal(below + std::string(20000, '9'), -36446, false), (Float80{2, 0}));
}

TEST(SoftArithmetic, DecimalNumbers) {
  struct DecimalCase {
    const char* name;
    const char* digits;
    std::int64_t exponent;
    Float80 expected;
  };
  const std::string longOne = "1" + std::string(30000, '0') + "1";
  const DecimalCase cases[] = {
      {"0.1", "1", -1, {0xCCCCCCCCCCCCCCCDULL, 0x3FFB}},
      {"zeros", "000", 5, kZero},
      {"1e4932 is finite", "1", 4932, {0xD72CB2A95C7EF6CDULL, 0x7FFE}},
      {"1.2e4932 overflows", "12", 4931, kInf},
      {"smallest subnormal", "36451995318824746025", -4970, kMinSubnormal},
      {"below half the smallest subnormal", "18", -4952, kZero},
      {"a huge exponent", "1", std::numeric_limits<std::int64_t>::max(), kInf},
      {"a tiny exponent", "1", std::numeric_limits<std::int64_t>::min(), kZero},
      {"1 then 30000 zeros then 1, scaled to 1", longOne.c_str(), -30001, kOne},
  };
  for (const DecimalCase& c : cases) {
    const Float80 got = FromDecimal(c.digits, c.exponent, false);
    EXPECT_EQ(got, c.expected) << c.name << ": " << Hex(got);
  }
  EXPECT_EQ(FromDecimal("0", 0, true), kNegativeZero);
}

#if defined(__x86_64__)

Float80 Bits(long double x) {
  Float80 bits;
  std::memcpy(static_cast<void*>(&bits), &x, 10);
  return bits;
}

long double Hardware(Float80 a) {
  long double x = 0;
  std::memcpy(&x, &a, 10);
  return x;
}

long Rounds() {
  const char* text = std::getenv("FUNZIONI_SOFT_ROUNDS");
  return text != nullptr && std::atol(text) > 0 ? std::atol(text) : 1;
}

// Operands that reach the edges: random bits anywhere in the range, subnormals, the extremes,
// integers, short mantissas (halfway cases) and the specials.
class Operands {
 public:
  explicit Operands(std::uint64_t seed) : random_(seed) {}

  std::uint64_t Bits64() { return random_(); }
  int Below(int n) { return static_cast<int>(random_() % static_cast<std::uint64_t>(n)); }

  Float80 Next(bool validOnly) {
    const bool negative = (random_() & 1) != 0;
    Float80 x = Magnitude(validOnly);
    if (negative) x = Negate(x);
    return x;
  }

  // A second operand near the first (same or adjacent exponent, close mantissa) for cancellation
  // and ties, or an unrelated one.
  Float80 Near(Float80 a, bool validOnly) {
    if (Below(3) != 0 || (a.signExponent & kFloat80ExponentMask) == 0x7FFF) return Next(validOnly);
    const int exponent = (a.signExponent & kFloat80ExponentMask) + Below(5) - 2;
    if (exponent < 1 || exponent > 0x7FFE) return Next(validOnly);
    const std::uint64_t mantissa =
        (a.mantissa + (Bits64() >> Below(64)) * (Below(2) ? 1 : -1)) | 0x8000000000000000ULL;
    return {mantissa, static_cast<std::uint16_t>(exponent | (Bits64() & 0x8000))};
  }

 private:
  Float80 Magnitude(bool validOnly) {
    const std::uint64_t bits = random_();
    switch (Below(10)) {
      case 0:  // anywhere
        return {bits | 0x8000000000000000ULL, static_cast<std::uint16_t>(1 + Below(0x7FFE))};
      case 1:  // subnormal
        return {bits >> Below(64), 0};
      case 2:  // the extremes
        return {bits | 0x8000000000000000ULL,
                static_cast<std::uint16_t>(Below(2) ? 1 + Below(80) : 0x7FFE - Below(80))};
      case 3:  // integers
        return FromInt64(static_cast<std::int64_t>(bits >> Below(64)));
      case 4: {  // short mantissas: few bits set, or runs of ones
        const std::uint64_t shape = Below(2) ? (1ULL << Below(64)) : (~0ULL >> Below(64));
        return {0x8000000000000000ULL | shape | (Below(2) ? 0 : 1ULL << Below(64)),
                static_cast<std::uint16_t>(0x3FFF - 70 + Below(140))};
      }
      case 5: {  // specials
        const Float80 specials[] = {
            kZero,      kInf,          kNan, kMax,
            kMinNormal, kMinSubnormal, kOne, {0xA000000000000000ULL, 0x7FFF}};
        const int n = Below(9);
        if (n == 8) return validOnly ? kOne : kUnnormal;
        return specials[n];
      }
      default:  // moderate exponents
        return {bits | 0x8000000000000000ULL, static_cast<std::uint16_t>(0x3FFF - 80 + Below(160))};
    }
  }

  std::mt19937_64 random_;
};

struct Tally {
  long compared = 0;
  long differed = 0;
};

void Check(Tally& tally, const char* operation, Float80 got, long double expected, Float80 a,
           Float80 b = {}) {
  ++tally.compared;
  if (SameResult(got, Bits(expected))) return;
  if (++tally.differed <= 10) {
    ADD_FAILURE() << operation << "(" << Hex(a) << ", " << Hex(b) << "): " << Hex(got)
                  << " instead of " << Hex(Bits(expected));
  }
}

void Report(const Tally& tally) {
  std::printf("compared %ld operations with the x87, %ld differed\n", tally.compared,
              tally.differed);
  EXPECT_EQ(tally.differed, 0) << "of " << tally.compared;
}

constexpr long kPerOperation = 200000;

// The digits of m * 2^-63 + 2^-64 (in [1, 2)), the halfway point above an extended number.
std::string HalfwayDigits(std::uint64_t m) {
  char value[120], half[120];
  std::snprintf(value, sizeof value, "%.70Lf", Hardware({m, 0x3FFF}));
  std::snprintf(half, sizeof half, "%.70Lf", 0x1p-64L);
  std::string digits = std::string(value, 1) + std::string(value + 2);
  const std::string halfDigits = std::string(half, 1) + std::string(half + 2);
  int carry = 0;
  for (std::size_t i = digits.size(); i-- > 0;) {
    const int sum = digits[i] - '0' + halfDigits[i] - '0' + carry;
    digits[i] = static_cast<char>('0' + sum % 10);
    carry = sum / 10;
  }
  return digits;
}

TEST(SoftArithmeticHardware, BasicOperationsMatchTheX87) {
  Operands operands(20261208);
  Tally tally;
  const long count = kPerOperation * Rounds();
  for (long i = 0; i < count; ++i) {
    const Float80 a = operands.Next(false);
    const Float80 b = operands.Near(a, false);
    const long double x = Hardware(a), y = Hardware(b);
    Check(tally, "add", Add(a, b), x + y, a, b);
    Check(tally, "subtract", Subtract(a, b), x - y, a, b);
    Check(tally, "multiply", Multiply(a, b), x * y, a, b);
    Check(tally, "divide", Divide(a, b), x / y, a, b);
    Check(tally, "square root", SquareRoot(a), std::sqrt(x), a);
    // Products and quotients of the near operands land among the subnormals and the extremes.
    const Float80 tiny = Scale(b, -16380 - operands.Below(70));
    Check(tally, "multiply tiny", Multiply(a, tiny), x * Hardware(tiny), a, tiny);
    Check(tally, "add tiny", Add(tiny, Scale(a, -16380)),
          Hardware(tiny) + Hardware(Scale(a, -16380)), tiny, a);
    const Ordering order = Compare(a, b);
    const Ordering expected = x < y    ? Ordering::kLess
                              : x > y  ? Ordering::kGreater
                              : x == y ? Ordering::kEqual
                                       : Ordering::kUnordered;
    ++tally.compared;
    if (order != expected && ++tally.differed <= 10)
      ADD_FAILURE() << "compare " << Hex(a) << Hex(b);
  }
  Report(tally);
}

TEST(SoftArithmeticHardware, RemainderRoundingAndScalingMatchTheX87) {
  Operands operands(7);
  Tally tally;
  const long count = kPerOperation * Rounds();
  for (long i = 0; i < count; ++i) {
    const Float80 a = operands.Next(true);
    const Float80 b = operands.Below(4) == 0 ? operands.Next(true) : operands.Near(a, true);
    const long double x = Hardware(a);
    Check(tally, "remainder", Remainder(a, b), std::fmod(x, Hardware(b)), a, b);
    // Integral rounding matters for values with a fraction: put most near 1..2^64.
    const Float80 r = operands.Below(2)
                          ? a
                          : Scale(a, 0x3FFF - (a.signExponent & 0x7FFF) + operands.Below(70) - 3);
    const long double z = Hardware(r);
    Check(tally, "nearbyint", RoundToIntegral(r, Rounding::kNearestEven), std::nearbyint(z), r);
    Check(tally, "trunc", RoundToIntegral(r, Rounding::kTowardZero), std::trunc(z), r);
    Check(tally, "floor", RoundToIntegral(r, Rounding::kDown), std::floor(z), r);
    Check(tally, "ceil", RoundToIntegral(r, Rounding::kUp), std::ceil(z), r);
    Check(tally, "round", RoundToIntegral(r, Rounding::kNearestAway), std::round(z), r);
    const int n =
        operands.Below(4) == 0 ? operands.Below(70000) - 35000 : operands.Below(200) - 100;
    Check(tally, "scale", Scale(a, n), std::ldexp(x, n), a, FromInt64(n));
    // Conversions: to and from the binary formats and the integers.
    Check(tally, "double", FromDouble(ToDouble(r)), static_cast<double>(z), r);
    Check(tally, "float", FromFloat(ToFloat(r)), static_cast<float>(z), r);
    const Float80 s = Scale(a, -(a.signExponent & 0x7FFF) + 0x3FFF - 1000 + operands.Below(2000));
    Check(tally, "double range", FromDouble(ToDouble(s)), static_cast<double>(Hardware(s)), s);
    const Float80 f = Scale(a, -(a.signExponent & 0x7FFF) + 0x3FFF - 160 + operands.Below(320));
    Check(tally, "float range", FromFloat(ToFloat(f)), static_cast<float>(Hardware(f)), f);
    const auto i64 = static_cast<std::int64_t>(operands.Bits64() >> operands.Below(64));
    Check(tally, "from int64", FromInt64(i64), static_cast<long double>(i64), a);
    const std::uint64_t u64 = operands.Bits64() >> operands.Below(64);
    Check(tally, "from uint64", FromUint64(u64), static_cast<long double>(u64), a);
    ++tally.compared;
    if (ToInt64(r) != static_cast<std::int64_t>(z) && ++tally.differed <= 10) {
      ADD_FAILURE() << "to int64 " << Hex(r);
    }
    if (!IsNegative(r) && z < 0x1p64L) {
      ++tally.compared;
      if (ToUint64(r) != static_cast<std::uint64_t>(z) && ++tally.differed <= 10) {
        ADD_FAILURE() << "to uint64 " << Hex(r);
      }
    }
  }
  Report(tally);
}

TEST(SoftArithmeticHardware, DecimalNumbersMatchStrtold) {
  Operands operands(11);
  Tally tally;
  const long count = kPerOperation / 10 * Rounds();
  for (long i = 0; i < count; ++i) {
    // Digits from a random extended value printed with 15 to 40 digits (near halfway points),
    // or random digits; exponents mostly small, sometimes at the ends of the range.
    std::string digits;
    std::int64_t exponent = operands.Below(60) - 30;
    const int length = operands.Below(4) == 0 ? 1 + operands.Below(60) : 1 + operands.Below(21);
    for (int d = 0; d < length; ++d) digits.push_back(static_cast<char>('0' + operands.Below(10)));
    if (operands.Below(4) == 0) {
      digits = HalfwayDigits(operands.Bits64() | 0x8000000000000000ULL);
      if (operands.Below(2)) digits.back() = '1';  // just above it
      exponent = -70;
    } else if (operands.Below(5) == 0) {
      exponent = operands.Below(9900) - 4960 - length;
    }
    const std::string text = digits + "e" + std::to_string(exponent);
    Check(tally, "decimal", FromDecimal(digits, exponent, false),
          std::strtold(text.c_str(), nullptr), FromInt64(exponent));
  }
  Report(tally);
}

#endif

}  // namespace
}  // namespace funzioni::soft
