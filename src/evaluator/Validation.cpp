// The checks that a formula passes before the engine sees it, and its preparation.
#include <algorithm>
#include <string>
#include <string_view>

#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/LanguageTables.h"
#include "evaluator/TextClasses.h"

namespace funzioni {

namespace {

using detail::LetterMask;
using detail::MayContain;

constexpr std::string_view kPleaseCorrect = "  Please correct. ";

// Replaces every occurrence of `from` by `to` (any lengths), one pass from left to right;
// `scratch` is working space.
void ReplaceAll(std::string& text, std::string_view from, std::string_view to,
                std::string& scratch) {
  std::size_t at = text.find(from);
  if (at == std::string::npos) return;
  scratch.clear();
  std::size_t in = 0;
  for (; at != std::string::npos; at = text.find(from, in)) {
    scratch.append(text, in, at - in);
    scratch.append(to);
    in = at + from.size();
  }
  scratch.append(text, in, std::string::npos);
  text.swap(scratch);
}

}  // namespace

bool ExpressionEvaluator::Reject(std::string_view message) {
  errorMessage_.assign(message);
  return false;
}

bool ExpressionEvaluator::ValidateExpression(std::string& expr) {
  if (expr.empty()) return Reject("Empty expression! - You need to enter an expression.");

  // ClassString: one class letter per character of the expression. Most formulas take the
  // one-pass way; the rest (operator words, constants, unknown letters or characters) the general
  // one, name by name.
  std::string& classes = classString_;
  std::uint32_t letters = 0;
  detail::NeighbourFaults faults;
  classWork_.words.clear();
  if (!detail::ClassifyPlainText(expr, classes, letters, faults)) {
    letters = LetterMask(expr);
    std::string message;
    if (!detail::ClassifyAnyText(expr, letters, classes, classWork_, message)) {
      return Reject(message);
    }
    faults = detail::FindNeighbourFaults(classes);
  }

  // Forbidden neighbours: the pair first in the table's order is reported, at its first place;
  // three operators or signs in a row ("2--3" and "2*-3" pass) after the last character.
  if (faults.pairRank != 0) {
    return Reject("Illegal character sequence: " + expr.substr(faults.pairAt, 2) +
                  std::string(kPleaseCorrect));
  }
  if (std::string_view("+*FEL").find(classes.back()) != std::string_view::npos) {
    return Reject("Illegal last character: " + std::string(1, expr.back()) +
                  std::string(kPleaseCorrect));
  }
  if (faults.tripleAt != std::string::npos) {
    return Reject("Illegal character sequence: " + expr.substr(faults.tripleAt, 3) +
                  std::string(kPleaseCorrect));
  }

  // Preparation: operator words become tokens, constants their digits, and the names that the
  // engine knows by a code take that code.
  std::string& scratch = classWork_.stripped;
  std::vector<detail::WordAt>& words = classWork_.words;
  if (!words.empty()) {
    std::sort(words.begin(), words.end(),
              [](const detail::WordAt& a, const detail::WordAt& b) { return a.at < b.at; });
    scratch.clear();
    std::size_t in = 0;
    for (const detail::WordAt& w : words) {
      if (w.at < in || classes.compare(w.at, w.size, std::string(w.size, 'L')) != 0) continue;
      scratch.append(expr, in, w.at - in);
      scratch += w.token;
      in = w.at + w.size;
    }
    scratch.append(expr, in, std::string::npos);
    expr.swap(scratch);
  }
  if (letters & LetterMask("#")) {
    ReplaceAll(expr, "PI#", "3.14159265358979324", scratch);
    ReplaceAll(expr, "E#", "2.71828182845904524", scratch);
  }
  if (MayContain(letters, LetterMask("LN"))) ReplaceAll(expr, "LN", "LOG", scratch);
  if (MayContain(letters | LetterMask("OG"), LetterMask("LOG"))) {
    ReplaceAll(expr, "LOG10", "CLG", scratch);
    ReplaceAll(expr, "LOG2", "TLG", scratch);
  }
  if (MayContain(letters, LetterMask("EXP"))) {
    ReplaceAll(expr, "EXP10", "ETE", scratch);
    ReplaceAll(expr, "EXP2", "ETO", scratch);
  }

  validateFlag_ = 0;
  return true;
}

}  // namespace funzioni
