#pragma once

// The study of the typed formula over the visible range ([-0.2 z, 0.2 z] in the seed view of the
// zoom, the x range of a view a gesture has moved): its value at 0, where it has no value, its
// zeros, vertical asymptotes, relative extrema, inflections and sign, found from the values the
// plot itself computes (the evaluator's, at 32-bit x).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sampling/StopToken.h"
#include "state/PlotView.h"

namespace funzioni {

class ExpressionEvaluator;

// A maximal interval without a value (from == to for a single point), with the evaluator's
// message at one of its points.
struct StudyGap {
  double from = 0;
  double to = 0;
  std::string reason;
};

struct StudyZero {
  double x = 0;
  bool touching = false;  // the sign is the same on both sides (or there is only one side)
};

struct StudyPoint {
  double x = 0;
  double y = 0;
};

struct StudySign {
  double from = 0;
  double to = 0;
  int sign = 0;  // +1 or -1
};

// A limit or a one-sided slope: a number, an infinity, none (the function keeps oscillating) or
// unknown (the values cannot decide).
struct StudyValue {
  enum class Kind { Number, PlusInfinity, MinusInfinity, None, Unknown };
  Kind kind = Kind::Unknown;
  double value = 0;  // for Number
};

struct StudyLimit {
  enum class Where { MinusInfinity, Left, Right, PlusInfinity };  // Left: x -> at from below
  Where where = Where::PlusInfinity;
  double at = 0;  // for Left and Right
  StudyValue value;
};

// y = m x + q on the side -1 (x -> -inf) or +1 (x -> +inf); m is 0 for a horizontal asymptote.
struct StudyAsymptote {
  int side = 1;
  double m = 0;
  double q = 0;
};

// A point of the range where f is continuous but has no derivative: a corner (two different
// finite slopes), a cusp or a vertical tangent (a slope of +-inf).
struct StudyCorner {
  double x = 0;
  double y = 0;
  StudyValue left;
  StudyValue right;
};

struct StudyInterval {
  double from = 0;
  double to = 0;
};

enum class StudyParity { None, Even, Odd };

// Each list sorted by x.
struct FunctionStudy {
  double xMin = 0;
  double xMax = 0;
  std::optional<double> yIntercept;
  std::vector<StudyGap> gaps;
  std::vector<StudyZero> zeros;
  std::vector<double> asymptotes;
  std::vector<StudyPoint> maxima;
  std::vector<StudyPoint> minima;
  std::vector<StudyPoint> inflections;
  std::vector<StudySign> signs;
  StudyParity parity = StudyParity::None;
  std::vector<StudyLimit> limits;  // -inf first, then by the point, left before right, +inf last
  std::vector<StudyAsymptote> horizontalAsymptotes;  // by side
  std::vector<StudyAsymptote> obliqueAsymptotes;     // by side
  std::vector<StudyCorner> corners;
  std::vector<StudyInterval> increasing;
  std::vector<StudyInterval> decreasing;
  std::vector<StudyInterval> concaveUp;
  std::vector<StudyInterval> concaveDown;
};

// The study at that zoom. A stop requested through stop ends it early with partial lists.
FunctionStudy StudyFunction(ExpressionEvaluator& evaluator, std::string_view formula, float zoom,
                            StopToken stop = {});
// The study over the x range of the view shown: a view a gesture has moved (its y range plays no
// part), or none for the seed view of the zoom. A view whose x range is the seed's is studied as
// the seed view is. The value at 0 is f's wherever the range lies; the parity is there only when
// the range is its own mirror.
FunctionStudy StudyFunction(ExpressionEvaluator& evaluator, std::string_view formula, float zoom,
                            const std::optional<PlotView>& view, StopToken stop = {});

// The study as lines of tab-separated fields (range, y-intercept, gap, zero, asymptote, max, min,
// inflection, sign, parity, limit, asymptote-h, asymptote-o, corner, increasing, decreasing,
// concave-up, concave-down, in this order), numbers in the C locale with up to 7 significant
// digits, infinities as +inf and -inf.
std::string StudyText(const FunctionStudy& study);
// A limit's or a slope's text as StudyText writes it: a number, +inf, -inf, none or unknown.
std::string StudyValueText(const StudyValue& value);

}  // namespace funzioni
