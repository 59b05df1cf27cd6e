// The decimal reader: how the engine reads a number out of its text.
#pragma once

#include "evaluator/Extended.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace funzioni {

// Reads the number at the start of the text, correctly rounded to the extended format: leading
// blanks, tabs and line feeds skipped, an optional sign, digits, an optional point and digits, and
// an optional exponent letter "E" or "D" (either case) with an optional sign and digits. Reading
// stops at the first character that does not fit (an exponent letter without digits is not
// read); no digits give 0.
Extended ReadNumber(std::string_view text);

// ReadNumber that also tells how many characters the number took (0 when it has no digits).
Extended ReadNumber(std::string_view text, std::size_t& consumed);

// How much of the reader's syntax a number given on the command line may use.
enum class ArgumentSyntax {
  // An optional sign, digits with at most one point, an optional "e" or "E" with an optional
  // sign and digits: nothing before or after.
  Plain,
  // Everything ReadNumber reads: also blanks, tabs and line feeds in front, and the exponent
  // letters "D" and "d".
  Reader,
};

// A number given on the command line, as a 32-bit float: the whole text must be the number.
std::optional<float> ReadArgumentNumber(std::string_view text, ArgumentSyntax syntax);

namespace detail {

inline constexpr int kLargestExactPower = 27;

// 10^0 .. 10^27: the powers of ten that the extended format holds exactly (5^27 < 2^64).
inline constexpr auto kExactPowersOfTen = [] {
  std::array<Extended, kLargestExactPower + 1> powers{};
  std::uint64_t five = 1;
  for (int k = 0; k <= kLargestExactPower; ++k, five *= 5) powers[k] = ext::FromParts(five, k);
  return powers;
}();

}  // namespace detail

}  // namespace funzioni
