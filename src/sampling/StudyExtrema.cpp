// The study's relative extrema, inflections and the signs between the points found.

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "sampling/StudyAnalysis.h"
#include "sampling/StudyInflections.h"
#include "sampling/StudyProbe.h"
#include "sampling/StudyRules.h"

namespace funzioni {

void StudyAnalysis::FindExtrema() {
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
  for (const StudyGap& gap : out_.gaps) {
    if (gap.to < high_) ExtremumBesideGap(static_cast<float>(gap.to), 1);
    if (gap.from > low_) ExtremumBesideGap(static_cast<float>(gap.from), -1);
  }
}

// Between a gap and the first even sample beside it the function may turn (x LN(x) at 1/e,
// x^2 LN(x^2) at +-1/sqrt(e), where at zoom 5000 the samples lie half a unit apart and the
// domain begins at 0): a value one position from the gap's edge is one more sample at the
// chain's end there, and the first even sample a peak when it lies beyond both its neighbours.
// The values right at the edge are no such sample: they may be lost to underflow, and a bound
// reached only at the gap (SIN(x)/x at 0) is no extremum.
void StudyAnalysis::ExtremumBesideGap(float gapEnd, int side) {
  const float edge = std::nextafter(gapEnd, side * std::numeric_limits<float>::infinity());
  const float inner = static_cast<float>(edge + side * kSamePosition * r_);
  const auto past = std::partition_point(grid_.begin(), grid_.end(), [&](std::size_t k) {
    return side > 0 ? xs_[k] <= edge : xs_[k] < edge;
  });
  // The two even samples nearest the edge on its side, the nearer first.
  std::size_t near = 0;
  std::size_t next = 0;
  if (side > 0) {
    if (grid_.end() - past < 2) return;
    near = past[0];
    next = past[1];
  } else {
    if (past - grid_.begin() < 2) return;
    near = past[-1];
    next = past[-2];
  }
  if (side * (xs_[near] - inner) <= 0) return;
  const std::optional<double> atInner = probe_.At(inner);
  if (!atInner || std::fabs(*atInner) >= kStudyHuge || !ys_[near] || !ys_[next] ||
      !Unbroken(std::min(edge, xs_[next]), std::max(edge, xs_[next]))) {
    return;
  }
  const double top = *ys_[near];
  for (const int dir : {1, -1}) {
    const bool peak = dir * (top - *atInner) > 0 && dir * (top - *ys_[next]) > 0 &&
                      !Level(top, *atInner) && !Level(top, *ys_[next]);
    if (!peak) continue;
    if (side > 0) {
      Extremum(inner, xs_[next], xs_[near], dir, edge);
    } else {
      Extremum(xs_[next], inner, xs_[near], dir, edge);
    }
  }
}

// The extremum between a and b, at the centre of the plateau of equal 32-bit values it lies on.
// The search may stray where the values are not unimodal: the best sample then stands. Beside a
// gap's edge f has no values beyond it: there continuity is judged within half the way to it.
void StudyAnalysis::Extremum(float a, float b, float best, int dir, std::optional<float> edge) {
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
  const auto reach = [&](float x) {
    return edge ? std::min(step_, 0.5 * std::fabs(x - *edge)) : step_;
  };
  if (!probe_.ContinuousAt(c, reach(c)) &&
      !(to - from <= kShortRunPart * r_ && probe_.ContinuousAt(middle, reach(middle)))) {
    return;
  }
  (dir > 0 ? out_.maxima : out_.minima).push_back({middle, y});
}

void StudyAnalysis::FindInflectionPoints() {
  out_.inflections =
      FindInflections(probe_, {r_, step_, {breaks_, out_.gaps}, out_.maxima, out_.minima, c_});
}

// How far right of 0 the function runs on with nothing found: to the nearest extremum,
// inflection or zero, halfway to the nearest break or gap (whose values run away), or to the
// range end.
double StudyAnalysis::ReachRightOfZero() const {
  const double near = kResolvedPart * r_;
  double reach = high_;
  for (const double x : breaks_) {
    if (x > 0) reach = std::min(reach, x / 2);
  }
  for (const StudyGap& gap : out_.gaps) {
    if (gap.to > 0) reach = std::min(reach, std::max(gap.from, 0.0) / 2);
  }
  for (const auto list : {&out_.maxima, &out_.minima, &out_.inflections}) {
    for (const StudyPoint& p : *list) {
      if (p.x > near) reach = std::min(reach, p.x);
    }
  }
  for (const StudyZero& zero : out_.zeros) {
    if (zero.x > near) reach = std::min(reach, zero.x);
  }
  return reach;
}

// An odd function bends opposite ways on either side of 0, so where it is continuous at 0 and
// not straight beside it, 0 is an inflection: the curvature may be too slight for any stencil to
// see against the 32-bit noise (SIN(x) at zoom 1, ARCSIN(x) at zoom 1000 with its domain a
// hundredth of the range), while the bend over the whole stretch stands out.
void StudyAnalysis::AddOddInflection() {
  if (out_.parity != StudyParity::Odd || !Unbroken(0, 0)) return;
  const std::optional<double> y0 = probe_.At(0.0f);
  if (!y0 || !probe_.ContinuousAt(0.0f, step_)) return;
  const double near = kResolvedPart * r_;
  for (const auto list : {&out_.maxima, &out_.minima, &out_.inflections}) {
    for (const StudyPoint& p : *list) {
      if (std::fabs(p.x) <= near) return;
    }
  }
  // Inside a stretch where f is 0 (FIX(x) between -1 and 1) nothing bends.
  for (const auto& [from, to] : flats_) {
    if (from <= 0 && to >= 0 && to > from) return;
  }
  const float far = static_cast<float>(ReachRightOfZero());
  const float half = far * 0.5f;  // exact: the chord through 0 halves
  const std::optional<double> a = probe_.At(half);
  const std::optional<double> b = probe_.At(far);
  if (!(far > 0) || !a || !b || std::fabs(*b) >= kStudyHuge) return;
  if (std::fabs(*b - 2 * *a) <= kOddBendUnits * std::fabs(*b)) return;
  const StudyPoint zero{0, *y0};
  out_.inflections.insert(
      std::upper_bound(out_.inflections.begin(), out_.inflections.end(), zero,
                       [](const StudyPoint& p, const StudyPoint& q) { return p.x < q.x; }),
      zero);
}

std::optional<int> StudyAnalysis::SignBetween(double from, double to) {
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

void StudyAnalysis::FindSigns() {
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

}  // namespace funzioni
