// The functions of the language: formulas in extended precision and their domain checks.
#pragma once

namespace funzioni::detail {

struct FunctionResult {
  long double value = 0;
  const char* error = nullptr;  // the function's own message when the argument is refused
};

// Function number `code` (1..35, the order of FunctionTable) of the argument, already converted
// to radians where the function takes degrees.
FunctionResult ApplyFunction(int code, long double argument);

// Functions 17..22 (SEC, CSC, COT, SIN, COS, TAN) take their argument in degrees.
inline bool TakesDegrees(int code) {
  return code >= 17 && code <= 22;
}

inline constexpr long double kDegreeToRadian = 0.017453292519943295L;
inline constexpr long double kHalfPi = 1.5707963267948966L;

// The elementary operations that the formulas and the engine's overflow checks share. LN is 0
// for an argument that is zero, negative or not a number (an infinite one gives infinity); ATN of
// an infinite argument is exactly +-kHalfPi.
long double Ln(long double a);
long double Atn(long double a);
long double Sgn(long double a);

}  // namespace funzioni::detail
