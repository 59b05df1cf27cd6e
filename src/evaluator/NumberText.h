// How numbers are written as text: the evaluator's 18-significant-digit NumberText, and the
// 7-significant-digit text that the plot and the results table put in place of x.
#pragma once

#include "evaluator/Extended.h"

#include <string>
#include <string_view>

namespace funzioni {

// The exact binary value rounded to 18 significant digits, ties to the even digit. Plain notation
// while the integer part needs at most 18 digits and the fraction at most 18 decimals, otherwise
// scientific ("1E+20", "2.5E-21"); trailing zeros of a fraction dropped, no trailing point and no
// "0" before the point (".5", "-.25"). "0" for zero, negative zero and NaN;
// "9.99999999999999999E+998" (with its sign) for an infinite value. Nothing precedes a positive
// value.
std::string NumberText(Extended value);

// NumberText with the given number of significant digits (1..18) in place of 18.
std::string NumberTextDigits(Extended value, int digits);

// The text that replaces x: NumberText with 7 significant digits, with a blank in front when x is
// not negative: " 1.5", " .05", "-.2", " 0", " 1.862645E-6".
std::string XValueText(float x);

// Replaces every lower-case "x" of the formula by XValueText(x); nothing else changes.
std::string SubstituteX(std::string_view formula, float x);

}  // namespace funzioni
