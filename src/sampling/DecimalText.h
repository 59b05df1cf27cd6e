// Numbers as decimal text in the C locale, whatever locale the toolkit has set: the exact binary
// value rounded once, an exact tie to the even digit.
#pragma once

#include <charconv>
#include <string>
#include <version>

#if !defined(__cpp_lib_to_chars)
#include <cstdio>
#endif

namespace funzioni {

// `decimals` digits after the point ("2.5", "-0.0").
inline std::string FixedText(double value, int decimals) {
  char buffer[352];  // the largest double in full, with its sign and decimals
#if defined(__cpp_lib_to_chars)
  const auto written =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, written.ptr);
#else
  // The web build's library has no floating-point to_chars; there the locale is always "C".
  const int length = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
#endif
}

// Up to `digits` significant digits, trailing zeros dropped, as printf's %g writes them.
inline std::string GeneralText(double value, int digits) {
  char buffer[64];
#if defined(__cpp_lib_to_chars)
  const auto written =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
  return std::string(buffer, written.ptr);
#else
  const int length = std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
  return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
#endif
}

}  // namespace funzioni
