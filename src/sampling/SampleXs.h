#pragma once

// Where the samples lie: x runs from -r to r with the half-range r = 0.2 z, as a running 32-bit
// sum of a step that depends on what is sampled.

#include <vector>

#include "sampling/RunningSum.h"
#include "state/PlotState.h"

namespace funzioni {

// The half-range 0.2 z, stored as a 32-bit float.
inline float HalfRange(float zoom) {
  return static_cast<float>(0.2 * zoom);
}

// The sampling steps: 0.0005 p for the built-in curves and 0.001 p for the typed formula, each a
// 32-bit float.
float BuiltinSampleStep(const PlotState& state);
float FormulaSampleStep(const PlotState& state);

// The x of every sample of the typed formula: -r, -r + step, ... as a running 32-bit sum.
std::vector<float> FormulaSampleXs(const PlotState& state);
// The same values a block at a time.
RunningValues FormulaSampleWalk(const PlotState& state);

}  // namespace funzioni
