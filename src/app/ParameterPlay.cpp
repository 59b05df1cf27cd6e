#include "app/ParameterPlay.h"

#include <algorithm>
#include <cmath>

namespace funzioni {

namespace {

// A step's float rounding (0.1f is a little more than 0.1) must not add a sliver of a step just
// under the top: a range within this fraction of a whole number of steps has that many.
constexpr double kStepSlack = 1e-4;

// How many steps lead from the minimum to the maximum, the last one maybe shorter.
int StepCount(const ParamRecord& record) {
  const double steps =
      (static_cast<double>(record.maximum) - record.minimum) / static_cast<double>(record.step);
  return std::max(1, static_cast<int>(std::ceil(steps - kStepSlack)));
}

float PointAt(const ParamRecord& record, int index, int count) {
  if (index >= count) return record.maximum;
  const double value = record.minimum + static_cast<double>(index) * record.step;
  return std::min(static_cast<float>(value), record.maximum);
}

int NearestIndex(const ParamRecord& record, int count) {
  const double offset = (static_cast<double>(record.value) - record.minimum) / record.step;
  return std::clamp(static_cast<int>(std::lround(offset)), 0, count);
}

}  // namespace

std::optional<std::string> ParameterEndsRefusal(const ParameterEnds& ends) {
  const bool finite =
      std::isfinite(ends.minimum) && std::isfinite(ends.maximum) && std::isfinite(ends.step);
  if (!finite) return "Estremi e passo devono essere numeri.";
  if (std::fabs(ends.minimum) > kParameterEndLimit || std::fabs(ends.maximum) > kParameterEndLimit)
    return "Gli estremi vanno da -1000000 a 1000000.";
  // Compared as they would be stored: two ends a float cannot tell apart are one.
  if (static_cast<float>(ends.minimum) >= static_cast<float>(ends.maximum))
    return "Il minimo deve essere minore del massimo.";
  if (!(static_cast<float>(ends.step) > 0.0f)) return "Il passo deve essere maggiore di zero.";
  const double span = ends.maximum - ends.minimum;
  if (ends.step > span) return "Il passo deve essere al più la distanza fra gli estremi.";
  if (span / ends.step > kMaxParameterSteps) return "Troppi passi fra gli estremi (al più 100000).";
  return std::nullopt;
}

std::optional<std::string> SetParameterEnds(ParamRecord& record, const ParameterEnds& ends) {
  if (std::optional<std::string> refusal = ParameterEndsRefusal(ends)) return refusal;
  record.minimum = static_cast<float>(ends.minimum);
  record.maximum = static_cast<float>(ends.maximum);
  record.step = static_cast<float>(ends.step);
  record.value = std::clamp(record.value, record.minimum, record.maximum);
  record.resetValue = std::clamp(record.resetValue, record.minimum, record.maximum);
  return std::nullopt;
}

PlayStep NextPlayStep(const ParamRecord& record, PlayMode mode, int direction) {
  const int count = StepCount(record);
  const int index = NearestIndex(record, count);
  const int dir = direction < 0 ? -1 : 1;
  switch (mode) {
    case PlayMode::Forward:
      if (index >= count) return {record.maximum, 1, true};
      return {PointAt(record, index + 1, count), 1, false};
    case PlayMode::Loop:
      if (index >= count) return {record.minimum, 1, false};
      return {PointAt(record, index + 1, count), 1, false};
    case PlayMode::BackAndForth:
      break;
  }
  // Back and forth: at an end the play turns and takes its first step the other way.
  const int turned = (dir > 0 && index >= count) || (dir < 0 && index <= 0) ? -dir : dir;
  return {PointAt(record, index + turned, count), turned, false};
}

float PlayStart(const ParamRecord& record, PlayMode mode) {
  if (mode == PlayMode::Forward && record.value >= record.maximum) return record.minimum;
  return record.value;
}

int PlayPeriodMs(int stepsPerSecond) {
  return 1000 / std::max(1, stepsPerSecond);
}

}  // namespace funzioni
