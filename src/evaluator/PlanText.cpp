#include "evaluator/PlanText.h"

#include "evaluator/LanguageTables.h"
#include "evaluator/TypedText.h"

namespace funzioni::detail {

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

}  // namespace funzioni::detail
