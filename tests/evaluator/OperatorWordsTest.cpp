// Operator words and comparisons: MOD between "\" and "+"/"-", then comparisons, then the
// prefix words NOT, ISTRUE, ISFALSE, then AND, OR, XOR, EQV and IMP. True is -1, false 0.
#include <gtest/gtest.h>

#include "EvaluatorCases.h"

namespace funzioni::testing {
namespace {

TEST(OperatorWords, Modulo) {
  const TextCase cases[] = {
      {"5 MOD 3", " 2"},
      {"-7 MOD 3", "-1"},  // the sign of the left operand
      {"7 MOD (-3)", " 1"},
      {"7.5 MOD 2", " 0"},  // operands rounded to whole numbers, ties to even: 8 MOD 2
      {"2+7 MOD 3", " 3"},  // MOD binds more tightly than "+"
      {"2*7 MOD 3", " 2"},  // and less tightly than "*"
      {"3 MOD 2^2", " 3"},
      {"10 MOD 3 MOD 2", " 1"},
  };
  ExpectResults(cases);
  const MessageCase messages[] = {
      {"7 MOD 0", "Integer Division by zero"},
      {"7 MOD 0.4", "Integer Division by zero"},
      {"MOD 5", "Invalid left argument"},
  };
  ExpectMessages(messages);
}

TEST(OperatorWords, Comparisons) {
  const TextCase cases[] = {
      {"1=1", "-1"},
      {"1<>1", " 0"},
      {"1><2", "-1"},
      {"1<2", "-1"},
      {"2<1", " 0"},
      {"2>1", "-1"},
      {"1<=1", "-1"},
      {"1=<0", " 0"},
      {"1>=2", " 0"},
      {"2=>2", "-1"},
      {"1+1=2", "-1"},  // after "+" and "-"
      {"1=1+1", " 0"},
      {"2>-3", "-1"},
      {"1=+1", "-1"},  // a sign after a comparison is no
                       // operator
      {"-1=-1", "-1"},
      {"(1=1)*5", "-5"},
      {"1<2<3", "-1"},  // from left to right: (-1) < 3
  };
  ExpectResults(cases);
}

TEST(OperatorWords, PrefixWords) {
  const TextCase cases[] = {
      {"NOT 0", "-1"},        {"NOT 5", "-6"},     {"NOT NOT 0", " 0"},
      {"NOT 2.5", "-3"},      {"ISTRUE 5", "-1"},  {"ISTRUE 0", " 0"},
      {"ISFALSE 0", "-1"},    {"ISFALSE 5", " 0"}, {"NOT 1 = 2", "-1"},  // NOT (1 = 2)
      {"NOT ISTRUE 5", " 0"}, {"-NOT 0", " 1"},    {"ISTRUE(1-1)", " 0"},
  };
  ExpectResults(cases);
}

TEST(OperatorWords, LogicalWordsAndTheirOrder) {
  const TextCase
      cases[] =
          {
              {"5 AND 3", " 1"},      {"5 OR 3", " 7"},
              {"5 XOR 3", " 6"},      {"5 EQV 3", "-7"},
              {"5 IMP 3", "-5"},      {"1 OR 2 AND 4", " 1"},  // AND before OR
              {"1 XOR 3 OR 2", " 2"},                          // OR before XOR
              {"1<2 AND 2<3", "-1"},  {"NOT 1 AND 0", " 0"},
              {"2*3 EQV 6", "-1"},  // the "E" of EQV is not an exponent letter of the 3
              {"1 AND (-1)", " 1"},   {"1 AND 2 AND 3", " 0"},
              {"-1 IMP 0", " 0"},
          };
  ExpectResults(cases);
  const MessageCase messages[] = {
      {"AND 1", "Invalid left argument"},
      {"1 AND", "Illegal last character: D  Please correct. "},
  };
  ExpectMessages(messages);
}

TEST(OperatorWords, NoEffectWithoutThem) {
  // Names that contain the letters of operator words are still functions.
  const TextCase cases[] = {
      {"COS(0)", " 1"},
      {"ARCCOSH(1)", " 0"},
      {"FRAC(2.5)+ABS(-1)", " 1.5"},
      {"1E2+1D1", " 110"},
  };
  ExpectResults(cases);
}

}  // namespace
}  // namespace funzioni::testing
