#include "app/ParameterFamily.h"

#include "plot/FamilyCurves.h"
#include "state/FormulaParameters.h"

namespace funzioni {

namespace {

constexpr std::string_view kMark = "\xE2\x9C\x93 ";  // a check mark before the chosen entry

bool Uses(const PlotState& state, std::size_t index) {
  return index < kFormulaParameterCount &&
         FormulaParameterLetters(state.typedFormula).find(kFormulaParameterLetters[index]) !=
             std::string::npos;
}

bool Drawn(const PlotState& state) {
  return state.family.curves > 0 && Uses(state, state.family.parameter);
}

}  // namespace

std::vector<FamilyMenuEntry> FamilyMenuEntries(const PlotState& state, std::size_t index,
                                               const Catalogue& catalogue) {
  if (index >= kFormulaParameterCount) return {};
  const std::string_view name(&kFormulaParameterLetters[index], 1);
  const bool ours = Drawn(state) && state.family.parameter == index;
  std::vector<FamilyMenuEntry> entries;
  for (const int curves : kFamilyCurveChoices) {
    const std::string count = std::to_string(curves);
    std::string text = catalogue.Format("Famiglia di {0}: {1} curve", {name, count});
    if (ours && state.family.curves == curves) text = std::string(kMark) + text;
    entries.push_back({std::move(text), curves});
  }
  entries.push_back({std::string(catalogue.Translate("Famiglia spenta")), 0});
  return entries;
}

void ChooseFamily(PlotState& state, std::size_t index, int curves) {
  if (curves < 2 || curves > kMaxFamilyCurves || !Uses(state, index)) {
    state.family = {};
    return;
  }
  state.family = {index, curves};
}

std::string FamilySummary(const PlotState& state, const Catalogue& catalogue) {
  const std::vector<FamilyCurve> curves = FamilyCurves(state);
  if (curves.empty()) return {};
  const std::string_view name(&kFormulaParameterLetters[state.family.parameter], 1);
  return catalogue.Format(
      "Famiglia di {0}: {1} curve da {2} a {3}.",
      {name, std::to_string(curves.size()), FamilyValueText(curves.front().value),
       FamilyValueText(curves.back().value)});
}

}  // namespace funzioni
