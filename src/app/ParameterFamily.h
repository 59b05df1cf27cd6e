#pragma once

// The family of the typed formula in one of its parameters, as the parameter's menu sets it: the
// menu's entries, the switch itself, and the words the plotting area's description adds for it.
// The curves are drawn by the plot worker (plot/FamilyCurves.h).

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "state/PlotState.h"
#include "text/Catalogue.h"

namespace funzioni {

// The families offered: few curves to compare, more to see the whole sweep.
inline constexpr std::array<int, 3> kFamilyCurveChoices = {3, 5, 9};

// One entry of a parameter's menu about its family; curves 0 switches the family off.
struct FamilyMenuEntry {
  std::string text;
  int curves = 0;
};

// The family entries of the menu of the parameter at `index` (in kFormulaParameterLetters), the
// family now drawn in this parameter marked.
std::vector<FamilyMenuEntry> FamilyMenuEntries(const PlotState& state, std::size_t index,
                                               const Catalogue& catalogue = Catalogue());

// Draws the family of the parameter at `index` with that many curves (it replaces the family of
// any other parameter), or none for 0 curves or a letter the typed formula does not use.
void ChooseFamily(PlotState& state, std::size_t index, int curves);

// The sentence the plotting area's description adds for the family ("Famiglia di k: 5 curve da
// -10 a 10."); empty while none is drawn.
std::string FamilySummary(const PlotState& state, const Catalogue& catalogue = Catalogue());

}  // namespace funzioni
