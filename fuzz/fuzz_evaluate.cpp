// EvaluateExpressionText on raw bytes: every input ends in a value or a message. The same
// evaluator, given the text again in upper case with a blank after every character, must give the
// same answer, since letters count in any case and blanks are dropped.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "EvaluatorResult.h"
#include "Require.h"
#include "evaluator/ExpressionEvaluator.h"

namespace {

std::string UpperCaseSpread(std::string_view text) {
  std::string spread;
  spread.reserve(2 * text.size());
  for (const char c : text) {
    spread += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    spread += ' ';
  }
  return spread;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using funzioni::fuzz::Require;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  funzioni::ExpressionEvaluator evaluator;
  const std::string first = evaluator.EvaluateExpressionText(text);
  Require(funzioni::fuzz::IsWellFormedResult(first), "malformed result", first);
  const std::string second = evaluator.EvaluateExpressionText(UpperCaseSpread(text));
  Require(second == first, "case or blanks changed the result", second);
  return 0;
}
