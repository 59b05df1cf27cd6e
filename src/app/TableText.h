#pragma once

// The results table as it leaves the window: as text to paste into a spreadsheet, and as CSV.
// Both carry the table's title and then one row per line, with x and y written in the desktop's
// number format so that a spreadsheet takes them as numbers.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace funzioni {

struct ResultsTableRow {
  std::string x;  // as the table shows it, without the blank that stands for a plus sign
  std::string y;
  std::string slope;  // f'(x) written the same way, when the table carries that column
};

struct ResultsTableContent {
  std::string title;  // without the blanks that pad a built-in function's name
  std::vector<ResultsTableRow> rows;
  bool empty = true;         // the table has never been filled
  std::string slopeHeading;  // set when the rows carry f'(x): its column's heading
};

// Reads the table back from the lines of the list: the title, a blank line, then "x ;y" rows.
ResultsTableContent ReadResultsTable(std::span<const std::string> lines);

// The title line, then "x<TAB>y" lines, each ended by LF (with f'(x), "<TAB><TAB>f'(x)" after the
// title and "<TAB>slope" after each row, empty where it is unknown); the decimal point of the
// numbers is replaced by the given separator. Empty for an empty table.
std::string TableClipboardText(const ResultsTableContent& table, std::string_view decimalSeparator);

// The same as CSV lines ended by CR LF: fields separated by ";" when the decimal separator is a
// comma, by "," otherwise; a field holding the separator, a quote or a line end is quoted.
std::string TableCsv(const ResultsTableContent& table, std::string_view decimalSeparator);

}  // namespace funzioni
