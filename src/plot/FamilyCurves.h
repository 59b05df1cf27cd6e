#pragma once

// The family of the typed formula: its curve for several values of one parameter, from the
// parameter's minimum to its maximum, each in a shade of one hue (light at the minimum, dark at
// the maximum) under the typed formula's yellow, named in the key under the kept formulas.

#include <cstddef>
#include <string>
#include <vector>

#include "drawing/Color.h"
#include "plot/KeptCurves.h"
#include "state/PlotState.h"

namespace funzioni {

struct FamilyCurve {
  float value = 0;   // the parameter's value for this curve
  std::string text;  // the typed formula with it (and the other parameters' values now)
  Color color = 0;
};

// The family's curves, in the order of their values; none while the family is off, has fewer
// than two curves or names a letter the typed formula does not use.
std::vector<FamilyCurve> FamilyCurves(const PlotState& state);

// The shade of the curve at a place of a family of count curves: the first the lightest.
Color FamilyCurveColor(int index, int count);

// The family's value as the key and the spoken summary write it: the text its curve's formula
// has (seven significant digits), without the blank before it and with a zero before a point.
std::string FamilyValueText(float value);

// The key's lines of the family ("k = -10" in its shade), one per curve.
std::vector<KeptKeyEntry> FamilyKey(const PlotState& state);

}  // namespace funzioni
