#include "evaluator/TypedText.h"

namespace funzioni::detail {

void Normalise(std::string_view text, char xMark, std::string& normalised) {
  normalised.resize(text.size());
  char* const begin = normalised.data();
  char* out = begin;
  bool afterOpen = false;
  for (const char typed : text) {
    if (typed == ' ') continue;
    const char c = typed == 'x'                   ? xMark
                   : typed >= 'a' && typed <= 'z' ? static_cast<char>(typed - 'a' + 'A')
                                                  : typed;
    if (c == ')' && afterOpen) {
      --out;
      afterOpen = false;
      continue;
    }
    *out++ = c;
    afterOpen = c == '(';
  }
  normalised.resize(static_cast<std::size_t>(out - begin));
}

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
