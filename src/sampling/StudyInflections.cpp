#include "sampling/StudyInflections.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

#include "sampling/StudyProbe.h"
#include "sampling/StudyRules.h"

namespace funzioni {

bool StudyBreaks::Unbroken(double from, double to) const {
  for (const double x : points) {
    if (x >= from && x <= to) return false;
  }
  for (const StudyGap& gap : gaps) {
    if (gap.to >= from && gap.from <= to) return false;
  }
  return true;
}

namespace {

// Stencils of the second difference: coarse enough that the 32-bit noise of the values is far
// below the curvature it measures.
constexpr int kStencils = 400;
constexpr int kMostStencils = 4000;
constexpr double kWidestStencil = 0.25;  // of the half range
// Around each extremum, stencils this many times finer look this many coarse stencils far.
constexpr int kFineness = 32;
constexpr int kFineReach = 8;

class InflectionFinder {
 public:
  InflectionFinder(StudyProbe& probe, const InflectionSearch& search)
      : probe_(probe), search_(search) {}

  // The sign of the second difference over the coarse stencil at t: +-1, 0 within the noise of
  // the values, empty where the stencil meets a gap, pole or jump.
  struct SecondDifference {
    double value = 0;
    double noise = 0;  // what the rounding of the three values may account for
  };
  std::optional<SecondDifference> SecondDifferenceAt(float t, double h) {
    if (!search_.breaks.Unbroken(t - 2 * h, t + 2 * h)) return std::nullopt;
    const std::optional<double> below = probe_.At(static_cast<float>(t - h));
    const std::optional<double> centre = probe_.At(t);
    const std::optional<double> above = probe_.At(static_cast<float>(t + h));
    if (!below || !centre || !above) return std::nullopt;
    // Values beyond the 32-bit range (EXP(x) past 88.7) have no curvature.
    if (std::max({std::fabs(*below), std::fabs(*centre), std::fabs(*above)}) >= kStudyHuge) {
      return std::nullopt;
    }
    // The rounding of the values, and that of x itself carried by the slope (SIN(x) beside
    // its zeros, where the angle's rounding outweighs the small values').
    const double slope = std::fabs(*above - *below) / (2 * h);
    return SecondDifference{*above - 2 * *centre + *below,
                            16 * 0x1p-24 *
                                (std::fabs(*above) + 2 * std::fabs(*centre) + std::fabs(*below) +
                                 4 * std::fabs(t) * slope)};
  }

  std::optional<int> Curvature(float t, double h) {
    const std::optional<SecondDifference> d2 = SecondDifferenceAt(t, h);
    if (!d2) return std::nullopt;
    return d2->value > d2->noise ? 1 : d2->value < -d2->noise ? -1 : 0;
  }

  // The noise of the values stays while the second difference grows as the stencil's square:
  // where the curvature is too slight for the stencil h (SIN(x) near 0 at zoom 100), wider
  // stencils, up to a quarter of the range, tell its sign.
  std::optional<int> CurvatureSeen(float t, double h) {
    const std::optional<int> fine = Curvature(t, h);
    if (!fine || *fine != 0) return fine;
    for (double wide = 4 * h; wide <= kWidestStencil * search_.halfRange; wide *= 4) {
      // nor across a range end or an extremum, which may be a kink (ABS(SIN(x)) at 0)
      if (std::fabs(t - search_.centre) + 2 * wide > search_.halfRange || NearExtremum(t, 2 * wide))
        break;
      const std::optional<int> coarse = Curvature(t, wide);
      if (!coarse) break;
      if (*coarse != 0) return coarse;
    }
    return 0;
  }

  // The stencils' count: kStencils, or more where extrema lie close together (an oscillation),
  // so that several stencils fit between neighbouring extrema.
  int StencilCount() const {
    std::vector<double> xs;
    for (const auto list : {search_.maxima, search_.minima}) {
      for (const StudyPoint& p : list) xs.push_back(p.x);
    }
    std::sort(xs.begin(), xs.end());
    double closest = 2 * search_.halfRange;
    for (std::size_t i = 1; i < xs.size(); ++i) closest = std::min(closest, xs[i] - xs[i - 1]);
    const double wanted = 2 * search_.halfRange / std::max(closest / 8, 1e-30);
    return static_cast<int>(std::clamp<double>(wanted, kStencils, kMostStencils));
  }

  std::vector<StudyPoint> Run() {
    const int count = StencilCount();
    const double h = 2.0 * search_.halfRange / count;
    Scan(search_.centre - search_.halfRange, count, h, false);
    // Beside an extremum the curvature may change sign closer than one stencil (1/(x^2+1) at
    // zoom 1000, with inflections at +-0.58): finer stencils look there, and what they find
    // counts unless the coarse look found it too.
    const std::vector<StudyPoint> coarse = found_;
    for (const auto list : {search_.maxima, search_.minima}) {
      for (const StudyPoint& p : list) {
        if (probe_.Stopped()) return {};
        const double start = p.x - kFineReach * h;
        if (!Quantised(start, 2 * kFineReach * kFineness, h / kFineness)) {
          Scan(start, 2 * kFineReach * kFineness, h / kFineness, true);
        }
      }
    }
    std::vector<StudyPoint> kept(coarse);
    for (std::size_t i = coarse.size(); i < found_.size(); ++i) {
      const bool known = std::any_of(coarse.begin(), coarse.end(), [&](const StudyPoint& p) {
        return std::fabs(p.x - found_[i].x) <= 2 * h;
      });
      if (!known) kept.push_back(found_[i]);
    }
    std::sort(kept.begin(), kept.end(),
              [](const StudyPoint& p, const StudyPoint& q) { return p.x < q.x; });
    return kept;
  }

  // True when, over count steps of h from start on, a sixteenth of the neighbouring values
  // (among those that are not 0, which may be underflow) are equal: at that scale the values go
  // in rounding steps (LN(x^2+1) near 0 at zoom 1, where 1+x^2 steps by 1.2E-7 and a tenth of
  // the values beside its minimum equal their neighbours), whose curvature is noise. A smooth
  // function's values at these steps are equal only right at an extremum's top.
  bool Quantised(double start, int count, double h) {
    constexpr int kQuantisedPart = 16;
    int equal = 0;
    int pairs = 0;
    std::optional<double> previous;
    for (int k = 0; k <= count; ++k) {
      const std::optional<double> v = probe_.At(static_cast<float>(start + k * h));
      if (v && previous && *v != 0 && *previous != 0) {
        ++pairs;
        equal += *v == *previous;
      }
      previous = v;
    }
    return pairs > 0 && equal * kQuantisedPart >= pairs;
  }

  // The sign changes of the curvature over count stencils of width h from start on. Where
  // fine stencils look beside an extremum, one that spans it tells nothing: the extremum may be
  // a kink (ABS(x^2-4) at 2), whose curvature is no inflection's.
  void Scan(double start, int count, double h, bool fine) {
    std::vector<float> ts;
    std::vector<std::optional<int>> signs;
    std::vector<bool> beyond;  // past the range end
    for (int k = 1; k < count; ++k) {
      if (probe_.Stopped()) return;
      ts.push_back(static_cast<float>(start + k * h));
      beyond.push_back(std::fabs(ts.back() - search_.centre) + 2 * h > search_.halfRange + h);
      const bool inside = !beyond.back() && !(fine && NearExtremum(ts.back(), h));
      signs.push_back(inside ? CurvatureSeen(ts.back(), h) : std::nullopt);
    }
    // A change of sign counts when each side holds for two stencils with no break between, or
    // for one that the range end follows (COS(x) at zoom 5000, whose inflection at 990 leaves
    // room for a single stencil).
    const auto holds = [&](std::size_t k, int dir, int sign) {
      int seen = 0;
      for (std::ptrdiff_t m = k; m >= 0 && m < static_cast<std::ptrdiff_t>(signs.size());
           m += dir) {
        if (beyond[m] && seen >= kSeenBeforeRangeEnd) return true;
        if (!signs[m] || *signs[m] == -sign) return false;
        if (*signs[m] == sign && ++seen == 2) return true;
      }
      return !fine && seen >= kSeenBeforeRangeEnd;
    };
    constexpr std::size_t kNone = SIZE_MAX;
    std::size_t last = kNone;  // the last stencil with a sign, since the last break
    for (std::size_t k = 0; k < signs.size(); ++k) {
      if (!signs[k]) {
        last = kNone;
        continue;
      }
      if (*signs[k] == 0) continue;
      if (last != kNone && *signs[last] != *signs[k] && holds(last, -1, *signs[last]) &&
          holds(k, 1, *signs[k])) {
        Inflection(ts[last], ts[k], *signs[last], h);
      }
      last = k;
    }
  }

  // The curvature changes sign across a kink (ABS(x^2-4) at 2) as it does at an inflection; a
  // kink is where the study found an extremum.
  bool NearExtremum(double x, double within) const {
    for (const auto list : {search_.maxima, search_.minima}) {
      for (const StudyPoint& p : list) {
        if (std::fabs(p.x - x) <= within) return true;
      }
    }
    return false;
  }

  // Between a (curvature of that sign) and b (the other sign) the curvature may stay within
  // the noise for a while: the inflection is the middle of that stretch.
  void Inflection(float a, float b, int sign, double stencil) {
    const double h = LocatingStencil(a, b, sign, stencil);
    const float last = probe_.Bisect(a, b, [&](float t) { return Curvature(t, h) == sign; }).first;
    const float first =
        probe_.Bisect(a, b, [&](float t) { return Curvature(t, h) == -sign; }).second;
    // The second difference is close to linear across the stretch: its zero, interpolated
    // from either side of the stretch, is steadier than the stretch's noisy edges.
    const double wide = std::max<double>(first - last, h / 16);
    const float below = static_cast<float>(std::max<double>(a, last - wide));
    const float above = static_cast<float>(std::min<double>(b, first + wide));
    const std::optional<SecondDifference> da = SecondDifferenceAt(below, h);
    const std::optional<SecondDifference> db = SecondDifferenceAt(above, h);
    float c = static_cast<float>(0.5 * (last + first));
    if (da && db && da->value * db->value < 0) {
      c = static_cast<float>(below + (above - below) * da->value / (da->value - db->value));
    }
    if (NearExtremum(c, 2 * stencil)) return;
    c = FittedZero(c, sign, h);
    if (!probe_.ContinuousAt(c, search_.step) || NearExtremum(c, 2 * std::max(stencil, h))) {
      return;
    }
    if (std::fabs(c) < kSnapPart * search_.halfRange) c = 0;
    const std::optional<double> y = probe_.At(c);
    if (y) found_.push_back({c, *y});
  }

  // The stencil that places the sign change between a and b: the narrowest one, from h on, whose
  // stretch of curvature within the noise is short against it (x/(x^2+1) at sqrt(3), where
  // the stencil that found it sees nothing over a tenth of the range). Each doubling shrinks
  // that stretch fourfold.
  double LocatingStencil(float a, float b, int sign, double h) {
    double chosen = 0;
    for (double wide = h; wide <= kWidestStencil * search_.halfRange; wide *= 2) {
      if (std::max(std::fabs(a - search_.centre), std::fabs(b - search_.centre)) + 2 * wide >
          search_.halfRange) {
        break;
      }
      if (wide > h && (NearExtremum(a, 2 * wide) || NearExtremum(b, 2 * wide))) break;
      if (Curvature(a, wide) != sign || Curvature(b, wide) != -sign) {
        if (chosen > 0) break;
        continue;  // a and b were told apart by a wider stencil
      }
      chosen = wide;
      const float last =
          probe_.Bisect(a, b, [&](float t) { return Curvature(t, wide) == sign; }).first;
      const float first =
          probe_.Bisect(a, b, [&](float t) { return Curvature(t, wide) == -sign; }).second;
      if (first - last <= wide / 4) break;
    }
    return chosen > 0 ? chosen : h;
  }

  // The zero of a straight line fitted to the second difference around c: the noise of the
  // single values averages out (LN(x)/x at e^1.5, where the curvature changes slowly). The line
  // spans one stencil step, so that the curvature's own bend hardly moves its zero.
  float FittedZero(float c, int sign, double h) {
    constexpr int kSide = 16;
    double n = 0, st = 0, sd = 0, stt = 0, std2 = 0;
    for (int i = -kSide; i <= kSide; ++i) {
      const double t = i * h / (2 * kSide);
      const std::optional<SecondDifference> d2 = SecondDifferenceAt(static_cast<float>(c + t), h);
      if (!d2) return c;
      n += 1;
      st += t;
      sd += d2->value;
      stt += t * t;
      std2 += t * d2->value;
    }
    const double slope = (n * std2 - st * sd) / (n * stt - st * st);
    const double intercept = (sd - slope * st) / n;
    if (!(slope * sign < 0)) return c;
    const double shift = -intercept / slope;
    return std::fabs(shift) <= h / 2 ? static_cast<float>(c + shift) : c;
  }

 private:
  StudyProbe& probe_;
  const InflectionSearch& search_;
  std::vector<StudyPoint> found_;
};

}  // namespace

std::vector<StudyPoint> FindInflections(StudyProbe& probe, const InflectionSearch& search) {
  return InflectionFinder(probe, search).Run();
}

}  // namespace funzioni
