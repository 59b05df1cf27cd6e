// The expression evaluator. It works on text: EvaluateExpressionText receives a formula in which
// every "x" has already been replaced by a number (see SubstituteX in NumberText.h) and returns
// either the value, written by NumberText with a blank in front of a value that is not negative,
// or an error text that starts with "   Error in Expression: " and always contains "Error".
//
// The flags and error texts of an evaluation live in an ExpressionEvaluator object; the language
// tables are built once and never change, so several evaluator objects may work at the same time
// on different threads (one object per thread).
//
// Where to read first: an evaluation (1) normalises the text (TypedText.cpp), (2)
// checks it and classifies each character (Validation.cpp, TextClasses.cpp, LanguageTables.cpp),
// (3) evaluates the parenthesised parts left to right, each from the inside out
// (EvaluateExpression), and (4) rewrites each part without parentheses stage by stage in order of
// precedence (Stages.h, ArithmeticStages.cpp, WordStages.cpp; numbers via Operands, NumberText).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "evaluator/Extended.h"
#include "evaluator/TextClasses.h"
#include "evaluator/WorkText.h"

namespace funzioni {

// Builds NameList and FunctionTable from ReferenceList. Idempotent and thread-safe, cheap after
// the first call; the evaluator calls it itself, the application calls it once at start-up.
void InitEvaluatorTables();

// The language tables, indexed from 1 (entry 0 is never used): ReferenceList()[1..47],
// NameList()[1..47], FunctionTable()[1..35].
const std::array<std::string, 48>& ReferenceList();
const std::array<std::string, 48>& NameList();
const std::array<std::string, 36>& FunctionTable();

// The 39 class pairs that may not stand next to each other, two characters each, in the order
// that decides which one is reported.
inline constexpr std::string_view IllegalPairs =
    "()(*)F)E)#+)+*+E*)***EF)F+F*F.F#FE.(...F.E#(#FE(E)E*EFE.EE!#F!L)L+L*L.LE.LELL!";

class ExpressionEvaluator {
 public:
  ExpressionEvaluator();

  // Expression text in, result text out. Any bytes, any length; never throws.
  std::string EvaluateExpressionText(std::string_view text);

  // The checks and the preparation of an upper-cased text without blanks. On success replaces
  // expr by its prepared form and clears ValidateFlag; on failure sets ErrorMessage.
  bool ValidateExpression(std::string& expr);

  // Prepared (or, while ValidateFlag is 1, checked first) expression in, 32-bit value out. On
  // failure sets ErrorMessage and ErrorText and returns 0; on success clears ErrorText.
  float EvaluateExpression(std::string_view expr);

  // The message of the last failure, and the text that the last evaluation returned on failure
  // ("" after a success).
  const std::string& ErrorMessage() const { return errorMessage_; }
  const std::string& ErrorText() const { return errorText_; }
  // 1 while the checks are still to be made for the current evaluation.
  int ValidateFlag() const { return validateFlag_; }
  // 1 when SEC, CSC, COT, SIN, COS and TAN take degrees (set by every EvaluateExpressionText).
  int DegreesFlag() const { return degreesFlag_; }
  // One class letter per character of the last checked expression.
  const std::string& ClassString() const { return classString_; }

 private:
  // A parenthesised part being evaluated: its text so far and how far its inside has been read.
  struct Frame {
    std::size_t end = 0;
    std::size_t next = 0;
    detail::WorkText text;
  };

  bool Reject(std::string_view message);
  float Fail(std::string_view message);

  std::string errorMessage_;
  std::string errorText_;
  std::string classString_;
  int validateFlag_ = 0;
  int degreesFlag_ = 1;
  // The last successful evaluation left its value's NumberText as the text of frames_[0].
  bool resultIsText_ = false;

  // Working space kept between calls so that an evaluation allocates as little as possible.
  std::string normalized_;
  std::string prepared_;
  detail::ClassWork classWork_;
  std::vector<std::size_t> matches_;
  std::vector<std::size_t> openers_;
  std::vector<Frame> frames_;
};

// For a text that starts with "(", the position (counted from 1) of the ")" that closes it;
// 0 when there is none.
std::size_t FindMatchingParen(std::string_view text);

// The product 2 x 3 x ... x n in extended precision (1 for 0 and 1), for a whole n >= 0.
Extended Factorial(Extended n);

}  // namespace funzioni
