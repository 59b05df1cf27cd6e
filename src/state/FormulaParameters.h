#pragma once

// The typed formula's parameters: the lower-case letters a, b, c, k, m and n wherever one stands
// alone, that is with no letter, digit or point next to it as the evaluator reads the text. Such
// a letter is never part of a name the evaluator knows, so a text that has one is refused by the
// evaluator as it is: putting a number in its place gives meaning only to texts that had none,
// and every text the evaluator accepts keeps its bytes. The value goes in as x's does, as text.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace funzioni {

inline constexpr std::string_view kFormulaParameterLetters = "abckmn";
inline constexpr std::size_t kFormulaParameterCount = kFormulaParameterLetters.size();

// The index of a parameter letter in kFormulaParameterLetters; nothing for any other character.
std::optional<std::size_t> FormulaParameterIndex(char letter);

// The positions in the formula of every parameter letter that stands alone, in order. The
// neighbours are those the evaluator sees: blanks dropped, then each "()" dropped in one pass
// from the left (so the "a" of "a ()bs(2)" is part of ABS, as the evaluator reads it).
std::vector<std::size_t> FormulaParameterPlaces(std::string_view formula);

// The parameter letters the formula uses, each once, in the order of kFormulaParameterLetters.
std::string FormulaParameterLetters(std::string_view formula);

// One text per letter of kFormulaParameterLetters; an empty text leaves its letter as typed.
using FormulaParameterTexts = std::array<std::string, kFormulaParameterCount>;

// The formula with the text of its letter in place of every parameter letter that stands alone;
// every other byte as it was. A formula without such a letter comes back unchanged.
std::string SubstituteFormulaParameters(std::string_view formula,
                                        const FormulaParameterTexts& texts);

}  // namespace funzioni
