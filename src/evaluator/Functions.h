// The functions of the language: formulas in extended precision and their domain checks.
#pragma once

#include "evaluator/Extended.h"
#include "evaluator/LanguageTables.h"

namespace funzioni::detail {

struct FunctionResult {
  Extended value = 0;
  const char* error = nullptr;  // the function's own message when the argument is refused
};

// Function number `code` (1..35, the order of FunctionTable) of the argument, already converted
// to radians where the function takes degrees.
FunctionResult ApplyFunction(int code, Extended argument);

// Functions 17..22 (SEC, CSC, COT, SIN, COS, TAN) take their argument in degrees.
// About ln of the largest extended value: a result whose logarithm is beyond it overflows.
inline constexpr Extended kOverflowLimit = 11356;

inline bool TakesDegrees(int code) {
  return code >= fn::kSec && code <= fn::kTan;
}

// 0.017453292519943295 and 1.5707963267948966, to 64 bits.
inline constexpr Extended kDegreeToRadian = ext::FromParts(0x8EFA351294E9C6E8, -69);
inline constexpr Extended kHalfPi = ext::FromParts(0xC90FDAA22168C183, -63);

// The elementary operations that the formulas and the engine's overflow checks share. LN is 0
// for an argument that is zero, negative or not a number (an infinite one gives infinity); ATN of
// an infinite argument is exactly +-kHalfPi.
Extended Ln(Extended a);
Extended Atn(Extended a);
Extended Sgn(Extended a);

}  // namespace funzioni::detail
