#include "evaluator/LanguageTables.h"

#include "evaluator/ExpressionEvaluator.h"

namespace funzioni {

namespace detail {

namespace {

// The language's reference list: every name with a short description, closed by the marker.
// Names that contain other names come first ("ARCSINH" before "SINH" and "SIN", "XOR" before
// "OR"), because the checks remove and classify names in this order.
constexpr std::string_view kReferenceLines[] = {
    "ARCSINH() - Arc (Inverse) Hyperbolic Sine",
    "ARCCOSH() - Arc (Inverse) Hyperbolic Cosine",
    "ARCTANH() - Arc (Inverse) Hyperbolic Tangent",
    "ARCSECH() - Arc (Inverse) Hyperbolic Secant",
    "ARCCSCH() - Arc (Inverse) Hyperbolic Cosecant",
    "ARCCOTH() - Arc (Inverse) Hyperbolic Cotangent",
    "ARCSIN() - Arc (Inverse) Sine",
    "ARCCOS() - Arc (Inverse) Cosine",
    "ARCSEC() - Arc (Inverse) Secant",
    "ARCCSC() - Arc (Inverse) Cosecant",
    "ARCCOT() - Arc (Inverse) Cotangent",
    "SINH() - Hyperbolic Sine",
    "TANH() - Hyperbolic Tangent",
    "SECH() - Hyperbolic Secant",
    "CSCH() - Hyperbolic Cosecant",
    "COTH() - Hyperbolic Cotangent",
    "SEC() - Secant",
    "CSC() - Cosecant",
    "COT() - Cotangent",
    "SIN() - Sine",
    "COS() - Cosine",
    "TAN() - Tangent",
    "ATN() - Arc (Inverse) Tangent",
    "LN() - Natural Log (base E)",
    "EXP2() - Exponentiation of 2 or Antilog 2",
    "EXP10() - Exponentiation of 10 or Antilog 10",
    "EXP() - Exponentiation of E or Antilog E",
    "SQR() - Square Root",
    "LOG10() - Common Log (base 10)",
    "ABS() - Absolute Value",
    "LOG2() - Log (base 2)",
    "LOG() - Natural Log (base E)",
    "AND - Logical AND",
    "XOR - Logical XOR (Exclusive OR)",
    "OR - Logical OR",
    "MOD - MOD (Modulo)",
    "IMP - Logical IMP (Implication)",
    "EQV - Logical EQV (Equivalence)",
    "NOT - NOT",
    "ISTRUE - Logical Truth",
    "ISFALSE - Logical Falsity",
    "CEIL() - Ceiling",
    "FRAC() - Fractional Part",
    "FIX() - Truncate To Integer",
    "SGN() - Sign",
    "PI# - Constant (3.14159..)",
    "E# - Constant (2.71828..)",
    "**1**",
};
constexpr std::string_view kEndMarker = "**1**";

// The engine's function codes, in the order in which it evaluates them. LN, LOG10, LOG2, EXP10
// and EXP2 reach the engine as LOG, CLG, TLG, ETE and ETO.
constexpr std::string_view kFunctionCodes[kFunctionCount + 1] = {
    "",       "ARCSINH", "ARCCOSH", "ARCTANH", "ARCSECH", "ARCCSCH", "ARCCOTH", "ARCSIN", "ARCCOS",
    "ARCSEC", "ARCCSC",  "ARCCOT",  "SINH",    "TANH",    "SECH",    "CSCH",    "COTH",   "SEC",
    "CSC",    "COT",     "SIN",     "COS",     "TAN",     "ATN",     "LOG",     "EXP",    "SQR",
    "CLG",    "ABS",     "TLG",     "CEIL",    "FIX",     "FRAC",    "SGN",     "ETO",    "ETE"};
static_assert(kFunctionCodes[fn::kArcsinh] == "ARCSINH" && kFunctionCodes[fn::kCoth] == "COTH" &&
              kFunctionCodes[fn::kSin] == "SIN" && kFunctionCodes[fn::kAtn] == "ATN" &&
              kFunctionCodes[fn::kLog10] == "CLG" && kFunctionCodes[fn::kExp10] == "ETE" &&
              fn::kExp10 == kFunctionCount);

constexpr char kWordTokens[] = {word::kAnd, word::kXor, word::kOr,     word::kMod,    word::kImp,
                                word::kEqv, word::kNot, word::kIsTrue, word::kIsFalse};

}  // namespace

LanguageTables::LanguageTables() {
  // NameList from the reference list: a function's entry is its name (the text before "()"),
  // an operator word's or a constant's entry is its whole line.
  for (int k = 1; k <= kNameCount && kReferenceLines[k - 1] != kEndMarker; ++k) {
    const std::string_view line = kReferenceLines[k - 1];
    referenceList[k] = std::string(line);
    const std::size_t parens = line.find("()");
    nameList[k] = std::string(parens != std::string_view::npos ? line.substr(0, parens) : line);
  }
  for (int k = 1; k <= kNameCount; ++k) {
    NameEntry& entry = names[k];
    entry.entry = nameList[k];
    entry.name = entry.entry.substr(0, entry.entry.find(' '));
    entry.hasBlank = entry.name.size() != entry.entry.size();
    entry.letters = LetterMask(entry.name);
    if (k >= kFirstWordEntry && k <= kLastWordEntry) entry.token = kWordTokens[k - kFirstWordEntry];
  }
  for (int k = 1; k <= kFunctionCount; ++k) {
    functionTable[k] = std::string(kFunctionCodes[k]);
    codes[k] = {functionTable[k], LetterMask(functionTable[k])};
    codesByInitial[static_cast<std::size_t>(functionTable[k][0] - 'A')] |= std::uint64_t{1} << k;
  }
  // A function name (its entry has no blank) that no earlier name occurs in: the checks, which
  // remove and classify names in list order, always take a whole run of its letters and digits
  // as this name.
  std::array<std::size_t, 26> plainCount{};
  for (int k = 1; k <= kNameCount; ++k) {
    const std::string_view name = names[k].name;
    const std::size_t letters = name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    bool plain = !names[k].hasBlank && letters != 0 &&
                 (letters == std::string_view::npos ||
                  name.find_first_not_of("0123456789", letters) == std::string_view::npos);
    for (int j = 1; j < k && plain; ++j) {
      plain = name.find(names[j].name) == std::string_view::npos &&
              name.find(names[j].entry) == std::string_view::npos;
    }
    if (!plain) continue;
    const auto initial = static_cast<std::size_t>(name[0] - 'A');
    plainByInitial_[initial][plainCount[initial]++] = static_cast<std::uint8_t>(k);
  }
  // The first occurrence of a pair in the list decides its rank.
  for (std::size_t i = 0; i + 1 < IllegalPairs.size(); i += 2) {
    std::uint8_t& rank = pairRank_[static_cast<unsigned char>(IllegalPairs[i])]
                                  [static_cast<unsigned char>(IllegalPairs[i + 1])];
    if (rank == 0) rank = static_cast<std::uint8_t>(i / 2 + 1);
  }
}

const LanguageTables& Tables() {
  static const LanguageTables tables;
  return tables;
}

}  // namespace detail

void InitEvaluatorTables() {
  detail::Tables();
}

const std::array<std::string, 48>& ReferenceList() {
  return detail::Tables().referenceList;
}
const std::array<std::string, 48>& NameList() {
  return detail::Tables().nameList;
}
const std::array<std::string, 36>& FunctionTable() {
  return detail::Tables().functionTable;
}

}  // namespace funzioni
