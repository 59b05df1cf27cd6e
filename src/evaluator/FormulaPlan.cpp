#include "evaluator/FormulaPlan.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/FloatParts.h"
#include "evaluator/Functions.h"
#include "evaluator/LanguageTables.h"
#include "evaluator/NumberReading.h"
#include "evaluator/NumberWriting.h"

namespace funzioni {

namespace {

constexpr std::string_view kErrorPrefix = "   Error in Expression: ";
constexpr char kPlaceOfX = '\x01';
constexpr std::size_t kMaxOps = 512;
// Parts nested deeper are left to the text engine: the reading below goes one call deeper for
// each, and a long typed formula must not run out of stack.
constexpr std::size_t kMaxDepth = 64;
constexpr Extended kOverflowLimit = 11356;

// ---- the x text ----------------------------------------------------------------------------

// 10^-3 .. 10^7 near enough to guess how many decimals the text has.
constexpr float kTensAsFloats[] = {1e-3f, 1e-2f, 1e-1f, 1e0f, 1e1f, 1e2f,
                                   1e3f,  1e4f,  1e5f,  1e6f, 1e7f};

constexpr std::uint64_t kPowersOfTen[] = {1,         10,         100,         1000,
                                          10000,     100000,     1000000,     10000000,
                                          100000000, 1000000000, 10000000000, 100000000000};

// ---- the engine's rounding of a value written from its extended form -----------------------

// A value that the engine writes with 18 digits from its extended form and reads back as a
// 32-bit float: the same as rounding it to 32 bits directly, unless it lies within `margin`
// (relative) of a point halfway between two floats, where the 18-digit text might fall on the
// other side. `margin` also covers how far `value` may be from the engine's own extended result.
// `value` is given in double, within 2^-52 of the engine's extended result (relative) or equal
// to it; `margin` must cover that as well as the 18-digit text (5 * 10^-18).
inline std::optional<float> ThroughText(double value, double margin) {
  if (std::isnan(value)) return std::nullopt;
  const auto f = static_cast<float>(value);
  if (!std::isfinite(f)) return std::nullopt;
  const double magnitude = std::fabs(value);
  // Exact: value lies within half a spacing of f.
  const double offset = std::fabs(value - f);
  if (offset != 0) {
    const double half =
        static_cast<double>(detail::SpacingToward(std::fabs(f), magnitude < std::fabs(f))) / 2;
    if (std::fabs(offset - half) <= magnitude * margin) return std::nullopt;
  }
  return f == 0 ? 0.0f : f;
}

// The 32-bit rounding of a function's extended result from a double `result` within 2^-50 of
// it (relative): the same unless `result` lies near a point halfway between two floats.
inline std::optional<float> NearestFloat(double result) {
  return ThroughText(result, 0x1p-44);
}

// The elementary functions in double precision where their arguments raise no message; empty
// where the extended kernel must answer.
inline std::optional<float> FastFunction(int code, double a) {
  switch (code) {
    case 20:
      return NearestFloat(std::sin(a));
    case 21:
      return NearestFloat(std::cos(a));
    case 23:
      return std::isinf(a) ? std::nullopt : NearestFloat(std::atan(a));
    case 24:
      return a > 0 ? NearestFloat(std::log(a)) : std::nullopt;
    case 25:
      return std::fabs(a) < 80 ? NearestFloat(std::exp(a)) : std::nullopt;
    case 26:
      return a >= 0 ? NearestFloat(std::sqrt(a)) : std::nullopt;
    case 27:
      return a > 0 ? NearestFloat(std::log10(a)) : std::nullopt;
    default:
      return std::nullopt;
  }
}

// The sum of two floats rounded to 32 bits as from its extended value: in double when the
// double sum is exact (then both are the exact sum rounded once), in extended otherwise.
float SumOf(float a, float b) {
  const double sum = static_cast<double>(a) + b;
  const double big = std::fabs(a) >= std::fabs(b) ? a : b;
  const double small = std::fabs(a) >= std::fabs(b) ? b : a;
  if (small - (sum - big) == 0) return static_cast<float>(sum);
  return static_cast<float>(static_cast<Extended>(a) + static_cast<Extended>(b));
}

// A 32-bit result as it reads back from its text: zero loses its sign, an infinite value is
// written 9.99999999999999999E+998 and reads back as infinite; NaN ("0") takes a path that a
// plan does not follow.
std::optional<float> Written(float v) {
  if (std::isnan(v)) return std::nullopt;
  return v == 0 ? 0.0f : v;
}

// 10^-k for k = 0..11, each the double nearest to it (within 2^-53).
constexpr double kTenthsInDouble[] = {1,    1e-1, 1e-2, 1e-3, 1e-4,  1e-5,
                                      1e-6, 1e-7, 1e-8, 1e-9, 1e-10, 1e-11};

// ---- parsing ---------------------------------------------------------------------------------

struct FunctionName {
  std::string_view typed;
  std::string_view code;  // the entry of FunctionTable the preparation turns it into
};
// Longest names first, so that "LOG10" is not read as "LOG" and "10".
constexpr FunctionName kPlanFunctions[] = {
    {"EXP10", "ETE"}, {"LOG10", "CLG"}, {"EXP2", "ETO"}, {"LOG2", "TLG"}, {"CEIL", "CEIL"},
    {"FRAC", "FRAC"}, {"SIN", "SIN"},   {"COS", "COS"},  {"TAN", "TAN"},  {"ATN", "ATN"},
    {"LOG", "LOG"},   {"EXP", "EXP"},   {"SQR", "SQR"},  {"ABS", "ABS"},  {"FIX", "FIX"},
    {"SGN", "SGN"},   {"SEC", "SEC"},   {"CSC", "CSC"},  {"COT", "COT"},  {"LN", "LOG"}};

int FunctionNumber(std::string_view code) {
  const auto& table = FunctionTable();
  for (int k = 1; k < static_cast<int>(table.size()); ++k) {
    if (table[static_cast<std::size_t>(k)] == code) return k;
  }
  return 0;
}

// The stages of one parenthesised part, in the order the engine runs them.
enum Stage : int { kLoad = 0, kFunctions, kPowers, kProducts, kIntegerDivisions, kModulo, kSums };

// ReadXTextForm, inlined where the plan runs: returned through memory, the form's parts would be
// stored one by one and read back together, which makes the processor wait.
[[gnu::always_inline]] inline std::optional<XTextForm> XTextFormOf(float x) {
  if (!std::isfinite(x) || x == 0) return std::nullopt;
  const float magnitude = std::fabs(x);
  if (magnitude < 1e-3f || magnitude >= 1e6f) return std::nullopt;
  const detail::FloatParts parts = detail::PartsOf(magnitude);
  const std::uint64_t mantissa = parts.mantissa;
  const int binaryExponent = parts.exponent;
  // Decimals so that the scaled value has 7 figures before the point, 10^6 <= scaled < 10^7:
  // log10 of the magnitude is within one of log10 of 2^(binaryExponent + 23). The comparison
  // only saves a second try; the loop decides.
  const int below = detail::FloorLog10OfPowerOfTwo(binaryExponent + 23);
  int decimals = 6 - below - (magnitude >= kTensAsFloats[below + 4] ? 1 : 0);
  std::uint64_t digits = 0;
  for (int tries = 0;; ++tries) {
    if (tries == 3 || decimals < 0 || decimals > 9) return std::nullopt;
    // Below 2^24 * 10^9 < 2^54: exact in 64 bits; the shift is below 40 for these magnitudes.
    const std::uint64_t product = mantissa * kPowersOfTen[static_cast<std::size_t>(decimals)];
    const std::uint64_t whole =
        binaryExponent >= 0 ? product << binaryExponent : product >> -binaryExponent;
    if (whole < kPowersOfTen[6]) {
      ++decimals;
      continue;
    }
    if (whole >= kPowersOfTen[7]) {
      --decimals;
      continue;
    }
    digits = whole;
    if (binaryExponent < 0) {  // round to a whole number, ties to even
      const std::uint64_t one = 1;
      const std::uint64_t rest = product & ((one << -binaryExponent) - 1);
      const std::uint64_t half = one << (-binaryExponent - 1);
      if (rest > half || (rest == half && (digits & 1) != 0)) ++digits;
    }
    break;
  }
  if (digits == kPowersOfTen[7]) {  // 9999999.5 and the like round up to the next power of ten
    if (decimals == 0) return std::nullopt;
    digits = kPowersOfTen[6];
    --decimals;
  }
  // Trailing zeros are dropped from the text; only below 0.1, with 8 or 9 decimals, can what
  // remains need more than 7 decimals and so an exponent. The value read is the same either way.
  int kept = decimals;
  std::uint64_t figures = digits;
  while (kept > 7 && figures % 10 == 0) {
    figures /= 10;
    --kept;
  }
  XTextForm form;
  form.exponent = kept > 7;  // the text is written with an exponent
  // The engine reads the text in extended precision and rounds that to 32 bits. A product in
  // double lies within 2^-51 of the text's value, as the extended reading does, so both round
  // to the same float unless they lie near a point halfway between two floats.
  const double near =
      static_cast<double>(figures) * kTenthsInDouble[static_cast<std::size_t>(kept)];
  if (const std::optional<float> fast = ThroughText(near, 0x1p-48)) {
    form.value = x < 0 ? -*fast : *fast;
  } else {
    // Both below 2^63: converted as signed numbers, which the processor does directly.
    const Extended read = static_cast<Extended>(static_cast<std::int64_t>(figures)) /
                          static_cast<Extended>(static_cast<std::int64_t>(
                              kPowersOfTen[static_cast<std::size_t>(kept)]));
    form.value = static_cast<float>(x < 0 ? -read : read);
  }
  form.negative = x < 0;
  form.leadingPoint = !form.exponent && figures < kPowersOfTen[static_cast<std::size_t>(kept)];
  return form;
}

}  // namespace

std::optional<XTextForm> ReadXTextForm(float x) {
  return XTextFormOf(x);
}

std::string PlanResultText(const PlanOutcome& outcome) {
  if (outcome.kind == PlanOutcome::Kind::Error) {
    if (outcome.errorText != nullptr) return *outcome.errorText;
    return std::string(kErrorPrefix) + outcome.error;
  }
  std::string text(outcome.value < 0 ? "" : " ");
  text += detail::WriteNumber(outcome.value, detail::kNumberDigits).View();
  return text;
}

namespace {

// Reads the normalised formula (x marked by kPlaceOfX) into operations tagged with the order in
// which the engine performs them: parenthesised parts innermost and leftmost first, and within
// one part stage by stage, functions by their number in FunctionTable, operators from the left.
class PlanParser {
 public:
  struct Tagged {
    int part = 0;
    int stage = 0;
    int key = 0;
    int position = 0;
    int after = 0;  // how many signs and roundings follow the operation it applies to
    std::uint8_t code = 0;
    std::uint8_t function = 0;
    std::uint16_t a = 0, b = 0, out = 0;
    float constant = 0;
  };

  explicit PlanParser(std::string_view text) : text_(text) {}

  bool Parse() {
    const int part = NewPart();
    const std::optional<std::uint16_t> value = Sum(part);
    if (!value || at_ != text_.size()) return false;
    result_ = *value;
    CloseAt(part);
    return ops_.size() <= kMaxOps;
  }

  std::vector<Tagged>& Ops() { return ops_; }
  std::uint16_t Result() const { return result_; }
  std::uint16_t Registers() const { return registers_; }

 private:
  int NewPart() {
    open_.push_back(static_cast<int>(partOrder_.size()));
    partOrder_.push_back(0);
    return open_.back();
  }
  // A part is finished (and its stages run) when its ")" is read: inner parts before outer ones.
  void CloseAt(int part) {
    partOrder_[static_cast<std::size_t>(part)] = closed_++;
    open_.pop_back();
  }

  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

  std::uint16_t Emit(Tagged op) {
    op.out = registers_++;
    ops_.push_back(op);
    return op.out;
  }

  std::optional<std::uint16_t> Binary(int part, auto&& operand, std::string_view operators,
                                      int stage) {
    std::optional<std::uint16_t> left = operand(part);
    while (left) {
      const char c = Peek();
      if (c == '\0' || operators.find(c) == std::string_view::npos) return left;
      const int position = static_cast<int>(at_);
      ++at_;
      const std::optional<std::uint16_t> right = operand(part);
      if (!right) return std::nullopt;
      Tagged op;
      op.part = part;
      op.stage = stage;
      op.key = position;
      op.position = position;
      op.code = static_cast<std::uint8_t>(CodeOf(c));
      op.a = *left;
      op.b = *right;
      left = Emit(op);
    }
    return left;
  }

  static int CodeOf(char c) {
    switch (c) {
      case '^':
        return 4;
      case '*':
        return 5;
      case '/':
        return 6;
      case '\\':
        return 7;
      case detail::word::kMod:
        return 8;
      case '+':
        return 9;
      default:
        return 10;
    }
  }

  std::optional<std::uint16_t> Sum(int part) {
    return Binary(
        part, [this](int p) { return Modulo(p); }, "+-", kSums);
  }
  std::optional<std::uint16_t> Modulo(int part) {
    return Binary(
        part, [this](int p) { return IntegerDivision(p); },
        std::string_view(&detail::word::kMod, 1), kModulo);
  }
  std::optional<std::uint16_t> IntegerDivision(int part) {
    return Binary(
        part, [this](int p) { return Product(p); }, "\\", kIntegerDivisions);
  }
  std::optional<std::uint16_t> Product(int part) {
    return Binary(
        part, [this](int p) { return Power(p); }, "*/", kProducts);
  }
  std::optional<std::uint16_t> Power(int part) {
    return Binary(
        part, [this](int p) { return Signed(p); }, "^", kPowers);
  }

  // One sign binds to the operand after it, whatever follows.
  std::optional<std::uint16_t> Signed(int part) {
    const char c = Peek();
    if (c != '+' && c != '-') return Operand(part);
    ++at_;
    const std::optional<std::uint16_t> value = Operand(part);
    if (!value) return value;
    const Tagged& last = ops_.back();
    Tagged sign = last;
    sign.after = last.after + 1;
    sign.code = c == '-' ? 2 : 12;
    sign.a = *value;
    return Emit(sign);
  }

  std::optional<std::uint16_t> Operand(int part) {
    const char c = Peek();
    if (c == kPlaceOfX) {
      ++at_;
      return Load(part, 0, 0);
    }
    if ((c >= '0' && c <= '9') || c == '.') return Number(part);
    if (c == '(') return Group();
    for (const FunctionName& name : kPlanFunctions) {
      if (text_.substr(at_, name.typed.size()) != name.typed) continue;
      const int position = static_cast<int>(at_);
      at_ += name.typed.size();
      if (Peek() != '(') return std::nullopt;
      const std::optional<std::uint16_t> argument = Group();
      const int number = FunctionNumber(name.code);
      if (!argument || number == 0) return std::nullopt;
      Tagged op;
      op.part = part;
      op.stage = kFunctions;
      op.key = number;
      op.position = position;
      op.code = 3;
      op.function = static_cast<std::uint8_t>(number);
      op.a = *argument;
      return Emit(op);
    }
    return std::nullopt;
  }

  std::optional<std::uint16_t> Load(int part, std::uint8_t code, float constant) {
    Tagged op;
    op.part = part;
    op.stage = kLoad;
    op.code = code;
    op.constant = constant;
    return Emit(op);
  }

  // Digits with at most one point; a letter, or x, right after it would join it.
  std::optional<std::uint16_t> Number(int part) {
    const std::size_t start = at_;
    bool point = false;
    bool digit = false;
    for (; at_ < text_.size(); ++at_) {
      const char c = text_[at_];
      if (c >= '0' && c <= '9') {
        digit = true;
      } else if (c == '.' && !point) {
        point = true;
      } else {
        break;
      }
    }
    if (!digit) return std::nullopt;
    const char next = Peek();
    if ((next >= 'A' && next <= 'Z') || next == kPlaceOfX || next == '.' || next == '(') {
      return std::nullopt;
    }
    const auto value = static_cast<float>(ReadNumber(text_.substr(start, at_ - start)));
    return Load(part, 1, value);
  }

  std::optional<std::uint16_t> Group() {
    if (open_.size() >= kMaxDepth) return std::nullopt;
    ++at_;  // "("
    const int part = NewPart();
    const std::optional<std::uint16_t> value = Sum(part);
    if (!value || Peek() != ')') return std::nullopt;
    ++at_;
    CloseAt(part);
    // Nothing but an operator, ")" or the end may follow a part: "(2)(3)" joins the numbers.
    const char next = Peek();
    if (next == '(' || next == '.' || next == kPlaceOfX || (next >= '0' && next <= '9') ||
        (next >= 'A' && next <= 'Z')) {
      return std::nullopt;
    }
    // The part's value is written back as a number: a zero loses its sign.
    if (ops_.back().code != 2) return value;
    Tagged canon = ops_.back();
    canon.after = canon.after + 1;
    canon.code = 11;
    canon.a = *value;
    return Emit(canon);
  }

 public:
  // The order of the parts, by the time each was finished.
  int PartOrder(int part) const { return partOrder_[static_cast<std::size_t>(part)]; }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  std::vector<Tagged> ops_;
  std::vector<int> open_;
  std::vector<int> partOrder_;
  int closed_ = 0;
  std::uint16_t registers_ = 0;
  std::uint16_t result_ = 0;
};

// Upper case (a lower-case x becomes xMark), no blanks, "()" pairs removed in one pass from the
// left, as the entry point hands a text to the checks.
std::string Normalised(std::string_view text, char xMark) {
  std::string out;
  bool afterOpen = false;
  for (const char typed : text) {
    if (typed == ' ') continue;
    const char c = typed == 'x'                   ? xMark
                   : typed >= 'a' && typed <= 'z' ? static_cast<char>(typed - 32)
                                                  : typed;
    if (c == ')' && afterOpen) {
      out.pop_back();
      afterOpen = false;
      continue;
    }
    out.push_back(c);
    afterOpen = c == '(';
  }
  return out;
}

// Normalised with x marked; MOD becomes one token.
std::optional<std::string> NormaliseFormula(std::string_view formula) {
  const std::string out = Normalised(formula, kPlaceOfX);
  if (out.find("()") != std::string::npos) return std::nullopt;
  std::string tokens;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (out.compare(i, 3, "MOD") == 0) {
      tokens.push_back(detail::word::kMod);
      i += 2;
    } else {
      tokens.push_back(out[i]);
    }
  }
  return tokens;
}

// Whether every x has only an operator, a parenthesis, MOD or nothing on either side.
bool StandsApart(std::string_view text) {
  constexpr std::string_view kBefore = "(+-*/\\^";
  constexpr std::string_view kAfter = ")+-*/\\^";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != kPlaceOfX) continue;
    if (i > 0 && text[i - 1] != detail::word::kMod &&
        kBefore.find(text[i - 1]) == std::string_view::npos) {
      return false;
    }
    if (i + 1 < text.size() && text[i + 1] != detail::word::kMod &&
        kAfter.find(text[i + 1]) == std::string_view::npos) {
      return false;
    }
  }
  return true;
}

// The formula with every x replaced by the given text.
std::string Substituted(std::string_view formula, std::string_view xText) {
  std::string text;
  for (const char c : formula) {
    if (c == 'x') {
      text += xText;
    } else {
      text.push_back(c);
    }
  }
  return text;
}

}  // namespace

std::optional<FormulaPlan> FormulaPlan::Compile(std::string_view formula,
                                                const std::function<bool()>& stopRequested) {
  FormulaPlan plan;
  // The x text must stand apart from the rest: next to a letter, a digit, a point or a name its
  // figures could join a number or a name ("EXPx" with x = 2 reads EXP2).
  const std::optional<std::string> normalised = NormaliseFormula(formula);
  if (!normalised || !StandsApart(*normalised)) return std::nullopt;
  // The parser first: it costs one pass over the text, while each probe below is a whole
  // evaluation by the text engine.
  PlanParser parser(*normalised);
  const bool captured = parser.Parse();
  const std::optional<std::array<bool, kForms>> valid = plan.ProbeForms(formula, stopRequested);
  if (!valid) return std::nullopt;
  const bool anyValid = std::find(valid->begin(), valid->end(), true) != valid->end();
  // Not captured: only the forms the checks refuse outright can still be answered.
  if (anyValid && captured) {
    std::vector<PlanParser::Tagged> ops = std::move(parser.Ops());
    std::stable_sort(ops.begin(), ops.end(),
                     [&](const PlanParser::Tagged& l, const PlanParser::Tagged& r) {
                       const int lp = parser.PartOrder(l.part);
                       const int rp = parser.PartOrder(r.part);
                       if (lp != rp) return lp < rp;
                       if (l.stage != r.stage) return l.stage < r.stage;
                       if (l.key != r.key) return l.key < r.key;
                       if (l.position != r.position) return l.position < r.position;
                       return l.after < r.after;
                     });
    for (const PlanParser::Tagged& t : ops) {
      Op op{};
      op.code = static_cast<Code>(t.code);
      op.function = t.function;
      op.a = t.a;
      op.b = t.b;
      op.out = t.out;
      op.constant = t.constant;
      plan.ops_.push_back(op);
    }
    plan.result_ = parser.Result();
    plan.registers_ = parser.Registers();
  }
  bool any = false;
  for (std::size_t form = 0; form < kForms; ++form) {
    plan.forms_[form].compiled = captured && (*valid)[form];
    any = any || plan.forms_[form].compiled || plan.forms_[form].refusal.has_value();
  }
  if (!any) return std::nullopt;
  return plan;
}

std::optional<std::array<bool, FormulaPlan::kForms>> FormulaPlan::ProbeForms(
    std::string_view formula, const std::function<bool()>& stopRequested) {
  // Two texts of each form, differing in their first and last figures and in length: with x
  // standing apart, the checks see the classes of its characters, which are those of its form,
  // and report characters at fixed places, so a refusal that both share is the refusal of every
  // text of that form.
  static constexpr std::string_view kSamples[kForms][2] = {
      {"1.5", "27.3"}, {".5", ".73"},          {"-1.5", "-27.3"},
      {"-.5", "-.73"}, {"1.5E-3", "2.734E-4"}, {"-1.5E-3", "-2.734E-4"}};
  ExpressionEvaluator evaluator;
  std::array<bool, kForms> valid{};
  for (std::size_t form = 0; form < kForms; ++form) {
    bool passes[2];
    std::string messages[2];
    std::string results[2];
    for (std::size_t k = 0; k < 2; ++k) {
      // A long formula makes each probe slow: a stop is seen between them.
      if (stopRequested && stopRequested()) return std::nullopt;
      const std::string text = Substituted(formula, kSamples[form][k]);
      results[k] = evaluator.EvaluateExpressionText(text);
      std::string checked = Normalised(text, 'X');
      passes[k] = !checked.empty() && evaluator.ValidateExpression(checked);
      messages[k] = evaluator.ErrorMessage();
    }
    if (passes[0] && passes[1]) {
      valid[form] = true;
    } else if (!passes[0] && !passes[1] && messages[0] == messages[1] && results[0] == results[1]) {
      forms_[form].refusal = results[0];
    }
  }
  return valid;
}

PlanOutcome FormulaPlan::Run(float x) const {
  PlanOutcome outcome;
  RunMany(std::span<const float>(&x, 1), std::span<PlanOutcome>(&outcome, 1));
  return outcome;
}

void FormulaPlan::RunMany(std::span<const float> xs, std::span<PlanOutcome> outcomes) const {
  const std::size_t count = std::min(xs.size(), outcomes.size());
  std::vector<float> registers(std::size_t{registers_} * std::min(count, kBlock));
  for (std::size_t first = 0; first < count; first += kBlock) {
    const std::size_t n = std::min(kBlock, count - first);
    RunBlock(xs.subspan(first, n), outcomes.subspan(first, n), registers.data());
  }
}

// The samples of a block go through the plan side by side, operation by operation, so that the
// work of one sample overlaps the waits of the others. A sample that is declined or fails drops
// out at that operation, as it would stop there alone; register k of sample i is r[k * n + i].
void FormulaPlan::RunBlock(std::span<const float> xs, std::span<PlanOutcome> outcomes,
                           float* r) const {
  const std::size_t n = xs.size();
  std::array<float, kBlock> xValues{};
  std::array<bool, kBlock> live{};
  bool anyLive = false;
  for (std::size_t i = 0; i < n; ++i) {
    PlanOutcome& outcome = outcomes[i];
    outcome = PlanOutcome{};
    const std::optional<XTextForm> xText = XTextFormOf(xs[i]);
    if (!xText) continue;
    const Form& form =
        forms_[xText->exponent ? (xText->negative ? 5u : 4u)
                               : (xText->negative ? 2u : 0u) + (xText->leadingPoint ? 1u : 0u)];
    if (form.refusal) {
      outcome.kind = PlanOutcome::Kind::Error;
      outcome.errorText = &*form.refusal;
      continue;
    }
    if (!form.compiled) continue;
    xValues[i] = xText->value;
    live[i] = true;
    anyLive = true;
  }
  if (!anyLive) return;

  const auto fail = [&](std::size_t i, const char* message) {
    live[i] = false;
    outcomes[i].kind = PlanOutcome::Kind::Error;
    outcomes[i].error = message;
  };
  for (const Op& op : ops_) {
    float* out = r + std::size_t{op.out} * n;
    const float* ra = r + std::size_t{op.a} * n;
    const float* rb = r + std::size_t{op.b} * n;
    // Sets the sample's result, or declines the sample.
    const auto put = [&](std::size_t i, std::optional<float> v) {
      if (v) {
        out[i] = *v;
      } else {
        live[i] = false;
      }
    };
    const auto each = [&](auto&& step) {
      for (std::size_t i = 0; i < n; ++i) {
        if (live[i]) step(i, static_cast<double>(ra[i]), static_cast<double>(rb[i]));
      }
    };
    // Operands are 32-bit values, exact in double.
    switch (op.code) {
      case Code::X:
        for (std::size_t i = 0; i < n; ++i) out[i] = xValues[i];
        break;
      case Code::Const:
        for (std::size_t i = 0; i < n; ++i) out[i] = op.constant;
        break;
      // A sign before a zero reads as adding or subtracting 0 after an operator ("2^-0^x" is
      // 2^0 - 0^x): a path that a plan does not follow.
      case Code::Neg:
        each([&](std::size_t i, double a, double) {
          put(i, a == 0 ? std::nullopt : std::optional<float>(-ra[i]));
        });
        break;
      case Code::Plus:
        each([&](std::size_t i, double a, double) {
          put(i, a == 0 ? std::nullopt : std::optional<float>(ra[i]));
        });
        break;
      case Code::Canon:
        each([&](std::size_t i, double, double) { out[i] = ra[i] == 0 ? 0.0f : ra[i]; });
        break;
      case Code::Func:
        each([&](std::size_t i, double, double) {
          // The argument is a 32-bit value (converted to radians in extended, then rounded).
          float argument = ra[i];
          if (detail::TakesDegrees(op.function)) {
            argument = static_cast<float>(argument * detail::kDegreeToRadian);
          }
          if (const std::optional<float> fast = FastFunction(op.function, argument)) {
            out[i] = *fast;
            return;
          }
          const detail::FunctionResult result = detail::ApplyFunction(op.function, argument);
          if (result.error != nullptr) return fail(i, result.error);
          put(i, Written(static_cast<float>(result.value)));
        });
        break;
      case Code::Pow:
        each([&](std::size_t i, double a, double b) {
          const bool mayOverflow = std::isinf(a) || std::fabs(b) > 100;
          if (a > 1 && mayOverflow &&
              ext::Fabs(detail::Ln(ra[i]) * static_cast<Extended>(rb[i])) > kOverflowLimit) {
            return fail(i, "Arguments too large for exponentiation. Will give overflow.");
          }
          if (a < 0 && std::trunc(rb[i]) != rb[i]) {
            return fail(i,
                        "Exponentiation problem: Negative root is not allowed with a non-integer "
                        "exponent.");
          }
          if (b == 0) {
            out[i] = 1.0f;
          } else if (a == 0) {
            put(i, b < 0 ? std::nullopt : std::optional<float>(0.0f));  // not a number: "0"
          } else if (b == 2) {
            // Exact in double (48 bits): the extended power is within 2^-62 of it.
            put(i, ThroughText(a * a, 0x1p-56));
          } else if (b == 3) {
            // One rounding in double, where the power of a float neither overflows nor
            // underflows.
            put(i, ThroughText(a * a * a, 0x1p-44));
          } else if (b == 4) {
            const double square = a * a;
            put(i, ThroughText(square * square, 0x1p-44));
          } else {
            put(i, ThroughText(std::pow(a, b), 0x1p-44));
          }
        });
        break;
      case Code::Mul:
        each([&](std::size_t i, double a, double b) {
          if ((std::isinf(a) || std::isinf(b)) &&
              detail::Ln(static_cast<Extended>(std::fabs(a))) +
                      detail::Ln(static_cast<Extended>(std::fabs(b))) >
                  kOverflowLimit) {
            return fail(i, "Arguments too large for multiplication. Will give overflow");
          }
          // Exact in double (48 bits), so rounded once to 32 bits as from the extended product.
          put(i, Written(static_cast<float>(a * b)));
        });
        break;
      case Code::Div:
        each([&](std::size_t i, double a, double b) {
          if (b == 0) return fail(i, "Division by zero");
          put(i, Written(static_cast<float>(static_cast<Extended>(a) / static_cast<Extended>(b))));
        });
        break;
      case Code::IntDiv:
        each([&](std::size_t i, double a, double b) {
          const Extended dividend = ext::Nearbyint(static_cast<Extended>(a));
          const Extended divisor = ext::Nearbyint(static_cast<Extended>(b));
          if (b == 0 || divisor == 0) return fail(i, "Integer Division by zero");
          put(i, Written(static_cast<float>(ext::Trunc(dividend / divisor))));
        });
        break;
      case Code::Mod:
        each([&](std::size_t i, double a, double b) {
          // Whole numbers of 32-bit values and their remainder: exact in double as in extended.
          const double dividend = std::nearbyint(a);
          const double divisor = std::nearbyint(b);
          if (divisor == 0) return fail(i, "Integer Division by zero");
          put(i, ThroughText(std::fmod(dividend, divisor), 0x1p-56));
        });
        break;
      case Code::Add:
        each([&](std::size_t i, double, double) { put(i, Written(SumOf(ra[i], rb[i]))); });
        break;
      case Code::Sub:
        each([&](std::size_t i, double, double) { put(i, Written(SumOf(ra[i], -rb[i]))); });
        break;
    }
  }
  const float* result = r + std::size_t{result_} * n;
  for (std::size_t i = 0; i < n; ++i) {
    if (!live[i]) continue;
    outcomes[i].kind = PlanOutcome::Kind::Value;
    outcomes[i].value = result[i];
  }
}

}  // namespace funzioni
