#include "state/KeptFormulas.h"

#include <algorithm>

namespace funzioni {

namespace {

bool Blank(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

KeepResult KeepFormula(std::vector<std::string>& kept, std::string_view formula) {
  if (Blank(formula)) return KeepResult::Empty;
  if (IsKeptFormula(kept, formula)) return KeepResult::AlreadyKept;
  if (kept.size() >= kMaxKeptFormulas) return KeepResult::Full;
  kept.emplace_back(formula);
  return KeepResult::Kept;
}

bool DropKeptFormula(std::vector<std::string>& kept, std::string_view formula) {
  const auto at = std::find(kept.begin(), kept.end(), formula);
  if (at == kept.end()) return false;
  kept.erase(at);
  return true;
}

bool IsKeptFormula(const std::vector<std::string>& kept, std::string_view formula) {
  return std::find(kept.begin(), kept.end(), formula) != kept.end();
}

}  // namespace funzioni
