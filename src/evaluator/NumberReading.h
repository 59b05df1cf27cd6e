// The decimal reader: how the engine reads a number out of its text.
#pragma once

#include <string_view>

namespace funzioni {

// Reads the number at the start of the text, correctly rounded to long double: leading blanks,
// tabs and line feeds skipped, an optional sign, digits, an optional point and digits, and an
// optional exponent letter "E" or "D" (either case) with an optional sign and digits. Reading
// stops at the first character that does not fit (an exponent letter without digits is not
// read); no digits give 0.
long double ReadNumber(std::string_view text);

// ReadNumber that also tells how many characters the number took (0 when it has no digits).
long double ReadNumber(std::string_view text, std::size_t& consumed);

}  // namespace funzioni
