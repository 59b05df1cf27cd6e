// Running a compiled plan: the samples of a block side by side, one function per operation.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "evaluator/ArithmeticKernels.h"
#include "evaluator/Extended.h"
#include "evaluator/FormulaPlan.h"
#include "evaluator/Functions.h"
#include "evaluator/PlanRounding.h"
#include "evaluator/XTextReading.h"

namespace funzioni {

namespace {

// The samples of one block at one operation: register k of sample i is r[k * n + i]. A sample
// that is declined or fails drops out, as it would stop there alone.
struct Lanes {
  std::size_t n = 0;
  bool* live = nullptr;
  PlanOutcome* outcomes = nullptr;
  float* out = nullptr;
  const float* a = nullptr;
  const float* b = nullptr;

  // Sets the sample's result, or declines the sample.
  void Put(std::size_t i, std::optional<float> v) const {
    if (v) {
      out[i] = *v;
    } else {
      live[i] = false;
    }
  }
  void Fail(std::size_t i, const char* message) const {
    live[i] = false;
    outcomes[i].kind = PlanOutcome::Kind::Error;
    outcomes[i].error = message;
  }
  // Operands are 32-bit values, exact in double.
  template <class Step>
  void Each(Step&& step) const {
    // Read once: a call inside the step must not make the loop fetch them again.
    const std::size_t count = n;
    const bool* const alive = live;
    const float* const x = a;
    const float* const y = b;
    for (std::size_t i = 0; i < count; ++i) {
      if (alive[i]) step(i, static_cast<double>(x[i]), static_cast<double>(y[i]));
    }
  }
};

// A sign before a zero reads as adding or subtracting 0 after an operator ("2^-0^x" is
// 2^0 - 0^x): a path that a plan does not follow.
void RunSign(const Lanes lanes, bool negate) {
  lanes.Each([&](std::size_t i, double a, double) {
    if (a == 0) return lanes.Put(i, std::nullopt);
    lanes.Put(i, negate ? -lanes.a[i] : lanes.a[i]);
  });
}

void RunFunction(const Lanes lanes, int function) {
  lanes.Each([&](std::size_t i, double, double) {
    const float argument = detail::FunctionArgument(function, lanes.a[i], true);
    if (const std::optional<float> fast = detail::FastFunction(function, argument)) {
      lanes.out[i] = *fast;
      return;
    }
    const detail::FunctionResult result = detail::ApplyFunction(function, argument);
    if (result.error != nullptr) return lanes.Fail(i, result.error);
    lanes.Put(i, detail::Written(static_cast<float>(result.value)));
  });
}

// The checks and the edge cases are the engine's; the power itself is worked out in double where
// that rounds to the engine's 32-bit value.
void RunPower(const Lanes lanes) {
  lanes.Each([&](std::size_t i, double a, double b) {
    if (const char* refusal = detail::PowerRefusal(a, b)) {
      return lanes.Fail(i, refusal);
    }
    if (detail::IsEdgePower(a, b)) {
      lanes.Put(i, detail::Written(detail::EdgePower(b)));
    } else if (b == 2) {
      // Exact in double (48 bits): the extended power is within 2^-62 of it.
      lanes.Put(i, detail::ThroughText(a * a, 0x1p-56));
    } else if (b == 3) {
      // One rounding in double, where the power of a float neither overflows nor underflows.
      lanes.Put(i, detail::ThroughText(a * a * a, 0x1p-44));
    } else if (b == 4) {
      const double square = a * a;
      lanes.Put(i, detail::ThroughText(square * square, 0x1p-44));
    } else {
      lanes.Put(i, detail::ThroughText(std::pow(a, b), 0x1p-44));
    }
  });
}

// An operation whose kernel gives the 32-bit value as the engine writes it back. Each kernel is
// passed as its own lambda, so that it is inlined into its loop.
template <class Kernel>
void RunChecked(const Lanes lanes, Kernel kernel) {
  lanes.Each([&](std::size_t i, double, double) {
    const detail::Checked result = kernel(lanes.a[i], lanes.b[i]);
    if (result.error != nullptr) return lanes.Fail(i, result.error);
    lanes.Put(i, detail::Written(result.value));
  });
}

void RunSum(const Lanes lanes, bool subtract) {
  lanes.Each([&](std::size_t i, double, double) {
    const float b = subtract ? -lanes.b[i] : lanes.b[i];
    lanes.Put(i, detail::Written(detail::SumOf(lanes.a[i], b)));
  });
}

}  // namespace

PlanOutcome FormulaPlan::Run(float x) const {
  PlanOutcome outcome;
  RunMany(std::span<const float>(&x, 1), std::span<PlanOutcome>(&outcome, 1));
  return outcome;
}

void FormulaPlan::RunMany(std::span<const float> xs, std::span<PlanOutcome> outcomes) const {
  const std::size_t count = std::min(xs.size(), outcomes.size());
  std::vector<float> registers(std::size_t{registers_} * std::min(count, kSamplesSideBySide));
  for (std::size_t first = 0; first < count; first += kSamplesSideBySide) {
    const std::size_t n = std::min(kSamplesSideBySide, count - first);
    RunBlock(xs.subspan(first, n), outcomes.subspan(first, n), registers.data());
  }
}

// The samples of a block go through the plan side by side, operation by operation, so that the
// work of one sample overlaps the waits of the others.
void FormulaPlan::RunBlock(std::span<const float> xs, std::span<PlanOutcome> outcomes,
                           float* r) const {
  const std::size_t n = xs.size();
  std::array<float, kSamplesSideBySide> xValues{};
  std::array<bool, kSamplesSideBySide> live{};
  bool anyLive = false;
  for (std::size_t i = 0; i < n; ++i) {
    PlanOutcome& outcome = outcomes[i];
    outcome = PlanOutcome{};
    const std::optional<XTextForm> xText = detail::XTextFormOf(xs[i]);
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

  for (const Op& op : ops_) {
    const Lanes lanes{n,
                      live.data(),
                      outcomes.data(),
                      r + std::size_t{op.out} * n,
                      r + std::size_t{op.a} * n,
                      r + std::size_t{op.b} * n};
    switch (op.code) {
      case Code::X:
        std::copy_n(xValues.begin(), n, lanes.out);
        break;
      case Code::Const:
        std::fill_n(lanes.out, n, op.constant);
        break;
      case Code::Neg:
        RunSign(lanes, true);
        break;
      case Code::Plus:
        RunSign(lanes, false);
        break;
      case Code::Canon:  // written back as a number: a zero loses its sign
        lanes.Each([&](std::size_t i, double, double) {
          lanes.out[i] = lanes.a[i] == 0 ? 0.0f : lanes.a[i];
        });
        break;
      case Code::Func:
        RunFunction(lanes, op.function);
        break;
      case Code::Pow:
        RunPower(lanes);
        break;
      case Code::Mul:
        RunChecked(lanes, [](float a, float b) { return detail::Product(a, b); });
        break;
      case Code::Div:
        RunChecked(lanes, [](float a, float b) { return detail::Quotient(a, b); });
        break;
      case Code::IntDiv:
        RunChecked(lanes, [](float a, float b) { return detail::IntegerQuotient(a, b); });
        break;
      case Code::Mod:
        RunChecked(lanes, [](float a, float b) { return detail::Remainder(a, b); });
        break;
      case Code::Add:
        RunSum(lanes, false);
        break;
      case Code::Sub:
        RunSum(lanes, true);
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
