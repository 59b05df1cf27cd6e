// The typed formula as the engine takes it: normalised, with x replaced by a text, and the prefix
// of every error text the engine answers.
#pragma once

#include <string>
#include <string_view>

namespace funzioni::detail {

inline constexpr std::string_view kErrorPrefix = "   Error in Expression: ";

// Upper case, without blanks (only code 32), and without the "()" pairs of that text, removed in
// one pass from left to right without overlaps ("(())" becomes "()"): a ")" right after a "("
// that has just been kept takes it away again. A lower-case "x" becomes xMark ("X" as any other
// letter, or a mark of its own for a plan).
// Inline: it runs at the start of every evaluation.
inline void Normalise(std::string_view text, char xMark, std::string& normalised) {
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
std::string Normalised(std::string_view text, char xMark);

// The formula with every lower-case "x" replaced by the given text; nothing else changes.
std::string Substituted(std::string_view formula, std::string_view xText);

}  // namespace funzioni::detail
