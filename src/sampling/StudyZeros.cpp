// The study's zeros: runs of exact zeros (a zero, or a stretch where f vanishes), zeros where f
// touches the axis between samples of one sign, and crossings a hair apart merged into one.

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "sampling/StudyAnalysis.h"
#include "sampling/StudyProbe.h"
#include "sampling/StudyRules.h"

namespace funzioni {

// Sign of the sample's neighbour on one side (0 where it has no value or there is none).
int StudyAnalysis::SideSign(std::size_t i, int dir) const {
  const std::ptrdiff_t k = static_cast<std::ptrdiff_t>(i) + dir;
  if (k < 0 || k >= static_cast<std::ptrdiff_t>(ys_.size()) || !ys_[k]) return 0;
  return Sign(*ys_[k]);
}

// True when the run of zeros [from, to] is where values too small for 32 bits became 0
// (EXP(x) far left): beside it, on each side that has values, they are near the smallest
// floats and far below the function's typical size.
bool StudyAnalysis::Underflow(float from, float to, bool valueLeft, bool valueRight) {
  if (!valueLeft && !valueRight) return false;
  const double tiny = std::min(1e-30, 1e-20 * typical_);
  return (!valueLeft || Size(KeyFloat(FloatKey(from) - 1)) <= tiny) &&
         (!valueRight || Size(KeyFloat(FloatKey(to) + 1)) <= tiny);
}

int StudyAnalysis::OutsideSign(float x, int dir) {
  const std::optional<double> v = probe_.At(static_cast<float>(x + dir * step_));
  return v ? Sign(*v) : 0;
}

// Runs of samples where the value is exactly 0: a zero at the run's centre, or, for a run
// wider than the positions are checked to, an interval where f vanishes (no zero listed).
void StudyAnalysis::FindZeroRuns() {
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
bool StudyAnalysis::RoundedToZero(float from, float to, bool hasLeft, bool hasRight) {
  if (to - from > kShortRunPart * r_ || (!hasLeft && !hasRight)) return false;
  const auto enters = [&](float edge, int dir) {
    const float beside = KeyFloat(FloatKey(edge) + dir);
    return probe_.ContinuousAt(edge, step_) || Size(beside) <= kInnerRoundingPart * typical_;
  };
  return (!hasLeft || enters(from, -1)) && (!hasRight || enters(to, 1));
}

// Every sample from a to b has a value of one sign.
bool StudyAnalysis::OneSign(std::size_t a, std::size_t b) const {
  for (std::size_t k = a; k <= b; ++k) {
    if (!ys_[k] || Sign(*ys_[k]) != Sign(*ys_[a]) || *ys_[k] == 0) return false;
  }
  return true;
}

// Local maxima of |f| between samples of one sign may be poles; local minima may be zeros
// where f touches the axis, or two crossings close together.
void StudyAnalysis::FindBumps() {
  ForEachChain([this](std::size_t a, std::size_t b) { return OneSign(a, b); },
               [this](const std::vector<std::size_t>& chain) { BumpsOfChain(chain); });
}

void StudyAnalysis::BumpsOfChain(const std::vector<std::size_t>& chain) {
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
bool StudyAnalysis::TouchesAxis(float c, double v) {
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

// Float noise may split a double root (x (x-3)^2 at 3) into crossings a hair apart: zeros
// closer than positions are resolved to, with no break between, are one zero whose kind the
// signs beyond them tell.
void StudyAnalysis::MergeCloseZeros() {
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

}  // namespace funzioni
