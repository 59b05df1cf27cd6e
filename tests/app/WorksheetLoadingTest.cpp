// What a worksheet does to the state before the window shows it: the exam examples load and are
// formulas the evaluator takes, ends the parameter's menu would refuse are refused here too, and
// the view comes into range as a gesture's does.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/WorksheetLoading.h"
#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/NumberText.h"

namespace funzioni {
namespace {

TEST(WorksheetLoading, ExamExamplesAreFormulasTheEvaluatorTakes) {
  ASSERT_GE(ExamExamples().size(), 5u);
  ExpressionEvaluator evaluator;
  for (const ExamExample& example : ExamExamples()) {
    const WorksheetReading reading = DecodeWorksheet(example.link);
    ASSERT_TRUE(reading.sheet.has_value()) << example.link;
    PlotState state;
    ApplyWorksheet(state, *reading.sheet);
    // Every parameter letter has a value in place, in the typed formula and the kept ones.
    EXPECT_EQ(state.currentFormula.find_first_of("abckmn"), std::string::npos) << example.link;
    // x = 2 lies inside every example's domain (LN, the pole at 1, the division by x^2).
    std::vector<std::string> formulas = state.keptFormulas;
    formulas.push_back(state.typedFormula);
    for (const std::string& formula : formulas) {
      FormulaParameterTexts texts;
      for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
        texts[i] = XValueText(state.formulaParams[i].value);
      }
      const std::string text = SubstituteX(SubstituteFormulaParameters(formula, texts), 2.0f);
      const std::string result = evaluator.EvaluateExpressionText(text);
      EXPECT_EQ(result.find("Error"), std::string::npos) << text << " -> " << result;
    }
    EXPECT_FALSE(ExampleLabel(*reading.sheet).empty());
  }
}

TEST(WorksheetLoading, ExampleLabels) {
  Worksheet sheet;
  sheet.formula = "-x^3+k*x+9";
  sheet.kept = {"k*x+9"};
  sheet.parameters[3].value = 3.0f;
  sheet.parameters[0].value = -0.5f;
  EXPECT_EQ(ExampleLabel(sheet), "-x^3+k*x+9 ; k*x+9   a=-0.5, k=3");
  EXPECT_EQ(ExampleLabel(Worksheet()), "");
}

TEST(WorksheetLoading, RefusalsAndTheirNotes) {
  const Catalogue italian;
  struct Row {
    const char* name;
    const char* text;
    std::string note;
  };
  const std::string refused = std::string(kSheetRefusedText);
  const auto field = [](const char* key) {
    return " Link del foglio non valido (" + std::string(key) + "):\r\n nulla \xC3\xA8 cambiato.";
  };
  const Row rows[] = {
      {"not a sheet at all", "#zzz", refused},
      {"a bad number names its field", "#f=k&k=inf", field("k")},
      {"ends the menu refuses for their size", "#f=k&k=1,-2000000,10,1",
       field("k") + "\r\n Gli estremi vanno da -1000000 a 1000000."},
      {"too many steps", "#f=k&k=1,0,10,0.00001",
       field("k") + "\r\n Troppi passi fra gli estremi (al pi\xC3\xB9 100000)."},
      {"a step longer than the range", "#f=k&k=1,0,1,2",
       field("k") + "\r\n Il passo deve essere al pi\xC3\xB9 la distanza fra gli estremi."},
  };
  for (const Row& row : rows) {
    const SheetOpening opening = OpenWorksheetText(row.text, italian);
    EXPECT_FALSE(opening.sheet.has_value()) << row.name;
    EXPECT_EQ(opening.note, row.note) << row.name;
  }
  // The notes speak the window's language.
  EXPECT_NE(OpenWorksheetText("#zzz", Catalogue(Language::German)).note, refused);
  EXPECT_TRUE(OpenWorksheetText("#f=k&k=1,0,10,0.5", italian).sheet.has_value());
}

TEST(WorksheetLoading, StateTakesTheSheet) {
  PlotState state;
  state.keptFormulas = {"x"};
  state.formulaParams[5].value = 4.0f;
  const SheetOpening opening = OpenWorksheetText(
      "#f=k*x%5E2&keep=a*x&k=-2&a=0.5&zoom=10&step=3&on=1,2&view=-1e9,1e9,0,1", Catalogue());
  ASSERT_TRUE(opening.sheet.has_value());
  ApplyWorksheet(state, *opening.sheet);
  EXPECT_EQ(state.typedFormula, "k*x^2");
  EXPECT_EQ(state.currentFormula, "-2*x^2");
  EXPECT_EQ(state.keptFormulas, std::vector<std::string>{"a*x"});
  EXPECT_EQ(state.formulaParams[0].value, 0.5f);
  // A letter the sheet does not name starts again.
  EXPECT_EQ(state.formulaParams[5].value, kParameterStart.value);
  EXPECT_EQ(state.zoomValue.value, 10.0f);
  EXPECT_EQ(state.stepValue.value, 3.0f);
  EXPECT_EQ(state.curveOn[1] + state.curveOn[2] + state.curveOn[3], 2);
  // Wider than any gesture may make it: brought back within the widest view.
  ASSERT_TRUE(state.view.has_value());
  EXPECT_EQ(state.view->HalfX(), kMaxHalfWidth);
  EXPECT_EQ(state.view->CentreY(), 0.5);
  // The seed view of the sheet's zoom is kept as no view at all, as a gesture leaves it.
  ApplyWorksheet(state, DecodeWorksheet("#f=x&zoom=10&view=-2,2,-2,2").sheet.value());
  EXPECT_FALSE(state.view.has_value());
}

}  // namespace
}  // namespace funzioni
