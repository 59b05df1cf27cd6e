#include "evaluator/Operands.h"

#include "evaluator/DecimalScan.h"
#include "evaluator/NumberReading.h"

namespace funzioni {

using detail::IsDigit;
using detail::IsDigitOrPoint;
using detail::IsSign;

LeftOperand ReadLeftOperand(std::string_view text, std::size_t operatorPos) {
  std::size_t start = operatorPos;
  bool exponentSeen = false;
  bool signTaken = false;
  while (start > 0) {
    const char c = text[start - 1];
    if (IsDigitOrPoint(c)) {
      --start;
      continue;
    }
    if (c == 'E' || c == 'D') {
      if (exponentSeen) break;
      // Only a letter written right after a number is an exponent letter: the "E" of a name
      // before the number (EXP10 reaches here as ETE) is not.
      if (start < 2 || !IsDigitOrPoint(text[start - 2])) break;
      exponentSeen = true;
      signTaken = false;
      --start;
      continue;
    }
    if (IsSign(c)) {
      if (signTaken) break;
      if (start >= 2 && IsDigitOrPoint(text[start - 2])) break;  // an operator after a number
      signTaken = true;
      --start;
      continue;
    }
    break;
  }
  LeftOperand operand;
  operand.start = start;
  if (start == operatorPos) {
    operand.error = "Invalid left argument";
    return operand;
  }
  operand.value = static_cast<float>(ReadNumber(text.substr(start, operatorPos - start)));
  return operand;
}

RightOperand ReadRightOperand(std::string_view text, std::size_t lastPos) {
  RightOperand operand;
  const std::size_t restStart = lastPos + 1;
  operand.restStart = restStart;
  if (restStart >= text.size()) {
    operand.error = "No right argument";
    return operand;
  }
  const std::string_view rest = text.substr(restStart);
  const detail::DecimalScan scan = detail::ScanDecimal(rest);
  operand.value = static_cast<float>(detail::ValueOf(scan, rest));

  std::size_t i = 0;
  if (IsSign(rest[0])) {
    // A sign that does not agree with the value (a signed zero) stays in the rest, where it
    // later reads as adding or subtracting 0.
    const bool agrees = rest[0] == '+' ? operand.value > 0 : operand.value < 0;
    if (!agrees) return operand;
    i = 1;
  }
  bool point = false;
  bool exponent = false;
  bool mantissaDigit = false;
  // What the reader took is all part of the operand's text (unless it skipped blanks first or
  // took a lower-case exponent letter); the operand may go on past it, with an exponent letter
  // that has no digits or a second part.
  const bool lowerExponent = scan.consumed > scan.mantissaEnd &&
                             (rest[scan.mantissaEnd] == 'e' || rest[scan.mantissaEnd] == 'd');
  if (scan.anyDigit && (IsSign(rest[0]) || IsDigitOrPoint(rest[0])) && !lowerExponent) {
    i = scan.consumed;
    point = scan.point;
    exponent = scan.consumed > scan.mantissaEnd;
    mantissaDigit = true;
  }
  while (i < rest.size()) {
    const char c = rest[i];
    if (IsDigit(c)) {
      mantissaDigit = mantissaDigit || !exponent;
      ++i;
    } else if (c == '.' && !point) {
      point = true;
      ++i;
    } else if ((c == 'E' || c == 'D') && !exponent) {
      exponent = true;
      ++i;
      if (i < rest.size() && IsSign(rest[i])) ++i;
    } else {
      break;
    }
  }
  if (mantissaDigit) operand.restStart = restStart + i;
  return operand;
}

namespace detail {

std::size_t WriteBack(WorkText& text, std::size_t from, std::size_t to, std::string_view number) {
  if (!number.empty() && number[0] == '-' && from >= 1) {
    const char sign = text.At(from - 1);
    const bool loneSign =
        IsSign(sign) &&
        (from == 1 || !(IsDigitOrPoint(text.At(from - 2)) || text.At(from - 2) == '!'));
    if (loneSign) {
      char combined[48];
      combined[0] = sign == '-' ? '+' : '-';
      const std::size_t size =
          number.size() < sizeof combined ? number.size() : sizeof combined - 1;
      for (std::size_t i = 1; i < size; ++i) combined[i] = number[i];
      text.Replace(from - 1, to, std::string_view(combined, size));
      return from - 1;
    }
  }
  text.Replace(from, to, number);
  return from;
}

}  // namespace detail

}  // namespace funzioni
