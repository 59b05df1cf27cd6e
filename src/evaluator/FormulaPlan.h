// A compiled form of a typed formula for sampling it at many x. The text engine stays the
// definition of every result: a plan reproduces, with the engine's own arithmetic, what the
// engine does with the substituted text, and declines any sample whose text would take a
// different path (an x written with an exponent, a value that is not finite, a power result too
// close to a rounding boundary of the 32-bit format). The caller then asks the engine.
//
// What a plan covers: numbers without exponent letters, x, one sign before an operand, "+",
// "-", "*", "/", "\", "^", "MOD", parentheses, and the functions of kPlanFunctions applied to a
// parenthesised argument. The checks of the text are made once per form of the x text (its
// sign, and whether it starts with a point): a form whose text is refused by them gives that
// refusal for every x written in that form.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace funzioni {

// The 7-digit text of x as the plot writes it, as far as a plan needs it: its value read back as
// the engine reads it, and its form. Empty for 0 and outside 0.001 <= |x| < 10^6.
struct XTextForm {
  float value = 0;            // the text read as a number, rounded to 32 bits
  bool negative = false;      // the text starts with "-"
  bool leadingPoint = false;  // the number starts with "." (its magnitude is below 1)
  bool exponent = false;      // the text is written with an exponent ("9.900001E-2")
};
std::optional<XTextForm> ReadXTextForm(float x);

struct PlanOutcome {
  enum class Kind { Declined, Value, Error };
  Kind kind = Kind::Declined;
  float value = 0;                         // for Value: the 32-bit result
  const char* error = nullptr;             // for Error: the message (without the "Error in" prefix)
  const std::string* errorText = nullptr;  // for Error from the checks: the whole result text
};

// The result text of an outcome that is not Declined, exactly as EvaluateExpressionText gives it.
std::string PlanResultText(const PlanOutcome& outcome);

// The operations of a plan: a machine of 32-bit registers, each operation writing one.
enum class PlanCode : std::uint8_t {
  X,
  Const,
  Neg,
  Func,
  Pow,
  Mul,
  Div,
  IntDiv,
  Mod,
  Add,
  Sub,
  Canon,  // a part's value written back as a number: a zero loses its sign
  Plus
};

class FormulaPlan {
 public:
  // Empty when the formula is outside what a plan covers, or when stopRequested (asked between
  // the text engine's evaluations that compiling takes) said so.
  static std::optional<FormulaPlan> Compile(std::string_view formula,
                                            const std::function<bool()>& stopRequested = {});

  PlanOutcome Run(float x) const;
  // Samples RunMany runs side by side (more are run in turns of this many): a caller that looks
  // for a stop request does so between such runs.
  static constexpr std::size_t kSamplesSideBySide = 64;
  // Run at each x, side by side: outcomes[i] is Run(xs[i]).
  void RunMany(std::span<const float> xs, std::span<PlanOutcome> outcomes) const;

 private:
  using Code = PlanCode;
  struct Op {
    Code code;
    std::uint8_t function = 0;  // for Func: the number in FunctionTable
    std::uint16_t a = 0;        // operand registers
    std::uint16_t b = 0;
    std::uint16_t out = 0;
    float constant = 0;
  };
  // One form of the x text: 0 positive, 1 positive below 1, 2 negative, 3 negative above -1,
  // 4 positive with an exponent, 5 negative with an exponent.
  static constexpr std::size_t kForms = 6;
  struct Form {
    bool compiled = false;
    std::optional<std::string> refusal;  // the checks refuse every text of this form
  };

  // Which forms the text engine's checks let through; the forms they refuse outright get their
  // refusal. Nothing when a stop was requested.
  std::optional<std::array<bool, kForms>> ProbeForms(std::string_view formula,
                                                     const std::function<bool()>& stopRequested);

  void RunBlock(std::span<const float> xs, std::span<PlanOutcome> outcomes, float* r) const;

  std::vector<Op> ops_;
  std::uint16_t result_ = 0;
  std::uint16_t registers_ = 0;
  std::array<Form, kForms> forms_;
};

}  // namespace funzioni
