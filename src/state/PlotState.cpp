#include "state/PlotState.h"

namespace funzioni {

namespace {

struct FunctionRow {
  std::string_view text;
  std::uint8_t a, b, c, d;
};

// Function 9 is marked as using only a although its curve also reads b.
constexpr std::array<FunctionRow, functionCount> kFunctionRows{{
    {"a.x", 1, 0, 0, 0},
    {"a.x+b", 1, 1, 0, 0},
    {"a.x^2+b", 1, 1, 0, 0},
    {"(a.x+b):(c.x+d)", 1, 1, 1, 1},
    {"a.sin(x)", 1, 0, 0, 0},
    {"a.cos(x)", 1, 0, 0, 0},
    {"a.x^3+b", 1, 1, 0, 0},
    {"2^a.x", 1, 0, 0, 0},
    {"a.x^x", 1, 0, 0, 0},
    {"sqr(a.x)", 1, 0, 0, 0},
}};

constexpr ParamRecord kMeterStart{1.0f, 100.0f, 50.0f, 50.0f, 1.0f};

}  // namespace

std::string FixedWidthText(std::string_view text, std::size_t width) {
  std::string fixed(text.substr(0, width));
  fixed.resize(width, ' ');
  return fixed;
}

PlotState::PlotState() {
  FillBuiltinFunctions();
  InitialiseState();
}

void PlotState::FillBuiltinFunctions() {
  for (int n = 1; n <= functionCount; ++n) {
    const FunctionRow& row = kFunctionRows[n - 1];
    BuiltinFunction& entry = builtinFunctions[n];
    entry.text = FixedWidthText(row.text, kBuiltinTextWidth);
    entry.usesA = row.a;
    entry.usesB = row.b;
    entry.usesC = row.c;
    entry.usesD = row.d;
  }
}

void PlotState::InitialiseState() {
  curveOn.fill(0);
  curveOn[3] = 1;
  currentFormula.clear();
  typedFormula.clear();
  keptFormulas.clear();
  formulaParams.fill(kParameterStart);
  for (ParamTable* table : {&paramA, &paramB, &paramC, &paramD}) table->fill(kParameterStart);
  zoomValue = kMeterStart;
  stepValue = kMeterStart;
  view.reset();
}

}  // namespace funzioni
