#pragma once

// What the derivatives say over the visible range, drawn from the points the study has already
// found: the intervals where f increases and decreases, where it is concave up and down, its
// points without a derivative, and its parity.

#include <span>

#include "sampling/FunctionStudy.h"
#include "sampling/StudyInflections.h"

namespace funzioni {

class StudyProbe;

struct ShapeSearch {
  double halfRange = 0;
  double step = 0;  // the study's sample step
  StudyBreaks breaks;
  std::span<const StudyPoint> maxima;
  std::span<const StudyPoint> minima;
  std::span<const StudyPoint> inflections;
  double centre = 0;  // the range is centre - halfRange .. centre + halfRange
};

// Fills corners, increasing, decreasing, concaveUp and concaveDown of study.
void FindShape(StudyProbe& probe, const ShapeSearch& search, FunctionStudy& study);

// Even or odd when the domain in view is symmetric and f(-x) is f(x) or -f(x) at every even
// sample, within the values' rounding.
StudyParity FindParity(StudyProbe& probe, double halfRange);

}  // namespace funzioni
