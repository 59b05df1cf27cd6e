#pragma once

// The typed formula's values for the study of the function: each x evaluated once, through the
// same path as the plot's samples, and the searches on those values (bisection, extremum search,
// growth towards a point) that place what the study finds.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "evaluator/FormulaPlan.h"
#include "sampling/StopToken.h"

namespace funzioni {

class ExpressionEvaluator;

// Where values beyond the double range are held, so that differences of values stay finite.
constexpr double kStudyHuge = 1e300;

// Floats in order as integers: consecutive keys are neighbouring floats (both zeros are key 0).
std::int32_t FloatKey(float x);
float KeyFloat(std::int32_t key);

class StudyProbe {
 public:
  // A stop requested through stop ends the formula's compilation, and from then on every value
  // not yet known is empty without being computed, so that whatever search is running ends
  // within a few evaluations.
  StudyProbe(std::string_view formula, ExpressionEvaluator& evaluator, StopToken stop = {});

  bool Stopped() const { return stop_.stop_requested(); }
  // What another probe needs to study a part of this formula alongside it.
  std::string_view Formula() const { return formula_; }
  ExpressionEvaluator& Evaluator() const { return evaluator_; }
  const StopToken& Stop() const { return stop_; }

  // The value at x, empty where the evaluator gives none; values beyond the double range are
  // held as +-kStudyHuge.
  std::optional<double> At(float x);
  // At for many x at once (the compiled plan runs them side by side, a block at a time).
  void AtMany(std::span<const float> xs, std::span<std::optional<double>> values);
  // The evaluator's message at x, without its "Error in Expression" prefix.
  std::string Reason(float x);

  // Neighbouring floats (l, r) between a and b (a < b) with test(l) == test(a) and
  // test(r) != test(a); test must differ at a and b.
  std::pair<float, float> Bisect(float a, float b, const std::function<bool(float)>& test);
  // The x in [a, b] where score (of a value) is largest, by ternary search over the floats;
  // a point without a value scores lowest.
  float Argmax(float a, float b, const std::function<double(double)>& score);
  // True when |f| grows without bound towards edge from the side dir (-1 or +1): the values at
  // edge + dir h for h = step, step/10, ... grow at every decade without slowing down, or rise
  // far beyond typical (the function's typical size).
  bool GrowsWithoutBound(float edge, int dir, double step, double typical);
  // True when f has no jump at x: the change of f over a short distance is a small part of its
  // change over one sample step.
  bool ContinuousAt(float x, double step);

 private:
  std::string formula_;
  ExpressionEvaluator& evaluator_;
  StopToken stop_;
  std::optional<FormulaPlan> plan_;
  std::unordered_map<std::uint32_t, std::optional<double>> cache_;
};

}  // namespace funzioni
