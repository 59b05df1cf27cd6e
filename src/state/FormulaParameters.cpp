#include "state/FormulaParameters.h"

#include <optional>

namespace funzioni {

namespace {

// A character of the text as the evaluator reads it, with its position in the typed text.
struct ReadCharacter {
  char c;
  std::size_t at;
};

// The text after the evaluator's first two steps, a character at a time and without a copy (a
// formula may be 100,000 characters long, and is read at every Enter): blanks (only code 32)
// dropped, then every "()" dropped in one pass from the left without overlaps ("(())" keeps one
// pair).
class EvaluatorReading {
 public:
  explicit EvaluatorReading(std::string_view formula) : formula_(formula) {}

  std::optional<ReadCharacter> Next() {
    for (;;) {
      const std::size_t at = Unblanked(next_);
      if (at == std::string_view::npos) return std::nullopt;
      if (formula_[at] == '(') {
        const std::size_t after = Unblanked(at + 1);
        if (after != std::string_view::npos && formula_[after] == ')') {
          next_ = after + 1;
          continue;
        }
      }
      next_ = at + 1;
      return ReadCharacter{formula_[at], at};
    }
  }

 private:
  std::size_t Unblanked(std::size_t from) const { return formula_.find_first_not_of(' ', from); }

  std::string_view formula_;
  std::size_t next_ = 0;
};

// What a letter next to it would join: a name (letters), a number (digits, the point).
bool Joins(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.';
}

// Calls `place` with the position of every parameter letter that stands alone, in order.
template <typename Place>
void ForEachPlace(std::string_view formula, Place place) {
  EvaluatorReading reading(formula);
  std::optional<ReadCharacter> before;
  std::optional<ReadCharacter> current = reading.Next();
  while (current) {
    std::optional<ReadCharacter> after = reading.Next();
    const bool alone = kFormulaParameterLetters.find(current->c) != std::string_view::npos &&
                       !(before && Joins(before->c)) && !(after && Joins(after->c));
    if (alone) place(current->at);
    before = current;
    current = after;
  }
}

}  // namespace

std::optional<std::size_t> FormulaParameterIndex(char letter) {
  const std::size_t index = kFormulaParameterLetters.find(letter);
  if (index == std::string_view::npos) return std::nullopt;
  return index;
}

std::vector<std::size_t> FormulaParameterPlaces(std::string_view formula) {
  std::vector<std::size_t> places;
  ForEachPlace(formula, [&places](std::size_t place) { places.push_back(place); });
  return places;
}

std::string FormulaParameterLetters(std::string_view formula) {
  std::array<bool, kFormulaParameterCount> used{};
  ForEachPlace(formula,
               [&](std::size_t place) { used[*FormulaParameterIndex(formula[place])] = true; });
  std::string letters;
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    if (used[i]) letters.push_back(kFormulaParameterLetters[i]);
  }
  return letters;
}

std::string SubstituteFormulaParameters(std::string_view formula,
                                        const FormulaParameterTexts& texts) {
  std::string out;
  out.reserve(formula.size());
  std::size_t from = 0;
  ForEachPlace(formula, [&](std::size_t place) {
    const std::string& text = texts[*FormulaParameterIndex(formula[place])];
    if (text.empty()) return;
    out.append(formula.substr(from, place - from));
    out.append(text);
    from = place + 1;
  });
  out.append(formula.substr(from));
  return out;
}

}  // namespace funzioni
