// The typed formula as a plan reads it, and the texts its probes give the text engine.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace funzioni::detail {

// Where x stands in a normalised formula: a byte the checks refuse, so none comes from the user.
inline constexpr char kPlaceOfX = '\x01';

// Upper case (a lower-case x becomes xMark), no blanks, "()" pairs removed in one pass from the
// left, as the entry point hands a text to the checks.
std::string Normalised(std::string_view text, char xMark);

// Normalised with x marked; MOD becomes one token.
std::optional<std::string> NormaliseFormula(std::string_view formula);

// Whether every x has only an operator, a parenthesis, MOD or nothing on either side.
bool StandsApart(std::string_view text);

// The formula with every x replaced by the given text.
std::string Substituted(std::string_view formula, std::string_view xText);

}  // namespace funzioni::detail
