// Worksheet links: what a state writes reads back as the same state, and every malformed or
// hostile text is refused whole.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "state/Worksheet.h"

namespace funzioni {
namespace {

Worksheet Decoded(std::string_view text) {
  const WorksheetReading reading = DecodeWorksheet(text);
  EXPECT_TRUE(reading.sheet.has_value()) << text << " fault " << static_cast<int>(reading.fault);
  return reading.sheet.value_or(Worksheet());
}

TEST(Worksheet, RoundTrips) {
  struct Row {
    const char* name;
    Worksheet sheet;
  };
  std::vector<Row> rows;
  rows.push_back({"the start state", Worksheet()});
  {
    Worksheet s;
    s.formula = "x^3-k*x+9";
    s.parameters[3].value = 2.3f;  // k
    rows.push_back({"a parameter's value", s});
  }
  {
    Worksheet s;
    s.formula = "(a*x^3+b)/x^2";
    s.parameters[0] = {-2.5f, 4.0f, 1.0f, 1.0f, 0.25f};
    s.parameters[1] = {0.0f, 1e6f, 1e6f, 1.0f, 0.5f};
    s.kept = {"x", "2*x+b", "SIN(x) 'a comment"};
    rows.push_back({"ends, steps and kept formulas", s});
  }
  {
    Worksheet s;
    s.formula = "LN(x)+\xC3\xA8 %&=#+ ";  // every byte that must be escaped
    s.zoom = 3.7f;
    s.step = 250.0f;
    s.view = PlotView{-0.1, 1e-7, -12345.678, 1e6};
    s.curveOn = {};
    s.curveOn[1] = 1;
    s.curveOn[10] = 1;
    rows.push_back({"meters, a moved view, other switches, odd bytes", s});
  }
  {
    Worksheet s;
    s.curveOn = {};
    rows.push_back({"no curve on", s});
  }
  for (const Row& row : rows) {
    const std::string text = EncodeWorksheet(row.sheet);
    EXPECT_EQ(text.rfind("#f=", 0), 0u) << row.name;
    // Safe in an address and in a shell's double quotes: nothing there needs quoting.
    EXPECT_EQ(text.find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~*,()!%&=", 1),
              std::string::npos)
        << row.name << ": " << text;
    EXPECT_TRUE(Decoded(text) == row.sheet) << row.name << ": " << text;
    // As part of a whole address, with blanks around it as a paste may bring.
    EXPECT_TRUE(Decoded("  https://scuola.example/funzioni.html" + text + "\r\n") == row.sheet)
        << row.name;
  }
}

TEST(Worksheet, StateWrittenAsASheet) {
  PlotState state;
  state.typedFormula = "x^3-k*x+9";
  state.keptFormulas = {"a*x"};
  state.formulaParams[3].value = 3.0f;  // k, used by the typed formula
  state.formulaParams[0].value = 2.0f;  // a, used by a kept one
  state.formulaParams[5].value = 7.0f;  // n, used by none: not written
  state.zoomValue.value = 20.0f;
  state.view = PlotView{-1, 3, -2, 2};
  EXPECT_EQ(EncodeWorksheet(WorksheetOfState(state)),
            "#f=x%5E3-k*x%2B9&keep=a*x&a=2&k=3&zoom=20&view=-1,3,-2,2");
}

TEST(Worksheet, HandWrittenSheets) {
  const Worksheet sheet = Decoded("#f=x%5E3-k*x%2B9&k=2&keep=x%2B2&lang=de&on=&step=10");
  EXPECT_EQ(sheet.formula, "x^3-k*x+9");
  EXPECT_EQ(sheet.parameters[3].value, 2.0f);
  EXPECT_EQ(sheet.parameters[3].resetValue, 1.0f);
  EXPECT_EQ(sheet.kept, std::vector<std::string>{"x+2"});
  EXPECT_EQ(sheet.step, 10.0f);
  EXPECT_EQ(sheet.curveOn[3], 0);
  // A "+" written as it is stays a plus, as browsers leave it in an address.
  EXPECT_EQ(Decoded("#f=x+1&k=-0.5").formula, "x+1");
  // A reset value outside narrower ends comes inside them, as the ends' own menu does it.
  EXPECT_EQ(Decoded("#f=k&k=3,2,4,0.5").parameters[3].resetValue, 2.0f);
  EXPECT_TRUE(Decoded("#f=") == Worksheet());
}

TEST(Worksheet, RefusedWhole) {
  struct Row {
    const char* name;
    std::string text;
    WorksheetFault fault;
    const char* key;
  };
  using enum WorksheetFault;
  const std::string six = "&keep=1&keep=2&keep=3&keep=4&keep=5&keep=6";
  const std::vector<Row> rows = {
      {"a formula", "x^2+1", NoFragment, ""},
      {"no formula", "#k=2", NoFormula, ""},
      {"empty fragment", "#", BadField, ""},
      {"trailing &", "#f=x&", BadField, ""},
      {"field without =", "#f=x&zoom", BadField, ""},
      {"empty key", "#f=x&=2", BadField, ""},
      {"broken escape", "#f=x%2", BadField, "f"},
      {"escape not hex", "#f=x%G1", BadField, "f"},
      {"a raw blank", "#f=x +1", BadField, "f"},
      {"a second #", "#f=x#k=1", BadField, "f"},
      {"unknown key", "#f=x&d=1", UnknownKey, ""},
      {"unknown long key, not echoed", "#f=x&<script>=1", UnknownKey, ""},
      {"upper-case letter", "#f=x&K=1", UnknownKey, ""},
      {"formula twice", "#f=x&f=x^2", RepeatedKey, "f"},
      {"parameter twice", "#f=k&k=1&k=2", RepeatedKey, "k"},
      {"a line break in the formula", "#f=x%0D%0Ax", BadText, "f"},
      {"a NUL in the formula", "#f=x%00", BadText, "f"},
      {"a blank kept formula", "#f=x&keep=%20", BadText, "keep"},
      {"a kept formula twice", "#f=x&keep=x&keep=x", BadText, "keep"},
      {"six kept", "#f=x" + six, TooManyKept, "keep"},
      {"unknown language", "#f=x&lang=fr", BadText, "lang"},
      {"not a number", "#f=k&k=due", BadNumber, "k"},
      {"infinite", "#f=k&k=inf", BadNumber, "k"},
      {"not a number at all", "#f=k&k=nan", BadNumber, "k"},
      {"past a float", "#f=k&k=1,-1e39,1e39,1", BadNumber, "k"},
      {"value outside the default ends", "#f=k&k=11", BadNumber, "k"},
      {"value outside its ends", "#f=k&k=5,0,4,1", BadNumber, "k"},
      {"ends upside down", "#f=k&k=1,4,0,1", BadNumber, "k"},
      {"no step", "#f=k&k=1,0,4,0", BadNumber, "k"},
      {"three numbers", "#f=k&k=1,0,4", BadNumber, "k"},
      {"five numbers", "#f=k&k=1,0,4,1,1", BadNumber, "k"},
      {"a plus sign", "#f=k&k=%2B1", BadNumber, "k"},
      {"trailing text", "#f=k&k=1x", BadNumber, "k"},
      {"zoom below its meter", "#f=x&zoom=0.5", BadNumber, "zoom"},
      {"zoom far too large", "#f=x&zoom=1e7", BadNumber, "zoom"},
      {"step empty", "#f=x&step=", BadNumber, "step"},
      {"view with x reversed", "#f=x&view=1,-1,-1,1", BadNumber, "view"},
      {"view with a flat y", "#f=x&view=-1,1,2,2", BadNumber, "view"},
      {"view of three numbers", "#f=x&view=-1,1,2", BadNumber, "view"},
      {"view with a hole", "#f=x&view=-1,,2,3", BadNumber, "view"},
      {"curve 0", "#f=x&on=0", BadNumber, "on"},
      {"curve 11", "#f=x&on=11", BadNumber, "on"},
      {"curve twice", "#f=x&on=2,2", BadNumber, "on"},
      {"curves with a trailing comma", "#f=x&on=2,", BadNumber, "on"},
      {"too long", "#f=" + std::string(kMaxWorksheetBytes, 'x'), TooLong, ""},
  };
  for (const Row& row : rows) {
    const WorksheetReading reading = DecodeWorksheet(row.text);
    EXPECT_FALSE(reading.sheet.has_value()) << row.name;
    EXPECT_EQ(reading.fault, row.fault) << row.name;
    EXPECT_EQ(reading.key, row.key) << row.name;
  }
}

TEST(Worksheet, OnlyTextsWithAHashAreSheets) {
  // The formula language has no "#": a text with one is never a formula the window would draw.
  for (const char* formula : {"x^2", "SIN(x)*k", "(a*x^3+b)/x^2 'commento", ""}) {
    EXPECT_FALSE(LooksLikeWorksheet(formula)) << formula;
  }
  EXPECT_TRUE(LooksLikeWorksheet("#f=x"));
  EXPECT_TRUE(LooksLikeWorksheet("funzioni.html#f=x"));
}

}  // namespace
}  // namespace funzioni
