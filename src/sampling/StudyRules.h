#pragma once

// The study's tolerances in one place, each with the reason for its size. The values are those
// of the plot (32-bit x, each stage of the evaluator rounded to 32 bits), so the tolerances are
// parts of the half range r, of the values' last 32-bit place, or of the typical value size.

namespace funzioni {

// Positions are resolved to a thousandth of r: a gap narrower than that around a pole is the
// pole's 32-bit noise (1/(x^2-2x+1) near 1), zeros closer than that with no break between are
// one zero split by noise (x (x-3)^2 at 3), and a run of zeros wider than that is a stretch
// where f vanishes (FIX(x) between -1 and 1), not a zero.
constexpr double kResolvedPart = 1e-3;

// Runs of equal values shorter than a hundredth of r may be the rounding of a zero or an
// extremum (LN(x^2+1) near 0, where 1+x^2 is 1 for |x| < 2.4E-4), not a flat stretch.
constexpr double kShortRunPart = 1e-2;

// Positions within this part of r of 0 are 0: the edge of SQR(x)'s gap is the float -1.4E-45,
// an inflection of SIN(x) at zoom 100 lands a few floats off 0.
constexpr double kSnapPart = 1e-7;

// One unit of the last place of a 32-bit value.
constexpr double kFloatUnit = 0x1p-24;
// Values within four units of each other are level: their order is rounding (the flat top of
// COS(x) at zoom 10).
constexpr double kLevelUnits = 4 * kFloatUnit;
// A change between neighbouring samples within sixteen units is rounding, not a jump: several
// stages round on the way (the flat top of COS(x)).
constexpr double kJumpRoundingUnits = 16 * kFloatUnit;
// Steps of an inner part (LN(x^2+1) leaving 0 at 1.2E-7, LN(1+2^-23)) are this far below the
// typical size of the values: rounding, however steep they look.
constexpr double kInnerRoundingPart = 1e-4;

// The bend of an odd function between 0 and x, f(x) - 2 f(x/2), is exactly 0 for a straight line
// (halving x is exact, and each stage scales both values alike); beyond a few units of f(x) the
// function bends, however slightly (SIN(x) at zoom 1 bends by 25 units, TAN(x/2) by 12, where no
// stencil sees their curvature). Below that the 32-bit values cannot tell (x+SIN(x) at zoom 1).
constexpr double kOddBendUnits = 4 * kFloatUnit;

// A sign of the curvature holds when two stencils in a row show it; next to the range end, where
// there may be room for only one (COS(x) at zoom 5000, inflections at -990 and 990), one does.
constexpr int kSeenBeforeRangeEnd = 1;

}  // namespace funzioni
