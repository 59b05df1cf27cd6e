#include "drawing/TextRules.h"

#include <gtest/gtest.h>

namespace funzioni {
namespace {

// A history line is UTF-8 or, brought over from Windows, in its code page: either way it must
// read the same when it joins UTF-8 text.
TEST(TextRulesTest, Utf8OfKeepsUtf8AndConvertsTheWindowsCodePage) {
  struct Row {
    const char* name;
    std::string bytes;
    std::string utf8;
  };
  const Row kRows[] = {
      {"ascii", "SIN(x)*x^2", "SIN(x)*x^2"},
      {"already utf-8", "pi\xC3\xB9 \xE2\x88\x92", "pi\xC3\xB9 \xE2\x88\x92"},
      {"latin-1 letter", "x ' pi\xF9", "x ' pi\xC3\xB9"},
      {"windows extras", "\x80 \x93x\x94", "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D"},
      {"one invalid byte makes the line single-byte", "\xC3\xB9\xF9", "\xC3\x83\xC2\xB9\xC3\xB9"},
      {"empty", "", ""},
  };
  for (const Row& row : kRows) {
    EXPECT_EQ(Utf8Of(row.bytes), row.utf8) << row.name;
    EXPECT_EQ(DecodeCodePoints(Utf8Of(row.bytes)), DecodeCodePoints(row.bytes)) << row.name;
  }
}

}  // namespace
}  // namespace funzioni
