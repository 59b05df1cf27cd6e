#include "sampling/StudyLimits.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>

#include "sampling/StudyFit.h"
#include "sampling/StudyProbe.h"

namespace funzioni {

namespace {

using Kind = StudyValue::Kind;

// Far x form a geometric sequence from near 1 to the largest floats, with a ratio near
// 10^(1/8) that is no round number, so that no x is a round one (SIN in degrees at 10^k is
// always sin 280 deg) and no verdict rests on one x. It starts near 1, not beyond the range:
// EXP(0-x^2) has values only up to x = 106.
constexpr double kFarRatio = 1.3319;
constexpr double kFarStart = 1.0937;
constexpr double kFarmost = 3e38;  // below the largest float
// Values that dwindle to 0 through underflow come down to about this size first.
constexpr double kNoUnderflow = 1e-20;
// Holes this far out, with values after them, are holes all the way out (LN(SIN(x))).
constexpr double kFarHoles = 1e6;
// The values a verdict at infinity is drawn from: the last ones, spanning a factor of 10^4 in
// x, so that an oscillation damped as 1/x shrinks a hundredfold from one half to the other.
constexpr std::size_t kTail = 32;
constexpr std::size_t kFewest = 6;
// Changes from one far x to the next that shrink by this ratio or faster converge (1/SQR(x)
// shrinks by 0.75); those that do not shrink (LOG(x): ratio 1) grow without bound.
constexpr double kConverging = 0.9;
constexpr double kDiverging = 0.97;
// An oscillation whose spread shrinks to this part over the tail dies down (SIN(x)/x: to
// 1/300); one that keeps this part of it does not (SIN(x)).
constexpr double kDiesDown = 0.05;
constexpr double kKeepsOn = 0.2;
// A limit is given as a number when its error bound is below this part of it: a value within
// a thousandth needs its error well below that.
constexpr double kDecided = 3e-4;
// A limit this small against the values it was drawn from is 0 (SQR(x) at 0+, read down to
// the smallest floats, where x itself is rounded to few bits).
constexpr double kNegligible = 1e-12;
// A limit 0 is decided when its error bound is below this part of the values seen.
constexpr double kDecidedZero = 1e-6;
// Values that turn level have settled towards that level when the last few before it stray
// from it by at most this part of the widest stray.
constexpr std::size_t kWindow = 3;
constexpr double kSettled = 0.1;
// One-sided limits are read from this many sample steps away down to the floats beside the
// point: far enough that the rounding of a removable hole ((x^2-9)/(x+3) at -3) is small.
constexpr double kFirstDistance = 8;
// One-sided slopes likewise, nearer: another corner may lie a few steps away.
constexpr double kFirstSlopeDistance = 4;
// A slope is 0 when its error is below kDecidedZero times this much of the slope scale.
constexpr double kSlopeZeroScale = 1000;
// One unit of the last 32-bit place: what each value's own rounding is.
constexpr double kValueUnit = 0x1p-24;
// A domain's end is approached when the values end this much closer to its value.
constexpr double kCloser = 0.1;
// |f| growing by this factor at each of this many halvings of the distance to a point grows
// without bound there (1/x: 2; 1/SQR(x): 1.41).
constexpr double kPoleGrowth = 1.3;
constexpr std::size_t kPoleHalvings = 10;
// The significant digits of the text the window puts in place of x (XValueText).
constexpr int kXTextDigits = 7;
// Values within a few units of the last 32-bit place of the largest are equal: each stage of
// the evaluator rounds to 32 bits, so that f/x at far x strays by 4E-7.
constexpr double kRoundingUnits = 16 * 0x1p-24;

int Sign(double v) {
  return (v > 0) - (v < 0);
}

StudyValue Infinite(double sign) {
  return {sign > 0 ? Kind::PlusInfinity : Kind::MinusInfinity, 0};
}

// A number with its error bound, written with no more digits than the bound allows ("2", not
// "2.000013"); scale is the size of the values it was drawn from.
StudyValue Decided(double value, double error, double scale) {
  if (!std::isfinite(value) || !std::isfinite(error)) return {Kind::Unknown, 0};
  // An approach as slow as SQR(x) at 0+ (estimates shrinking by 0.7 at each halving) leaves
  // an estimate a few times its error.
  if (std::fabs(value) <= 4 * error || std::fabs(value) <= kNegligible * scale) {
    if (error > kDecidedZero * scale) return {Kind::Unknown, 0};
    return {Kind::Number, 0};
  }
  if (error > kDecided * std::fabs(value)) return {Kind::Unknown, 0};
  if (error > 0) {
    const double unit = std::pow(10.0, std::floor(std::log10(2 * error)));
    value = std::round(value / unit) * unit;
  }
  return {Kind::Number, value};
}

double Spread(std::span<const double> v) {
  const auto [low, high] = std::minmax_element(v.begin(), v.end());
  return *high - *low;
}

double Median(std::span<const double> v) {
  std::vector<double> sorted(v.begin(), v.end());
  std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
  return sorted[sorted.size() / 2];
}

// The median distance of the values from their median.
double Stray(std::span<const double> v) {
  const double middle = Median(v);
  std::vector<double> distances;
  for (const double x : v) distances.push_back(std::fabs(x - middle));
  return Median(distances);
}

// Among estimates at halving distances, the mean of the three consecutive ones that agree
// best, with their spread: where the approach has removed the distance's part and the rounding
// of x and of the values has not yet taken over. One pair agreeing by chance does not decide.
// noise (when given) is what the values' rounding may account for in each estimate: three
// estimates that agree within less than that agree by chance.
std::pair<double, double> SteadiestEstimate(std::span<const double> estimates,
                                            std::span<const double> noise = {}) {
  if (estimates.size() < 3) return {estimates.back(), HUGE_VAL};
  std::size_t best = 0;
  double bestSpread = HUGE_VAL;
  for (std::size_t j = 0; j + 2 < estimates.size(); ++j) {
    double spread = Spread(estimates.subspan(j, 3));
    if (!noise.empty()) spread = std::max(spread, noise[j + 1]);
    if (spread < bestSpread) {
      best = j;
      bestSpread = spread;
    }
  }
  // Their mean: the values' rounding averages out a little.
  return {(estimates[best] + estimates[best + 1] + estimates[best + 2]) / 3, bestSpread};
}

// The values move towards target at every step and end far closer to it than they began.
bool SteadilyTowards(std::span<const double> values, double target) {
  for (std::size_t j = 1; j < values.size(); ++j) {
    if (std::fabs(values[j] - target) > std::fabs(values[j - 1] - target)) return false;
  }
  return std::fabs(values.back() - target) <= kCloser * std::fabs(values.front() - target);
}

// Monotone values: the changes' shrinking ratio tells convergence from growth.
StudyValue MonotoneLimit(std::span<const double> t, std::span<const double> changes, int sign,
                         double scale) {
  std::vector<double> ratios;
  for (std::size_t i = changes.size() / 2; i + 1 < changes.size(); ++i) {
    if (changes[i] != 0 && changes[i + 1] != 0) {
      ratios.push_back(std::fabs(changes[i + 1] / changes[i]));
    }
  }
  if (ratios.size() < 3) return {Kind::Unknown, 0};
  std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
  const double ratio = ratios[ratios.size() / 2];
  if (ratio >= kDiverging) return Infinite(sign);
  if (ratio > kConverging) return {Kind::Unknown, 0};
  // The rest of a geometric series of changes.
  double last = 0;
  for (const double change : changes) {
    if (change != 0) last = change;
  }
  const double rest = last * ratio / (1 - ratio);
  return Decided(t.back() + rest, std::fabs(rest), scale);
}

// Values that end level at limit: a limit only when the values before settled towards it.
// x-FIX(x) is level far out only because there every float is a whole number; before that it
// swings as widely as ever.
StudyValue Level(std::span<const double> values, double limit, double rounding, double scale) {
  std::size_t settled = values.size();
  while (settled > 0 && std::fabs(values[settled - 1] - limit) <= rounding) --settled;
  const std::span<const double> before = values.first(settled);
  if (before.size() >= kWindow) {
    double widest = 0;
    for (const double v : before) widest = std::max(widest, std::fabs(v - limit));
    double latest = 0;
    for (const double v : before.last(kWindow)) latest = std::max(latest, std::fabs(v - limit));
    if (latest > kSettled * widest) {
      bool rising = false;
      bool falling = false;
      for (std::size_t i = 1; i < before.size(); ++i) {
        rising = rising || before[i] > before[i - 1];
        falling = falling || before[i] < before[i - 1];
      }
      return {rising && falling ? Kind::None : Kind::Unknown, 0};
    }
  }
  return Decided(limit, rounding, scale);
}

}  // namespace

StudyValue SequenceLimit(std::span<const double> values) {
  if (values.empty()) return {Kind::Unknown, 0};
  if (std::fabs(values.back()) >= kStudyHuge) return Infinite(values.back());
  if (values.size() < kFewest) return {Kind::Unknown, 0};
  const std::span<const double> t = values.last(std::min(values.size(), kTail));
  double scale = 0;
  for (const double v : values) scale = std::max(scale, std::fabs(v));
  const std::span<const double> last = t.last(kFewest);
  double size = 0;
  for (const double v : last) size = std::max(size, std::fabs(v));
  const double rounding = kRoundingUnits * size;
  // Level at the end: the values have reached the limit as far as 32 bits tell, if they came
  // to it gradually.
  if (Spread(last) <= rounding) return Level(values, Median(last), rounding, scale);
  std::vector<double> changes;
  int rising = 0;
  int falling = 0;
  for (std::size_t i = 0; i + 1 < t.size(); ++i) {
    const double change = t[i + 1] - t[i];
    const double near = kRoundingUnits * std::max(std::fabs(t[i]), std::fabs(t[i + 1]));
    changes.push_back(std::fabs(change) <= near ? 0 : change);
    rising += changes.back() > 0;
    falling += changes.back() < 0;
  }
  if (rising == 0 || falling == 0) return MonotoneLimit(t, changes, rising > 0 ? 1 : -1, scale);
  // Monotone at the end, after a hump (x^10 EXP(0-x), rising up to x = 10).
  std::size_t run = changes.size();
  const int direction = changes.back() > 0 ? 1 : -1;
  while (run > 0 && changes[run - 1] * direction >= 0) --run;
  if (changes.size() - run + 1 >= kFewest) {
    return MonotoneLimit(t.subspan(run), std::span(changes).subspan(run), direction, scale);
  }
  // An oscillation: how far the values stray from their middle, early and late in the tail
  // (the median stray, so that a single huge value of TAN(x) does not decide).
  const std::span<const double> first = t.first(t.size() / 2);
  const std::span<const double> second = t.last(t.size() / 2);
  const double before = Stray(first);
  const double after = Stray(second);
  if (after <= kDiesDown * before) {
    return Decided(Median(second), after + kRoundingUnits * std::fabs(Median(second)), scale);
  }
  if (after >= kKeepsOn * before) return {Kind::None, 0};
  return {Kind::Unknown, 0};
}

namespace {

// Whether the seven significant digits of the text that replaces x leave fewer distinct x than
// kPoleHalvings halvings of the first distance from edge need.
bool FewXTextSteps(float edge, double step) {
  if (edge == 0) return false;
  const double textStep =
      std::pow(10.0, std::floor(std::log10(std::fabs(edge))) - (kXTextDigits - 1));
  return kFirstDistance * step < std::ldexp(textStep, static_cast<int>(kPoleHalvings));
}

}  // namespace

StudyValue OneSidedLimit(StudyProbe& probe, float edge, int dir, double step, double typical) {
  // Values that grow without bound towards edge: the sign of the nearest one tells which
  // infinity.
  if (probe.GrowsWithoutBound(edge, dir, step, typical)) {
    std::optional<double> nearest;
    for (double h = step; h > 0; h /= 2) {
      const float x = static_cast<float>(edge + dir * h);
      if (x == edge) break;
      const std::optional<double> v = probe.At(x);
      if (v && *v != 0) nearest = v;
    }
    if (nearest) return Infinite(*nearest);
  }
  // Richardson's step on halving distances removes the linear part of the approach; the
  // distance where successive estimates agree best is where the rounding of x and of the
  // values has not yet taken over.
  std::vector<double> values;
  float previous = edge;
  for (double h = kFirstDistance * step; values.size() < 160; h /= 2) {
    const float x = static_cast<float>(edge + dir * h);
    if (x == edge || x == previous) break;
    const std::optional<double> v = probe.At(x);
    if (!v) {
      if (values.empty()) continue;  // a neighbouring gap, further off than edge's own side
      break;
    }
    values.push_back(*v);
    previous = x;
  }
  if (values.size() < 4) return {Kind::Unknown, 0};
  // A pole the 32-bit noise of x hides right beside it ((2x^2+1)/(x^2-1) at 1, where the
  // values stand still at 1.6E6): |f| grows at every halving of the distance, at least as
  // 1/SQR(distance) does, for many halvings.
  std::size_t growing = 1;
  while (growing < values.size() && values[0] != 0 && Sign(values[growing]) == Sign(values[0]) &&
         std::fabs(values[growing]) >= kPoleGrowth * std::fabs(values[growing - 1])) {
    ++growing;
  }
  if (growing > kPoleHalvings) return Infinite(values[0]);
  // Far from 0 the text put in place of x moves in coarse steps (by 1 beside 10^6): with fewer
  // halvings than the pole test needs before it stands still, no number can be trusted.
  if (FewXTextSteps(edge, step)) return {Kind::Unknown, 0};
  std::vector<double> estimates;
  for (std::size_t j = 0; j + 1 < values.size(); ++j) {
    estimates.push_back(2 * values[j + 1] - values[j]);
  }
  const auto [estimate, spread] = SteadiestEstimate(estimates);
  const double error = std::max(spread, kRoundingUnits * std::fabs(estimate));
  const StudyValue decided = Decided(estimate, error, std::max(typical, std::fabs(estimate)));
  if (decided.kind != Kind::Unknown) return decided;
  // The end of the domain (SQR(4-x^2) at -2+): f has a value at the first float past edge,
  // and the values approach it steadily, too slowly for the estimates to agree.
  const std::optional<double> end = probe.At(KeyFloat(FloatKey(edge) + dir));
  if (end && SteadilyTowards(values, *end)) return {Kind::Number, *end};
  // Values that swing back and forth as much near edge as further away have no limit.
  const std::span<const double> all(values);
  const std::size_t third = all.size() / 3;
  if (third >= 4 && Spread(all.last(third)) >= kKeepsOn * Spread(all.first(third)) &&
      Spread(all.last(third)) > kDecided * typical) {
    int turns = 0;
    for (std::size_t j = 2; j < all.size(); ++j) {
      turns += Sign(all[j] - all[j - 1]) * Sign(all[j - 1] - all[j - 2]) < 0;
    }
    if (3 * turns >= static_cast<int>(all.size())) return {Kind::None, 0};
  }
  return decided;
}

StudyValue OneSidedSlope(StudyProbe& probe, float x, int dir, double step) {
  const std::optional<double> centre = probe.At(x);
  if (!centre || std::fabs(*centre) >= kStudyHuge) return {Kind::Unknown, 0};
  std::vector<double> slopes;
  std::vector<double> noise;  // of each slope: the values' rounding over the distance
  float previous = x;
  for (double h = kFirstSlopeDistance * step; slopes.size() < 160; h /= 2) {
    const float beside = static_cast<float>(x + dir * h);
    if (beside == x || beside == previous) break;
    const std::optional<double> v = probe.At(beside);
    if (!v || std::fabs(*v) >= kStudyHuge) break;
    const double distance = static_cast<double>(beside) - x;
    slopes.push_back((*v - *centre) / distance);
    // Values below the smallest normal float are held as 0: their slopes are no slopes.
    noise.push_back(
        (kValueUnit * (std::fabs(*v) + std::fabs(*centre)) + std::numeric_limits<float>::min()) /
        std::fabs(distance));
    previous = beside;
  }
  if (slopes.size() < 4) return {Kind::Unknown, 0};
  // A vertical tangent: the slope grows at every halving, by a factor that does not die down
  // (x^(1/3): 2^(2/3); (x^2)^(1/3): 2^(1/3)), to far beyond where it started.
  std::size_t growing = 1;
  while (growing < slopes.size() && std::fabs(slopes[growing]) > std::fabs(slopes[growing - 1]) &&
         Sign(slopes[growing]) == Sign(slopes[0])) {
    ++growing;
  }
  if (growing >= 16 && std::fabs(slopes[growing - 1]) >= 100 * std::fabs(slopes[0]) &&
      std::fabs(slopes[growing - 1] / slopes[growing - 2]) > 1.1) {
    return Infinite(slopes[growing - 1]);
  }
  std::vector<double> estimates;
  std::vector<double> estimateNoise;
  for (std::size_t j = 0; j + 1 < slopes.size(); ++j) {
    estimates.push_back(2 * slopes[j + 1] - slopes[j]);
    estimateNoise.push_back(2 * noise[j + 1] + noise[j]);
  }
  const auto [estimate, error] = SteadiestEstimate(estimates, estimateNoise);
  // A slope 0 (at an extremum) is decided when its error is small against the function's
  // own slope scale: its size over the distance to 0, and the slope one step away.
  const double scale = std::max(
      {1.0, std::fabs(slopes[0]), std::fabs(*centre) / std::max(1.0, std::fabs(double{x}))});
  return Decided(estimate, error, kSlopeZeroScale * scale);
}

namespace {

struct FarValues {
  std::vector<double> xs;
  std::vector<double> values;  // none, with beyondDomain false: holes all the way out
  bool beyondDomain = false;   // f has no values that far out on this side
  int hugeTurns = 0;           // sign changes among the values beyond the number range after
};

// Past the first value beyond the number range, the far values that are still beyond it change
// sign this many times: the amplitude overflows while the sign keeps turning (EXP(0-x)*SIN(x)
// at -inf, whose values pass 1E38 at x = -88 with SIN still negative), so there is no limit.
// Twice, and among a dozen further x, so that one stage's overflow of either sign does not
// decide; the whole period of SIN in degrees spans about six of them.
constexpr int kPastHuge = 12;
constexpr int kHugeTurns = 2;

int HugeTurns(StudyProbe& probe, double x, int dir, int sign) {
  int turns = 0;
  for (int k = 0; k < kPastHuge; ++k) {
    x *= kFarRatio;
    if (x > kFarmost) break;
    const std::optional<double> v = probe.At(static_cast<float>(dir * x));
    if (!v) break;
    if (std::fabs(*v) < kStudyHuge) continue;
    if (Sign(*v) != sign) ++turns;
    sign = Sign(*v);
  }
  return turns;
}

// The formula's factors when it is a product or quotient at its outermost level (no sum or
// difference there), else nothing: the sign of the whole is the product of theirs.
std::vector<std::string_view> Factors(std::string_view formula) {
  std::vector<std::string_view> factors;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < formula.size(); ++i) {
    const char c = formula[i];
    depth += (c == '(') - (c == ')');
    if (depth != 0) continue;
    const char before = i > 0 ? formula[i - 1] : '*';
    // A sign, not a sum: at the start, after an operator or in an exponent ("1E-3").
    const bool sign = before == '*' || before == '/' || before == '^' || before == '(' ||
                      ((before == 'E' || before == 'e') && i >= 2 &&
                       std::isdigit(static_cast<unsigned char>(formula[i - 2])));
    if ((c == '+' || c == '-') && !sign) return {};
    if (c == '*' || c == '/') {
      factors.push_back(formula.substr(start, i - start));
      start = i + 1;
    }
  }
  if (factors.empty() || depth != 0) return {};
  factors.push_back(formula.substr(start));
  return factors;
}

// Where a product overflows the number range and the evaluator refuses it (EXP(0-x)*SIN(x)
// past x = -88.7, where e^88.7 passes the largest float), its factors still have values: their
// signs tell whether the product's keeps turning.
int FactorTurns(StudyProbe& probe, double x, int dir, int sign) {
  std::vector<std::unique_ptr<StudyProbe>> factors;
  for (const std::string_view text : Factors(probe.Formula())) {
    factors.push_back(std::make_unique<StudyProbe>(text, probe.Evaluator(), probe.Stop()));
  }
  if (factors.empty()) return 0;
  int turns = 0;
  for (int k = 0; k < kPastHuge && x <= kFarmost; ++k, x *= kFarRatio) {
    int product = 1;
    for (const auto& factor : factors) {
      const std::optional<double> v = factor->At(static_cast<float>(dir * x));
      product *= v ? Sign(*v) : 0;
    }
    if (product == 0) break;
    if (product != sign) ++turns;
    sign = product;
  }
  return turns;
}

// f at the far x on the side dir, up to the first overflow, or the first value beyond the
// number range, or the first 0 right after values far from 0, or the first value after 0s.
FarValues FarSequence(StudyProbe& probe, int dir) {
  FarValues far;
  int holes = 0;  // refusals far out with values after them
  double lastRefusal = 0;
  for (double x = kFarStart; x <= kFarmost; x *= kFarRatio) {
    const float at = static_cast<float>(dir * x);
    const std::optional<double> v = probe.At(at);
    if (!v) {
      // An overflow ends the values; another refusal ends the run of values before it.
      if (!far.values.empty() && probe.Reason(at).find("overflow") != std::string::npos) {
        far.hugeTurns = FactorTurns(probe, x, dir, Sign(far.values.back()));
        break;
      }
      far.values.clear();
      far.xs.clear();
      lastRefusal = x;
      continue;
    }
    if (lastRefusal >= kFarHoles && far.values.empty()) ++holes;
    const std::size_t n = far.values.size();
    // An exact 0 right after values far from it is an overflow that came back as 0 through
    // an intermediate NaN (x^4-x^3 at 1E30, x^2/(x^2-1) past 1E19), not underflow.
    if (*v == 0 && n >= 1 && std::fabs(far.values[n - 1]) >= kNoUnderflow) break;
    // Nor does a value come back after values that dwindled to 0 (1/(x^2-2x+1) is 1 at
    // 2.5E38, where x^2 overflows).
    if (*v != 0 && n >= 2 && far.values[n - 1] == 0 && far.values[n - 2] == 0) break;
    far.xs.push_back(at);
    far.values.push_back(*v);
    if (std::fabs(*v) >= kStudyHuge) {
      far.hugeTurns = HugeTurns(probe, x, dir, Sign(*v));
      break;
    }
  }
  if (holes >= 2) {
    far.values.clear();
    far.xs.clear();
    return far;
  }
  // No values from some x on, with no overflow to end them: the domain ends there.
  far.beyondDomain = far.values.empty();
  return far;
}

// A value beyond the number range after values that do not grow is an overflow of one stage
// ((2x^2+1)/(x^2-1) where 2x^2 overflows but x^2 does not), not the function's growth.
StudyValue FarVerdict(std::span<const double> values) {
  if (values.empty() || std::fabs(values.back()) < kStudyHuge) return SequenceLimit(values);
  const StudyValue before = SequenceLimit(values.first(values.size() - 1));
  if (before.kind == Kind::Number || before.kind == Kind::None) return before;
  return Infinite(values.back());
}

// The limit at dir * infinity, and the asymptote it shows.
void FarLimit(StudyProbe& probe, int dir, LimitFindings& found) {
  const FarValues far = FarSequence(probe, dir);
  const StudyLimit::Where where =
      dir < 0 ? StudyLimit::Where::MinusInfinity : StudyLimit::Where::PlusInfinity;
  if (far.values.empty() && !far.beyondDomain) {
    found.limits.push_back({where, 0, {Kind::None, 0}});
    return;
  }
  if (far.beyondDomain) return;
  StudyValue limit = FarVerdict(far.values);
  const bool infinite = limit.kind == Kind::PlusInfinity || limit.kind == Kind::MinusInfinity;
  if (infinite && far.hugeTurns >= kHugeTurns) limit = {Kind::None, 0};
  found.limits.push_back({where, 0, limit});
  if (limit.kind == Kind::Number) {
    found.horizontal.push_back({dir, 0, limit.value});
    return;
  }
  if (limit.kind != Kind::PlusInfinity && limit.kind != Kind::MinusInfinity) return;
  std::vector<double> ratios;
  for (std::size_t i = 0; i < far.values.size(); ++i) {
    if (std::fabs(far.values[i]) >= kStudyHuge) break;
    ratios.push_back(far.values[i] / far.xs[i]);
  }
  const StudyValue m = SequenceLimit(ratios);
  if (m.kind != Kind::Number || m.value == 0) return;
  const std::optional<double> q = ObliqueIntercept(probe, dir, m.value);
  if (q) found.oblique.push_back({dir, m.value, *q});
}

// A point where a one-sided limit is wanted: its label, the side, and the edge the values
// approach (the edge of a narrow gap of float noise around a pole, or the point itself).
struct Approach {
  double at = 0;
  int dir = 0;
  double edge = 0;
};

std::vector<Approach> Approaches(const LimitSearch& search) {
  const double r = search.halfRange;
  const double near = 1e-3 * r;  // positions closer than a thousandth of the range are one
  std::vector<Approach> approaches;
  const auto add = [&](double at, int dir, double edge) {
    if (dir < 0 ? at <= search.centre - r + near : at >= search.centre + r - near) return;
    for (const Approach& a : approaches) {
      if (a.dir == dir && std::fabs(a.at - at) <= near) return;
    }
    approaches.push_back({at, dir, edge});
  };
  for (const double x : search.asymptotes) {
    double left = x;
    double right = x;
    bool hasLeft = true;
    bool hasRight = true;
    for (const StudyGap& gap : search.gaps) {
      if (gap.from - near > x || gap.to + near < x) continue;
      hasLeft = x - gap.from <= near;
      hasRight = gap.to - x <= near;
      left = gap.from;
      right = gap.to;
    }
    if (hasLeft) add(x, -1, left);
    if (hasRight) add(x, 1, right);
  }
  for (const StudyGap& gap : search.gaps) {
    add(gap.from, -1, gap.from);
    add(gap.to, 1, gap.to);
  }
  std::sort(approaches.begin(), approaches.end(), [](const Approach& a, const Approach& b) {
    return a.at != b.at ? a.at < b.at : a.dir < b.dir;
  });
  return approaches;
}

}  // namespace

LimitFindings FindLimits(StudyProbe& probe, const LimitSearch& search) {
  LimitFindings found;
  FarLimit(probe, -1, found);
  for (const Approach& a : Approaches(search)) {
    if (probe.Stopped()) return found;
    const StudyValue value =
        OneSidedLimit(probe, static_cast<float>(a.edge), a.dir, search.step, search.typical);
    found.limits.push_back(
        {a.dir < 0 ? StudyLimit::Where::Left : StudyLimit::Where::Right, a.at, value});
  }
  FarLimit(probe, 1, found);
  return found;
}

}  // namespace funzioni
