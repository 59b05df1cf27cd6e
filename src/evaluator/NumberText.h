// Number writing of Part 1.2 (NumberText, 18 significant digits) and the
// 7-significant-digit writing of x of Part 2.3 (PlotFormulaCurve, step 3.2).
#pragma once

#include <string>
#include <string_view>

namespace funzioni {

// Part 1.2 NumberText: the exact binary value rounded to 18 significant digits
// (ties to even); plain notation while the integer part needs at most 18
// digits and the fraction at most 18 decimals, otherwise scientific ("1E+20",
// "2.5E-21"); no "0" before the point (".5", "-.25"); "0" for zero, -0 and
// NaN; "9.99999999999999999E+998" (with its sign) for an infinite value.
// Nothing precedes a positive value.
std::string NumberText(long double value);

// NumberText with the given number of significant digits (1..18).
std::string NumberTextDigits(long double value, int digits);

// Part 2.3: the 7-significant-digit text of x, with a leading blank when x is
// not negative: " 1.5", " .05", "-.2", " 0", " 1.862645E-6".
std::string XValueText(float x);

// Replaces every lower-case "x" of the formula by XValueText(x).
std::string SubstituteX(std::string_view formula, float x);

}  // namespace funzioni
