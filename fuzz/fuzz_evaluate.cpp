// EvaluateExpressionText on raw bytes: every input ends in a value or a message, the same one
// from a fresh evaluator and from one that has just evaluated it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "EvaluatorResult.h"
#include "Require.h"
#include "evaluator/ExpressionEvaluator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using funzioni::fuzz::Require;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  funzioni::ExpressionEvaluator evaluator;
  const std::string first = evaluator.EvaluateExpressionText(text);
  Require(funzioni::fuzz::IsWellFormedResult(first), "malformed result", first);
  const std::string second = evaluator.EvaluateExpressionText(text);
  Require(second == first, "a second evaluation differs", second);
  return 0;
}
