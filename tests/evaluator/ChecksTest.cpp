// Normalisation of the typed text, the character-level checks with their messages, the class
// string, the preparation for the engine and the language tables.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "EvaluatorCases.h"
#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/LanguageTables.h"
#include "evaluator/TextClasses.h"

namespace funzioni::testing {
namespace {

TEST(LanguageTables, NameListAndFunctionTable) {
  InitEvaluatorTables();
  const auto& names = NameList();
  EXPECT_EQ(names[1], "ARCSINH");
  EXPECT_EQ(names[24], "LN");
  EXPECT_EQ(names[29], "LOG10");
  EXPECT_EQ(names[32], "LOG");
  EXPECT_EQ(names[33], "AND - Logical AND");
  EXPECT_EQ(names[45], "SGN");
  EXPECT_EQ(names[46], "PI# - Constant (3.14159..)");
  EXPECT_EQ(names[47], "E# - Constant (2.71828..)");
  EXPECT_EQ(ReferenceList()[1], "ARCSINH() - Arc (Inverse) Hyperbolic Sine");
  const auto& codes = FunctionTable();
  EXPECT_EQ(codes[1], "ARCSINH");
  EXPECT_EQ(codes[24], "LOG");
  EXPECT_EQ(codes[27], "CLG");
  EXPECT_EQ(codes[29], "TLG");
  EXPECT_EQ(codes[34], "ETO");
  EXPECT_EQ(codes[35], "ETE");
  EXPECT_EQ(IllegalPairs.size(), 78U);
}

TEST(Normalisation, CaseBlanksAndEmptyParentheses) {
  const TextCase cases[] = {
      {"sin(30)", " .5"},
      {"SIN(30)", " .5"},
      {"s i n ( 3 0 )", " .5"},
      {"  2 +   3  ", " 5"},
      {"Pi#", " 3.14159274101257324"},
      {"e#", " 2.71828174591064453"},
      {"2()+3", " 5"},  // "()" disappears before the checks
      // One pass without overlaps, after the blanks are gone: a pair that the removal forms
      // stays, and a "(" taken away with its ")" closes nothing else.
      {"()()1", " 1"},
      {"(()2)", " 2"},
      {"( 3 ) ( ) * 2", " 6"},
      {"2+( ( ) )", std::string_view("   Error in Expression: Illegal character sequence: ()  "
                                     "Please correct. ")},
      {"(()))(", std::string_view("   Error in Expression: Illegal character sequence: ()  "
                                  "Please correct. ")},
  };
  ExpectResults(cases);
}

TEST(Checks, Messages) {
  const MessageCase cases[] = {
      {"", "Empty expression! - You need to enter an expression."},
      {"    ", "Empty expression! - You need to enter an expression."},
      {"()", "Empty expression! - You need to enter an expression."},
      // Only the blank is removed: other white space is refused.
      {"SIN(\t30)", "Cannot understand this: \t Please correct. "},
      {"2Y+1", "Cannot understand this: Y Please correct. "},
      {"AB2C", "Cannot understand this: AB2C Please correct. "},
      {"X", "Cannot understand this: X Please correct. "},
      {"COSH(1)", "Cannot understand this: H Please correct. "},
      {"CLG(100)", "Cannot understand this: CLG Please correct. "},
      {"1:2", "Cannot understand this: : Please correct. "},
      {"1,5", "Cannot understand this: , Please correct. "},
      {"2#", "Cannot understand this: # Please correct. "},
      // The names removed in list order join "CO" and "S" into COS, which the class string
      // does not know.
      {"COSINS(30)", "Illegal character: C  Please correct. "},
      {"SIN30", "Illegal character sequence: N3  Please correct. "},
      {"SIN()", "Illegal last character: N  Please correct. "},
      {"(())", "Illegal character sequence: ()  Please correct. "},
      {"2..5", "Illegal character sequence: ..  Please correct. "},
      {"5..1+(2)3", "Illegal character sequence: )3  Please correct. "},
      {")2+3(", "Illegal character sequence: )2  Please correct. "},
      {"2(3)", "Illegal character sequence: 2(  Please correct. "},
      {"3!2", "Illegal character sequence: !2  Please correct. "},
      {"1AND-1", "Illegal character sequence: D-  Please correct. "},
      {"1E*2", "Illegal character sequence: E*  Please correct. "},
      {"5+", "Illegal last character: +  Please correct. "},
      {"2E", "Illegal last character: E  Please correct. "},
      {"5AND", "Illegal last character: D  Please correct. "},
      {"2*--3", "Illegal character sequence: *--  Please correct. "},
      {"2^-+3", "Illegal character sequence: ^-+  Please correct. "},
      {"(2+3", "Parentheses mismatch"},
      {"(5))(", "Parentheses mismatch"},
  };
  ExpectMessages(cases);
}

TEST(Checks, PassingTexts) {
  const TextCase cases[] = {
      {"2--3", " 5"},
      {"2*-3", "-6"},
      {"2PI#", " 23.1415920257568359"},  // a constant after a digit joins it
      {"LOG10(100)", " 2"},
      {"EXP(x)", "   Error in Expression: Cannot understand this: X Please correct. "},
      {"FIX(2.5)", " 2"},
  };
  ExpectResults(cases);
}

TEST(Checks, ClassStringAndPreparedForm) {
  struct Case {
    std::string_view expression;
    std::string_view classes;
    std::string_view prepared;
  };
  const Case cases[] = {
      {"SIN(2.5E3)-PI#", "FFF(#.#E#)+#.#", "SIN(2.5E3)-3.14159265358979324"},
      {"LN(E#)/2^3!", "FF(##)*#*#!", "LOG(2.71828182845904524)/2^3!"},
      {"LOG10(1)+LOG2(2)", "FFFFF(#)+FFFF(#)", "CLG(1)+TLG(2)"},
      {"EXP10(1)*EXP2(1)\\EXP(1)", "FFFFF(#)*FFFF(#)*FFF(#)", "ETE(1)*ETO(1)\\EXP(1)"},
      {"1AND2>=3", "#LLL#>=#",
       "1\x11"
       "2>=3"},
  };
  for (const Case& c : cases) {
    ExpressionEvaluator evaluator;
    std::string text(c.expression);
    ASSERT_TRUE(evaluator.ValidateExpression(text)) << evaluator.ErrorMessage();
    EXPECT_EQ(evaluator.ClassString(), c.classes) << c.expression;
    EXPECT_EQ(text, c.prepared) << c.expression;
    EXPECT_EQ(evaluator.ValidateFlag(), 0);
  }
}

// Most formulas are classified in one pass; the general classification, name by name, must give
// the very same classes (and neighbour faults) for every text that the one-pass way accepts, and
// refuse none of them.
// The texts mix the pieces where the two could part: names inside names, names not followed by
// "(", digits after names, operator words, constants, exponent letters and stray letters.
TEST(Checks, OnePassClassesAgreeWithTheGeneralClassification) {
  std::vector<std::string> pieces = {
      "0", "1", "2", "10", ".",   "+",  "-", "*", "/", "\\",  "^",  "!", "(", ")",  "(", "(",   "<",
      ">", "=", "E", "D",  "PI#", "E#", "#", "X", "F", "RAC", "IX", "H", " ", "\t", "x", "\x11"};
  for (std::string_view name : NameList()) {
    if (name.empty()) continue;
    const std::string bare(name.substr(0, name.find(' ')));
    pieces.push_back(bare);
    pieces.push_back(bare + "(");
    pieces.push_back(bare + "(");
  }
  std::mt19937 random(2024);
  std::string plainClasses;
  std::string generalClasses;
  detail::ClassWork work;
  std::string message;
  int plainTexts = 0;
  for (int i = 0; i < 200000; ++i) {
    std::string text;
    const int count = 1 + static_cast<int>(random() % 8);
    for (int k = 0; k < count; ++k) text += pieces[random() % pieces.size()];
    std::uint32_t letters = 0;
    detail::NeighbourFaults faults;
    if (!detail::ClassifyPlainText(text, plainClasses, letters, faults)) continue;
    ++plainTexts;
    ASSERT_EQ(letters, detail::LetterMask(text)) << text;
    ASSERT_TRUE(detail::ClassifyAnyText(text, letters, generalClasses, work, message))
        << text << ": " << message;
    ASSERT_EQ(plainClasses, generalClasses) << text;
    ASSERT_TRUE(work.words.empty()) << text;
    ASSERT_TRUE(faults == detail::FindNeighbourFaults(generalClasses)) << text;
  }
  EXPECT_GT(plainTexts, 20000);  // the one-pass way was really tried
}

TEST(Checks, StateAfterSuccessAndFailure) {
  ExpressionEvaluator evaluator;
  EXPECT_EQ(evaluator.EvaluateExpressionText("1/0"), std::string(kError) + "Division by zero");
  EXPECT_EQ(evaluator.ErrorMessage(), "Division by zero");
  EXPECT_EQ(evaluator.ErrorText(), std::string(kError) + "Division by zero");
  EXPECT_EQ(evaluator.EvaluateExpressionText("2+2"), " 4");
  EXPECT_EQ(evaluator.ErrorText(), "");
  EXPECT_EQ(evaluator.ErrorMessage(), "Division by zero");  // the last failure's text stays
  EXPECT_EQ(evaluator.DegreesFlag(), 1);
  EXPECT_EQ(evaluator.ValidateFlag(), 0);
}

}  // namespace
}  // namespace funzioni::testing
