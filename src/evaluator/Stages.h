// The engine's stages. Each rewrites the text at the first operator of its kind until none is
// left, so precedence comes from the order in which the stages run.
#pragma once

#include <cstdint>
#include <string_view>

#include "evaluator/WorkText.h"

namespace funzioni::detail {

struct StageResult {
  const char* error = nullptr;  // the message that ends the whole evaluation
  bool finished = false;        // the text has become the result of the last operation alone
  // Set when that result was held as a 32-bit float: the text is then NumberText(value).
  bool floatText = false;
  float value = 0;
};

// Pairs of signs that are both signs (at the start, or after anything but a number) become one:
// "++" and "--" give "+", "-+" and "+-" give "-". A sign right after a number is an operator and
// is kept apart from the sign that follows it, which binds to the next number: "1--3^2" is
// 1 - (-3)^2.
void CollapseSigns(WorkText& text);

// True when the text reads as one number that NumberText writes back as the same text (or,
// with allowPlus, as the text without its leading "+").
bool IsWholeNumber(std::string_view text, bool allowPlus);

StageResult EvaluateFactorials(WorkText& text);
// `letters` is LetterMask of the text.
StageResult EvaluateFunctions(WorkText& text, bool degrees, std::uint32_t letters);
StageResult EvaluatePowers(WorkText& text);
StageResult EvaluateProducts(WorkText& text);
StageResult EvaluateIntegerDivisions(WorkText& text);
StageResult EvaluateSums(WorkText& text);

// Operator words and comparisons, after the stages above so that they change no result of an
// expression without them.
StageResult EvaluateModulo(WorkText& text);  // between "\" and "+"/"-"
StageResult EvaluateComparisons(WorkText& text);
StageResult EvaluatePrefixWords(WorkText& text);
StageResult EvaluateLogicalWords(WorkText& text);

struct StagesOutcome {
  float value = 0;
  const char* error = nullptr;
  bool textIsValue = false;  // the text left is already NumberText(value)
};

// Runs every stage on a text without parentheses and reads the value that is left. A 32-bit
// value written with 18 digits reads back as the same value (zero and NaN, written "0", read as
// 0), so a text that a float operation left alone need not be read.
StagesOutcome RunStages(WorkText& text, bool degrees);

}  // namespace funzioni::detail
