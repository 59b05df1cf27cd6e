// The typed formula as a plan reads it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace funzioni::detail {

// Where x stands in a normalised formula: a byte the checks refuse, so none comes from the user.
inline constexpr char kPlaceOfX = '\x01';

// Normalised with x marked; MOD becomes one token.
std::optional<std::string> NormaliseFormula(std::string_view formula);

// Whether every x has only an operator, a parenthesis, MOD or nothing on either side.
bool StandsApart(std::string_view text);

}  // namespace funzioni::detail
