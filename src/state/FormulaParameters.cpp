#include "state/FormulaParameters.h"

namespace funzioni {

namespace {

// A character of the text as the evaluator reads it, with its position in the typed text.
struct ReadCharacter {
  char c;
  std::size_t at;
};

// The text after the evaluator's first two steps: blanks (only code 32) dropped, then every "()"
// dropped in one pass from the left without overlaps ("(())" keeps one pair).
std::vector<ReadCharacter> AsEvaluatorReads(std::string_view formula) {
  std::vector<ReadCharacter> unblanked;
  unblanked.reserve(formula.size());
  for (std::size_t i = 0; i < formula.size(); ++i) {
    if (formula[i] != ' ') unblanked.push_back({formula[i], i});
  }
  std::vector<ReadCharacter> read;
  read.reserve(unblanked.size());
  for (std::size_t i = 0; i < unblanked.size(); ++i) {
    if (unblanked[i].c == '(' && i + 1 < unblanked.size() && unblanked[i + 1].c == ')') {
      ++i;
      continue;
    }
    read.push_back(unblanked[i]);
  }
  return read;
}

// What a letter next to it would join: a name (letters), a number (digits, the point).
bool Joins(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.';
}

}  // namespace

std::optional<std::size_t> FormulaParameterIndex(char letter) {
  const std::size_t index = kFormulaParameterLetters.find(letter);
  if (index == std::string_view::npos) return std::nullopt;
  return index;
}

std::vector<std::size_t> FormulaParameterPlaces(std::string_view formula) {
  const std::vector<ReadCharacter> read = AsEvaluatorReads(formula);
  std::vector<std::size_t> places;
  for (std::size_t i = 0; i < read.size(); ++i) {
    if (!FormulaParameterIndex(read[i].c)) continue;
    if (i > 0 && Joins(read[i - 1].c)) continue;
    if (i + 1 < read.size() && Joins(read[i + 1].c)) continue;
    places.push_back(read[i].at);
  }
  return places;
}

std::string FormulaParameterLetters(std::string_view formula) {
  std::array<bool, kFormulaParameterCount> used{};
  for (const std::size_t place : FormulaParameterPlaces(formula)) {
    used[*FormulaParameterIndex(formula[place])] = true;
  }
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
  for (const std::size_t place : FormulaParameterPlaces(formula)) {
    const std::string& text = texts[*FormulaParameterIndex(formula[place])];
    if (text.empty()) continue;
    out.append(formula.substr(from, place - from));
    out.append(text);
    from = place + 1;
  }
  out.append(formula.substr(from));
  return out;
}

}  // namespace funzioni
