#include "evaluator/FormulaPlan.h"

#include <algorithm>

#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/NumberWriting.h"
#include "evaluator/PlanParser.h"
#include "evaluator/PlanText.h"
#include "evaluator/TypedText.h"
#include "evaluator/XTextReading.h"

namespace funzioni {

std::optional<XTextForm> ReadXTextForm(float x) {
  return detail::XTextFormOf(x);
}

std::string PlanResultText(const PlanOutcome& outcome) {
  if (outcome.kind == PlanOutcome::Kind::Error) {
    if (outcome.errorText != nullptr) return *outcome.errorText;
    return std::string(detail::kErrorPrefix) + outcome.error;
  }
  std::string text(outcome.value < 0 ? "" : " ");
  text += detail::WriteNumber(outcome.value, detail::kNumberDigits).View();
  return text;
}

std::optional<FormulaPlan> FormulaPlan::Compile(std::string_view formula,
                                                const std::function<bool()>& stopRequested) {
  FormulaPlan plan;
  // The x text must stand apart from the rest: next to a letter, a digit, a point or a name its
  // figures could join a number or a name ("EXPx" with x = 2 reads EXP2).
  const std::optional<std::string> normalised = detail::NormaliseFormula(formula);
  if (!normalised || !detail::StandsApart(*normalised)) return std::nullopt;
  // The parser first: it costs one pass over the text, while each probe below is a whole
  // evaluation by the text engine.
  detail::PlanParser parser(*normalised);
  const bool captured = parser.Parse();
  const std::optional<std::array<bool, kForms>> valid = plan.ProbeForms(formula, stopRequested);
  if (!valid) return std::nullopt;
  const bool anyValid = std::find(valid->begin(), valid->end(), true) != valid->end();
  // Not captured: only the forms the checks refuse outright can still be answered.
  if (anyValid && captured) {
    std::vector<detail::PlanParser::Tagged> ops = std::move(parser.Ops());
    std::stable_sort(ops.begin(), ops.end(),
                     [&](const detail::PlanParser::Tagged& l, const detail::PlanParser::Tagged& r) {
                       const int lp = parser.PartOrder(l.part);
                       const int rp = parser.PartOrder(r.part);
                       if (lp != rp) return lp < rp;
                       if (l.stage != r.stage) return l.stage < r.stage;
                       if (l.key != r.key) return l.key < r.key;
                       if (l.position != r.position) return l.position < r.position;
                       return l.after < r.after;
                     });
    for (const detail::PlanParser::Tagged& t : ops) {
      Op op{};
      op.code = t.code;
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
      const std::string text = detail::Substituted(formula, kSamples[form][k]);
      results[k] = evaluator.EvaluateExpressionText(text);
      std::string checked = detail::Normalised(text, 'X');
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

}  // namespace funzioni
