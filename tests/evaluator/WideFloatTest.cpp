// The working precision of the software functions: its operations keep about 186 bits, and its
// single rounding to the 64-bit format is the correct one, subnormals and overflow included.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "MpfrReference.h"
#include "evaluator/WideFloat.h"

namespace funzioni::soft {
namespace {

using namespace funzioni::soft::reference;

WideFloat RandomWide(std::mt19937_64& random, int minimum, int maximum) {
  const auto span = static_cast<unsigned>(maximum - minimum + 1);
  WideFloat a{(random() & 1) != 0,
              minimum + static_cast<int>(random() % span),
              {random() | 0x8000000000000000ULL, random(), random()}};
  switch (random() % 4) {
    case 0:  // exactly halfway between two 64-bit neighbours
      a.m[1] = 0x8000000000000000ULL;
      a.m[2] = 0;
      break;
    case 1:  // just below or above halfway
      a.m[1] = (random() & 1) != 0 ? 0x7FFFFFFFFFFFFFFFULL : 0x8000000000000000ULL;
      a.m[2] = (random() & 1) != 0 ? ~std::uint64_t{0} : 1;
      break;
    case 2:  // rounding up carries into the exponent
      a.m[0] = ~std::uint64_t{0};
      break;
    default:
      break;
  }
  return a;
}

TEST(WideFloatTest, RoundsOnceToNearestEven) {
  struct Band {
    const char* name;
    int minimum;
    int maximum;
  };
  const Band bands[] = {{"normal", -40, 40},
                        {"subnormal and underflow", -16450 - 64, -16380},
                        {"overflow", 16378, 16386}};
  std::mt19937_64 random(42);
  for (const Band& band : bands) {
    for (int i = 0; i < 4000; ++i) {
      const WideFloat a = RandomWide(random, band.minimum, band.maximum);
      Mpfr exact(192);
      WideToMpfr(a, exact.get());
      const Float80 want = Rounded([&](mpfr_ptr y) { return mpfr_set(y, exact.get(), MPFR_RNDN); });
      const Float80 got = RoundToFloat80(a);
      ASSERT_EQ(Hex(got), Hex(want)) << band.name << " exponent " << a.exponent;
    }
  }
}

TEST(WideFloatTest, ConvertsEveryFiniteFloat80Exactly) {
  const Float80 values[] = {{1, 0},
                            {0x7FFFFFFFFFFFFFFFULL, 0x8000},
                            {0x8000000000000000ULL, 1},
                            {~std::uint64_t{0}, 0x7FFE},
                            {0xC000000000000000ULL, 0xBFFF}};
  for (const Float80 value : values) {
    EXPECT_EQ(Hex(RoundToFloat80(WideFromFloat80(value))), Hex(value));
  }
  EXPECT_EQ(Hex(RoundToFloat80(WideFromInteger(-3))), Hex(Float80{0xC000000000000000ULL, 0xC000}));
}

// Relative error of each operation against MPFR at 400 bits.
TEST(WideFloatTest, OperationsKeep186Bits) {
  std::mt19937_64 random(3);
  struct Operation {
    const char* name;
    WideFloat (*wide)(const WideFloat&, const WideFloat&);
    int (*exact)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);
  };
  const Operation operations[] = {{"add", WideAdd, mpfr_add},
                                  {"subtract", WideSubtract, mpfr_sub},
                                  {"multiply", WideMultiply, mpfr_mul},
                                  {"divide", WideDivide, mpfr_div}};
  Mpfr a(400);
  Mpfr b(400);
  Mpfr want(400);
  Mpfr got(400);
  for (int i = 0; i < 3000; ++i) {
    WideFloat x = RandomWide(random, -100, 100);
    WideFloat y = RandomWide(random, -100, 100);
    if (i % 4 == 0) y.exponent = x.exponent;  // cancellation in the differences
    WideToMpfr(x, a.get());
    WideToMpfr(y, b.get());
    for (const Operation& operation : operations) {
      operation.exact(want.get(), a.get(), b.get(), MPFR_RNDN);
      WideToMpfr(operation.wide(x, y), got.get());
      mpfr_sub(got.get(), got.get(), want.get(), MPFR_RNDN);
      if (mpfr_zero_p(got.get())) continue;
      ASSERT_LE(mpfr_get_exp(got.get()) - mpfr_get_exp(want.get()), -186) << operation.name;
    }
    mpfr_abs(b.get(), a.get(), MPFR_RNDN);  // the root of |x|
    mpfr_sqrt(want.get(), b.get(), MPFR_RNDN);
    WideToMpfr(WideSquareRoot(x), got.get());
    mpfr_sub(got.get(), got.get(), want.get(), MPFR_RNDN);
    if (!mpfr_zero_p(got.get())) {
      ASSERT_LE(mpfr_get_exp(got.get()) - mpfr_get_exp(want.get()), -186) << "square root";
    }
  }
}

}  // namespace
}  // namespace funzioni::soft
