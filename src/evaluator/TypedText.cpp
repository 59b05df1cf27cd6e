#include "evaluator/TypedText.h"

namespace funzioni::detail {

std::string Normalised(std::string_view text, char xMark) {
  std::string out;
  Normalise(text, xMark, out);
  return out;
}

std::string Substituted(std::string_view formula, std::string_view xText) {
  std::string out;
  out.reserve(formula.size() + 16);
  for (const char c : formula) {
    if (c == 'x') {
      out += xText;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace funzioni::detail
