#pragma once

// The inflections of the typed formula for the study of the function: where the sign of the
// curvature, measured by second differences of the evaluator's values, changes.

#include <span>
#include <vector>

#include "sampling/FunctionStudy.h"

namespace funzioni {

class StudyProbe;

// Where the function is not continuous: poles, jumps and gaps.
struct StudyBreaks {
  std::span<const double> points;
  std::span<const StudyGap> gaps;
  // True when no pole, jump or gap lies in [from, to].
  bool Unbroken(double from, double to) const;
};

struct InflectionSearch {
  double halfRange = 0;
  double step = 0;  // the study's sample step
  StudyBreaks breaks;
  // A sign change of the curvature at an extremum is a kink (ABS(x^2-4) at 2), not an inflection.
  std::span<const StudyPoint> maxima;
  std::span<const StudyPoint> minima;
  double centre = 0;  // the range is centre - halfRange .. centre + halfRange
};

// The inflections over the range, sorted by x.
std::vector<StudyPoint> FindInflections(StudyProbe& probe, const InflectionSearch& search);

}  // namespace funzioni
