#include "evaluator/TextClasses.h"

#include <array>

#include "evaluator/LanguageTables.h"

namespace funzioni::detail {

namespace {

constexpr std::string_view kKnownCharacters = "0123456789ED.-+*/\\^!()=<>";
constexpr std::string_view kClassCharacters = "#.+*EFL()<>=!";

struct CharacterSet {
  explicit constexpr CharacterSet(std::string_view members) {
    for (const char c : members) contains[static_cast<unsigned char>(c)] = true;
  }
  constexpr bool operator()(char c) const { return contains[static_cast<unsigned char>(c)]; }
  bool contains[256] = {};
};

constexpr CharacterSet IsKnown(kKnownCharacters);
constexpr CharacterSet IsClass(kClassCharacters);

constexpr char ClassOf(char c) {
  if (c >= '0' && c <= '9') return '#';
  switch (c) {
    case 'E':
    case 'D':
      return 'E';
    case '-':
      return '+';
    case '/':
    case '\\':
    case '^':
      return '*';
    default:
      return c;
  }
}

// The class of every character that a plain text may hold outside its names; 0 for the others.
constexpr std::array<char, 256> PlainClasses() {
  std::array<char, 256> classes{};
  for (const char c : std::string_view("0123456789.+-*/\\^!()<>=")) {
    classes[static_cast<unsigned char>(c)] = ClassOf(c);
  }
  return classes;
}
constexpr std::array<char, 256> kPlainClass = PlainClasses();

bool IsLetter(char c) {
  return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Removes every occurrence of `name`, in one pass from left to right without overlaps.
void RemoveAll(std::string& text, std::string_view name) {
  std::size_t at = text.find(name);
  if (at == std::string::npos) return;
  std::size_t out = at;
  std::size_t in = at;
  while (at != std::string::npos) {
    for (; in < at; ++in) text[out++] = text[in];
    in = at + name.size();
    at = text.find(name, in);
  }
  for (; in < text.size(); ++in) text[out++] = text[in];
  text.resize(out);
}

// Overwrites every occurrence of `name` (one pass, no overlaps) with `fill`; calls
// seen(position) for each.
template <typename Seen>
void OverwriteAll(std::string& text, std::string_view name, char fill, Seen seen) {
  for (std::size_t at = text.find(name); at != std::string::npos;
       at = text.find(name, at + name.size())) {
    text.replace(at, name.size(), name.size(), fill);
    seen(at);
  }
}

void OverwriteAll(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + from.size())) {
    text.replace(at, from.size(), to);
  }
}

bool IsOperatorClass(char c) {
  return c == '+' || c == '*';
}

// Follows a class string from left to right and records its neighbour faults.
class NeighbourWatch {
 public:
  explicit NeighbourWatch(const LanguageTables& tables) : tables_(tables) {}

  void Next(char cls, std::size_t at) {
    if (at > 0) {
      const int rank = tables_.PairRank(previous_, cls);
      if (rank != 0 && (faults_.pairRank == 0 || rank < faults_.pairRank)) {
        faults_.pairRank = rank;
        faults_.pairAt = at - 1;
      }
    }
    operators_ = IsOperatorClass(cls) ? operators_ + 1 : 0;
    if (operators_ == 3 && faults_.tripleAt == std::string::npos) faults_.tripleAt = at - 2;
    previous_ = cls;
  }
  const NeighbourFaults& Faults() const { return faults_; }

 private:
  const LanguageTables& tables_;
  NeighbourFaults faults_;
  char previous_ = 0;
  int operators_ = 0;
};

}  // namespace

NeighbourFaults FindNeighbourFaults(std::string_view classes) {
  NeighbourWatch watch(Tables());
  for (std::size_t i = 0; i < classes.size(); ++i) watch.Next(classes[i], i);
  return watch.Faults();
}

bool ClassifyPlainText(std::string_view expr, std::string& classes, std::uint32_t& letters,
                       NeighbourFaults& faults) {
  const LanguageTables& tables = Tables();
  const std::size_t n = expr.size();
  classes.resize(n);
  char* const out = classes.data();
  letters = 0;
  NeighbourWatch watch(tables);
  for (std::size_t i = 0; i < n;) {
    const char c = expr[i];
    if (!IsLetter(c)) {
      const char cls = kPlainClass[static_cast<unsigned char>(c)];
      if (cls == 0) return false;
      watch.Next(cls, i);
      out[i++] = cls;
      continue;
    }
    std::size_t end = i + 1;
    while (end < n && IsLetter(expr[end])) ++end;
    if (end == i + 1 && (c == 'E' || c == 'D')) {
      letters |= 1U << (c - 'A');
      watch.Next('E', i);
      out[i++] = 'E';
      continue;
    }
    // A name with the digits after it (LOG10, EXP2), as the general way reads them.
    const std::size_t lettersEnd = end;
    while (end < n && IsDigit(expr[end])) ++end;
    if (!tables.IsPlainFunctionName(expr.substr(i, end - i))) return false;
    for (std::size_t k = i; k < lettersEnd; ++k) letters |= 1U << (expr[k] - 'A');
    for (; i < end; ++i) {
      watch.Next('F', i);
      out[i] = 'F';
    }
  }
  faults = watch.Faults();
  return true;
}

bool ClassifyAnyText(std::string_view expr, std::uint32_t letters, std::string& classes,
                     ClassWork& work, std::string& message) {
  const LanguageTables& tables = Tables();

  // Characters outside the language: whatever is left once every known name is removed.
  std::string& stripped = work.stripped;
  stripped = expr;
  for (int k = 1; k <= kNameCount; ++k) {
    const NameEntry& entry = tables.names[k];
    if (MayContain(letters, entry.letters)) RemoveAll(stripped, entry.name);
  }
  std::size_t first = std::string::npos;
  std::size_t last = 0;
  for (std::size_t i = 0; i < stripped.size(); ++i) {
    if (IsKnown(stripped[i])) continue;
    if (first == std::string::npos) first = i;
    last = i;
  }
  if (first != std::string::npos) {
    message = "Cannot understand this: ";
    message.append(stripped, first, last - first + 1);
    message += " Please correct. ";
    return false;
  }

  // Constants count as numbers, functions become "F", operator words "L". The operator words
  // found here are remembered so that the engine can be given one token for each.
  classes = expr;
  if (letters & LetterMask("#")) {
    OverwriteAll(classes, "PI#", "1.1");
    OverwriteAll(classes, "E#", "11");
  }
  // The pass writes "F"s itself, which names with an "F" (FRAC, FIX) may then take in.
  const std::uint32_t classLetters = LetterMask(classes) | LetterMask("F");
  for (int k = 1; k <= kNameCount; ++k) {
    const NameEntry& entry = tables.names[k];
    if (entry.hasBlank || !MayContain(classLetters, entry.letters)) continue;
    OverwriteAll(classes, entry.entry, 'F', [](std::size_t) {});
  }
  const std::uint32_t remainingLetters = LetterMask(classes);
  work.words.clear();
  for (int k = 1; k <= kNameCount; ++k) {
    const NameEntry& entry = tables.names[k];
    if (!MayContain(remainingLetters, entry.letters)) continue;
    OverwriteAll(classes, entry.name, 'L', [&](std::size_t at) {
      if (entry.token != 0) work.words.push_back({at, entry.name.size(), entry.token});
    });
  }
  for (char& c : classes) c = ClassOf(c);

  for (std::size_t i = 0; i < classes.size(); ++i) {
    if (!IsClass(classes[i])) {
      message = "Illegal character: ";
      message += expr[i];
      message += "  Please correct. ";
      return false;
    }
  }
  return true;
}

}  // namespace funzioni::detail
