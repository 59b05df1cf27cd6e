#pragma once

// The formulas kept drawn beside the typed one, as the history list gave them (parameter letters
// and all): each is drawn in its own colour with the current values of the parameters.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace funzioni {

// Six curves of typed formulas at once are as many as a picture of this size can tell apart.
inline constexpr std::size_t kMaxKeptFormulas = 5;

enum class KeepResult {
  Kept,         // added at the end of the list
  AlreadyKept,  // the list holds it already (it is not drawn twice)
  Full,         // kMaxKeptFormulas formulas are kept already
  Empty,        // a blank text is no formula
};

// Adds the formula at the end of the list unless it is blank, there already or the list is full.
KeepResult KeepFormula(std::vector<std::string>& kept, std::string_view formula);
// Takes the formula off the list; false when it was not on it.
bool DropKeptFormula(std::vector<std::string>& kept, std::string_view formula);
bool IsKeptFormula(const std::vector<std::string>& kept, std::string_view formula);

}  // namespace funzioni
