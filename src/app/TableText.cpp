#include "app/TableText.h"

namespace funzioni {

namespace {

constexpr std::string_view kRowSeparator = " ;";

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string WithSeparator(std::string_view number, std::string_view decimalSeparator) {
  std::string text;
  for (const char c : number) {
    if (c == '.') {
      text.append(decimalSeparator);
    } else {
      text.push_back(c);
    }
  }
  return text;
}

std::string CsvField(std::string_view text, char separator) {
  if (text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos) {
    return std::string(text);
  }
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted.push_back('"');
    quoted.push_back(c);
  }
  quoted.push_back('"');
  return quoted;
}

}  // namespace

ResultsTableContent ReadResultsTable(std::span<const std::string> lines) {
  ResultsTableContent table;
  if (lines.empty()) return table;
  table.empty = false;
  const std::string_view title = lines.front();
  table.title = std::string(title.substr(0, title.find_last_not_of(' ') + 1));
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const std::string_view row = lines[i];
    const std::size_t at = row.find(kRowSeparator);
    if (at == std::string_view::npos) continue;
    table.rows.push_back({std::string(Trimmed(row.substr(0, at))),
                          std::string(Trimmed(row.substr(at + kRowSeparator.size()))),
                          {}});
  }
  return table;
}

std::string TableClipboardText(const ResultsTableContent& table,
                               std::string_view decimalSeparator) {
  if (table.empty) return {};
  const bool slopes = !table.slopeHeading.empty();
  std::string text = table.title + (slopes ? "\t\t" + table.slopeHeading : std::string()) + "\n";
  for (const ResultsTableRow& row : table.rows) {
    text += WithSeparator(row.x, decimalSeparator) + "\t" + WithSeparator(row.y, decimalSeparator);
    if (slopes) text += "\t" + WithSeparator(row.slope, decimalSeparator);
    text += "\n";
  }
  return text;
}

std::string TableCsv(const ResultsTableContent& table, std::string_view decimalSeparator) {
  if (table.empty) return {};
  const char separator = decimalSeparator == "," ? ';' : ',';
  std::string text = CsvField(table.title, separator) + "\r\n";
  for (const ResultsTableRow& row : table.rows) {
    text += CsvField(WithSeparator(row.x, decimalSeparator), separator) + separator +
            CsvField(WithSeparator(row.y, decimalSeparator), separator) + "\r\n";
  }
  return text;
}

}  // namespace funzioni
