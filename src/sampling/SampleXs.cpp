#include "sampling/SampleXs.h"

namespace funzioni {

float BuiltinSampleStep(const PlotState& state) {
  return static_cast<float>(0.0005 * state.stepValue.value);
}

float FormulaSampleStep(const PlotState& state) {
  return static_cast<float>(0.001 * state.stepValue.value);
}

std::vector<float> FormulaSampleXs(const PlotState& state) {
  const float r = HalfRange(state.zoomValue.value);
  std::vector<float> xs;
  ForEachRunningValue(-r, r, FormulaSampleStep(state), [&](float x) { xs.push_back(x); });
  return xs;
}

RunningValues FormulaSampleWalk(const PlotState& state) {
  const float r = HalfRange(state.zoomValue.value);
  return RunningValues(-r, r, FormulaSampleStep(state));
}

}  // namespace funzioni
