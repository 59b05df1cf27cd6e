// The results table read back from its list lines and written for a spreadsheet.

#include <gtest/gtest.h>

#include "app/TableText.h"

namespace funzioni {
namespace {

TEST(TableText, TitleRowsAndSeparatorsForEachNumberFormat) {
  const std::vector<std::string> lines = {"a.x+b               ", " ", "-10.0 ;-9.0", " 0 ; nan",
                                          " 12.5 ; 1234.5"};
  const ResultsTableContent table = ReadResultsTable(lines);
  EXPECT_EQ(table.title, "a.x+b");
  struct Case {
    std::string_view separator;
    std::string text;
    std::string csv;
  };
  const Case cases[] = {
      {",", "a.x+b\n-10,0\t-9,0\n0\tnan\n12,5\t1234,5\n",
       "a.x+b\r\n-10,0;-9,0\r\n0;nan\r\n12,5;1234,5\r\n"},
      {".", "a.x+b\n-10.0\t-9.0\n0\tnan\n12.5\t1234.5\n",
       "a.x+b\r\n-10.0,-9.0\r\n0,nan\r\n12.5,1234.5\r\n"},
      {"\xD9\xAB",
       "a.x+b\n-10\xD9\xAB"
       "0\t-9\xD9\xAB"
       "0\n0\tnan\n12\xD9\xAB"
       "5\t1234\xD9\xAB"
       "5\n",
       "a.x+b\r\n-10\xD9\xAB"
       "0,-9\xD9\xAB"
       "0\r\n0,nan\r\n12\xD9\xAB"
       "5,1234\xD9\xAB"
       "5\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TableClipboardText(table, c.separator), c.text) << c.separator;
    EXPECT_EQ(TableCsv(table, c.separator), c.csv) << c.separator;
  }
}

TEST(TableText, CsvQuotesATitleThatHoldsTheSeparatorOrQuotes) {
  const std::vector<std::string> cases[] = {{"MAX(x;1)", " "}, {"x \"a\", 2", " "}};
  EXPECT_EQ(TableCsv(ReadResultsTable(cases[0]), ","), "\"MAX(x;1)\"\r\n");
  EXPECT_EQ(TableCsv(ReadResultsTable(cases[0]), "."), "MAX(x;1)\r\n");
  EXPECT_EQ(TableCsv(ReadResultsTable(cases[1]), "."), "\"x \"\"a\"\", 2\"\r\n");
}

TEST(TableText, AnEmptyTableGivesNothingAndATitleAloneGivesItsLine) {
  EXPECT_EQ(TableClipboardText(ReadResultsTable({}), ","), "");
  EXPECT_EQ(TableCsv(ReadResultsTable({}), ","), "");
  const std::vector<std::string> titleOnly = {"1/0", " "};
  EXPECT_EQ(TableClipboardText(ReadResultsTable(titleOnly), ","), "1/0\n");
}

}  // namespace
}  // namespace funzioni
