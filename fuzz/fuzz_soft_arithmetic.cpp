// The software extended arithmetic against the x87 long double, bit for bit (any NaN equals any
// NaN). Bytes 0..9 are the operand a as the x87 stores it, 10..19 the operand b, 20..23 an int
// for the scaling; the rest, taken as decimal digits, is read with the int as power of ten.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Require.h"
#include "evaluator/SoftArithmetic.h"

namespace {

using funzioni::soft::Float80;

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

std::string Describe(const char* operation, Float80 a, Float80 b) {
  char text[96];
  std::snprintf(text, sizeof text, "%s %04x:%016llx %04x:%016llx", operation, a.signExponent,
                static_cast<unsigned long long>(a.mantissa), b.signExponent,
                static_cast<unsigned long long>(b.mantissa));
  return text;
}

void Same(const char* operation, Float80 got, long double expected, Float80 a, Float80 b = {}) {
  const Float80 want = Bits(expected);
  const bool same = (funzioni::soft::IsNan(got) && funzioni::soft::IsNan(want)) || got == want;
  funzioni::fuzz::Require(same, "soft arithmetic differs from the x87", Describe(operation, a, b));
}

// The x87 rejects unnormals, and glibc's bit-level functions (trunc, round, ldexp) handle them
// their own way: those run only on valid encodings.
bool Valid(Float80 a) {
  const int exponent = a.signExponent & funzioni::soft::kFloat80ExponentMask;
  return exponent == 0 || (a.mantissa >> 63) != 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace soft = funzioni::soft;
  if (size < 24) return 0;
  Float80 a, b;
  std::memcpy(&a.mantissa, data, 8);
  std::memcpy(&a.signExponent, data + 8, 2);
  std::memcpy(&b.mantissa, data + 10, 8);
  std::memcpy(&b.signExponent, data + 18, 2);
  std::int32_t n = 0;
  std::memcpy(&n, data + 20, 4);
  const long double x = Hardware(a), y = Hardware(b);
  Same("add", soft::Add(a, b), x + y, a, b);
  Same("subtract", soft::Subtract(a, b), x - y, a, b);
  Same("multiply", soft::Multiply(a, b), x * y, a, b);
  Same("divide", soft::Divide(a, b), x / y, a, b);
  Same("sqrt", soft::SquareRoot(a), std::sqrt(x), a);
  const soft::Ordering order = x < y    ? soft::Ordering::kLess
                               : x > y  ? soft::Ordering::kGreater
                               : x == y ? soft::Ordering::kEqual
                                        : soft::Ordering::kUnordered;
  funzioni::fuzz::Require(soft::Compare(a, b) == order, "compare differs", Describe("", a, b));
  if (Valid(a) && Valid(b)) {
    Same("fmod", soft::Remainder(a, b), std::fmod(x, y), a, b);
    Same("nearbyint", soft::RoundToIntegral(a, soft::Rounding::kNearestEven), std::nearbyint(x), a);
    Same("trunc", soft::RoundToIntegral(a, soft::Rounding::kTowardZero), std::trunc(x), a);
    Same("floor", soft::RoundToIntegral(a, soft::Rounding::kDown), std::floor(x), a);
    Same("ceil", soft::RoundToIntegral(a, soft::Rounding::kUp), std::ceil(x), a);
    Same("round", soft::RoundToIntegral(a, soft::Rounding::kNearestAway), std::round(x), a);
    const int scale = n % 40000;
    Same("ldexp", soft::Scale(a, scale), std::ldexp(x, scale), a, soft::FromInt64(scale));
    Same("double", soft::FromDouble(soft::ToDouble(a)), static_cast<double>(x), a);
    Same("float", soft::FromFloat(soft::ToFloat(a)), static_cast<float>(x), a);
    const bool inInt64 = std::fabs(x) < 0x1p63L;
    funzioni::fuzz::Require(!inInt64 || soft::ToInt64(a) == static_cast<std::int64_t>(x),
                            "int64 differs", Describe("", a, b));
    const bool inUint64 = x >= 0 && x < 0x1p64L;
    funzioni::fuzz::Require(!inUint64 || soft::ToUint64(a) == static_cast<std::uint64_t>(x),
                            "uint64 differs", Describe("", a, b));
  }
  std::int64_t whole = 0;
  std::memcpy(&whole, data, 8);
  Same("from int64", soft::FromInt64(whole), static_cast<long double>(whole), a);
  if (size > 24) {
    std::string digits;
    for (std::size_t i = 24; i < size; ++i) digits.push_back(static_cast<char>('0' + data[i] % 10));
    const int exponent = n % 5000;
    const std::string text = digits + "e" + std::to_string(exponent);
    Same("decimal", soft::FromDecimal(digits, exponent, false), std::strtold(text.c_str(), nullptr),
         a);
  }
  return 0;
}
