#pragma once

// The limits of the typed formula beyond the visible range and at the breaks inside it, the
// horizontal and oblique asymptotes they show, and the one-sided limits the derivatives need,
// all from the evaluator's own values at 32-bit x (never from one x, nor from a round one).

#include <span>
#include <vector>

#include "sampling/FunctionStudy.h"

namespace funzioni {

class StudyProbe;

// What a limit's verdict is drawn from: values at x approaching the limit's point, in order.
// The verdict is a number, +-inf (growth that does not slow down, or values beyond the number
// range), none (an oscillation that does not die down) or unknown.
StudyValue SequenceLimit(std::span<const double> values);

// The limit of f at edge from the side dir (-1 from the left, +1 from the right), edge itself
// excluded; step is the study's sample step and typical the size of the values in view.
StudyValue OneSidedLimit(StudyProbe& probe, float edge, int dir, double step, double typical);

// The one-sided derivative at x (which has a value) towards the side dir.
StudyValue OneSidedSlope(StudyProbe& probe, float x, int dir, double step);

struct LimitSearch {
  double halfRange = 0;
  double step = 0;     // the study's sample step
  double typical = 1;  // the median size of the values in view
  std::span<const double> asymptotes;
  std::span<const StudyGap> gaps;
  double centre = 0;  // the range is centre - halfRange .. centre + halfRange
};

struct LimitFindings {
  std::vector<StudyLimit> limits;  // in the order of FunctionStudy::limits
  std::vector<StudyAsymptote> horizontal;
  std::vector<StudyAsymptote> oblique;
};

// The limits at -inf and +inf (where f has values that far out), at each side of the vertical
// asymptotes and at each end of a gap inside the range, and the asymptotes at -inf and +inf.
LimitFindings FindLimits(StudyProbe& probe, const LimitSearch& search);

}  // namespace funzioni
