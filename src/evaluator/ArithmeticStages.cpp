#include <bit>
#include <cmath>
#include <limits>

#include "evaluator/ArithmeticKernels.h"
#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/Functions.h"
#include "evaluator/LanguageTables.h"
#include "evaluator/NumberReading.h"
#include "evaluator/NumberWriting.h"
#include "evaluator/Operands.h"
#include "evaluator/Stages.h"

namespace funzioni {

Extended Factorial(Extended n) {
  Extended product = 1;
  for (Extended i = 2; i <= n; ++i) product *= i;
  return product;
}

namespace detail {

namespace {

constexpr int kFactorialLimit = 1754;

bool EndsNumber(char c) {
  return IsDigitOrPoint(c) || c == '!';
}

bool IsComparison(char c) {
  return c == '<' || c == '>' || c == '=';
}

// A "+" is an operator unless it is the sign of an exponent or of a number after a comparison
// or an operator word.
bool PlusMayOperate(char before) {
  return before != 'E' && before != 'D' && !IsComparison(before) && !IsWordToken(before);
}

// Writes the result in place of text[from, to); returns where the search for the next operator
// of the same kind may start, and whether the text is now the result alone.
struct Written {
  std::size_t start;
  bool alone;
};

// For an extended result ("^", "!") and for a 32-bit one.
template <typename Real>
Written Put(WorkText& text, std::size_t from, std::size_t to, Real value) {
  const bool alone = text.Committed() == 0 && from == 0 && to == text.Size();
  const NumberChars number = WriteNumber(value, kNumberDigits);
  return {WriteBack(text, from, to, number.View()), alone};
}

// The stage ends with the text holding the float result alone.
StageResult FinishedWith(float value) {
  return {nullptr, true, true, value};
}

}  // namespace

// A run of signs becomes one sign, the product of the run, so that every sign keeps binding to
// the number after it ("---3" is -3). After a number the run's first sign is the operator and
// only the rest collapses ("2---3" is "2-+3"). For runs of two this is the same as replacing
// "++", "-+", "+-" and "--" pass by pass; longer runs only arise from values written back.
void CollapseSigns(WorkText& text) {
  char* d = text.Data();
  const std::size_t n = text.Size();
  std::size_t out = 0;
  char before = '\0';  // the original character before position i
  for (std::size_t i = 0; i < n;) {
    if (!IsSign(d[i]) || i + 1 >= n || !IsSign(d[i + 1])) {
      before = d[i];
      d[out++] = d[i++];
      continue;
    }
    std::size_t runEnd = i;
    while (runEnd < n && IsSign(d[runEnd])) ++runEnd;
    if (i > 0 && EndsNumber(before)) d[out++] = d[i++];
    before = d[runEnd - 1];
    bool negative = false;
    for (std::size_t k = i; k < runEnd; ++k) negative ^= d[k] == '-';
    // A run that started after a number and is now a single sign is left as it is.
    if (runEnd - i == 1) {
      d[out++] = d[i];
    } else {
      d[out++] = negative ? '-' : '+';
    }
    i = runEnd;
  }
  text.Truncate(out);
}

bool IsWholeNumber(std::string_view text, bool allowPlus) {
  if (IsOwnNumberText(text)) return true;
  // "+" and then the number, but not "+-5", which reads as no number.
  return allowPlus && text.size() >= 2 && text[0] == '+' && !IsSign(text[1]) &&
         IsOwnNumberText(text.substr(1));
}

StageResult EvaluateFactorials(WorkText& text) {
  const WorkText::Joiner join(text);
  std::size_t from = 0;
  for (;;) {
    const std::size_t bang = text.View().find('!', from);
    if (bang == std::string_view::npos) return {};
    const LeftOperand n = ReadLeftOperand(text.View(), bang);
    if (n.error != nullptr) return {n.error};
    const float value = n.value;
    if (std::trunc(value) != value) return {"Invalid factorial argument: Non integer."};
    if (std::fabs(value) > kFactorialLimit) return {"Factorial argument too large."};
    Extended result = Factorial(std::fabs(value));
    if (value < 0) result = -result;
    from = Put(text, n.start, bang + 1, result).start;
    from -= text.Commit(from);
  }
}

StageResult EvaluateFunctions(WorkText& text, bool degrees, std::uint32_t letters) {
  const LanguageTables& tables = Tables();
  // Results bring no letter but "E" into the text.
  letters |= LetterMask("E");
  // Only codes whose initial letter occurs can occur; they are taken in table order.
  std::uint64_t candidates = 0;
  for (std::uint32_t rest = letters & LetterMask("ABCDEFGHIJKLMNOPQRSTUVWXYZ"); rest != 0;
       rest &= rest - 1) {
    candidates |= tables.codesByInitial[static_cast<std::size_t>(std::countr_zero(rest))];
  }
  for (; candidates != 0; candidates &= candidates - 1) {
    const int k = std::countr_zero(candidates);
    const FunctionCode& code = tables.codes[k];
    if (!MayContain(letters, code.letters)) continue;
    const std::size_t overlap = code.code.size() - 1;
    const WorkText::Joiner join(text);
    std::size_t from = 0;
    for (;;) {
      const std::size_t at = text.View().find(code.code, from);
      if (at == std::string_view::npos) break;
      const RightOperand argument = ReadRightOperand(text.View(), at + overlap);
      if (argument.error != nullptr) return {argument.error};
      const FunctionResult result = ApplyFunction(k, FunctionArgument(k, argument.value, degrees));
      if (result.error != nullptr) return {result.error};
      const std::size_t start =
          Put(text, at, argument.restStart, static_cast<float>(result.value)).start;
      from = start > overlap ? start - overlap : 0;
      from -= text.Commit(from);
    }
  }
  return {};
}

StageResult EvaluatePowers(WorkText& text) {
  const WorkText::Joiner join(text);
  std::size_t from = 0;
  for (;;) {
    const std::size_t caret = text.View().find('^', from);
    if (caret == std::string_view::npos) return {};
    if (caret == 0) return {"Missing left argument in power espression"};
    const LeftOperand x = ReadLeftOperand(text.View(), caret);
    if (x.error != nullptr) return {x.error};
    const RightOperand y = ReadRightOperand(text.View(), caret);
    if (y.error != nullptr) return {y.error};
    if (const char* refusal = PowerRefusal(x.value, y.value)) return {refusal};
    const Extended result = PowerValue(x.value, y.value);
    // The power is written from its extended value, not rounded to 32 bits.
    const Written written = Put(text, x.start, y.restStart, result);
    if (written.alone) return {nullptr, true};
    from = written.start - text.Commit(written.start);
  }
}

StageResult EvaluateProducts(WorkText& text) {
  const WorkText::Joiner join(text);
  std::size_t from = 0;
  for (;;) {
    const std::string_view view = text.View();
    std::size_t p = from;
    while (p < view.size() && view[p] != '*' && view[p] != '/') ++p;
    if (p == view.size()) p = std::string_view::npos;
    if (p == std::string_view::npos || p == view.size() - 1) return {};
    if (p == 0)
      return {"Missing left argument in multiplication (*) or floating-point division (/)"};
    const LeftOperand x = ReadLeftOperand(view, p);
    if (x.error != nullptr) return {x.error};
    const RightOperand y = ReadRightOperand(view, p);
    if (y.error != nullptr) return {y.error};
    const Checked result = view[p] == '*' ? Product(x.value, y.value) : Quotient(x.value, y.value);
    if (result.error != nullptr) return {result.error};
    const float value = result.value;
    const Written written = Put(text, x.start, y.restStart, value);
    if (written.alone) return FinishedWith(value);
    from = written.start - text.Commit(written.start);
  }
}

StageResult EvaluateIntegerDivisions(WorkText& text) {
  const WorkText::Joiner join(text);
  std::size_t from = 0;
  for (;;) {
    const std::string_view view = text.View();
    const std::size_t p = view.find('\\', from);
    if (p == std::string_view::npos || p == view.size() - 1) return {};
    if (p == 0) return {"Missing left argument in integer division (\\)"};
    const LeftOperand x = ReadLeftOperand(view, p);
    if (x.error != nullptr) return {x.error};
    const RightOperand y = ReadRightOperand(view, p);
    if (y.error != nullptr) return {y.error};
    const Checked result = IntegerQuotient(x.value, y.value);
    if (result.error != nullptr) return {result.error};
    const float value = result.value;
    const Written written = Put(text, x.start, y.restStart, value);
    if (written.alone) return FinishedWith(value);
    from = written.start - text.Commit(written.start);
  }
}

StageResult EvaluateSums(WorkText& text) {
  const WorkText::Joiner join(text);
  std::size_t scan = 0;    // nothing before it can be an operator (see below)
  std::size_t passes = 0;  // a guard: ends the stage if no operation happens for too long
  for (;;) {
    const std::string_view view = text.View();
    const std::size_t n = view.size();
    const std::size_t whole = text.Committed() + n;  // the guard counts the whole text
    if (++passes >= whole + 1) return {};
    std::size_t p = std::string_view::npos;
    for (std::size_t i = scan; i < n && p == std::string_view::npos; ++i) {
      const char c = view[i];
      if (c == '+') {
        if (i >= 1 && PlusMayOperate(view[i - 1])) p = i;
      } else if (c == '-') {
        if (i == 0) {
          if (IsWholeNumber(view, false)) return {nullptr, true};
        } else if (IsDigitOrPoint(view[i - 1])) {
          p = i;  // a "-" after a number (or after its trailing point) is an operator
          continue;
        }
        // A sign: look further.
        if (++passes >= whole + 1) return {};
      }
    }
    if (p == std::string_view::npos || p == n - 1) return {};
    const LeftOperand x = ReadLeftOperand(view, p);
    if (x.error != nullptr) return {x.error};
    const RightOperand y = ReadRightOperand(view, p);
    if (y.error != nullptr) return {y.error};
    const float value = SumOf(x.value, view[p] == '+' ? y.value : -y.value);
    const Written written = Put(text, x.start, y.restStart, value);
    if (written.alone) return FinishedWith(value);
    // The operation was at the first operator, and the text before its left operand is
    // unchanged, so the next search may start where the result was written.
    scan = written.start - text.Commit(written.start);
    passes = 0;
  }
}

StagesOutcome RunStages(WorkText& text, bool degrees) {
  // Which characters occur, one bit each: a stage whose operator is absent has nothing to do,
  // and results written back only ever bring digits, ".", "E" and signs.
  // Kept in registers (characters from 128 up name no operator and need no bit).
  std::uint64_t low = 0;
  std::uint64_t high = 0;
  for (const char c : text.View()) {
    const auto u = static_cast<unsigned char>(c);
    const std::uint64_t bit = std::uint64_t{1} << (u & 63);
    low |= u < 64 ? bit : 0;
    high |= u >= 64 && u < 128 ? bit : 0;
  }
  const std::uint64_t present[2] = {low, high};
  const auto has = [&](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 128 && ((present[u >> 6] >> (u & 63)) & 1) != 0;
  };
  // "A".."Z" are bits 1..26 of the second word, the word tokens bits 16..24 of the first.
  static_assert('A' == 65 && 'Z' == 90 && word::kMod == 16 && word::kIsFalse == 24);
  const auto letters = static_cast<std::uint32_t>((present[1] >> 1) & 0x3FFFFFF);
  const bool anyWord = ((present[0] >> 16) & 0x1FF) != 0;
  const bool anyLetter = (letters & ~LetterMask("ED")) != 0;

  if (has('+') || has('-')) CollapseSigns(text);
  if (IsWholeNumber(text.View(), true))
    return {static_cast<float>(ReadNumber(text.View())), nullptr};
  StageResult result;
  if (has('!')) result = EvaluateFactorials(text);
  if (result.error == nullptr && anyLetter) result = EvaluateFunctions(text, degrees, letters);
  if (result.error == nullptr && has('^')) result = EvaluatePowers(text);
  if (result.error == nullptr && !result.finished && (has('*') || has('/'))) {
    result = EvaluateProducts(text);
  }
  if (result.error == nullptr && !result.finished && has('\\')) {
    result = EvaluateIntegerDivisions(text);
  }
  if (result.error == nullptr && !result.finished && has(word::kMod)) result = EvaluateModulo(text);
  if (result.error == nullptr && !result.finished) result = EvaluateSums(text);
  if (result.error == nullptr && !result.finished && (has('<') || has('>') || has('='))) {
    result = EvaluateComparisons(text);
  }
  if (result.error == nullptr && !result.finished && anyWord) {
    result = EvaluatePrefixWords(text);
    if (result.error == nullptr) result = EvaluateLogicalWords(text);
  }
  if (result.error != nullptr) return {0, result.error};
  if (result.floatText) {
    const bool readsAsZero = result.value == 0 || std::isnan(result.value);
    return {readsAsZero ? 0.0f : result.value, nullptr, true};
  }
  return {static_cast<float>(ReadNumber(text.View())), nullptr};
}

}  // namespace detail

}  // namespace funzioni
