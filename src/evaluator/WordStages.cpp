#include <cmath>
#include <cstdint>
#include <limits>

#include "evaluator/ArithmeticKernels.h"
#include "evaluator/LanguageTables.h"
#include "evaluator/NumberWriting.h"
#include "evaluator/Operands.h"
#include "evaluator/Stages.h"

namespace funzioni::detail {

namespace {

constexpr Extended kTrue = -1;
constexpr Extended kFalse = 0;
constexpr Extended kTwoTo63 = ext::FromParts(1, 63);

// The operand rounded to a whole 64-bit number, ties to even; beyond the range it saturates.
std::int64_t ToWhole(float value) {
  const Extended whole = ext::Nearbyint(static_cast<Extended>(value));
  if (ext::IsNan(whole)) return 0;
  if (whole >= kTwoTo63) return std::numeric_limits<std::int64_t>::max();
  if (whole < -kTwoTo63) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(whole);
}

std::size_t Put(WorkText& text, std::size_t from, std::size_t to, Extended value) {
  const NumberChars number = WriteNumber(static_cast<float>(value), kNumberDigits);
  return WriteBack(text, from, to, number.View());
}

enum class Relation { Less, Greater, Equal, NotEqual, LessOrEqual, GreaterOrEqual };

// The comparison at `at`: one of "<", ">", "=", or a two-character spelling.
Relation ReadRelation(std::string_view text, std::size_t at, std::size_t& last) {
  last = at;
  const char first = text[at];
  const char second = at + 1 < text.size() ? text[at + 1] : '\0';
  const auto is = [&](char a, char b) {
    return (first == a && second == b) || (first == b && second == a);
  };
  if (is('<', '>')) {
    last = at + 1;
    return Relation::NotEqual;
  }
  if (is('<', '=')) {
    last = at + 1;
    return Relation::LessOrEqual;
  }
  if (is('>', '=')) {
    last = at + 1;
    return Relation::GreaterOrEqual;
  }
  if (first == '<') return Relation::Less;
  if (first == '>') return Relation::Greater;
  return Relation::Equal;
}

bool Holds(Relation relation, float x, float y) {
  switch (relation) {
    case Relation::Less:
      return x < y;
    case Relation::Greater:
      return x > y;
    case Relation::Equal:
      return x == y;
    case Relation::NotEqual:
      return x != y;
    case Relation::LessOrEqual:
      return x <= y;
    case Relation::GreaterOrEqual:
      return x >= y;
  }
  return false;
}

std::int64_t ApplyLogical(char token, std::int64_t a, std::int64_t b) {
  switch (token) {
    case word::kAnd:
      return a & b;
    case word::kOr:
      return a | b;
    case word::kXor:
      return a ^ b;
    case word::kEqv:
      return ~(a ^ b);
    default:  // IMP
      return ~a | b;
  }
}

}  // namespace

StageResult EvaluateModulo(WorkText& text) {
  const WorkText::Joiner join(text);
  std::size_t from = 0;
  for (;;) {
    const std::string_view view = text.View();
    const std::size_t p = view.find(word::kMod, from);
    if (p == std::string_view::npos) return {};
    const LeftOperand x = ReadLeftOperand(view, p);
    if (x.error != nullptr) return {x.error};
    const RightOperand y = ReadRightOperand(view, p);
    if (y.error != nullptr) return {y.error};
    const Checked result = Remainder(x.value, y.value);
    if (result.error != nullptr) return {result.error};
    from = Put(text, x.start, y.restStart, result.value);
    from -= text.Commit(from);
  }
}

StageResult EvaluateComparisons(WorkText& text) {
  const WorkText::Joiner join(text);
  std::size_t from = 0;
  for (;;) {
    const std::string_view view = text.View();
    const std::size_t p = view.find_first_of("<>=", from);
    if (p == std::string_view::npos) return {};
    std::size_t last = p;
    const Relation relation = ReadRelation(view, p, last);
    const LeftOperand x = ReadLeftOperand(view, p);
    if (x.error != nullptr) return {x.error};
    const RightOperand y = ReadRightOperand(view, last);
    if (y.error != nullptr) return {y.error};
    from = Put(text, x.start, y.restStart, Holds(relation, x.value, y.value) ? kTrue : kFalse);
    from -= text.Commit(from);
  }
}

StageResult EvaluatePrefixWords(WorkText& text) {
  // From the right, so that "NOT NOT 0" applies the inner word first.
  std::size_t end = text.Size();
  for (;;) {
    const std::string_view view = text.View();
    std::size_t p = end;
    while (p > 0) {
      const char c = view[p - 1];
      if (c == word::kNot || c == word::kIsTrue || c == word::kIsFalse) break;
      --p;
    }
    if (p == 0) return {};
    const std::size_t at = p - 1;
    const RightOperand y = ReadRightOperand(view, at);
    if (y.error != nullptr) return {y.error};
    Extended result;
    if (view[at] == word::kNot) {
      result = static_cast<Extended>(~ToWhole(y.value));
    } else if (view[at] == word::kIsTrue) {
      result = y.value != 0 ? kTrue : kFalse;
    } else {
      result = y.value == 0 ? kTrue : kFalse;
    }
    end = Put(text, at, y.restStart, result);
  }
}

StageResult EvaluateLogicalWords(WorkText& text) {
  // In order of binding: AND, OR, XOR, EQV, IMP, each from left to right.
  for (const char token : {word::kAnd, word::kOr, word::kXor, word::kEqv, word::kImp}) {
    const WorkText::Joiner join(text);
    std::size_t from = 0;
    for (;;) {
      const std::string_view view = text.View();
      const std::size_t p = view.find(token, from);
      if (p == std::string_view::npos) break;
      const LeftOperand x = ReadLeftOperand(view, p);
      if (x.error != nullptr) return {x.error};
      const RightOperand y = ReadRightOperand(view, p);
      if (y.error != nullptr) return {y.error};
      const std::int64_t result = ApplyLogical(token, ToWhole(x.value), ToWhole(y.value));
      from = Put(text, x.start, y.restStart, static_cast<Extended>(result));
      from -= text.Commit(from);
    }
  }
  return {};
}

}  // namespace funzioni::detail
