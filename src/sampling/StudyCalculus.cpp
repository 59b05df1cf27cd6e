#include "sampling/StudyCalculus.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "sampling/DecimalText.h"
#include "sampling/StudyLimits.h"
#include "sampling/StudyProbe.h"

namespace funzioni {

namespace {

using Kind = StudyValue::Kind;

// The one-sided slopes at a point are read from four times this part of its size (at least 1)
// on: far enough that the values' rounding over the distance is well below the slope.
constexpr double kTangentStep = 2.5e-3;
// Two one-sided slopes are one where they agree to this part of the larger (or of 1): their
// estimates agree far closer where f has a derivative.
constexpr double kSameSlope = 1e-3;

// Samples over [a, b] that look for gaps, poles and sign changes before integrating.
constexpr int kScan = 4096;
// A sample this many times the median size, at a local peak of |f|, may be a pole.
constexpr double kPeak = 1e3;
// The integral is refused when its error bound is not below this part of the value.
constexpr double kBoundPart = 1e-4;
// Panels of the Gauss-Legendre rule double until two results agree to this part of the value,
// or the values' own rounding; at most this many panels per piece.
constexpr double kAgreement = 1e-7;
constexpr int kMostPanels = 512;
// What each value's rounding to 32 bits between the evaluator's stages may be.
constexpr double kRoundingUnits = 16 * 0x1p-24;

// The 8-point Gauss-Legendre rule on [-1, 1].
constexpr double kNodes[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                              0.9602898564975363};
constexpr double kWeights[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                                0.1012285362903763};

bool Known(const StudyValue& v) {
  return v.kind == Kind::Number || v.kind == Kind::PlusInfinity || v.kind == Kind::MinusInfinity;
}

std::string Position(double x) {
  return x == 0 ? "0" : GeneralText(x, 7);
}

struct Rule {
  double value = 0;
  double size = 0;  // the integral of |f| by the same rule
  bool complete = true;
};

Rule Panels(StudyProbe& probe, double from, double to, int panels) {
  Rule rule;
  const double width = (to - from) / panels;
  for (int p = 0; p < panels; ++p) {
    const double middle = from + (p + 0.5) * width;
    for (int i = 0; i < 4; ++i) {
      for (const int side : {-1, 1}) {
        const std::optional<double> v =
            probe.At(static_cast<float>(middle + side * kNodes[i] * width / 2));
        if (!v || std::fabs(*v) >= kStudyHuge) {
          rule.complete = false;
          return rule;
        }
        rule.value += kWeights[i] * *v * width / 2;
        rule.size += kWeights[i] * std::fabs(*v) * width / 2;
      }
    }
  }
  return rule;
}

struct Piece {
  double value = 0;
  double error = 0;
  bool complete = true;
};

// One piece without a sign change: panels double until the results agree.
Piece IntegratePiece(StudyProbe& probe, double from, double to) {
  Rule coarse = Panels(probe, from, to, 4);
  for (int panels = 8; coarse.complete; panels *= 2) {
    const Rule fine = Panels(probe, from, to, panels);
    if (!fine.complete) return {0, 0, false};
    const double rounding = kRoundingUnits * fine.size;
    const double change = std::fabs(fine.value - coarse.value);
    if (change <= std::max(kAgreement * std::fabs(fine.value), rounding) || panels >= kMostPanels ||
        probe.Stopped()) {
      return {fine.value, change + rounding, true};
    }
    coarse = fine;
  }
  return {0, 0, false};
}

StudyIntegral Refused(StudyIntegral::Refusal why, double at = 0, double to = 0) {
  using Refusal = StudyIntegral::Refusal;
  StudyIntegral refused;
  refused.refused = true;
  refused.why = why;
  refused.at = at;
  refused.to = to;
  switch (why) {
    case Refusal::Gap:
      refused.reason = "gap at " + Position(at);
      break;
    case Refusal::Pole:
      refused.reason = "pole at " + Position(at);
      break;
    case Refusal::GapBetween:
      refused.reason = "gap between " + Position(at) + " and " + Position(to);
      break;
    case Refusal::WideBound:
    case Refusal::None:
      refused.reason = "error bound too wide";
      break;
  }
  return refused;
}

}  // namespace

StudyTangent TangentAt(StudyProbe& probe, float x) {
  StudyTangent tangent;
  tangent.x = x;
  const std::optional<double> y = probe.At(x);
  if (!y || std::fabs(*y) >= kStudyHuge) {
    tangent.reason = "no value";
    return tangent;
  }
  tangent.y = *y;
  const double step = kTangentStep * std::max(1.0, std::fabs(static_cast<double>(x)));
  tangent.left = OneSidedSlope(probe, x, -1, step);
  tangent.right = OneSidedSlope(probe, x, 1, step);
  if (!Known(tangent.left) || !Known(tangent.right)) {
    tangent.reason = "no derivative";
    return tangent;
  }
  if (tangent.left.kind == Kind::Number && tangent.right.kind == Kind::Number) {
    const double l = tangent.left.value;
    const double r = tangent.right.value;
    if (std::fabs(l - r) <= kSameSlope * std::max({1.0, std::fabs(l), std::fabs(r)})) {
      tangent.kind = StudyTangent::Kind::Tangent;
      tangent.m = 0.5 * (l + r);
      tangent.q = *y - tangent.m * x;
      return tangent;
    }
  }
  tangent.kind = StudyTangent::Kind::Corner;
  return tangent;
}

StudyIntegral IntegralOf(StudyProbe& probe, double a, double b) {
  using Refusal = StudyIntegral::Refusal;
  StudyIntegral result;
  if (a == b) return result;
  const double lo = std::min(a, b);
  const double hi = std::max(a, b);
  std::vector<float> xs;
  for (int k = 0; k <= kScan; ++k) xs.push_back(static_cast<float>(lo + (hi - lo) * k / kScan));
  std::vector<std::optional<double>> ys(xs.size());
  probe.AtMany(xs, ys);
  std::vector<double> sizes;
  std::optional<float> missing;  // the first sample without a value
  for (std::size_t k = 0; k < xs.size(); ++k) {
    if (!ys[k]) {
      if (!missing) missing = xs[k];
      continue;
    }
    if (std::fabs(*ys[k]) >= kStudyHuge) return Refused(Refusal::Pole, xs[k]);
    sizes.push_back(std::fabs(*ys[k]));
  }
  if (sizes.empty()) return Refused(Refusal::Gap, *missing);
  std::nth_element(sizes.begin(), sizes.begin() + sizes.size() / 2, sizes.end());
  const double typical = std::max(sizes[sizes.size() / 2], 1e-300);
  const double step = (hi - lo) / kScan;
  // A sample without a value where |f| grows without bound beside it is a pole (1/x at 0).
  if (missing) {
    const bool pole = probe.GrowsWithoutBound(*missing, -1, step, typical) ||
                      probe.GrowsWithoutBound(*missing, 1, step, typical);
    return Refused(pole ? Refusal::Pole : Refusal::Gap, *missing);
  }
  const auto size = [&](std::size_t k) { return std::fabs(*ys[k]); };
  // A peak of |f| far above its median size, that grows without bound towards its top.
  for (std::size_t k = 1; k + 1 < xs.size(); ++k) {
    if (size(k) < kPeak * typical || size(k) < size(k - 1) || size(k) < size(k + 1)) continue;
    const float top = probe.Argmax(xs[k - 1], xs[k + 1], [](double v) { return std::fabs(v); });
    if (probe.GrowsWithoutBound(top, -1, step, typical) ||
        probe.GrowsWithoutBound(top, 1, step, typical)) {
      return Refused(Refusal::Pole, top);
    }
  }
  // Pieces between the sign changes, so that the area is the sum of their sizes; a sign change
  // across a pole (1/x) is no zero.
  std::vector<double> cuts = {lo};
  for (std::size_t k = 0; k + 1 < xs.size(); ++k) {
    if (*ys[k] == 0 && k > 0) cuts.push_back(xs[k]);  // a zero on a sample
    if ((*ys[k] > 0 && *ys[k + 1] < 0) || (*ys[k] < 0 && *ys[k + 1] > 0)) {
      const bool positive = *ys[k] > 0;
      const auto [l, r] = probe.Bisect(xs[k], xs[k + 1], [&](float x) {
        const std::optional<double> v = probe.At(x);
        return v && (*v > 0) == positive;
      });
      const std::optional<double> fl = probe.At(l);
      const std::optional<double> fr = probe.At(r);
      if (!fl || !fr) return Refused(Refusal::Gap, r);
      if (std::min(std::fabs(*fl), std::fabs(*fr)) >= kPeak * typical) {
        return Refused(Refusal::Pole, r);
      }
      cuts.push_back(r);
    }
  }
  cuts.push_back(hi);
  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    if (cuts[i + 1] <= cuts[i]) continue;
    const Piece piece = IntegratePiece(probe, cuts[i], cuts[i + 1]);
    if (!piece.complete) return Refused(Refusal::GapBetween, cuts[i], cuts[i + 1]);
    result.value += piece.value;
    result.area += std::fabs(piece.value);
    result.error += piece.error;
  }
  result.areaError = result.error;
  if (a > b) result.value = -result.value;
  // A value within its bound of 0 is 0 (SIN(x) over a whole turn), judged against the area.
  if (std::fabs(result.value) <= result.error) result.value = 0;
  const double reference = result.value != 0 ? std::fabs(result.value) : result.area;
  if (!(result.error < kBoundPart * reference) || !(result.areaError < kBoundPart * result.area)) {
    return Refused(Refusal::WideBound);
  }
  return result;
}

}  // namespace funzioni
