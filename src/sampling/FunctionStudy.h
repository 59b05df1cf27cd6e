#pragma once

// The study of the typed formula over the visible range [-0.2 z, 0.2 z]: its value at 0, where it
// has no value, its zeros, vertical asymptotes, relative extrema, inflections and sign, found
// from the values the plot itself computes (the evaluator's, at 32-bit x).

#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include "sampling/StopToken.h"

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
};

// The study at that zoom. A stop requested through stop ends it early with partial lists.
FunctionStudy StudyFunction(ExpressionEvaluator& evaluator, std::string_view formula, float zoom,
                            StopToken stop = {});

// The study as lines of tab-separated fields (range, y-intercept, gap, zero, asymptote, max, min,
// inflection, sign, in this order), numbers in the C locale with up to 7 significant digits.
std::string StudyText(const FunctionStudy& study);

}  // namespace funzioni
