#include "plot/FamilyCurves.h"

#include <algorithm>

#include "evaluator/NumberText.h"
#include "state/FormulaParameters.h"

namespace funzioni {

namespace {

// The family's hue, a sea green no built-in curve, kept formula or the typed yellow uses: from a
// pale tint at the minimum to a deep shade at the maximum, the deepest still clear of the green
// face (RGB components).
struct Rgb {
  int red, green, blue;
};
constexpr Rgb kLightShade{180, 245, 225};
constexpr Rgb kDarkShade{20, 180, 150};

int Between(int light, int dark, int index, int count) {
  if (count < 2) return light;
  return light + (dark - light) * index / (count - 1);
}

}  // namespace

Color FamilyCurveColor(int index, int count) {
  const int at = std::clamp(index, 0, std::max(count - 1, 0));
  const int red = Between(kLightShade.red, kDarkShade.red, at, count);
  const int green = Between(kLightShade.green, kDarkShade.green, at, count);
  const int blue = Between(kLightShade.blue, kDarkShade.blue, at, count);
  return (blue << 16) | (green << 8) | red;
}

std::string FamilyValueText(float value) {
  // The text the curve's formula has, written as a reader expects it: no blank before a value
  // that is not negative, and a zero before a bare point (" .25" reads "0.25").
  std::string text = XValueText(value);
  if (text.starts_with(' ')) text.erase(0, 1);
  const std::size_t point = text.starts_with('-') ? 1 : 0;
  if (text.size() > point && text[point] == '.') text.insert(point, "0");
  return text;
}

std::vector<FamilyCurve> FamilyCurves(const PlotState& state) {
  const FormulaFamily& family = state.family;
  if (family.curves < 2 || family.curves > kMaxFamilyCurves) return {};
  if (family.parameter >= kFormulaParameterCount) return {};
  const char letter = kFormulaParameterLetters[family.parameter];
  if (FormulaParameterLetters(state.typedFormula).find(letter) == std::string::npos) return {};

  FormulaParameterTexts texts;
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    texts[i] = XValueText(state.formulaParams[i].value);
  }
  const ParamRecord& record = state.formulaParams[family.parameter];
  const double low = record.minimum;
  const double span = static_cast<double>(record.maximum) - low;
  std::vector<FamilyCurve> curves;
  curves.reserve(static_cast<std::size_t>(family.curves));
  for (int i = 0; i < family.curves; ++i) {
    // The last value is the maximum itself, whatever the rounding of the steps before it.
    const bool last = i == family.curves - 1;
    const float value =
        last ? record.maximum : static_cast<float>(low + span * i / (family.curves - 1));
    texts[family.parameter] = XValueText(value);
    curves.push_back({value, SubstituteFormulaParameters(state.typedFormula, texts),
                      FamilyCurveColor(i, family.curves)});
  }
  return curves;
}

std::vector<KeptKeyEntry> FamilyKey(const PlotState& state) {
  std::vector<KeptKeyEntry> key;
  const std::vector<FamilyCurve> curves = FamilyCurves(state);
  if (curves.empty()) return key;
  const std::string name(1, kFormulaParameterLetters[state.family.parameter]);
  for (const FamilyCurve& curve : curves) {
    key.push_back({name + " = " + FamilyValueText(curve.value), curve.color});
  }
  return key;
}

}  // namespace funzioni
