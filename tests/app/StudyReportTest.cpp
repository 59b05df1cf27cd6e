// The study window's texts: numbers, the heading, the line of each kind for formulas whose
// study is known from the mathematics, and the copied table's f' column.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/StudyJob.h"
#include "app/StudyReport.h"
#include "app/TableText.h"
#include "evaluator/ExpressionEvaluator.h"
#include "text/Catalogue.h"

namespace funzioni {
namespace {

constexpr const char* kMinus = "\xE2\x88\x92";

struct NumberCase {
  const char* name;
  double value;
  double halfRange;
  std::string text;
};

class StudyNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(StudyNumberTest, FourSignificantDigitsWithoutExponent) {
  EXPECT_EQ(StudyNumber(GetParam().value, GetParam().halfRange), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StudyNumberTest,
    ::testing::Values(NumberCase{"PiOverTwo", 1.5707963, 10, "1.571"},
                      NumberCase{"NegativeWhole", -10, 10, std::string(kMinus) + "10"},
                      NumberCase{"LargeKeepsItsDigits", 12345.6, 10, "12346"},
                      NumberCase{"SmallInANarrowRange", 0.000123456, 0.2, "0.0001235"},
                      NumberCase{"NoiseAtTheOriginIsZero", -3e-8, 10, "0"},
                      NumberCase{"RoundsUpAcrossADecade", 9.99996, 10, "10"},
                      NumberCase{"Third", 1.0 / 3, 20, "0.3333"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StudyHeadingTest, SaysWhatWasStudiedOverWhichRange) {
  EXPECT_EQ(StudyHeading("SIN(x)*x", -10, 10),
            std::string("Studio numerico di f(x) = SIN(x)*x per x da ") + kMinus +
                "10 a 10, angoli in gradi");
  EXPECT_EQ(StudyHeading("x", -0.2f, 0.2f), std::string("Studio numerico di f(x) = x per x da ") +
                                                kMinus + "0.2 a 0.2, angoli in gradi");
}

// Lines that the study of each formula must show, and lines it must not: checked against what
// the mathematics says of the function over the range.
struct LinesCase {
  const char* name;
  const char* formula;
  float zoom;
  std::vector<std::string> present;
  std::vector<std::string> absent;
};

class StudyLinesTest : public ::testing::TestWithParam<LinesCase> {};

bool HasLine(const std::vector<StudyLine>& lines, const std::string& text) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const StudyLine& line) { return line.text == text; });
}

bool HasLineStarting(const std::vector<StudyLine>& lines, const std::string& start) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const StudyLine& line) { return line.text.rfind(start, 0) == 0; });
}

TEST_P(StudyLinesTest, NamesEachKindInItalian) {
  const LinesCase& c = GetParam();
  ExpressionEvaluator evaluator;
  const std::vector<StudyLine> lines = StudyLines(StudyFunction(evaluator, c.formula, c.zoom));
  std::string all;
  for (const StudyLine& line : lines) all += line.text + "\n";
  for (const std::string& text : c.present)
    EXPECT_TRUE(HasLine(lines, text)) << text << "\n" << all;
  for (const std::string& start : c.absent) EXPECT_FALSE(HasLineStarting(lines, start)) << start;
}

const std::string kNone = std::string(": ") + std::string(kStudyNoneVisible);
const std::string kChart = "Schema dei segni di ";
const std::string kAbout = "\xE2\x89\x88 ";
const std::string kMinusInfinity = std::string(kMinus) + "\xE2\x88\x9E";

INSTANTIATE_TEST_SUITE_P(
    Formulas, StudyLinesTest,
    ::testing::Values(
        LinesCase{
            "Parabola",
            "x^2",
            50,
            {"Intersezione con l'asse y: y \xE2\x89\x88 0", "Zero (tangenza): x \xE2\x89\x88 0",
             "Minimo relativo: x \xE2\x89\x88 0, y \xE2\x89\x88 0", "Massimi relativi" + kNone,
             "Asintoti verticali" + kNone, "Flessi" + kNone,
             "Punti senza valore: nessuno nell'intervallo visibile"},
            {"Zero (attraversamento)", "Lacuna del dominio:"}},
        LinesCase{"Hyperbola",
                  "1/x",
                  50,
                  {"Asintoto verticale: x \xE2\x89\x88 0", "Zeri" + kNone,
                   "Intersezione con l'asse y: nessuna (f non ha valore in x = 0)",
                   std::string("Segno: f(x) < 0 per x da \xE2\x89\x88 ") + kMinus +
                       "10 a \xE2\x89\x88 0"},
                  {"Zero ", "Massimo relativo:", "Minimo relativo:"}},
        LinesCase{
            "CubicCrossing",
            "x^3-3*x",
            50,
            {std::string("Massimo relativo: x \xE2\x89\x88 ") + kMinus + "1, y \xE2\x89\x88 2",
             "Zero (attraversamento): x \xE2\x89\x88 0",
             "Flesso: x \xE2\x89\x88 0, y \xE2\x89\x88 0",
             "Zero (attraversamento): x \xE2\x89\x88 1.732"},
            {"Zero (tangenza)", "Asintoto verticale:"}},
        LinesCase{"HoleIsAGapNotAnAsymptote",
                  "(x^2-4)/(x-2)",
                  50,
                  {std::string("Zero (attraversamento): x \xE2\x89\x88 ") + kMinus + "2",
                   "Asintoti verticali" + kNone},
                  {"Punti senza valore: nessuno"}},
        // The kinds that follow today's: f(x) = (x^3+4)/x^2 falls on (0, 2) and rises elsewhere,
        // f'' = 24/x^4 > 0, and f - x = 4/x^2 -> 0 gives y = x on both sides.
        LinesCase{"ExamOblique",
                  "(x^3+4)/x^2",
                  50,
                  {"Limite per x \xE2\x86\x92 " + kMinusInfinity + ": " + kMinusInfinity,
                   "Limite per x \xE2\x86\x92 0\xE2\x81\xBB (da sinistra): +\xE2\x88\x9E",
                   "Limite per x \xE2\x86\x92 0\xE2\x81\xBA (da destra): +\xE2\x88\x9E",
                   "Limite per x \xE2\x86\x92 +\xE2\x88\x9E: +\xE2\x88\x9E",
                   "Asintoto obliquo (x \xE2\x86\x92 " + kMinusInfinity +
                       "): y \xE2\x89\x88 1\xC2\xB7x + 0",
                   "Asintoto obliquo (x \xE2\x86\x92 +\xE2\x88\x9E): y \xE2\x89\x88 1\xC2\xB7x + 0",
                   "Decrescente per x da \xE2\x89\x88 0 a \xE2\x89\x88 2",
                   "Crescente per x da \xE2\x89\x88 2 a \xE2\x89\x88 10",
                   "Concava verso l'alto per x da \xE2\x89\x88 0 a \xE2\x89\x88 10",
                   "Punti di non derivabilit\xC3\xA0" + kNone},
                  {"Asintoto orizzontale", "Concava verso il basso", "Funzione"}},
        // 1/(x-2): 0 at both ends, -inf and +inf beside 2, always falling.
        LinesCase{"HorizontalAndOneSided",
                  "1/(x-2)",
                  50,
                  {"Limite per x \xE2\x86\x92 +\xE2\x88\x9E: \xE2\x89\x88 0",
                   "Limite per x \xE2\x86\x92 2\xE2\x81\xBB (da sinistra): " + kMinusInfinity,
                   "Asintoto orizzontale (x \xE2\x86\x92 " + kMinusInfinity + "): y \xE2\x89\x88 0",
                   "Decrescente per x da \xE2\x89\x88 2 a \xE2\x89\x88 10",
                   "Concava verso il basso per x da \xE2\x89\x88 " + std::string(kMinus) +
                       "10 a \xE2\x89\x88 2"},
                  {"Crescente", "Asintoto obliquo", "Asintoti orizzontali e obliqui"}},
        // |x - 1| - x^2/100 has slopes -1 - 1/50 and 1 - 1/50 at 1; x^3 is odd and has no
        // asymptote at either end.
        LinesCase{"CornerWithItsSlopes",
                  "ABS(x-1)-x^2/100",
                  50,
                  {"Punto angoloso in x \xE2\x89\x88 1, y \xE2\x89\x88 " + std::string(kMinus) +
                   "0.01: pendenze \xE2\x89\x88 " + std::string(kMinus) +
                   "1.02 da sinistra e \xE2\x89\x88 0.98 da destra"},
                  {"Funzione", "Cuspide"}},
        // The sign chart of (x^3+4)/x^2: f < 0 left of -4^(1/3) = -1.587, f' = (x^3-8)/x^3
        // changes sign at 0 and 2, f'' = 24/x^4 > 0.
        LinesCase{
            "SignChartOfTheExamFunction",
            "(x^3+4)/x^2",
            50,
            {kChart + "f: " + kMinus + " per x da " + kAbout + kMinus + "10 a " + kAbout + kMinus +
                 "1.587",
             kChart + "f: 0 in x " + kAbout + kMinus + "1.587",
             kChart + "f: + per x da " + kAbout + kMinus + "1.587 a " + kAbout + "0",
             kChart + "f: non definita in x " + kAbout + "0",
             kChart + "f: + per x da " + kAbout + "0 a " + kAbout + "10",
             kChart + "f\xE2\x80\xB2: " + kMinus + " (decrescente) per x da " + kAbout + "0 a " +
                 kAbout + "2",
             kChart + "f\xE2\x80\xB2: 0 (minimo) in x " + kAbout + "2",
             kChart + "f\xE2\x80\xB2: + (crescente) per x da " + kAbout + "2 a " + kAbout + "10",
             kChart + "f\xE2\x80\xB3: + (concava verso l'alto) per x da " + kAbout + kMinus +
                 "10 a " + kAbout + "0"},
            {kChart + "f\xE2\x80\xB3: " + kMinus, kChart + "f\xE2\x80\xB3: 0"}},
        LinesCase{
            "OddWithoutAsymptotes",
            "x^3",
            50,
            {"Funzione dispari", "Asintoti orizzontali e obliqui: nessuno",
             "Crescente per x da \xE2\x89\x88 " + std::string(kMinus) + "10 a \xE2\x89\x88 10"},
            {"Decrescente", "Funzione pari"}},
        // sqrt|x| has slopes -inf and +inf at 0; its sign-preserving twin rises through 0
        // vertically.
        LinesCase{"CuspAndVerticalTangent",
                  "SQR(ABS(x))",
                  50,
                  {"Funzione pari", "Cuspide in x \xE2\x89\x88 0, y \xE2\x89\x88 0: pendenze " +
                                        kMinusInfinity + " da sinistra e +\xE2\x88\x9E da destra"},
                  {"Punto angoloso"}},
        LinesCase{"VerticalTangentInflection",
                  "SGN(x)*SQR(ABS(x))",
                  50,
                  {"Flesso a tangente verticale in x \xE2\x89\x88 0, y \xE2\x89\x88 0: pendenze "
                   "+\xE2\x88\x9E da sinistra e +\xE2\x88\x9E da destra"},
                  {"Cuspide"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Points (a corner is one) and vertical asymptotes are marked on the plot; limits, asymptotes at
// the ends, intervals and parity are not.
TEST(StudyLinesTest, OnlyPointsAndAsymptotesAreMarked) {
  ExpressionEvaluator evaluator;
  const std::vector<std::pair<const char*, float>> studies = {
      {"TAN(x)", 1000}, {"ABS(x-1)-x^2/100", 50}, {"SQR(ABS(x))", 50}};
  for (const auto& [formula, zoom] : studies) {
    for (const StudyLine& line : StudyLines(StudyFunction(evaluator, formula, zoom))) {
      const auto starts = [&](const char* kind) { return line.text.rfind(kind, 0) == 0; };
      const bool marked = starts("Zero") || starts("Asintoto verticale") ||
                          starts("Intersezione") || starts("Flesso") || starts("Massimo") ||
                          starts("Minimo") || starts("Punto angoloso") || starts("Cuspide");
      EXPECT_EQ(line.mark.has_value(), marked) << formula << ": " << line.text;
      if (line.mark) {
        EXPECT_EQ(line.mark->vertical, starts("Asintoto")) << line.text;
      }
    }
  }
}

TEST(StudyClipboardTextTest, HeadingThenOneLinePerItem) {
  const std::vector<StudyLine> lines = {{"Zeri: nessuno", std::nullopt},
                                        {"Flesso: x 1", StudyMark{1, 0, false}}};
  EXPECT_EQ(StudyClipboardText("Studio", lines), "Studio\nZeri: nessuno\nFlesso: x 1\n");
}

TEST(TableSlopeColumnTest, AThirdColumnOnlyWhenTheRowsCarryIt) {
  ResultsTableContent table;
  table.empty = false;
  table.title = "x^2";
  table.rows = {{"-0.1", "0.0", "-0.2"}, {"0", "0", ""}, {"0.1", "0.0", "0.2"}};
  EXPECT_EQ(TableClipboardText(table, ","), "x^2\n-0,1\t0,0\n0\t0\n0,1\t0,0\n");
  table.slopeHeading = "f'";
  EXPECT_EQ(TableClipboardText(table, ","), "x^2\t\tf'\n-0,1\t0,0\t-0,2\n0\t0\t\n0,1\t0,0\t0,2\n");
}

// What the window writes and draws for the tangent and the area asked for, against the closed
// forms. A line ending in "(" is matched up to there (the error bound's digits are the rule's).
struct AskCase {
  const char* name;
  const char* formula;
  StudyAsk ask;
  std::vector<std::string> lines;
  std::vector<StudyRay> rays;
  bool shaded;
};

class StudyAskTest : public ::testing::TestWithParam<AskCase> {};

TEST_P(StudyAskTest, WritesAndDrawsWhatWasAsked) {
  const AskCase& c = GetParam();
  StudyRequest request;
  request.state.currentFormula = c.formula;
  request.state.zoomValue.value = 50;  // x from -10 to 10
  request.ask = c.ask;
  const std::optional<StudyOutcome> outcome = ComputeStudy(request);
  ASSERT_TRUE(outcome);
  std::vector<std::string> asked;
  for (const StudyLine& line : outcome->lines) {
    for (const char* kind : {"Tangente", "Semitangente", "Integrale", "Area "}) {
      if (line.text.rfind(kind, 0) == 0) asked.push_back(line.text);
    }
  }
  ASSERT_EQ(asked.size(), c.lines.size()) << ::testing::PrintToString(asked);
  for (std::size_t i = 0; i < asked.size(); ++i) {
    const std::string& want = c.lines[i];
    if (want.back() == '(') {
      EXPECT_EQ(asked[i].substr(0, want.size()), want);
    } else {
      EXPECT_EQ(asked[i], want);
    }
  }
  ASSERT_EQ(outcome->rays.size(), c.rays.size());
  for (std::size_t i = 0; i < c.rays.size(); ++i) {
    const StudyRay& got = outcome->rays[i];
    const StudyRay& want = c.rays[i];
    EXPECT_NEAR(got.x, want.x, 1e-6);
    EXPECT_NEAR(got.y, want.y, 1e-4);
    if (std::isinf(want.slope)) {
      EXPECT_EQ(got.slope, want.slope);
    } else {
      EXPECT_NEAR(got.slope, want.slope, 1e-3);
    }
    EXPECT_EQ(got.side, want.side);
  }
  EXPECT_EQ(!outcome->area.empty(), c.shaded);
  EXPECT_TRUE(std::is_sorted(outcome->area.begin(), outcome->area.end(),
                             [](const AreaSample& a, const AreaSample& b) { return a.x < b.x; }));
}

const std::string kX0 = "in x\xE2\x82\x80 \xE2\x89\x88 ";  // "in x₀ ≈ "
const std::string kDot = "\xC2\xB7";
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Rows, StudyAskTest,
    ::testing::Values(
        AskCase{"ParabolaAtOne",
                "x^2",
                {1.0f, {}, {}},
                {"Tangente " + kX0 + "1: y " + kAbout + "2" + kDot + "x " + kMinus + " 1"},
                {{1, 1, 2, 0}},
                false},
        AskCase{
            "CornerOfAnAbsoluteValue",
            "ABS(x-1)",
            {1.0f, {}, {}},
            {"Tangente " + kX0 + "1: non esiste, punto angoloso (pendenze " + kAbout + kMinus +
                 "1 da sinistra e " + kAbout + "1 da destra)",
             "Semitangente sinistra " + kX0 + "1: y " + kAbout + kMinus + "1" + kDot + "x + 1",
             "Semitangente destra " + kX0 + "1: y " + kAbout + "1" + kDot + "x " + kMinus + " 1"},
            {{1, 0, -1, -1}, {1, 0, 1, 1}},
            false},
        AskCase{"RootAtTheEndOfItsDomain",
                "SQR(x)",
                {0.0f, {}, {}},
                {"Tangente " + kX0 + "0: non esiste, f non \xC3\xA8 derivabile in x\xE2\x82\x80",
                 "Semitangente destra " + kX0 + "0: verticale, x " + kAbout + "0"},
                {{0, 0, kInf, 1}},
                false},
        AskCase{"NoValueAtAPole",
                "1/x",
                {0.0f, {}, {}},
                {"Tangente " + kX0 + "0: non esiste, f non ha valore in x\xE2\x82\x80"},
                {},
                false},
        AskCase{"IntegralOfTheParabola",
                "x^2",
                {{}, 0.0f, 3.0f},
                {"Integrale da 0 a 3 " + kAbout + "9 (", "Area da 0 a 3 " + kAbout + "9 ("},
                {},
                true},
        AskCase{"AreaCountsBothSidesOfTheAxis",
                "x^2-1",
                {{}, 0.0f, 2.0f},
                {"Integrale da 0 a 2 " + kAbout + "0.6667 (", "Area da 0 a 2 " + kAbout + "2 ("},
                {},
                true},
        AskCase{"PoleBetweenTheEndsIsRefused",
                "1/x",
                {{}, -1.0f, 1.0f},
                {"Integrale e area da " + std::string(kMinus) +
                 "1 a 1: non calcolati, asintoto verticale in x " + kAbout + "0"},
                {},
                false},
        AskCase{"TangentAndAreaTogether",
                "x^2",
                {1.0f, 0.0f, 3.0f},
                {"Tangente " + kX0 + "1: y " + kAbout + "2" + kDot + "x " + kMinus + " 1",
                 "Integrale da 0 a 3 " + kAbout + "9 (", "Area da 0 a 3 " + kAbout + "9 ("},
                {{1, 1, 2, 0}},
                true}),
    [](const auto& info) { return std::string(info.param.name); });

// The study in German and Slovene: the same lines in the same order with the same marks, none of
// them left in Italian, and the school's words for what the mathematics says of each formula.
struct LanguageCase {
  const char* name;
  const char* formula;
  StudyAsk ask;
  std::vector<std::string> german;
  std::vector<std::string> slovene;
};

class StudyLanguageTest : public ::testing::TestWithParam<LanguageCase> {};

// Words of the Italian lines that no German or Slovene line contains.
constexpr std::string_view kItalianWords[] = {
    "Zero",      "Asintot", "Massim",   "Minimo",   "Minimi",  "Fless",    "Segno",       "Limite",
    "rescente",  "Concava", "Schema",   "Interse",  "pendenz", "sinistra", "destra",      "esiste",
    "Lacuna",    "Punt",    "Funzione", " per ",    "x da ",   "nessun",   "Tangente in", "Semitan",
    "Integrale", "Area ",   "errore",   "calcolat", "valore",
};

TEST_P(StudyLanguageTest, EveryLineInTheChosenLanguage) {
  const LanguageCase& c = GetParam();
  const auto study = [&c](Language language) {
    StudyRequest request;
    request.state.currentFormula = c.formula;
    request.state.zoomValue.value = 50;  // x from -10 to 10
    request.ask = c.ask;
    request.language = language;
    return ComputeStudy(request);
  };
  const std::optional<StudyOutcome> italian = study(Language::Italian);
  ASSERT_TRUE(italian);
  for (const Language language : {Language::German, Language::Slovene}) {
    const std::optional<StudyOutcome> outcome = study(language);
    ASSERT_TRUE(outcome);
    std::string all;
    for (const StudyLine& line : outcome->lines) all += line.text + "\n";
    ASSERT_EQ(outcome->lines.size(), italian->lines.size()) << all;
    for (std::size_t i = 0; i < outcome->lines.size(); ++i) {
      const StudyLine& line = outcome->lines[i];
      EXPECT_NE(line.text, italian->lines[i].text);
      EXPECT_EQ(line.mark.has_value(), italian->lines[i].mark.has_value()) << line.text;
      for (const std::string_view word : kItalianWords) {
        EXPECT_EQ(line.text.find(word), std::string::npos) << word << " in: " << line.text;
      }
    }
    for (const std::string& text : language == Language::German ? c.german : c.slovene) {
      EXPECT_TRUE(HasLine(outcome->lines, text)) << text << "\n" << all;
    }
    const std::string heading = StudyHeading(c.formula, -10, 10, Catalogue(language));
    EXPECT_EQ(heading.find("Studio"), std::string::npos) << heading;
    EXPECT_NE(heading.find(c.formula), std::string::npos) << heading;
  }
}

const std::string kPlusInfinity = "+\xE2\x88\x9E";

INSTANTIATE_TEST_SUITE_P(
    Formulas, StudyLanguageTest,
    ::testing::Values(
        LanguageCase{
            "ParabolaWithTangentAndArea",
            "x^2-1",
            {1.0f, -1.0f, 1.0f},
            {"Nullstelle (Vorzeichenwechsel): x " + kAbout + "1",
             "Tiefpunkt (lokales Minimum): x " + kAbout + "0, y " + kAbout + kMinus + "1",
             "Gerade Funktion (achsensymmetrisch)",
             "Grenzwert f\xC3\xBCr x \xE2\x86\x92 " + kPlusInfinity + ": " + kPlusInfinity,
             "Tangente bei x\xE2\x82\x80 " + kAbout + "1: y " + kAbout + "2" + kDot + "x " +
                 kMinus + " 2"},
            {"Ni\xC4\x8Dla (sprememba predznaka): x " + kAbout + "1",
             "Lokalni minimum: x " + kAbout + "0, y " + kAbout + kMinus + "1", "Soda funkcija",
             "Konveksna za x od " + kAbout + kMinus + "10 do " + kAbout + "10"}},
        LanguageCase{"HyperbolaWithARefusedArea",
                     "1/x",
                     {{}, -1.0f, 1.0f},
                     {"Senkrechte Asymptote (Polstelle): x " + kAbout + "0",
                      "Integral und Fl\xC3\xA4"
                      "che von " +
                          std::string(kMinus) +
                          "1 bis 1: nicht berechnet, senkrechte Asymptote bei x " + kAbout + "0"},
                     {"Navpi\xC4\x8Dna asimptota (pol): x " + kAbout + "0", "Liha funkcija"}},
        LanguageCase{"CubicWithExtremaAndInflection",
                     "x^3-3*x",
                     {},
                     {"Hochpunkt (lokales Maximum): x " + kAbout + kMinus + "1, y " + kAbout + "2",
                      "Wendepunkt: x " + kAbout + "0, y " + kAbout + "0"},
                     {"Lokalni maksimum: x " + kAbout + kMinus + "1, y " + kAbout + "2",
                      "Prevoj: x " + kAbout + "0, y " + kAbout + "0"}},
        LanguageCase{"CornerWithHalfTangents", "ABS(x-1)-x^2/100", {1.0f, {}, {}}, {}, {}},
        LanguageCase{"LogarithmWithAGap", "LN(x)", {0.0f, {}, {}}, {}, {}},
        LanguageCase{"ExponentialWithAHorizontalAsymptote", "EXP(x)", {}, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace funzioni
