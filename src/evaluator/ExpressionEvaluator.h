// Expression language and evaluator (Parts 1.1, 1.2 and 1.3 of the spec).
//
// The evaluator works on text: EvaluateExpressionText receives a formula in
// which every "x" has already been replaced by a number (see SubstituteX in
// NumberText.h) and returns either the value written by NumberText, with a
// blank in front of a value that is not negative, or an error text that
// starts with "   Error in Expression: ".
//
// What the Parts call module-wide state (flags, error texts) lives in an
// ExpressionEvaluator object; the language tables are built once, are
// immutable and are shared, so several evaluator objects may be used on
// different threads at the same time (one object per thread).
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace funzioni {

// Part 1.3: builds NameList and FunctionTable from ReferenceList. Idempotent
// and thread-safe; cheap after the first call. The evaluator calls it itself,
// so callers need not, but the application calls it at start-up as the Parts
// say.
void InitEvaluatorTables();

// Part 1.3 tables (built by InitEvaluatorTables). Index 0 is never used, as
// in the Parts: ReferenceList()[1..47], NameList()[1..47], FunctionTable()[1..35].
const std::array<std::string, 48>& ReferenceList();
const std::array<std::string, 48>& NameList();
const std::array<std::string, 36>& FunctionTable();

// Part 1.1: the 39 class pairs, stored as one 78-character string.
inline constexpr std::string_view IllegalPairs =
    "()(*)F)E)#+)+*+E*)***EF)F+F*F.F#FE.(...F.E#(#FE(E)E*EFE.EE!#F!L)L+L*L.LE.LELL!";

class ExpressionEvaluator {
public:
    ExpressionEvaluator();

    // Part 1.1 entry point: expression text in, result text out. Any bytes,
    // any length; never throws.
    std::string EvaluateExpressionText(std::string_view text);

    // Part 1.1: the checks and the preparation. Returns true on success (and
    // replaces expr by its prepared form); on failure sets ErrorMessage.
    bool ValidateExpression(std::string& expr);

    // Part 1.2: prepared expression in, 32-bit value out. On failure sets
    // ErrorMessage and ErrorText and returns 0.
    float EvaluateExpression(std::string_view expr);

    // Part 1.1 state, readable after an evaluation.
    const std::string& ErrorMessage() const { return errorMessage_; }
    const std::string& ErrorText() const { return errorText_; }
    int ValidateFlag() const { return validateFlag_; }
    int DegreesFlag() const { return degreesFlag_; }

    // Part 1.1 ClassString of the last validation (for tests).
    const std::string& ClassString() const { return classString_; }

private:
    std::string errorMessage_;
    std::string errorText_;
    std::string classString_;
    int validateFlag_ = 0;
    int degreesFlag_ = 1;
};

// Part 1.2 helpers, exposed for tests.

// For a text that starts with "(", the 1-based position of the ")" that closes
// it; 0 when there is none.
std::size_t FindMatchingParen(std::string_view text);

// Product 2 x 3 x ... x n in extended precision (1 for 0 and 1); n >= 0 whole.
long double Factorial(long double n);

}  // namespace funzioni
