#include "app/WorksheetLoading.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "app/FormulaParameterValues.h"
#include "app/ParameterPlay.h"

namespace funzioni {

namespace {

// Functions and families of the second test of recent state exams, with the parameters they are
// studied at; the angle functions take degrees, so the last one comes with a view of a period.
constexpr std::array<ExamExample, 6> kExamExamples{{
    {"#f=(a*x%5E3%2Bb)/x%5E2&a=1&b=4"},
    {"#f=-x%5E3%2Bk*x%2B9&keep=k*x%2B9&k=3"},
    {"#f=x*EXP(-x)"},
    {"#f=LN(x)/x"},
    {"#f=(x%5E2-k)/(x-1)&k=2"},
    {"#f=SIN(x)%2Bk*COS(x)&k=1&view=-360,360,-3,3"},
}};

// As the meters' values are written in a link (printf where the library has no floating-point
// to_chars: the web build, whose locale is always "C").
std::string ValueText(float value) {
  std::array<char, 32> buffer{};
#if defined(__cpp_lib_to_chars)
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  return std::string(buffer.data(), end);
#else
  const int length = std::snprintf(buffer.data(), buffer.size(), "%g", static_cast<double>(value));
  return std::string(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
#endif
}

}  // namespace

SheetOpening OpenWorksheetText(std::string_view text, const Catalogue& catalogue) {
  WorksheetReading reading = DecodeWorksheet(text);
  if (!reading.sheet) {
    if (reading.key.empty())
      return {std::nullopt, std::string(catalogue.Translate(kSheetRefusedText))};
    return {std::nullopt, catalogue.Format(kSheetFieldRefusedText, {reading.key})};
  }
  // Ends and steps the parameter's menu would refuse are refused here too, with its reason.
  const Worksheet start;
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    const ParamRecord& record = reading.sheet->parameters[i];
    const ParamRecord& usual = start.parameters[i];
    if (record.minimum == usual.minimum && record.maximum == usual.maximum &&
        record.step == usual.step) {
      continue;
    }
    const std::optional<std::string> refusal =
        ParameterEndsRefusal({record.minimum, record.maximum, record.step});
    if (refusal) {
      return {std::nullopt,
              catalogue.Format(kSheetFieldRefusedText, {kFormulaParameterLetters.substr(i, 1)}) +
                  "\r\n " + std::string(catalogue.Translate(*refusal))};
    }
  }
  return {std::move(reading.sheet), {}};
}

void ApplyWorksheet(PlotState& state, const Worksheet& sheet) {
  state.typedFormula = sheet.formula;
  state.keptFormulas = sheet.kept;
  state.formulaParams = sheet.parameters;
  PutFormulaParameters(state);
  state.zoomValue.value = sheet.zoom;
  state.stepValue.value = sheet.step;
  state.view = sheet.view ? SettledView(ClampView(*sheet.view), sheet.zoom) : std::nullopt;
  state.curveOn = sheet.curveOn;
}

std::span<const ExamExample> ExamExamples() {
  return kExamExamples;
}

std::string ExampleLabel(const Worksheet& sheet) {
  std::string label = sheet.formula;
  for (const std::string& kept : sheet.kept) label += " ; " + kept;
  const Worksheet start;
  std::string values;
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    if (sheet.parameters[i].value == start.parameters[i].value) continue;
    values += values.empty() ? "   " : ", ";
    values += kFormulaParameterLetters[i];
    values += '=' + ValueText(sheet.parameters[i].value);
  }
  return label + values;
}

}  // namespace funzioni
