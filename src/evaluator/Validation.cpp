// The checks that a formula passes before the engine sees it, and its preparation.
#include <algorithm>
#include <string>
#include <string_view>

#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/LanguageTables.h"

namespace funzioni {

namespace {

using detail::LanguageTables;
using detail::LetterMask;
using detail::MayContain;

constexpr std::string_view kKnownCharacters = "0123456789ED.-+*/\\^!()=<>";
constexpr std::string_view kClassCharacters = "#.+*EFL()<>=!";
constexpr std::string_view kPleaseCorrect = "  Please correct. ";

struct CharacterSet {
  explicit constexpr CharacterSet(std::string_view members) {
    for (const char c : members) contains[static_cast<unsigned char>(c)] = true;
  }
  constexpr bool operator()(char c) const { return contains[static_cast<unsigned char>(c)]; }
  bool contains[256] = {};
};

constexpr CharacterSet IsKnown(kKnownCharacters);
constexpr CharacterSet IsClass(kClassCharacters);
constexpr CharacterSet IsOperatorClass("+*");

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

// Replaces every occurrence of `from` by `to` (any lengths), one pass from left to right.
void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  std::size_t at = text.find(from);
  if (at == std::string::npos) return;
  std::string out;
  out.reserve(text.size() + 32);
  std::size_t in = 0;
  for (; at != std::string::npos; at = text.find(from, in)) {
    out.append(text, in, at - in);
    out.append(to);
    in = at + from.size();
  }
  out.append(text, in, std::string::npos);
  text.swap(out);
}

char ClassOf(char c) {
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

}  // namespace

bool ExpressionEvaluator::Reject(std::string_view message) {
  errorMessage_.assign(message);
  return false;
}

bool ExpressionEvaluator::ValidateExpression(std::string& expr) {
  const LanguageTables& tables = detail::Tables();
  if (expr.empty()) return Reject("Empty expression! - You need to enter an expression.");
  const std::uint32_t letters = LetterMask(expr);

  // Characters outside the language: whatever is left once every known name is removed.
  std::string& stripped = scratch_;
  stripped = expr;
  for (int k = 1; k <= detail::kNameCount; ++k) {
    const detail::NameEntry& entry = tables.names[k];
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
    std::string message = "Cannot understand this: ";
    message.append(stripped, first, last - first + 1);
    message += " Please correct. ";
    return Reject(message);
  }

  // ClassString: one class letter per character of the expression. Constants count as numbers,
  // functions become "F", operator words "L". The operator words found here are remembered so
  // that the engine can be given one token for each.
  std::string& classes = classString_;
  classes = expr;
  if (letters & LetterMask("#")) {
    OverwriteAll(classes, "PI#", "1.1");
    OverwriteAll(classes, "E#", "11");
  }
  // The pass writes "F"s itself, which names with an "F" (FRAC, FIX) may then take in.
  const std::uint32_t classLetters = LetterMask(classes) | LetterMask("F");
  for (int k = 1; k <= detail::kNameCount; ++k) {
    const detail::NameEntry& entry = tables.names[k];
    if (entry.hasBlank || !MayContain(classLetters, entry.letters)) continue;
    OverwriteAll(classes, entry.entry, 'F', [](std::size_t) {});
  }
  const std::uint32_t remainingLetters = LetterMask(classes);
  words_.clear();
  for (int k = 1; k <= detail::kNameCount; ++k) {
    const detail::NameEntry& entry = tables.names[k];
    if (!MayContain(remainingLetters, entry.letters)) continue;
    OverwriteAll(classes, entry.name, 'L', [&](std::size_t at) {
      if (entry.token != 0) words_.push_back({at, entry.name.size(), entry.token});
    });
  }
  for (char& c : classes) c = ClassOf(c);

  for (std::size_t i = 0; i < classes.size(); ++i) {
    if (!IsClass(classes[i])) {
      return Reject("Illegal character: " + std::string(1, expr[i]) + std::string(kPleaseCorrect));
    }
  }

  // Forbidden neighbours: the pair first in the table's order is reported, at its first place.
  int worstRank = 0;
  std::size_t worstAt = 0;
  for (std::size_t i = 0; i + 1 < classes.size(); ++i) {
    const int rank = tables.PairRank(classes[i], classes[i + 1]);
    if (rank != 0 && (worstRank == 0 || rank < worstRank)) {
      worstRank = rank;
      worstAt = i;
    }
  }
  if (worstRank != 0) {
    return Reject("Illegal character sequence: " + expr.substr(worstAt, 2) +
                  std::string(kPleaseCorrect));
  }

  if (std::string_view("+*FEL").find(classes.back()) != std::string_view::npos) {
    return Reject("Illegal last character: " + std::string(1, expr.back()) +
                  std::string(kPleaseCorrect));
  }

  // Three operators or signs in a row ("2--3" and "2*-3" pass).
  for (std::size_t i = 0; i + 2 < classes.size(); ++i) {
    if (IsOperatorClass(classes[i]) && IsOperatorClass(classes[i + 1]) &&
        IsOperatorClass(classes[i + 2])) {
      return Reject("Illegal character sequence: " + expr.substr(i, 3) +
                    std::string(kPleaseCorrect));
    }
  }

  // Preparation: operator words become tokens, constants their digits, and the names that the
  // engine knows by a code take that code.
  if (!words_.empty()) {
    std::sort(words_.begin(), words_.end(),
              [](const Word& a, const Word& b) { return a.at < b.at; });
    std::string tokenised;
    tokenised.reserve(expr.size());
    std::size_t in = 0;
    for (const Word& w : words_) {
      if (w.at < in || classes.compare(w.at, w.size, std::string(w.size, 'L')) != 0) continue;
      tokenised.append(expr, in, w.at - in);
      tokenised += w.token;
      in = w.at + w.size;
    }
    tokenised.append(expr, in, std::string::npos);
    expr.swap(tokenised);
  }
  if (letters & LetterMask("#")) {
    ReplaceAll(expr, "PI#", "3.14159265358979324");
    ReplaceAll(expr, "E#", "2.71828182845904524");
  }
  if (MayContain(letters, LetterMask("LN"))) ReplaceAll(expr, "LN", "LOG");
  if (MayContain(letters | LetterMask("OG"), LetterMask("LOG"))) {
    ReplaceAll(expr, "LOG10", "CLG");
    ReplaceAll(expr, "LOG2", "TLG");
  }
  if (MayContain(letters, LetterMask("EXP"))) {
    ReplaceAll(expr, "EXP10", "ETE");
    ReplaceAll(expr, "EXP2", "ETO");
  }

  validateFlag_ = 0;
  return true;
}

}  // namespace funzioni
