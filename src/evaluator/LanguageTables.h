// The evaluator's immutable tables, built once, in the forms that the checks and the engine read.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace funzioni::detail {

inline constexpr int kNameCount = 47;
inline constexpr int kFunctionCount = 35;
inline constexpr int kFirstWordEntry = 33;  // NameList entries 33..41 are the operator words
inline constexpr int kLastWordEntry = 41;

// The functions by their number in FunctionTable (1..kFunctionCount), the order in which the
// stages apply them.
namespace fn {
inline constexpr int kArcsinh = 1, kArccosh = 2, kArctanh = 3, kArcsech = 4, kArccsch = 5,
                     kArccoth = 6, kArcsin = 7, kArccos = 8, kArcsec = 9, kArccsc = 10,
                     kArccot = 11, kSinh = 12, kTanh = 13, kSech = 14, kCsch = 15, kCoth = 16,
                     kSec = 17, kCsc = 18, kCot = 19, kSin = 20, kCos = 21, kTan = 22, kAtn = 23,
                     kLog = 24, kExp = 25, kSqr = 26, kLog10 = 27, kAbs = 28, kLog2 = 29,
                     kCeil = 30, kFix = 31, kFrac = 32, kSgn = 33, kExp2 = 34, kExp10 = 35;
}  // namespace fn

// Once the checks have passed, each operator word of the text is replaced by one of these bytes,
// so that its letters ("D" of AND, "E" of EQV) can no longer be read as part of a number. The
// checks refuse every byte below 0x20, so none can come from the user.
namespace word {
inline constexpr char kMod = '\x10';
inline constexpr char kAnd = '\x11';
inline constexpr char kOr = '\x12';
inline constexpr char kXor = '\x13';
inline constexpr char kEqv = '\x14';
inline constexpr char kImp = '\x15';
inline constexpr char kNot = '\x16';
inline constexpr char kIsTrue = '\x17';
inline constexpr char kIsFalse = '\x18';
}  // namespace word

inline bool IsWordToken(char c) {
  return c >= word::kMod && c <= word::kIsFalse;
}

// Letters "A".."Z" as bits 0..25 and "#" as bit 26: a name can only occur in a text whose
// mask covers the name's mask.
constexpr std::uint32_t LetterMask(std::string_view text) {
  std::uint32_t mask = 0;
  for (const char c : text) {
    if (c >= 'A' && c <= 'Z') {
      mask |= 1U << (c - 'A');
    } else if (c == '#') {
      mask |= 1U << 26;
    }
  }
  return mask;
}
inline bool MayContain(std::uint32_t textMask, std::uint32_t nameMask) {
  return (nameMask & ~textMask) == 0;
}

struct NameEntry {
  std::string_view entry;  // the whole NameList entry
  std::string_view name;   // the text before its first blank (the whole entry if none)
  std::uint32_t letters = 0;
  bool hasBlank = false;
  char token = 0;  // operator words only
};

struct FunctionCode {
  std::string_view code;
  std::uint32_t letters = 0;
};

class LanguageTables {
 public:
  LanguageTables();
  // The entries below view the strings above, so the tables stay where they were built.
  LanguageTables(const LanguageTables&) = delete;
  LanguageTables& operator=(const LanguageTables&) = delete;

  // Indexed from 1 as the language numbers them; entry 0 is never read.
  std::array<std::string, kNameCount + 1> referenceList;
  std::array<std::string, kNameCount + 1> nameList;
  std::array<std::string, kFunctionCount + 1> functionTable;

  std::array<NameEntry, kNameCount + 1> names;
  std::array<FunctionCode, kFunctionCount + 1> codes;
  // For each initial letter "A".."Z", the function codes that begin with it, as bit k for code k.
  std::array<std::uint64_t, 26> codesByInitial{};

  // True when the run (letters, then any digits) is a function name that contains no name listed
  // before it (SIN, SINH, LOG10, ...), so that the checks take the run as that name whatever
  // surrounds it.
  bool IsPlainFunctionName(std::string_view run) const {
    if (run.empty() || run[0] < 'A' || run[0] > 'Z') return false;
    for (const std::uint8_t k : plainByInitial_[static_cast<std::size_t>(run[0] - 'A')]) {
      if (k == 0) return false;
      if (names[k].name == run) return true;
    }
    return false;
  }

  // 1-based rank in IllegalPairs of the class pair (a, b), or 0 when the pair is allowed.
  int PairRank(char a, char b) const {
    const auto ua = static_cast<unsigned char>(a);
    const auto ub = static_cast<unsigned char>(b);
    return ua < 128 && ub < 128 ? pairRank_[ua][ub] : 0;
  }

 private:
  std::array<std::array<std::uint8_t, 128>, 128> pairRank_{};
  // The plain function names by initial letter, as NameList indexes ended by 0.
  std::array<std::array<std::uint8_t, kNameCount + 1>, 26> plainByInitial_{};
};

// Built on first use; immutable afterwards and safe to share between threads.
const LanguageTables& Tables();

}  // namespace funzioni::detail
