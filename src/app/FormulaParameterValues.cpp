#include "app/FormulaParameterValues.h"

#include "evaluator/NumberText.h"

namespace funzioni {

std::optional<std::size_t> FormulaMeterIndexOf(int id) {
  const int index = id - kFormulaMeterBaseId;
  if (index < 0 || index >= static_cast<int>(kFormulaParameterCount)) return std::nullopt;
  return static_cast<std::size_t>(index);
}

int FormulaMeterId(std::size_t index) {
  return kFormulaMeterBaseId + static_cast<int>(index);
}

void SetTypedFormula(PlotState& state, std::string_view formula) {
  state.typedFormula = std::string(formula);
  const std::string used = FormulaParameterLetters(formula);
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    if (used.find(kFormulaParameterLetters[i]) == std::string::npos) {
      state.formulaParams[i] = kParameterStart;
    }
  }
  // A family in a letter the formula no longer uses is gone, and does not come back with it.
  if (state.family.curves > 0 &&
      used.find(kFormulaParameterLetters[state.family.parameter % kFormulaParameterCount]) ==
          std::string::npos) {
    state.family = {};
  }
  PutFormulaParameters(state);
}

void PutFormulaParameters(PlotState& state) {
  FormulaParameterTexts texts;
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    texts[i] = XValueText(state.formulaParams[i].value);
  }
  state.currentFormula = SubstituteFormulaParameters(state.typedFormula, texts);
}

std::string UsedFormulaParameters(const PlotState& state) {
  return FormulaParameterLetters(state.typedFormula);
}

}  // namespace funzioni
