// The study's relative extrema, inflections and the signs between the points found.

#include <algorithm>
#include <cmath>
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
}

// The extremum between a and b, at the centre of the plateau of equal 32-bit values it lies on.
// The search may stray where the values are not unimodal: the best sample then stands.
void StudyAnalysis::Extremum(float a, float b, float best, int dir) {
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

void StudyAnalysis::FindInflectionPoints() {
  out_.inflections =
      FindInflections(probe_, {r_, step_, {breaks_, out_.gaps}, out_.maxima, out_.minima, c_});
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
