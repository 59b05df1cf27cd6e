#include "evaluator/PlanText.h"

#include "evaluator/LanguageTables.h"

namespace funzioni::detail {

std::string Normalised(std::string_view text, char xMark) {
  std::string out;
  bool afterOpen = false;
  for (const char typed : text) {
    if (typed == ' ') continue;
    const char c = typed == 'x'                   ? xMark
                   : typed >= 'a' && typed <= 'z' ? static_cast<char>(typed - 32)
                                                  : typed;
    if (c == ')' && afterOpen) {
      out.pop_back();
      afterOpen = false;
      continue;
    }
    out.push_back(c);
    afterOpen = c == '(';
  }
  return out;
}

std::optional<std::string> NormaliseFormula(std::string_view formula) {
  const std::string out = Normalised(formula, kPlaceOfX);
  if (out.find("()") != std::string::npos) return std::nullopt;
  std::string tokens;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (out.compare(i, 3, "MOD") == 0) {
      tokens.push_back(word::kMod);
      i += 2;
    } else {
      tokens.push_back(out[i]);
    }
  }
  return tokens;
}

bool StandsApart(std::string_view text) {
  constexpr std::string_view kBefore = "(+-*/\\^";
  constexpr std::string_view kAfter = ")+-*/\\^";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != kPlaceOfX) continue;
    if (i > 0 && text[i - 1] != word::kMod && kBefore.find(text[i - 1]) == std::string_view::npos) {
      return false;
    }
    if (i + 1 < text.size() && text[i + 1] != word::kMod &&
        kAfter.find(text[i + 1]) == std::string_view::npos) {
      return false;
    }
  }
  return true;
}

std::string Substituted(std::string_view formula, std::string_view xText) {
  std::string text;
  for (const char c : formula) {
    if (c == 'x') {
      text += xText;
    } else {
      text.push_back(c);
    }
  }
  return text;
}

}  // namespace funzioni::detail
