// The study's gaps, vertical asymptotes and jumps: where f has no value, where |f| grows without
// bound, and where it leaps, with or without a change of sign.

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "sampling/StudyAnalysis.h"
#include "sampling/StudyProbe.h"
#include "sampling/StudyRules.h"

namespace funzioni {

// The value a sample step from edge, on the side dir, is already near or beyond the 32-bit
// limit (beside a pole, as LN(x)/x at 0, only the last floats overflow).
bool StudyAnalysis::Overflows(float edge, int dir) {
  const std::optional<double> v = probe_.At(static_cast<float>(edge + dir * step_));
  return v && std::fabs(*v) >= 0.01 * std::numeric_limits<float>::max();
}

// Beside a narrow gap that 32-bit noise opened around a pole (COS(x)/(1+SIN(x)) at -90, where
// 1+SIN(x) rounds to 0), |f| rises towards the gap's middle at least as fast as
// 1/sqrt(distance); right beside the gap the noise rules, so the values a tenth and a whole
// sample step away tell. edge is the gap's last point on the side dir.
bool StudyAnalysis::RisesTowards(double middle, float edge, int dir) {
  const float mid = static_cast<float>(edge + dir * step_ / 10);
  const float far = static_cast<float>(edge + dir * step_);
  const std::optional<double> fMid = probe_.At(mid);
  const std::optional<double> fFar = probe_.At(far);
  if (!fMid || !fFar) return false;
  const double rise = std::fabs(*fMid) / std::max(std::fabs(*fFar), 1e-300);
  const double closer = std::fabs(far - middle) / std::fabs(mid - middle);
  return rise >= 2 && rise >= std::sqrt(closer);
}

void StudyAnalysis::AddAsymptote(float x) {
  out_.asymptotes.push_back(x);
  breaks_.push_back(x);
}

// A gap [from, to]; its edges are asymptotes where |f| grows without bound towards them.
void StudyAnalysis::AddGap(float from, float to, bool valueLeft, bool valueRight) {
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

void StudyAnalysis::FindGaps() {
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

void StudyAnalysis::FindSignChanges() {
  for (std::size_t i = 0; i + 1 < xs_.size(); ++i) {
    if (ys_[i] && ys_[i + 1] && Sign(*ys_[i]) * Sign(*ys_[i + 1]) < 0) {
      SignChange(xs_[i], xs_[i + 1]);
    }
  }
}

// f(a) and f(b) have opposite signs: a crossing zero, a pole, a jump, or a gap between them.
void StudyAnalysis::SignChange(float a, float b) {
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
void StudyAnalysis::FindJumps() {
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

}  // namespace funzioni
