// The study's samples, the order of its phases (each in a file of its concern, see
// StudyAnalysis.h), the tidying of what they found, and what lies beyond the points found.
#include "sampling/FunctionStudy.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "sampling/SampleXs.h"
#include "sampling/StudyAnalysis.h"
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

// Sorted by x, items closer than `close` to the one before dropped.
template <typename Item, typename X>
void SortUnique(std::vector<Item>& items, double close, X x) {
  std::stable_sort(items.begin(), items.end(),
                   [&](const Item& p, const Item& q) { return x(p) < x(q); });
  items.erase(
      std::unique(items.begin(), items.end(),
                  [&](const Item& p, const Item& q) { return std::fabs(x(p) - x(q)) <= close; }),
      items.end());
}

}  // namespace

StudyAnalysis::StudyAnalysis(StudyProbe& probe, const StudiedRange& range)
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

FunctionStudy StudyAnalysis::Run(const StopToken& stop) {
  out_.yIntercept = probe_.At(0.0f);
  // The order matters. Gaps come first: their edges and asymptotes are breaks every later
  // phase keeps apart. Runs of zeros come before sign changes, which add the crossings, poles
  // and jumps across 0; jumps that keep the sign are told from steep stretches only away from
  // the breaks known so far. Bumps add touching zeros and poles between samples of one sign;
  // then zeros split by noise are merged, which needs every zero and break. Extrema need every
  // break (the top of a jump is none), inflections the extrema, and the signs every cut.
  const std::vector<void (StudyAnalysis::*)()> phases = {
      &StudyAnalysis::FindGaps,        &StudyAnalysis::FindZeroRuns,
      &StudyAnalysis::FindSignChanges, &StudyAnalysis::FindJumps,
      &StudyAnalysis::FindBumps,       &StudyAnalysis::MergeCloseZeros,
      &StudyAnalysis::FindExtrema,     &StudyAnalysis::FindInflectionPoints,
      &StudyAnalysis::FindSigns};
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

bool StudyAnalysis::HasValue(float x) {
  return probe_.At(x).has_value();
}

bool StudyAnalysis::IsZero(float x) {
  const std::optional<double> v = probe_.At(x);
  return v && *v == 0;
}

double StudyAnalysis::Size(float x) {
  const std::optional<double> v = probe_.At(x);
  return v ? std::fabs(*v) : 0;
}

void StudyAnalysis::TypicalSize() {
  std::vector<double> sizes;
  for (const auto& y : ys_) {
    if (y && *y != 0) sizes.push_back(std::fabs(*y));
  }
  if (sizes.empty()) return;
  std::nth_element(sizes.begin(), sizes.begin() + sizes.size() / 2, sizes.end());
  typical_ = sizes[sizes.size() / 2];
}

bool StudyAnalysis::Grows(float edge, int dir) {
  return probe_.GrowsWithoutBound(edge, dir, step_, typical_);
}

int StudyAnalysis::SignAt(double x) {
  const std::optional<double> v = probe_.At(static_cast<float>(x));
  return v ? Sign(*v) : 0;
}

bool StudyAnalysis::Unbroken(double from, double to) const {
  return StudyBreaks{breaks_, out_.gaps}.Unbroken(from, to);
}

bool StudyAnalysis::Continuous(std::size_t a, std::size_t b) const {
  for (std::size_t k = a; k <= b; ++k) {
    if (!ys_[k]) return false;
  }
  return Unbroken(xs_[a], xs_[b]);
}

// Positions within rounding of 0 are 0 (the edge of SQR(x)'s gap is -1.4E-45).
double StudyAnalysis::Snapped(double x) const {
  return std::fabs(x) < kSnapPart * r_ ? 0.0 : x;
}

void StudyAnalysis::Tidy() {
  const double close = kSamePosition * r_;
  for (StudyGap& g : out_.gaps) g = {Snapped(g.from), Snapped(g.to), g.reason};
  for (StudyZero& z : out_.zeros) z.x = Snapped(z.x);
  for (double& x : out_.asymptotes) x = Snapped(x);
  for (auto* list : {&out_.maxima, &out_.minima, &out_.inflections}) {
    for (StudyPoint& p : *list) p.x = Snapped(p.x);
  }
  for (StudySign& s : out_.signs) s = {Snapped(s.from), Snapped(s.to), s.sign};
  SortUnique(out_.gaps, close, [](const StudyGap& g) { return g.from; });
  SortUnique(out_.zeros, close, [](const StudyZero& z) { return z.x; });
  SortUnique(out_.asymptotes, close, [](double x) { return x; });
  SortUnique(out_.maxima, close, [](const StudyPoint& p) { return p.x; });
  SortUnique(out_.minima, close, [](const StudyPoint& p) { return p.x; });
  SortUnique(out_.inflections, close, [](const StudyPoint& p) { return p.x; });
  SortUnique(out_.signs, close, [](const StudySign& s) { return s.from; });
}

void StudyAnalysis::AddLimits() {
  LimitFindings found = FindLimits(probe_, {r_, step_, typical_, out_.asymptotes, out_.gaps, c_});
  out_.limits = std::move(found.limits);
  out_.horizontalAsymptotes = std::move(found.horizontal);
  out_.obliqueAsymptotes = std::move(found.oblique);
}

// The parity, and the derivatives' verdicts between the points found above.
void StudyAnalysis::AddShape() {
  // Parity needs a domain in view that is its own mirror.
  if (low_ == -high_) out_.parity = FindParity(probe_, high_);
  AddOddInflection();
  FindShape(probe_,
            {r_, step_, {breaks_, out_.gaps}, out_.maxima, out_.minima, out_.inflections, c_},
            out_);
}

FunctionStudy StudyFunction(ExpressionEvaluator& evaluator, std::string_view formula, float zoom,
                            StopToken stop) {
  return StudyFunction(evaluator, formula, zoom, std::nullopt, std::move(stop));
}

FunctionStudy StudyFunction(ExpressionEvaluator& evaluator, std::string_view formula, float zoom,
                            const std::optional<PlotView>& view, StopToken stop) {
  StudyProbe probe(formula, evaluator, stop);
  return StudyAnalysis(probe, RangeOf(zoom, view)).Run(stop);
}

}  // namespace funzioni
