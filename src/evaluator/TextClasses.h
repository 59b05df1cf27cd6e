// The class string that the checks read: one class letter per character of the formula ("#"
// digit, "." point, "+" sign, "*" operator, "E" exponent letter, "F" function name, "L" operator
// word, and "(", ")", "<", ">", "=", "!" for themselves).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace funzioni::detail {

// An operator word found while classifying, and the token that the engine will read for it.
struct WordAt {
  std::size_t at;
  std::size_t size;
  char token;
};

// Working space of the general classification, kept between calls.
struct ClassWork {
  std::string stripped;
  std::vector<WordAt> words;
};

// Where a class string breaks the rules for neighbours: the forbidden pair that comes first in
// the table's order, at its first place, and the first three operators or signs in a row.
struct NeighbourFaults {
  int pairRank = 0;  // 1-based rank in IllegalPairs; 0 when no pair is forbidden
  std::size_t pairAt = 0;
  std::size_t tripleAt = std::string::npos;
  bool operator==(const NeighbourFaults&) const = default;
};

NeighbourFaults FindNeighbourFaults(std::string_view classes);

// The common formula in one pass, its neighbour faults found on the way: digits, ".", signs,
// operators, "!", parentheses, comparison characters, a lone "E" or "D", and function names, each
// name being a whole run of letters together with the digits after it (LOG10) and containing no
// name listed before it. For such a text the general classification removes and classifies each
// name as the whole run it is, so both give the same classes, find no operator word and refuse
// nothing. Returns false, with classes and letters unspecified, for any other text.
bool ClassifyPlainText(std::string_view expr, std::string& classes, std::uint32_t& letters,
                       NeighbourFaults& faults);

// Any text, name by name in the language's order: first the characters outside the language
// ("Cannot understand this: ..."), then the classes, with the operator words found in
// work.words, then characters outside the classes ("Illegal character: ..."). Returns false
// with the message set when the text is refused. `letters` is LetterMask(expr).
bool ClassifyAnyText(std::string_view expr, std::uint32_t letters, std::string& classes,
                     ClassWork& work, std::string& message);

}  // namespace funzioni::detail
