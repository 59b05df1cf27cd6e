#include "sampling/StudyShape.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "sampling/StudyLimits.h"
#include "sampling/StudyProbe.h"

namespace funzioni {

namespace {

using Kind = StudyValue::Kind;

// Points inside each piece between the study's points where the growth and the curvature are
// read: enough that a piece's direction is never one sample's word.
constexpr int kPiecePoints = 16;
// Pieces shorter than this part of the half range are where two points the study found meet.
constexpr double kShortestPiece = 1e-6;
// Changes within a few units of the last 32-bit place of the values are rounding.
constexpr double kRoundingUnits = 16 * 0x1p-24;
// Two one-sided slopes differ (a corner) when they differ by this part of the larger, and by
// this part of the function's own slope scale (its typical size over the half range), beyond
// what the slopes' estimates leave uncertain at a smooth extremum.
constexpr double kSlopesDiffer = 0.05;
constexpr double kSlopeScalePart = 1e-2;

using Cut = std::pair<double, double>;

// The open pieces of the range c - r .. c + r between the cuts (points and gaps).
std::vector<StudyInterval> Pieces(double c, double r, std::vector<Cut> cuts) {
  std::sort(cuts.begin(), cuts.end());
  std::vector<StudyInterval> pieces;
  double cursor = c - r;
  const auto piece = [&](double to) {
    if (to - cursor > kShortestPiece * r) pieces.push_back({cursor, to});
  };
  for (const auto& [from, to] : cuts) {
    piece(from);
    cursor = std::max(cursor, to);
  }
  piece(c + r);
  return pieces;
}

// A jump found where the values leave the number range (EXP(1/x) right of 0.01127, where
// e^(1/x) passes the largest float) is no break of the curve: f goes on, only too large to hold,
// with the same sign on both sides. A pole is an asymptote, and stays a break.
bool LeavesNumberRange(StudyProbe& probe, double x, std::span<const double> asymptotes) {
  if (std::find(asymptotes.begin(), asymptotes.end(), x) != asymptotes.end()) return false;
  const float at = static_cast<float>(x);
  const std::optional<double> here = probe.At(at);
  const std::optional<double> before = probe.At(KeyFloat(FloatKey(at) - 1));
  if (!here || !before || (*here > 0) != (*before > 0)) return false;
  return (std::fabs(*here) >= kStudyHuge) != (std::fabs(*before) >= kStudyHuge);
}

std::vector<Cut> BreakCuts(StudyProbe& probe, const StudyBreaks& breaks,
                           std::span<const double> asymptotes) {
  std::vector<Cut> cuts;
  for (const double x : breaks.points) {
    if (!LeavesNumberRange(probe, x, asymptotes)) cuts.emplace_back(x, x);
  }
  for (const StudyGap& gap : breaks.gaps) cuts.emplace_back(gap.from, gap.to);
  return cuts;
}

// The direction most of the piece's changes (+1 rising, -1 falling) or second differences
// (+1 up, -1 down) take, 0 when they are all rounding or disagree.
int Verdict(int up, int down) {
  if (up == 0 && down == 0) return 0;
  if (up > 0 && down == 0) return 1;
  if (down > 0 && up == 0) return -1;
  // A few stray readings (a missed extremum's neighbourhood, a noisy stencil) do not decide.
  if (up >= 4 * down) return 1;
  if (down >= 4 * up) return -1;
  return 0;
}

double PieceX(const StudyInterval& piece, int i) {
  return piece.from + (piece.to - piece.from) * (i + 1) / (kPiecePoints + 1);
}

int Growth(StudyProbe& probe, const StudyInterval& piece) {
  int up = 0;
  int down = 0;
  std::optional<double> previous;
  for (int i = 0; i < kPiecePoints; ++i) {
    const std::optional<double> v = probe.At(static_cast<float>(PieceX(piece, i)));
    if (v && previous && std::fabs(*v) < kStudyHuge && std::fabs(*previous) < kStudyHuge) {
      const double change = *v - *previous;
      if (std::fabs(change) > kRoundingUnits * std::max(std::fabs(*v), std::fabs(*previous))) {
        (change > 0 ? up : down) += 1;
      }
    }
    previous = v;
  }
  return Verdict(up, down);
}

int Curving(StudyProbe& probe, const StudyInterval& piece) {
  const double h = 0.5 * (piece.to - piece.from) / (kPiecePoints + 1);
  int up = 0;
  int down = 0;
  for (int i = 0; i < kPiecePoints; ++i) {
    const double t = PieceX(piece, i);
    // Divided differences over the floats themselves: the rounding of t +- h to 32 bits would
    // bend a straight line (ABS(x-1)).
    const float xs[3] = {static_cast<float>(t - h), static_cast<float>(t),
                         static_cast<float>(t + h)};
    const std::optional<double> below = probe.At(xs[0]);
    const std::optional<double> centre = probe.At(xs[1]);
    const std::optional<double> above = probe.At(xs[2]);
    if (!below || !centre || !above || xs[0] == xs[1] || xs[1] == xs[2]) continue;
    const double size = std::fabs(*below) + 2 * std::fabs(*centre) + std::fabs(*above);
    if (size >= kStudyHuge) continue;
    const double right = (*above - *centre) / (static_cast<double>(xs[2]) - xs[1]);
    const double left = (*centre - *below) / (static_cast<double>(xs[1]) - xs[0]);
    const double bend = right - left;
    // The values' rounding, and that of x itself (written with 7 digits) carried by the slope.
    const double noise = kRoundingUnits * (size + 4 * std::fabs(t) * std::fabs(right)) / h;
    if (std::fabs(bend) > noise) (bend > 0 ? up : down) += 1;
  }
  return Verdict(up, down);
}

bool Known(const StudyValue& v) {
  return v.kind == Kind::Number || v.kind == Kind::PlusInfinity || v.kind == Kind::MinusInfinity;
}

// The corners among the points the study found: a kink is an extremum (ABS(x^2-4) at 2), a
// cusp too ((x^2)^(1/3) at 0), a vertical tangent an inflection.
std::vector<StudyCorner> Corners(StudyProbe& probe, const ShapeSearch& search, double slopeScale) {
  std::vector<double> candidates;
  for (const auto list : {search.maxima, search.minima, search.inflections}) {
    for (const StudyPoint& p : list) candidates.push_back(p.x);
  }
  std::sort(candidates.begin(), candidates.end());
  std::vector<StudyCorner> corners;
  for (const double x : candidates) {
    if (probe.Stopped()) break;
    const float at = static_cast<float>(x);
    const std::optional<double> y = probe.At(at);
    if (!y || !search.breaks.Unbroken(x, x)) continue;
    const StudyValue left = OneSidedSlope(probe, at, -1, search.step);
    const StudyValue right = OneSidedSlope(probe, at, 1, search.step);
    if (!Known(left) || !Known(right)) continue;
    const bool infinite = left.kind != Kind::Number || right.kind != Kind::Number;
    const double apart = std::fabs(left.value - right.value);
    const double larger = std::max(std::fabs(left.value), std::fabs(right.value));
    if (infinite || (apart > kSlopesDiffer * larger && apart > kSlopeScalePart * slopeScale)) {
      corners.push_back({x, *y, left, right});
    }
  }
  return corners;
}

// The function's slope scale: the spread of its values over the range, per unit of x.
double SlopeScale(StudyProbe& probe, double c, double r) {
  double low = HUGE_VAL;
  double high = -HUGE_VAL;
  for (int i = 0; i <= 64; ++i) {
    const std::optional<double> v = probe.At(static_cast<float>(c - r + 2 * r * i / 64));
    if (!v || std::fabs(*v) >= kStudyHuge) continue;
    low = std::min(low, *v);
    high = std::max(high, *v);
  }
  return high > low ? (high - low) / (2 * r) : 1e-300;
}

}  // namespace

void FindShape(StudyProbe& probe, const ShapeSearch& search, FunctionStudy& study) {
  const double r = search.halfRange;
  const double c = search.centre;
  study.corners = Corners(probe, search, SlopeScale(probe, c, r));

  std::vector<Cut> growthCuts = BreakCuts(probe, search.breaks, study.asymptotes);
  for (const auto list : {search.maxima, search.minima}) {
    for (const StudyPoint& p : list) growthCuts.emplace_back(p.x, p.x);
  }
  for (const StudyInterval& piece : Pieces(c, r, growthCuts)) {
    if (probe.Stopped()) return;
    const int growth = Growth(probe, piece);
    if (growth > 0) study.increasing.push_back(piece);
    if (growth < 0) study.decreasing.push_back(piece);
  }

  // The curvature changes at the inflections and may change at a corner (ABS(x^2-4) at 2).
  std::vector<Cut> curvatureCuts = BreakCuts(probe, search.breaks, study.asymptotes);
  for (const StudyPoint& p : search.inflections) curvatureCuts.emplace_back(p.x, p.x);
  for (const StudyCorner& c : study.corners) curvatureCuts.emplace_back(c.x, c.x);
  for (const StudyInterval& piece : Pieces(c, r, curvatureCuts)) {
    if (probe.Stopped()) return;
    const int curving = Curving(probe, piece);
    if (curving > 0) study.concaveUp.push_back(piece);
    if (curving < 0) study.concaveDown.push_back(piece);
  }
}

StudyParity FindParity(StudyProbe& probe, double halfRange) {
  constexpr int kSamples = 2000;
  std::vector<float> xs;
  for (int k = 1; k <= kSamples; ++k) {
    const float x = static_cast<float>(halfRange * k / kSamples);
    xs.push_back(x);
    xs.push_back(-x);  // negation is exact: the mirror of each x is a float
  }
  std::vector<std::optional<double>> values(xs.size());
  probe.AtMany(xs, values);
  if (probe.Stopped()) return StudyParity::None;
  bool even = true;
  bool odd = true;
  bool any = false;
  for (std::size_t k = 0; k + 1 < values.size(); k += 2) {
    const std::optional<double>& a = values[k];
    const std::optional<double>& b = values[k + 1];
    if (a.has_value() != b.has_value()) return StudyParity::None;  // the domain is not symmetric
    if (!a) continue;
    // Pairs of zeros are both even and odd: only values that are not 0 tell (SQR(x^2-4)/x at
    // zoom 10 has values only at -2 and 2, both 0).
    any = any || *a != 0 || *b != 0;
    const double rounding = kRoundingUnits * std::max(std::fabs(*a), std::fabs(*b));
    even = even && std::fabs(*a - *b) <= rounding;
    odd = odd && std::fabs(*a + *b) <= rounding;
  }
  if (!any) return StudyParity::None;
  if (even) return StudyParity::Even;
  return odd ? StudyParity::Odd : StudyParity::None;
}

}  // namespace funzioni
