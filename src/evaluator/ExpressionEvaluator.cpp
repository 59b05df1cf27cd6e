#include "evaluator/ExpressionEvaluator.h"

#include <algorithm>

#include "evaluator/LanguageTables.h"
#include "evaluator/NumberReading.h"
#include "evaluator/NumberWriting.h"
#include "evaluator/Operands.h"
#include "evaluator/Stages.h"
#include "evaluator/TypedText.h"

namespace funzioni {

namespace {

constexpr std::size_t kUnmatched = static_cast<std::size_t>(-1);
constexpr std::size_t kFramesKept = 256;  // frames beyond this are released after a call

// A group whose inside is already a number ("5", "+5", "-2.5" or "3!" as NumberText writes
// them) loses its parentheses without an evaluation of its own.
bool IsPlainNumber(std::string_view inside) {
  if (detail::IsOwnNumberText(inside)) return true;
  if (inside.size() < 2) return false;
  if (inside.front() == '+' && !detail::IsSign(inside[1]) &&
      detail::IsOwnNumberText(inside.substr(1))) {
    return true;
  }
  return inside.back() == '!' && detail::IsOwnNumberText(inside.substr(0, inside.size() - 1));
}

// For every "(" of the text, the position of the ")" that closes it (only the entries at a "("
// are written). Returns whether the text has as many "(" as ")".
bool MatchParentheses(std::string_view text, std::vector<std::size_t>& matches,
                      std::vector<std::size_t>& openers) {
  if (matches.size() < text.size()) matches.resize(text.size());
  openers.clear();
  std::size_t closers = 0;
  std::size_t opened = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '(') {
      matches[i] = kUnmatched;
      openers.push_back(i);
      ++opened;
    } else if (text[i] == ')') {
      ++closers;
      if (openers.empty()) continue;
      matches[openers.back()] = i;
      openers.pop_back();
    }
  }
  return opened == closers;
}

}  // namespace

ExpressionEvaluator::ExpressionEvaluator() {
  InitEvaluatorTables();
}

std::string ExpressionEvaluator::EvaluateExpressionText(std::string_view text) {
  validateFlag_ = 1;
  degreesFlag_ = 1;
  detail::Normalise(text, 'X', normalized_);
  resultIsText_ = false;
  const float value = EvaluateExpression(normalized_);
  if (!errorText_.empty()) {
    if (frames_.size() > kFramesKept) frames_.resize(kFramesKept);
    return errorText_;
  }
  std::string result(value < 0 ? "" : " ");
  if (resultIsText_) {
    result += frames_[0].text.View();
  } else {
    result += detail::WriteNumber(value, detail::kNumberDigits).View();
  }
  if (frames_.size() > kFramesKept) frames_.resize(kFramesKept);
  return result;
}

float ExpressionEvaluator::Fail(std::string_view message) {
  errorMessage_.assign(message);
  errorText_.assign(detail::kErrorPrefix);
  errorText_ += message;
  return 0;
}

float ExpressionEvaluator::EvaluateExpression(std::string_view expr) {
  std::string_view text = expr;
  if (validateFlag_ == 1) {
    prepared_.assign(expr);
    if (!ValidateExpression(prepared_)) {
      errorText_.assign(detail::kErrorPrefix);
      errorText_ += errorMessage_;
      return 0;
    }
    text = prepared_;
  }
  if (!MatchParentheses(text, matches_, openers_)) return Fail("Parentheses mismatch");

  // Parenthesised parts are evaluated from left to right, each by an evaluation of its inside
  // that first resolves the parts inside it. The nesting is kept in frames_ rather than on the
  // call stack, so that any depth of parentheses is safe.
  const bool degrees = degreesFlag_ == 1;
  std::size_t depth = 0;
  if (frames_.empty()) frames_.emplace_back();
  frames_[0].end = text.size();
  frames_[0].next = 0;
  frames_[0].text.Clear();
  for (;;) {
    Frame& frame = frames_[depth];
    const std::string_view part = text.substr(frame.next, frame.end - frame.next);
    const std::size_t offset = part.find('(');
    if (offset == std::string_view::npos) {
      frame.text.Append(part);
      const detail::StagesOutcome outcome = detail::RunStages(frame.text, degrees);
      if (outcome.error != nullptr) return Fail(outcome.error);
      if (depth == 0) {
        errorText_.clear();
        resultIsText_ = outcome.textIsValue;
        return outcome.value;
      }
      --depth;
      if (outcome.textIsValue) {
        frames_[depth].text.Append(frame.text.View());
      } else {
        frames_[depth].text.Append(
            detail::WriteNumber(outcome.value, detail::kNumberDigits).View());
      }
      continue;
    }
    const std::size_t open = frame.next + offset;
    frame.text.Append(part.substr(0, offset));
    const std::size_t close = matches_[open];
    if (close == kUnmatched) return Fail("Parentheses mismatch");
    if (close == open + 1) return Fail("Empty parenthesis");
    const std::string_view inside = text.substr(open + 1, close - open - 1);
    frame.next = close + 1;
    if (IsPlainNumber(inside)) {
      frame.text.Append(inside);
      continue;
    }
    ++depth;
    if (frames_.size() <= depth) frames_.emplace_back();
    Frame& inner = frames_[depth];
    inner.end = close;
    inner.next = open + 1;
    inner.text.Clear();
  }
}

std::size_t FindMatchingParen(std::string_view text) {
  long depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '(') {
      ++depth;
    } else if (text[i] == ')') {
      if (--depth == 0) return i + 1;
    }
  }
  return 0;
}

}  // namespace funzioni
