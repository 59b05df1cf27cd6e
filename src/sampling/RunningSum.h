#pragma once

#include <cstddef>
#include <vector>

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

// The same walk taken a block at a time, for walks too long to hold at once.
class RunningValues {
 public:
  RunningValues(float start, float limit, float step)
      : value_(start), limit_(limit), step_(step), done_(!(start <= limit)) {}

  // The next values of the walk, at most count of them; empty once it has ended.
  std::vector<float> Next(std::size_t count) {
    std::vector<float> values;
    while (!done_ && values.size() < count) {
      values.push_back(value_);
      const float next = value_ + step_;
      done_ = !(next > value_) || !(next <= limit_);
      value_ = next;
    }
    return values;
  }

 private:
  float value_;
  float limit_;
  float step_;
  bool done_;
};

}  // namespace funzioni
