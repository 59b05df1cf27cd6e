#include "state/FormulaParameters.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/NumberText.h"

namespace funzioni {
namespace {

struct LettersCase {
  std::string_view name;
  std::string_view formula;
  std::string_view letters;
};

// Which letters are parameters: alone, not joined to a name, a number or x.
constexpr LettersCase kLettersCases[] = {
    {"cubic family", "x^3-k*x+9", "k"},
    {"function word", "EXP(x)", ""},
    {"argument", "ABS(a)", "a"},
    {"lower-case function", "abs(x)", ""},
    {"after a digit", "2k", ""},
    {"before a point", "k.5", ""},
    {"after a point", "2.k", ""},
    {"before a digit", "k2", ""},
    {"word with n", "ATN(x)", ""},
    {"next to x", "kx", ""},
    {"two letters", "ab", ""},
    {"every letter once", "(a*x^2+b)/(c*x+n)-m*k", "abckmn"},
    {"repeated", "k*x+k", "k"},
    {"blanks between", "k * x", "k"},
    {"blank-split word", "s i n(x)", ""},
    {"blank-split mod", "7 m o d 2", ""},
    {"empty pair joins a word", "a()bs(x)", ""},
    {"empty pair spaced", "a ( ) bs(x)", ""},
    {"pair kept after the first", "k(())", "k"},
    {"blanks inside the pair", "a (   ) bs(x)", ""},
    {"pair closing after a pair", "k( ( ) )", "k"},
    {"open bracket last", "k(", "k"},
    {"blanks only", "   ", ""},
    {"not a parameter", "d*x+e", ""},
    {"upper case", "K*x", ""},
    {"after a constant", "PI#*k", "k"},
    {"exponent letter", "1e5*x", ""},
    {"alone", "m", "m"},
    {"empty", "", ""},
};

class FormulaParameterLettersTest : public ::testing::TestWithParam<LettersCase> {};

TEST_P(FormulaParameterLettersTest, FindsTheLettersThatStandAlone) {
  EXPECT_EQ(FormulaParameterLetters(GetParam().formula), GetParam().letters);
}

INSTANTIATE_TEST_SUITE_P(Rows, FormulaParameterLettersTest, ::testing::ValuesIn(kLettersCases),
                         [](const auto& info) {
                           std::string name(info.param.name);
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

FormulaParameterTexts TextsOf(std::initializer_list<std::pair<char, float>> values) {
  FormulaParameterTexts texts;
  for (const auto& [letter, value] : values)
    texts[*FormulaParameterIndex(letter)] = XValueText(value);
  return texts;
}

struct SubstituteCase {
  std::string_view formula;
  std::string_view substituted;
};

TEST(FormulaParameters, PutsEachValueInPlaceAsXsValueIsPut) {
  const FormulaParameterTexts texts = TextsOf({{'k', 2.0f}, {'a', -0.5f}, {'b', 1.5f}});
  constexpr SubstituteCase kCases[] = {
      {"x^3-k*x+9", "x^3- 2*x+9"},
      // A negative value keeps its sign against the one before it, as x's does ("--.5").
      {"-a*x", "--.5*x"},
      {"ABS(a)+b", "ABS(-.5)+ 1.5"},
      {"k * k", " 2 *  2"},
      // A letter without a value stays as typed (the evaluator then refuses it).
      {"c+k", "c+ 2"},
      {"abs(x)+k2", "abs(x)+k2"},
      {"x^2", "x^2"},
  };
  for (const SubstituteCase& c : kCases) {
    EXPECT_EQ(SubstituteFormulaParameters(c.formula, texts), c.substituted) << c.formula;
  }
}

TEST(FormulaParameters, SubstitutedFamilyEvaluatesAsTheWrittenValue) {
  ExpressionEvaluator evaluator;
  const FormulaParameterTexts texts = TextsOf({{'k', -3.0f}});
  // -x^3 + k*x + 9 at x = 2, k = -3: -8 - 6 + 9 = -5.
  const std::string formula = SubstituteFormulaParameters("-x^3+k*x+9", texts);
  EXPECT_EQ(evaluator.EvaluateExpressionText(SubstituteX(formula, 2.0f)), "-5");
  EXPECT_EQ(evaluator.EvaluateExpressionText(SubstituteX("-x^3+-3*x+9", 2.0f)), "-5");
}

// Every string literal of a C++ source (escapes \\ \" \' \n \r \t \0 and \xHH), a rough reader
// that is enough for the evaluator's test tables.
std::vector<std::string> StringLiterals(const std::string& source) {
  std::vector<std::string> literals;
  for (std::size_t i = 0; i < source.size(); ++i) {
    if (source[i] == '\'' && i + 2 < source.size()) {
      i += source[i + 1] == '\\' ? 3 : 2;  // a character literal, '"' among them
      continue;
    }
    if (source[i] != '"') continue;
    std::string literal;
    for (++i; i < source.size() && source[i] != '"' && source[i] != '\n'; ++i) {
      if (source[i] != '\\' || i + 1 >= source.size()) {
        literal.push_back(source[i]);
        continue;
      }
      const char e = source[++i];
      if (e == 'x') {
        std::size_t used = 0;
        literal.push_back(static_cast<char>(std::stoi(source.substr(i + 1, 2), &used, 16)));
        i += used;
      } else {
        literal.push_back(e == 'n'   ? '\n'
                          : e == 'r' ? '\r'
                          : e == 't' ? '\t'
                          : e == '0' ? '\0'
                                     : e);
      }
    }
    literals.push_back(literal);
  }
  return literals;
}

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The evaluator's test tables and the fuzzer's seed formulas.
std::vector<std::string> EvaluatorCorpus() {
  const std::filesystem::path root(FUNZIONI_SOURCE_DIR);
  std::vector<std::string> corpus;
  for (const auto& entry : std::filesystem::directory_iterator(root / "tests" / "evaluator")) {
    if (entry.path().extension() != ".cpp") continue;
    for (std::string& literal : StringLiterals(ReadWhole(entry.path()))) {
      corpus.push_back(std::move(literal));
    }
  }
  for (const std::string_view seeds : {"evaluate", "substitute", "plan"}) {
    for (const auto& entry :
         std::filesystem::directory_iterator(root / "fuzz" / "corpus" / seeds)) {
      corpus.push_back(ReadWhole(entry.path()));
    }
  }
  return corpus;
}

bool Accepted(ExpressionEvaluator& evaluator, std::string_view formula) {
  for (const float x : {1.5f, -0.7f, 2.0f, 0.0f}) {
    const std::string result = evaluator.EvaluateExpressionText(SubstituteX(formula, x));
    if (result.find("Error") == std::string::npos) return true;
  }
  return false;
}

TEST(FormulaParameters, EveryFormulaOfTheEvaluatorsCorpusKeepsItsBytes) {
  const std::vector<std::string> corpus = EvaluatorCorpus();
  ASSERT_GT(corpus.size(), 1000u);
  ExpressionEvaluator evaluator;
  FormulaParameterTexts texts;
  texts.fill(" 7");
  int accepted = 0;
  for (const std::string& formula : corpus) {
    if (formula.size() > 4096) continue;  // the hostile megabyte texts say nothing more here
    const bool hasLetters = !FormulaParameterLetters(formula).empty();
    if (!hasLetters) {
      EXPECT_EQ(SubstituteFormulaParameters(formula, texts), formula);
    }
    if (!Accepted(evaluator, formula)) continue;
    ++accepted;
    EXPECT_FALSE(hasLetters) << "accepted today, yet has parameters: " << formula;
  }
  EXPECT_GT(accepted, 300);
}

// Every text of up to four pieces: wherever a letter stands alone, the evaluator refuses the text
// as typed, so giving it a value takes no meaning away.
TEST(FormulaParameters, ALetterStandsAloneOnlyInTextsTheEvaluatorRefuses) {
  constexpr std::string_view kPieces[] = {"k", "a", "n", "c",  "bs",  "AT", "SI", "(", ")",  "()",
                                          " ", "1", ".", "E#", "PI#", "*",  "-",  "x", "NOT"};
  ExpressionEvaluator evaluator;
  std::vector<std::string> texts{""};
  int withLetters = 0;
  for (int length = 1; length <= 4; ++length) {
    std::vector<std::string> longer;
    for (const std::string& text : texts) {
      for (const std::string_view piece : kPieces) longer.push_back(text + std::string(piece));
    }
    for (const std::string& text : longer) {
      if (FormulaParameterLetters(text).empty()) continue;
      ++withLetters;
      const std::string result = evaluator.EvaluateExpressionText(SubstituteX(text, 1.5f));
      EXPECT_NE(result.find("Error"), std::string::npos) << "accepted: " << text;
    }
    texts = std::move(longer);
  }
  EXPECT_GT(withLetters, 10000);
}

// A formula of 100,000 characters (the formula box holds that many) is read whole: every letter
// that stands alone is found where it stands, up to the last, and substituted in place.
TEST(FormulaParameters, ALongFormulaIsReadToItsEnd) {
  constexpr std::string_view kPiece = "k * ( ) x+a()b+";
  constexpr std::size_t kPieces = 100000 / kPiece.size();
  std::string formula;
  for (std::size_t i = 0; i < kPieces; ++i) formula += kPiece;
  formula += "m";
  const std::vector<std::size_t> places = FormulaParameterPlaces(formula);
  ASSERT_EQ(places.size(), kPieces + 1);
  for (std::size_t i = 0; i < kPieces; ++i) EXPECT_EQ(places[i], i * kPiece.size());
  EXPECT_EQ(places.back(), formula.size() - 1);
  EXPECT_EQ(FormulaParameterLetters(formula), "km");
  const FormulaParameterTexts texts = TextsOf({{'m', 2.0f}});
  EXPECT_EQ(SubstituteFormulaParameters(formula, texts),
            formula.substr(0, formula.size() - 1) + " 2");
}

}  // namespace
}  // namespace funzioni
