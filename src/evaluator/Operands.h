// Reading the operands of an operator out of the engine's text, and writing a result back.
// Positions count from 0.
#pragma once

#include <cstddef>
#include <string_view>

#include "evaluator/WorkText.h"

namespace funzioni {

struct LeftOperand {
  std::size_t start = 0;  // where the operand begins: the text before it is the left text
  float value = 0;
  const char* error = nullptr;  // "Invalid left argument" when no number stands there
};

// The number that ends just before the operator at `operatorPos`, scanning leftwards: digits and
// "." belong to it; "E" or "D" is its exponent letter when a digit or "." stands before it (a
// second one ends it); a sign belongs to it unless it follows a digit or "." (then it is an
// operator), and only one sign since the last exponent letter.
LeftOperand ReadLeftOperand(std::string_view text, std::size_t operatorPos);

struct RightOperand {
  float value = 0;
  std::size_t restStart = 0;    // first character after the operand
  const char* error = nullptr;  // "No right argument" when nothing follows
};

// The number that starts just after the operator or name whose last character is at `lastPos`.
// Its value is the rest of the text read as a number; its text is the longest start of the rest
// made of a sign that agrees with the value, digits, at most one ".", at most one exponent
// letter and a sign right after it. A rest that does not start with a number stays whole (its
// value is 0).
RightOperand ReadRightOperand(std::string_view text, std::size_t lastPos);

namespace detail {

inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
inline bool IsSign(char c) {
  return c == '+' || c == '-';
}
inline bool IsDigitOrPoint(char c) {
  return IsDigit(c) || c == '.';
}

// Puts `number` in place of text[from, to) and returns where the written stretch starts. A
// negative number that would land right after a lone sign (one that is not an operator after a
// number) takes that sign in, so that "-" "-.5" becomes "+.5" rather than a double sign that
// reads as no number.
std::size_t WriteBack(WorkText& text, std::size_t from, std::size_t to, std::string_view number);

}  // namespace detail

}  // namespace funzioni
