#pragma once

namespace funzioni {

// Visits start, start + step, start + 2 step, ... while the value is at most the limit, each
// value being the previous one plus the step in 32-bit arithmetic, so that it drifts by
// rounding exactly as a running single-precision sum does. The walk also stops as soon as
// adding the step no longer moves the value forward (a step below half the spacing of floats
// at a large value, a step that is zero, negative or not a number), so it always ends.
template <typename Visit>
void ForEachRunningValue(float start, float limit, float step, Visit&& visit) {
  float value = start;
  while (value <= limit) {
    visit(value);
    const float next = value + step;
    if (!(next > value)) return;
    value = next;
  }
}

}  // namespace funzioni
