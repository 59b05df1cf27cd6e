#include "sampling/FunctionStudy.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "sampling/SampleXs.h"
#include "sampling/StudyInflections.h"
#include "sampling/StudyLimits.h"
#include "sampling/StudyProbe.h"
#include "sampling/StudyRules.h"
#include "sampling/StudyShape.h"
#include "state/PlotState.h"

namespace funzioni {

namespace {

// Even samples over the range; the plot's own x and the round numbers are added to them, so
// that a point without a value where the plot or a pupil would look (x = 2 of (x^2-4)/(x-2)) is
// seen.
constexpr int kEvenSamples = 4000;
constexpr double kMostRoundSamples = 8000;

constexpr float kPlotStep = 50;  // the step meter's start value

// Positions closer than this part of the half range are one position.
constexpr double kSamePosition = 1e-6;

int Sign(double v) {
  return (v > 0) - (v < 0);
}

// The x range studied and the plot whose samples it adds to its own. In the seed view of the
// zoom the range is [-r, r] with r the 32-bit half range, so that its numbers are the seed's own.
struct StudiedRange {
  double low = 0;
  double high = 0;
  PlotState plot;  // the zoom, the step meter's start value and the view, if moved

  double Half() const { return (high - low) / 2; }
  double Centre() const { return (low + high) / 2; }
  float LowFloat() const { return static_cast<float>(low); }
  float HighFloat() const { return static_cast<float>(high); }
};

StudiedRange RangeOf(float zoom, const std::optional<PlotView>& view) {
  StudiedRange range;
  range.plot.zoomValue.value = zoom;
  range.plot.stepValue.value = kPlotStep;
  const float r = HalfRange(zoom);
  range.low = -r;
  range.high = r;
  // A view moved along y alone ("Adatta y") shows the seed's x range: its study is the seed's.
  if (!view || (view->xMin == range.low && view->xMax == range.high)) return range;
  range.low = view->xMin;
  range.high = view->xMax;
  range.plot.view = view;
  return range;
}

// The k-th even sample of the range.
float EvenX(const StudiedRange& range, int k) {
  const double x = range.low + (range.high - range.low) * k / kEvenSamples;
  return std::clamp(static_cast<float>(x), range.LowFloat(), range.HighFloat()) + 0.0f;
}

std::vector<float> StudyXs(const StudiedRange& range) {
  std::vector<float> xs;
  for (int k = 0; k <= kEvenSamples; ++k) {
    xs.push_back(EvenX(range, k));
  }
  const std::vector<float> plotted = FormulaSampleXs(range.plot);
  xs.insert(xs.end(), plotted.begin(), plotted.end());
  for (const double round : {0.1, 0.5, 1.0, 10.0}) {
    if ((range.high - range.low) / round > kMostRoundSamples) continue;
    for (double k = std::ceil(range.low / round); k * round <= range.high; ++k) {
      xs.push_back(static_cast<float>(k * round));
    }
  }
  for (float& x : xs) {
    x = std::clamp(x, range.LowFloat(), range.HighFloat()) + 0.0f;  // no negative zero
  }
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  return xs;
}

class Analysis {
 public:
  Analysis(StudyProbe& probe, const StudiedRange& range)
      : probe_(probe), low_(range.low), high_(range.high), r_(range.Half()), c_(range.Centre()) {
    step_ = 2.0 * r_ / kEvenSamples;
    out_.xMin = low_;
    out_.xMax = high_;
    xs_ = StudyXs(range);
    for (int k = 0; k <= kEvenSamples; ++k) {
      const float x = EvenX(range, k);
      grid_.push_back(std::lower_bound(xs_.begin(), xs_.end(), x) - xs_.begin());
    }
    ys_.resize(xs_.size());
    probe_.AtMany(xs_, ys_);
    TypicalSize();
  }

  FunctionStudy Run(const StopToken& stop) {
    out_.yIntercept = probe_.At(0.0f);
    const std::vector<void (Analysis::*)()> phases = {
        &Analysis::FindGaps,        &Analysis::FindZeroRuns,
        &Analysis::FindSignChanges, &Analysis::FindJumps,
        &Analysis::FindBumps,       &Analysis::MergeCloseZeros,
        &Analysis::FindExtrema,     &Analysis::FindInflectionPoints,
        &Analysis::FindSigns};
    for (const auto phase : phases) {
      if (stop.stop_requested()) break;
      (this->*phase)();
    }
    Tidy();
    // Beyond the range and at the breaks the findings above lead to.
    if (!stop.stop_requested()) AddLimits();
    if (!stop.stop_requested()) AddShape();
    return std::move(out_);
  }

 private:
  bool HasValue(float x) { return probe_.At(x).has_value(); }
  bool IsZero(float x) {
    const std::optional<double> v = probe_.At(x);
    return v && *v == 0;
  }
  double Size(float x) {
    const std::optional<double> v = probe_.At(x);
    return v ? std::fabs(*v) : 0;
  }

  void TypicalSize() {
    std::vector<double> sizes;
    for (const auto& y : ys_) {
      if (y && *y != 0) sizes.push_back(std::fabs(*y));
    }
    if (sizes.empty()) return;
    std::nth_element(sizes.begin(), sizes.begin() + sizes.size() / 2, sizes.end());
    typical_ = sizes[sizes.size() / 2];
  }

  bool Grows(float edge, int dir) { return probe_.GrowsWithoutBound(edge, dir, step_, typical_); }

  // The value a sample step from edge, on the side dir, is already near or beyond the 32-bit
  // limit (beside a pole, as LN(x)/x at 0, only the last floats overflow).
  bool Overflows(float edge, int dir) {
    const std::optional<double> v = probe_.At(static_cast<float>(edge + dir * step_));
    return v && std::fabs(*v) >= 0.01 * std::numeric_limits<float>::max();
  }

  // Beside a narrow gap that 32-bit noise opened around a pole (COS(x)/(1+SIN(x)) at -90, where
  // 1+SIN(x) rounds to 0), |f| rises towards the gap's middle at least as fast as
  // 1/sqrt(distance); right beside the gap the noise rules, so the values a tenth and a whole
  // sample step away tell. edge is the gap's last point on the side dir.
  bool RisesTowards(double middle, float edge, int dir) {
    const float mid = static_cast<float>(edge + dir * step_ / 10);
    const float far = static_cast<float>(edge + dir * step_);
    const std::optional<double> fMid = probe_.At(mid);
    const std::optional<double> fFar = probe_.At(far);
    if (!fMid || !fFar) return false;
    const double rise = std::fabs(*fMid) / std::max(std::fabs(*fFar), 1e-300);
    const double closer = std::fabs(far - middle) / std::fabs(mid - middle);
    return rise >= 2 && rise >= std::sqrt(closer);
  }

  void AddAsymptote(float x) {
    out_.asymptotes.push_back(x);
    breaks_.push_back(x);
  }

  // A gap [from, to]; its edges are asymptotes where |f| grows without bound towards them.
  void AddGap(float from, float to, bool valueLeft, bool valueRight) {
    out_.gaps.push_back({from, to, probe_.Reason(from)});
    // Values that climb to the 32-bit limit before a gap running to the range's end are where
    // the evaluator refuses a product too large (x*EXP(x) past 88.7), not a pole.
    const bool left = valueLeft && Grows(from, -1) && !(to >= high_ && Overflows(from, -1));
    const bool right = valueRight && Grows(to, 1) && !(from <= low_ && Overflows(to, 1));
    // A gap narrower than positions are resolved to is where the 32-bit denominator of one pole
    // became 0 (1/(x^2-2x+1) near 1): one asymptote, in its middle.
    if (left && right && to - from <= kResolvedPart * r_) {
      AddAsymptote(static_cast<float>(0.5 * (from + to)));
      return;
    }
    if (left) AddAsymptote(from);
    if (right) AddAsymptote(to);
    const double middle = 0.5 * (from + to);
    if (!left && !right && to - from <= kResolvedPart * r_ &&
        ((valueLeft && RisesTowards(middle, from, -1)) ||
         (valueRight && RisesTowards(middle, to, 1)))) {
      AddAsymptote(static_cast<float>(middle));
    }
  }

  void FindGaps() {
    const auto hasValue = [this](float x) { return HasValue(x); };
    const std::size_t n = xs_.size();
    for (std::size_t i = 0; i < n; ++i) {
      if (ys_[i]) continue;
      std::size_t j = i;
      while (j + 1 < n && !ys_[j + 1]) ++j;
      const float from = i == 0 ? xs_[0] : probe_.Bisect(xs_[i - 1], xs_[i], hasValue).second;
      const float to = j + 1 == n ? xs_[j] : probe_.Bisect(xs_[j], xs_[j + 1], hasValue).first;
      AddGap(from, to, i > 0, j + 1 < n);
      i = j;
    }
  }

  // Sign of the sample's neighbour on one side (0 where it has no value or there is none).
  int SideSign(std::size_t i, int dir) const {
    const std::ptrdiff_t k = static_cast<std::ptrdiff_t>(i) + dir;
    if (k < 0 || k >= static_cast<std::ptrdiff_t>(ys_.size()) || !ys_[k]) return 0;
    return Sign(*ys_[k]);
  }

  // True when the run of zeros [from, to] is where values too small for 32 bits became 0
  // (EXP(x) far left): beside it, on each side that has values, they are near the smallest
  // floats and far below the function's typical size.
  bool Underflow(float from, float to, bool valueLeft, bool valueRight) {
    if (!valueLeft && !valueRight) return false;
    const double tiny = std::min(1e-30, 1e-20 * typical_);
    return (!valueLeft || Size(KeyFloat(FloatKey(from) - 1)) <= tiny) &&
           (!valueRight || Size(KeyFloat(FloatKey(to) + 1)) <= tiny);
  }

  int OutsideSign(float x, int dir) {
    const std::optional<double> v = probe_.At(static_cast<float>(x + dir * step_));
    return v ? Sign(*v) : 0;
  }

  // Runs of samples where the value is exactly 0: a zero at the run's centre, or, for a run
  // wider than the positions are checked to, an interval where f vanishes (no zero listed).
  void FindZeroRuns() {
    const auto isZero = [this](float x) { return IsZero(x); };
    const std::size_t n = xs_.size();
    for (std::size_t i = 0; i < n; ++i) {
      if (!ys_[i] || *ys_[i] != 0) continue;
      std::size_t j = i;
      while (j + 1 < n && ys_[j + 1] && *ys_[j + 1] == 0) ++j;
      const int left = SideSign(i, -1);
      const int right = SideSign(j, 1);
      // At an end of the range the side beyond it tells a crossing from a touching.
      const int before = i == 0 ? OutsideSign(xs_[0], -1) : left;
      const int after = j + 1 == n ? OutsideSign(xs_[n - 1], 1) : right;
      const float from = left != 0 ? probe_.Bisect(xs_[i - 1], xs_[i], isZero).second : xs_[i];
      const float to = right != 0 ? probe_.Bisect(xs_[j], xs_[j + 1], isZero).first : xs_[j];
      const bool touching = !(before != 0 && after != 0 && before != after);
      if (Underflow(from, to, left != 0, right != 0)) {
        // A zero only where f comes down to the smallest floats from both sides (x^10 at 0);
        // towards a gap or the range's end (x*EXP(1/x) left of 0) f merely dwindles.
        if (left != 0 && right != 0) out_.zeros.push_back({0.5 * (from + to), touching});
        i = j;
        continue;
      }
      if (to - from > kResolvedPart * r_ && !RoundedToZero(from, to, i > 0, j + 1 < n)) {
        flats_.emplace_back(from, to);
      } else {
        out_.zeros.push_back({0.5 * (from + to), touching});
      }
      i = j;
    }
  }

  // A short run of zeros that f enters and leaves without a jump is where the 32-bit values
  // of a zero rounded to 0 (LN(x^2+1) at zoom 1, where 1+x^2 is 1 for |x| < 2.4E-4), not a
  // stretch where f vanishes (FIX(x) between -1 and 1). The values beside the run may be one
  // rounding step of an inner part away from 0 (LN(1+2^-23)), far below the typical size.
  bool RoundedToZero(float from, float to, bool hasLeft, bool hasRight) {
    if (to - from > kShortRunPart * r_ || (!hasLeft && !hasRight)) return false;
    const auto enters = [&](float edge, int dir) {
      const float beside = KeyFloat(FloatKey(edge) + dir);
      return probe_.ContinuousAt(edge, step_) || Size(beside) <= kInnerRoundingPart * typical_;
    };
    return (!hasLeft || enters(from, -1)) && (!hasRight || enters(to, 1));
  }

  void FindSignChanges() {
    for (std::size_t i = 0; i + 1 < xs_.size(); ++i) {
      if (ys_[i] && ys_[i + 1] && Sign(*ys_[i]) * Sign(*ys_[i + 1]) < 0) {
        SignChange(xs_[i], xs_[i + 1]);
      }
    }
  }

  // f(a) and f(b) have opposite signs: a crossing zero, a pole, a jump, or a gap between them.
  void SignChange(float a, float b) {
    const int sa = Sign(*probe_.At(a));
    const auto [l, r] = probe_.Bisect(a, b, [&](float x) {
      const std::optional<double> v = probe_.At(x);
      return v && Sign(*v) == sa;
    });
    const std::optional<double> fr = probe_.At(r);
    if (!fr) {
      const float to = probe_.Bisect(r, b, [this](float x) { return HasValue(x); }).first;
      AddGap(r, to, true, true);
      breaks_.push_back(r);
      breaks_.push_back(to);
      return;
    }
    if (*fr == 0) {
      const float to = probe_.Bisect(r, b, [this](float x) { return IsZero(x); }).first;
      out_.zeros.push_back({0.5 * (r + to), false});
      return;
    }
    const float near = Size(l) < Size(r) ? l : r;
    if (Grows(l, -1) || Grows(r, 1)) {
      AddAsymptote(near == l ? r : l);
      return;
    }
    const double far =
        std::max(Size(static_cast<float>(l - step_)), Size(static_cast<float>(r + step_)));
    if (std::max(Size(l), Size(r)) <= 0.1 * far) {
      out_.zeros.push_back({near, false});
      return;
    }
    breaks_.push_back(r);  // a jump across 0
    jumps_.push_back(r);
  }

  // Jumps that keep the sign (FIX(x)+0.5 at 2) break the curve as those across 0 do: where one
  // step between samples changes f far more than the steps beside it, the floats either side
  // of the middle value tell a jump from a steep stretch.
  void FindJumps() {
    const std::size_t n = xs_.size();
    for (std::size_t i = 1; i + 2 < n; ++i) {
      if (!ys_[i - 1] || !ys_[i] || !ys_[i + 1] || !ys_[i + 2]) continue;
      const double step = std::fabs(*ys_[i + 1] - *ys_[i]);
      const double beside =
          std::max(std::fabs(*ys_[i] - *ys_[i - 1]), std::fabs(*ys_[i + 2] - *ys_[i + 1]));
      // A few units of the last 32-bit place are rounding (the flat top of COS(x)), and so is
      // one rounding step of an inner part (LN(x^2+1) leaving 0 at 1.2E-7) far below the
      // typical size.
      const double rounding =
          std::max(kJumpRoundingUnits * std::max(std::fabs(*ys_[i]), std::fabs(*ys_[i + 1])),
                   kInnerRoundingPart * typical_);
      if (!(step > 8 * beside) || step <= rounding || !Unbroken(xs_[i], xs_[i + 1])) continue;
      const double middle = 0.5 * (*ys_[i] + *ys_[i + 1]);
      const bool below = *ys_[i] < middle;
      const auto [l, r] = probe_.Bisect(xs_[i], xs_[i + 1], [&](float x) {
        const std::optional<double> v = probe_.At(x);
        return v && (*v < middle) == below;
      });
      const std::optional<double> fl = probe_.At(l);
      const std::optional<double> fr = probe_.At(r);
      if (fl && fr && std::fabs(*fr - *fl) > 0.5 * step) breaks_.push_back(r);
    }
  }

  // Chains of consecutive even samples (the plot's and the round x being too close to them for
  // the slope between them to rise above the 32-bit noise), each pair linked as linked says.
  template <typename Linked, typename Visit>
  void ForEachChain(Linked linked, Visit visit) {
    std::vector<std::size_t> chain;
    const auto flush = [&] {
      if (chain.size() >= 3) visit(chain);
      chain.clear();
    };
    for (const std::size_t k : grid_) {
      if (!ys_[k]) {
        flush();
        continue;
      }
      if (!chain.empty() && !linked(chain.back(), k)) flush();
      chain.push_back(k);
    }
    flush();
  }

  // Values within a few units of the last place count as level: their order is noise.
  static bool Level(double a, double b) {
    return std::fabs(a - b) <= kLevelUnits * std::max(std::fabs(a), std::fabs(b));
  }

  // Runs of level values strictly inside the chain that are higher (dir +1) or lower (dir -1)
  // than both neighbours: visit gets the neighbours' sample indices and the run's most extreme
  // sample.
  template <typename Key, typename Visit>
  void ForEachPeak(const std::vector<std::size_t>& chain, Key key, int dir, Visit visit) {
    for (std::size_t i = 1; i + 1 < chain.size(); ++i) {
      std::size_t j = i;
      std::size_t best = chain[i];
      while (j + 2 < chain.size() && Level(key(chain[j + 1]), key(chain[i]))) {
        ++j;
        if (dir * (key(chain[j]) - key(best)) > 0) best = chain[j];
      }
      const double top = key(chain[i]);
      if (dir * (top - key(chain[i - 1])) > 0 && dir * (top - key(chain[j + 1])) > 0) {
        visit(chain[i - 1], chain[j + 1], best);
      }
      i = j;
    }
  }

  // Every sample from a to b has a value of one sign.
  bool OneSign(std::size_t a, std::size_t b) const {
    for (std::size_t k = a; k <= b; ++k) {
      if (!ys_[k] || Sign(*ys_[k]) != Sign(*ys_[a]) || *ys_[k] == 0) return false;
    }
    return true;
  }

  // Local maxima of |f| between samples of one sign may be poles; local minima may be zeros
  // where f touches the axis, or two crossings close together.
  void FindBumps() {
    ForEachChain([this](std::size_t a, std::size_t b) { return OneSign(a, b); },
                 [this](const std::vector<std::size_t>& chain) { BumpsOfChain(chain); });
  }

  void BumpsOfChain(const std::vector<std::size_t>& chain) {
    const int sign = Sign(*ys_[chain[0]]);
    const auto size = [this](std::size_t k) { return std::fabs(*ys_[k]); };
    const auto magnitude = [](double v) { return std::fabs(v); };
    const auto smallness = [](double v) { return -std::fabs(v); };
    ForEachPeak(chain, size, 1, [&](std::size_t a, std::size_t b, std::size_t) {
      const float c = probe_.Argmax(xs_[a], xs_[b], magnitude);
      if (Grows(c, -1) || Grows(c, 1)) {
        AddAsymptote(c);
      }
    });
    ForEachPeak(chain, size, -1, [&](std::size_t a, std::size_t b, std::size_t) {
      const float c = probe_.Argmax(xs_[a], xs_[b], smallness);
      const std::optional<double> v = probe_.At(c);
      if (!v) return;
      if (*v == 0) {
        const auto isZero = [this](float x) { return IsZero(x); };
        const float from = probe_.Bisect(xs_[a], c, isZero).second;
        const float to = probe_.Bisect(c, xs_[b], isZero).first;
        out_.zeros.push_back({0.5 * (from + to), true});
      } else if (Sign(*v) != sign) {
        SignChange(xs_[a], c);
        SignChange(c, xs_[b]);
      } else if (TouchesAxis(c, *v) && probe_.ContinuousAt(c, step_)) {
        out_.zeros.push_back({c, true});
      }
    });
  }

  // A smallest |f| that is not 0 is a zero where f touches the axis when a few floats away on
  // both sides |f| is at least twice as large: the zero lies closer to c than 32-bit x can say
  // (ABS(SIN(x)) at 180, where SIN of the rounded angle is 8.7E-8). A minimum that stays level
  // over those floats (EXP(x)/x at 1) is no zero, however small against the other values.
  bool TouchesAxis(float c, double v) {
    for (const int floats : {4, 16}) {
      bool rises = true;
      for (const int dir : {-1, 1}) {
        const std::optional<double> side = probe_.At(KeyFloat(FloatKey(c) + dir * floats));
        rises = rises && side && std::fabs(*side) >= 2 * std::fabs(v);
      }
      if (rises) return true;
    }
    return false;
  }

  int SignAt(double x) {
    const std::optional<double> v = probe_.At(static_cast<float>(x));
    return v ? Sign(*v) : 0;
  }

  // Float noise may split a double root (x (x-3)^2 at 3) into crossings a hair apart: zeros
  // closer than positions are resolved to, with no break between, are one zero whose kind the
  // signs beyond them tell.
  void MergeCloseZeros() {
    std::vector<StudyZero>& zeros = out_.zeros;
    std::sort(zeros.begin(), zeros.end(),
              [](const StudyZero& p, const StudyZero& q) { return p.x < q.x; });
    std::vector<StudyZero> merged;
    for (std::size_t i = 0; i < zeros.size();) {
      std::size_t j = i;
      while (j + 1 < zeros.size() && zeros[j + 1].x - zeros[j].x <= kResolvedPart * r_ &&
             Unbroken(zeros[j].x, zeros[j + 1].x)) {
        ++j;
      }
      if (j == i) {
        merged.push_back(zeros[i++]);
        continue;
      }
      const int before = SignAt(zeros[i].x - step_);
      const int after = SignAt(zeros[j].x + step_);
      merged.push_back(
          {0.5 * (zeros[i].x + zeros[j].x), !(before != 0 && after != 0 && before != after)});
      i = j + 1;
    }
    zeros = std::move(merged);
  }

  bool Unbroken(double from, double to) const {
    return StudyBreaks{breaks_, out_.gaps}.Unbroken(from, to);
  }

  bool Continuous(std::size_t a, std::size_t b) const {
    for (std::size_t k = a; k <= b; ++k) {
      if (!ys_[k]) return false;
    }
    return Unbroken(xs_[a], xs_[b]);
  }

  void FindExtrema() {
    const auto value = [this](std::size_t k) { return *ys_[k]; };
    ForEachChain([this](std::size_t a, std::size_t b) { return Continuous(a, b); },
                 [&](const std::vector<std::size_t>& chain) {
                   for (const int dir : {1, -1}) {
                     ForEachPeak(chain, value, dir,
                                 [&](std::size_t a, std::size_t b, std::size_t best) {
                                   Extremum(xs_[a], xs_[b], xs_[best], dir);
                                 });
                   }
                 });
  }

  // The extremum between a and b, at the centre of the plateau of equal 32-bit values it lies on.
  // The search may stray where the values are not unimodal: the best sample then stands.
  void Extremum(float a, float b, float best, int dir) {
    float c = probe_.Argmax(a, b, [dir](double v) { return dir * v; });
    if (dir * (*probe_.At(best) - *probe_.At(c)) > 0) c = best;
    const double y = *probe_.At(c);
    const auto level = [&](float x) {
      const std::optional<double> v = probe_.At(x);
      return v && *v == y;
    };
    const float from = probe_.Bisect(a, c, level).second;
    const float to = probe_.Bisect(c, b, level).first;
    const float middle = static_cast<float>(0.5 * (from + to));
    // The top of a jump is no extremum; c may lie at the edge of a short plateau of rounded
    // values (LN(x^2+1) near 0), whose middle tells.
    if (!probe_.ContinuousAt(c, step_) &&
        !(to - from <= kShortRunPart * r_ && probe_.ContinuousAt(middle, step_))) {
      return;
    }
    (dir > 0 ? out_.maxima : out_.minima).push_back({middle, y});
  }

  void FindInflectionPoints() {
    out_.inflections =
        FindInflections(probe_, {r_, step_, {breaks_, out_.gaps}, out_.maxima, out_.minima, c_});
  }

  std::optional<int> SignBetween(double from, double to) {
    int balance = 0;
    const auto first = std::upper_bound(xs_.begin(), xs_.end(), from);
    for (auto x = first; x != xs_.end() && *x < to; ++x) {
      const std::optional<double>& y = ys_[x - xs_.begin()];
      if (y) balance += Sign(*y);
    }
    if (balance == 0) {
      const std::optional<double> mid = probe_.At(static_cast<float>(0.5 * (from + to)));
      balance = mid ? Sign(*mid) : 0;
    }
    if (balance == 0) return std::nullopt;
    return Sign(balance);
  }

  void FindSigns() {
    std::vector<std::pair<double, double>> cuts(flats_.begin(), flats_.end());
    for (const StudyZero& zero : out_.zeros) cuts.emplace_back(zero.x, zero.x);
    for (const double x : out_.asymptotes) cuts.emplace_back(x, x);
    for (const double x : jumps_) cuts.emplace_back(x, x);
    for (const StudyGap& gap : out_.gaps) cuts.emplace_back(gap.from, gap.to);
    std::sort(cuts.begin(), cuts.end());
    // A stretch too short to be told from its ends (a jump at the range's end) has no sign of
    // its own: the stretch after it begins there.
    const double tiny = kSamePosition * r_;
    double cursor = low_;
    const auto free = [&](double to) {
      if (to - cursor <= tiny) return;
      const std::optional<int> sign = SignBetween(cursor, to);
      if (sign) out_.signs.push_back({cursor, to, *sign});
    };
    for (const auto& [from, to] : cuts) {
      free(from);
      cursor = std::max(cursor, to);
    }
    free(high_);
  }

  template <typename Item, typename X>
  void SortUnique(std::vector<Item>& items, X x) {
    const double close = kSamePosition * r_;
    std::stable_sort(items.begin(), items.end(),
                     [&](const Item& p, const Item& q) { return x(p) < x(q); });
    items.erase(
        std::unique(items.begin(), items.end(),
                    [&](const Item& p, const Item& q) { return std::fabs(x(p) - x(q)) <= close; }),
        items.end());
  }

  // Positions within rounding of 0 are 0 (the edge of SQR(x)'s gap is -1.4E-45).
  double Snapped(double x) const { return std::fabs(x) < kSnapPart * r_ ? 0.0 : x; }

  void Tidy() {
    for (StudyGap& g : out_.gaps) g = {Snapped(g.from), Snapped(g.to), g.reason};
    for (StudyZero& z : out_.zeros) z.x = Snapped(z.x);
    for (double& x : out_.asymptotes) x = Snapped(x);
    for (auto* list : {&out_.maxima, &out_.minima, &out_.inflections}) {
      for (StudyPoint& p : *list) p.x = Snapped(p.x);
    }
    for (StudySign& s : out_.signs) s = {Snapped(s.from), Snapped(s.to), s.sign};
    SortUnique(out_.gaps, [](const StudyGap& g) { return g.from; });
    SortUnique(out_.zeros, [](const StudyZero& z) { return z.x; });
    SortUnique(out_.asymptotes, [](double x) { return x; });
    SortUnique(out_.maxima, [](const StudyPoint& p) { return p.x; });
    SortUnique(out_.minima, [](const StudyPoint& p) { return p.x; });
    SortUnique(out_.inflections, [](const StudyPoint& p) { return p.x; });
    SortUnique(out_.signs, [](const StudySign& s) { return s.from; });
  }

  void AddLimits() {
    LimitFindings found = FindLimits(probe_, {r_, step_, typical_, out_.asymptotes, out_.gaps, c_});
    out_.limits = std::move(found.limits);
    out_.horizontalAsymptotes = std::move(found.horizontal);
    out_.obliqueAsymptotes = std::move(found.oblique);
  }

  // The parity, and the derivatives' verdicts between the points found above.
  void AddShape() {
    // Parity needs a domain in view that is its own mirror.
    if (low_ == -high_) out_.parity = FindParity(probe_, high_);
    FindShape(probe_,
              {r_, step_, {breaks_, out_.gaps}, out_.maxima, out_.minima, out_.inflections, c_},
              out_);
  }

  StudyProbe& probe_;
  double low_;
  double high_;
  double r_;  // the half width
  double c_;  // the centre
  double step_;
  double typical_ = 1;  // the median size of the values
  std::vector<float> xs_;
  std::vector<std::optional<double>> ys_;
  std::vector<std::size_t> grid_;                 // the indices of the even samples
  std::vector<double> breaks_;                    // poles and jumps, where f is not continuous
  std::vector<double> jumps_;                     // bounded jumps across 0
  std::vector<std::pair<double, double>> flats_;  // intervals where f is 0
  FunctionStudy out_;
};

}  // namespace

FunctionStudy StudyFunction(ExpressionEvaluator& evaluator, std::string_view formula, float zoom,
                            StopToken stop) {
  return StudyFunction(evaluator, formula, zoom, std::nullopt, std::move(stop));
}

FunctionStudy StudyFunction(ExpressionEvaluator& evaluator, std::string_view formula, float zoom,
                            const std::optional<PlotView>& view, StopToken stop) {
  StudyProbe probe(formula, evaluator, stop);
  return Analysis(probe, RangeOf(zoom, view)).Run(stop);
}

}  // namespace funzioni
