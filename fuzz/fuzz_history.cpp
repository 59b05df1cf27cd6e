// The history file's reader and writer on any bytes. The first byte chooses where the input
// splits into the file's contents and a formula to append; the lines read back must be the old
// lines followed by the formula, unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Require.h"
#include "app/History.h"

namespace {

using funzioni::fuzz::Require;

std::string JoinWithLineEnds(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes.append(line).append("\r\n");
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t split = input.empty() ? 0 : data[0] % (input.size() + 1);
  const std::string_view existing = input.substr(0, split);
  const std::string_view formula = input.substr(split);

  const std::vector<std::string> lines = funzioni::SplitHistoryLines(existing);
  for (const std::string& line : lines) {
    Require(line.find_first_of("\r\x1A") == std::string::npos, "a line holds a line end", line);
    const std::string picked = funzioni::FormulaOfHistoryLine(line);
    Require(line.compare(0, picked.size(), picked) == 0, "picked text is not the line's start",
            line);
  }
  Require(funzioni::SplitHistoryLines(JoinWithLineEnds(lines)) == lines,
          "lines written back read differently", existing);

  // A formula from the box holds no line end; 0x1A in the file hides everything after it.
  if (existing.find('\x1A') != std::string_view::npos) return 0;
  if (formula.find_first_of("\r\x1A") != std::string_view::npos) return 0;
  const std::string appended = funzioni::HistoryAppendBytes(existing, formula);
  std::vector<std::string> expected = lines;
  expected.emplace_back(formula);
  Require(funzioni::SplitHistoryLines(std::string(existing) + appended) == expected,
          "an append changed the lines", existing);
  return 0;
}
