#include "evaluator/PlanParser.h"

#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/LanguageTables.h"
#include "evaluator/NumberReading.h"
#include "evaluator/PlanText.h"

namespace funzioni::detail {

namespace {

// Beyond this many operations a plan is not worth keeping: the text engine answers instead.
constexpr std::size_t kMaxOps = 512;
// Parts nested deeper are left to the text engine: the reading below goes one call deeper for
// each, and a long typed formula must not run out of stack.
constexpr std::size_t kMaxDepth = 64;

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

}  // namespace

bool PlanParser::Parse() {
  const int part = NewPart();
  const std::optional<std::uint16_t> value = Sum(part);
  if (!value || at_ != text_.size()) return false;
  result_ = *value;
  CloseAt(part);
  return ops_.size() <= kMaxOps;
}

int PlanParser::NewPart() {
  open_.push_back(static_cast<int>(partOrder_.size()));
  partOrder_.push_back(0);
  return open_.back();
}

void PlanParser::CloseAt(int part) {
  partOrder_[static_cast<std::size_t>(part)] = closed_++;
  open_.pop_back();
}

std::uint16_t PlanParser::Emit(Tagged op) {
  op.out = registers_++;
  ops_.push_back(op);
  return op.out;
}

std::optional<std::uint16_t> PlanParser::Binary(int part, auto&& operand,
                                                std::string_view operators, int stage) {
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
    op.code = CodeOf(c);
    op.a = *left;
    op.b = *right;
    left = Emit(op);
  }
  return left;
}

PlanCode PlanParser::CodeOf(char c) {
  switch (c) {
    case '^':
      return PlanCode::Pow;
    case '*':
      return PlanCode::Mul;
    case '/':
      return PlanCode::Div;
    case '\\':
      return PlanCode::IntDiv;
    case word::kMod:
      return PlanCode::Mod;
    case '+':
      return PlanCode::Add;
    default:
      return PlanCode::Sub;
  }
}

std::optional<std::uint16_t> PlanParser::Sum(int part) {
  return Binary(
      part, [this](int p) { return Modulo(p); }, "+-", kSums);
}

std::optional<std::uint16_t> PlanParser::Modulo(int part) {
  return Binary(
      part, [this](int p) { return IntegerDivision(p); }, std::string_view(&word::kMod, 1),
      kModulo);
}

std::optional<std::uint16_t> PlanParser::IntegerDivision(int part) {
  return Binary(
      part, [this](int p) { return Product(p); }, "\\", kIntegerDivisions);
}

std::optional<std::uint16_t> PlanParser::Product(int part) {
  return Binary(
      part, [this](int p) { return Power(p); }, "*/", kProducts);
}

std::optional<std::uint16_t> PlanParser::Power(int part) {
  return Binary(
      part, [this](int p) { return Signed(p); }, "^", kPowers);
}

std::optional<std::uint16_t> PlanParser::Signed(int part) {
  const char c = Peek();
  if (c != '+' && c != '-') return Operand(part);
  ++at_;
  const std::optional<std::uint16_t> value = Operand(part);
  if (!value) return value;
  const Tagged& last = ops_.back();
  Tagged sign = last;
  sign.after = last.after + 1;
  sign.code = c == '-' ? PlanCode::Neg : PlanCode::Plus;
  sign.a = *value;
  return Emit(sign);
}

std::optional<std::uint16_t> PlanParser::Operand(int part) {
  const char c = Peek();
  if (c == kPlaceOfX) {
    ++at_;
    return Load(part, PlanCode::X, 0);
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
    op.code = PlanCode::Func;
    op.function = static_cast<std::uint8_t>(number);
    op.a = *argument;
    return Emit(op);
  }
  return std::nullopt;
}

std::optional<std::uint16_t> PlanParser::Load(int part, PlanCode code, float constant) {
  Tagged op;
  op.part = part;
  op.stage = kLoad;
  op.code = code;
  op.constant = constant;
  return Emit(op);
}

std::optional<std::uint16_t> PlanParser::Number(int part) {
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
  return Load(part, PlanCode::Const, value);
}

std::optional<std::uint16_t> PlanParser::Group() {
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
  if (ops_.back().code != PlanCode::Neg) return value;
  Tagged canon = ops_.back();
  canon.after = canon.after + 1;
  canon.code = PlanCode::Canon;
  canon.a = *value;
  return Emit(canon);
}

}  // namespace funzioni::detail
