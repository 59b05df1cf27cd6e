// Allocation-free form of NumberText for the engine, which writes a number at every step.
#pragma once

#include "evaluator/Extended.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace funzioni::detail {

class NumberChars {
 public:
  std::string_view View() const { return {text_, static_cast<std::size_t>(size_)}; }

 private:
  friend NumberChars WriteNumber(Extended value, int digits);
  friend NumberChars WriteNumber(float value, int digits);
  friend NumberChars LayOut(bool negative, std::uint64_t digits, int exponent, int count);

  NumberChars() = default;
  explicit NumberChars(std::string_view text) : size_(static_cast<int>(text.size())) {
    std::memcpy(text_, text.data(), text.size());
  }

  // Longest text: "-" + 18 digits + "." + "E-4951" = 27 characters.
  char text_[40];
  int size_ = 0;
};

// NumberText with `digits` significant digits (1..18).
NumberChars WriteNumber(Extended value, int digits);
// The same for a 32-bit value, without going through the extended format.
NumberChars WriteNumber(float value, int digits);

// The layout of NumberText for the nonzero value digits * 10^exponent, where digits has exactly
// `count` figures.
NumberChars LayOut(bool negative, std::uint64_t digits, int exponent, int count);

// True when the text is exactly what NumberText writes for the value the reader finds in it.
bool IsOwnNumberText(std::string_view text);

inline constexpr int kNumberDigits = 18;
inline constexpr int kXDigits = 7;
inline constexpr std::string_view kInfinityText = "9.99999999999999999E+998";

}  // namespace funzioni::detail
