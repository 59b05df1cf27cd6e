// A formula of x sampled as the plot does: the first four bytes are the float x, the rest is the
// formula. The x text must stand for x, and the substituted formula must evaluate cleanly.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "EvaluatorResult.h"
#include "Require.h"
#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/NumberText.h"

namespace {

using funzioni::fuzz::Require;

// Seven significant digits: the text read back lies within half a unit of the seventh digit.
void CheckXText(float x) {
  const std::string text = funzioni::XValueText(x);
  Require(!text.empty() && text.find('x') == std::string::npos, "bad x text", text);
  if (!std::isfinite(x)) return;
  Require((text.front() == ' ') == !std::signbit(x) || x == 0, "x text sign", text);
  const long double back = std::strtold(text.c_str(), nullptr);
  const long double exact = x;
  const long double tolerance = std::fabs(exact) * 5.0000001e-7L;
  Require(std::fabs(back - exact) <= tolerance, "x text does not stand for x", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < sizeof(float)) return 0;
  float x = 0;
  std::memcpy(&x, data, sizeof x);
  const std::string_view formula(reinterpret_cast<const char*>(data) + sizeof x, size - sizeof x);
  CheckXText(x);
  const std::string text = funzioni::SubstituteX(formula, x);
  Require(text.find('x') == std::string::npos, "an x survived the substitution", text);
  funzioni::ExpressionEvaluator evaluator;
  const std::string result = evaluator.EvaluateExpressionText(text);
  Require(funzioni::fuzz::IsWellFormedResult(result), "malformed result", result);
  return 0;
}
