#pragma once

// The values every picture of the plotting area is computed from. The shell owns one PlotState
// and changes it; the plotter only reads it. Tables indexed by a function number run from 1 to
// functionCount; slot 0 exists and is never read.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/FormulaParameters.h"
#include "state/PlotView.h"

namespace funzioni {

inline constexpr int functionCount = 10;
inline constexpr std::size_t kBuiltinTextWidth = 20;

// One built-in function: its label (always exactly 20 characters, blank-padded) and which of the
// parameters a, b, c, d have a meter.
struct BuiltinFunction {
  std::string text = std::string(kBuiltinTextWidth, ' ');
  std::uint8_t usesA = 0;
  std::uint8_t usesB = 0;
  std::uint8_t usesC = 0;
  std::uint8_t usesD = 0;
};

// A value with its range, reset value and keypad step; every field is a 32-bit float, so every
// stored result is rounded to single precision.
struct ParamRecord {
  float minimum = 0.0f;
  float maximum = 0.0f;
  float value = 0.0f;
  float resetValue = 0.0f;
  float step = 0.0f;
};

// Start values of every parameter: the built-in functions' and, by default, the typed formula's.
inline constexpr ParamRecord kParameterStart{-10.0f, 10.0f, 1.0f, 1.0f, 0.1f};

// The typed formula drawn for several values of one of its parameters at once, from the
// parameter's minimum to its maximum in evenly spaced steps.
struct FormulaFamily {
  std::size_t parameter = 0;  // index in kFormulaParameterLetters
  int curves = 0;             // how many values, both ends included; 0 while no family is drawn
  friend bool operator==(const FormulaFamily&, const FormulaFamily&) = default;
};
// More curves than this no longer tell apart on a picture of this size, nor their shades.
inline constexpr int kMaxFamilyCurves = 9;

using BuiltinFunctionTable = std::array<BuiltinFunction, functionCount + 1>;
using ParamTable = std::array<ParamRecord, functionCount + 1>;
// The typed formula's parameters, by their index in kFormulaParameterLetters.
using FormulaParamTable = std::array<ParamRecord, kFormulaParameterCount>;

// Pads with blanks on the right or cuts to the width, counting bytes: it only ever sees the
// built-in functions' ASCII labels, and the state stays free of the controls' UTF-8 rule
// (FitToWidth, which counts UTF-8 characters so that a cut never splits one).
std::string FixedWidthText(std::string_view text, std::size_t width);

struct PlotState {
  BuiltinFunctionTable builtinFunctions{};
  std::array<std::uint8_t, functionCount + 1> curveOn{};
  // The text every picture, table and study evaluates: the typed formula with the values of its
  // parameters in place of their letters (the typed text itself when it has none).
  std::string currentFormula;
  // The formula as typed, parameter letters and all; the shell keeps currentFormula following it.
  std::string typedFormula;
  FormulaParamTable formulaParams{};
  // Formulas from the history list drawn beside the typed one, as typed (KeptFormulas.h); each
  // takes the values of formulaParams for its parameter letters.
  std::vector<std::string> keptFormulas;
  // The family of the typed formula in one of its parameters, drawn under its curve.
  FormulaFamily family;
  ParamTable paramA{};
  ParamTable paramB{};
  ParamTable paramC{};
  ParamTable paramD{};
  ParamRecord zoomValue{};
  ParamRecord stepValue{};
  // The rectangle shown once a gesture moved the picture; empty while it is the seed view of the
  // zoom (PlotView.h), which is how every picture the meters alone reach is drawn.
  std::optional<PlotView> view;

  // A fresh state holds the function table and the start values.
  PlotState();

  // Fills the table of the ten built-in functions (done once when the main window is built).
  void FillBuiltinFunctions();
  // Start values of the switches, formula, parameters, zoom and step.
  void InitialiseState();
};

}  // namespace funzioni
