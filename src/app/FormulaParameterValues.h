#pragma once

// The typed formula's parameters in the plot state: the formula as typed keeps its letters, and
// the text every picture, table and study evaluates has each parameter's value in place of its
// letter, written as x's value is. A letter the formula stops using forgets its value.

#include <cstddef>
#include <optional>
#include <string_view>

#include "state/PlotState.h"

namespace funzioni {

// The meters of the typed formula's parameters: 2700 + the letter's index in
// kFormulaParameterLetters ('a' 2700 .. 'n' 2705).
inline constexpr int kFormulaMeterBaseId = 2700;

std::optional<std::size_t> FormulaMeterIndexOf(int id);
int FormulaMeterId(std::size_t index);

// The formula becomes the typed one; its parameters keep their values while it still uses their
// letters, the others start again from kParameterStart.
void SetTypedFormula(PlotState& state, std::string_view formula);
// The evaluated text again from the typed formula and the parameters' values now.
void PutFormulaParameters(PlotState& state);
// The parameter letters the typed formula uses now.
std::string UsedFormulaParameters(const PlotState& state);

}  // namespace funzioni
