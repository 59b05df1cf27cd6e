#include "sampling/StudyProbe.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include "evaluator/BitCast.h"
#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/ResultReading.h"
#include "evaluator/TypedText.h"
#include "sampling/PlannedSampling.h"

namespace funzioni {

namespace {

// Values below the smallest normal float keep only a few bits: their steps (x*EXP(x) near
// -103) would read as extrema and inflections, so they are held as 0, as underflow.
std::optional<double> Held(const std::optional<Extended>& value) {
  if (!value) return std::nullopt;
  if (ext::Fabs(*value) < static_cast<Extended>(std::numeric_limits<float>::min())) return 0.0;
  return static_cast<double>(std::clamp<Extended>(*value, -kStudyHuge, kStudyHuge));
}

std::uint32_t Bits(float x) {
  return BitCast<std::uint32_t>(x == 0 ? 0.0f : x);
}

}  // namespace

std::int32_t FloatKey(float x) {
  const std::int32_t bits = BitCast<std::int32_t>(x);
  return bits < 0 ? -(bits & 0x7fffffff) : bits;
}

float KeyFloat(std::int32_t key) {
  return key < 0 ? BitCast<float>(static_cast<std::int32_t>((-key) | 0x80000000))
                 : BitCast<float>(key);
}

StudyProbe::StudyProbe(std::string_view formula, ExpressionEvaluator& evaluator, StopToken stop)
    : formula_(formula),
      evaluator_(evaluator),
      stop_(std::move(stop)),
      plan_(FormulaPlan::Compile(formula, [this] { return stop_.stop_requested(); })) {}

std::optional<double> StudyProbe::At(float x) {
  const auto found = cache_.find(Bits(x));
  if (found != cache_.end()) return found->second;
  if (Stopped()) return std::nullopt;  // not kept: it is no value of the function
  const std::optional<double> value =
      Held(EvaluatePlannedAt(plan_ ? &*plan_ : nullptr, evaluator_, formula_, x));
  cache_.emplace(Bits(x), value);
  return value;
}

void StudyProbe::AtMany(std::span<const float> xs, std::span<std::optional<double>> values) {
  // Blocks small enough that a stop is seen within a few milliseconds even where the text
  // engine answers every sample.
  constexpr std::size_t kBlock = 4 * FormulaPlan::kSamplesSideBySide;
  const std::size_t n = std::min(xs.size(), values.size());
  std::vector<std::optional<Extended>> raw(kBlock);
  for (std::size_t start = 0; start < n; start += kBlock) {
    const std::size_t count = std::min(kBlock, n - start);
    if (Stopped()) {
      std::fill(values.begin() + start, values.begin() + n, std::nullopt);
      return;
    }
    EvaluatePlannedMany(plan_ ? &*plan_ : nullptr, evaluator_, formula_, xs.subspan(start, count),
                        std::span(raw).first(count));
    for (std::size_t i = 0; i < count; ++i) {
      values[start + i] = Held(raw[i]);
      cache_.emplace(Bits(xs[start + i]), values[start + i]);
    }
  }
}

std::string StudyProbe::Reason(float x) {
  const std::string text = PlannedResultText(plan_ ? &*plan_ : nullptr, evaluator_, formula_, x);
  const std::string_view prefix = detail::kErrorPrefix;
  const std::size_t at = text.find(prefix);
  std::string reason = at == std::string::npos ? text : text.substr(at + prefix.size());
  while (!reason.empty() && reason.back() == ' ') reason.pop_back();
  return reason;
}

std::pair<float, float> StudyProbe::Bisect(float a, float b,
                                           const std::function<bool(float)>& test) {
  const bool atA = test(a);
  // 64 bits: the keys of a range across 0 lie further apart than 32 bits can say.
  std::int64_t lo = FloatKey(a);
  std::int64_t hi = FloatKey(b);
  while (hi - lo > 1) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    if (test(KeyFloat(static_cast<std::int32_t>(mid))) == atA) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return {KeyFloat(static_cast<std::int32_t>(lo)), KeyFloat(static_cast<std::int32_t>(hi))};
}

float StudyProbe::Argmax(float a, float b, const std::function<double(double)>& score) {
  const auto scored = [&](std::int64_t key) {
    const std::optional<double> value = At(KeyFloat(static_cast<std::int32_t>(key)));
    return value ? score(*value) : -HUGE_VAL;
  };
  // First over x itself: over the floats' order the stretch near 0 holds most of the floats of
  // [a, b] (as many between 0 and 1e-19 as between 1e-19 and 1), where the values are level
  // and the search would lose a minimum at 1/3.
  double left = a;
  double right = b;
  for (int i = 0; i < 200 && FloatKey(static_cast<float>(right)) -
                                     static_cast<std::int64_t>(FloatKey(static_cast<float>(left))) >
                                 64;
       ++i) {
    const double third = (right - left) / 3;
    const auto at = [&](double x) { return scored(FloatKey(static_cast<float>(x))); };
    if (at(left + third) < at(right - third)) {
      left += third;
    } else {
      right -= third;
    }
  }
  std::int64_t lo = FloatKey(static_cast<float>(left));
  std::int64_t hi = FloatKey(static_cast<float>(right));
  while (hi - lo > 2) {
    const std::int64_t third = (hi - lo) / 3;
    if (scored(lo + third) < scored(hi - third)) {
      lo += third;
    } else {
      hi -= third;
    }
  }
  std::int64_t best = lo;
  for (std::int64_t key = lo + 1; key <= hi; ++key) {
    if (scored(key) > scored(best)) best = key;
  }
  return KeyFloat(static_cast<std::int32_t>(best));
}

bool StudyProbe::GrowsWithoutBound(float edge, int dir, double step, double typical) {
  std::vector<double> sizes;
  float last = edge;
  for (int decade = 0; decade <= 12; ++decade) {
    const float x = static_cast<float>(edge + dir * step * std::pow(10.0, -decade));
    if (x == edge || x == last) break;
    const std::optional<double> value = At(x);
    if (!value) break;
    sizes.push_back(std::fabs(*value));
    last = x;
  }
  // Values beyond every number (EXP(1/x) near 0 from the right) are as unbounded as can be;
  // values far beyond the typical size (towards the 32-bit limit, as x EXP(1/x) near 0) may
  // then stand still between neighbouring x.
  const bool infinite = !sizes.empty() && sizes.back() >= kStudyHuge;
  const double beyond = 1e20 * typical;
  std::size_t rising = sizes.empty() ? 0 : 1;  // how many sizes rise from the first
  while (rising < sizes.size() &&
         (sizes[rising] > sizes[rising - 1] ||
          ((infinite || sizes[rising - 1] >= beyond) && sizes[rising] >= sizes[rising - 1]))) {
    ++rising;
  }
  if (infinite && rising == sizes.size()) return true;
  if (rising >= 3 && sizes[rising - 1] >= beyond) return true;
  // Right beside a pole the 32-bit noise of the denominator stops the growth (1/(x^2-2x+1) near
  // 1): a rise by large factors to far above the typical size is enough.
  if (rising >= 3 && sizes[rising - 1] >= 1e6 * typical && sizes[rising - 1] >= 100 * sizes[0]) {
    return true;
  }
  if (rising < 4 || rising < sizes.size()) return false;
  // Growth towards a finite limit slows by a factor at every decade; a logarithm's does not.
  const double first = sizes[1] - sizes[0];
  const double lastGrowth = sizes.back() - sizes[sizes.size() - 2];
  return lastGrowth >= 0.5 * first;
}

bool StudyProbe::ContinuousAt(float x, double step) {
  const std::optional<double> centre = At(x);
  if (!centre) return false;
  const auto change = [&](double h) -> std::optional<double> {
    double most = 0;
    for (const int dir : {-1, 1}) {
      const std::optional<double> value = At(static_cast<float>(x + dir * h));
      if (!value) return std::nullopt;
      most = std::max(most, std::fabs(*value - *centre));
    }
    return most;
  };
  const double ulp = std::fabs(std::nextafter(x, HUGE_VALF) - x);
  const std::optional<double> wide = change(step);
  const std::optional<double> narrow = change(std::max(step * 1e-3, 8.0 * ulp));
  if (!wide || !narrow) return false;
  // A change of a few units of the value's last 32-bit place is rounding, not a jump (the flat
  // top of x^2/1000+2, where the values step by single units).
  const double rounding = 4 * std::fabs(std::nextafter(static_cast<float>(*centre), HUGE_VALF) -
                                        static_cast<float>(*centre));
  return *wide == 0 || *narrow <= 0.2 * *wide || *narrow <= rounding;
}

}  // namespace funzioni
